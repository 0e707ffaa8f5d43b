#include "host/visu/interact/KIV3DIndicator.h"

#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/interact/KIVViewerEvent.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DIndicator, KIVIndicator)

KIV3DIndicator::KIV3DIndicator(KIVCommand* father, const char* name, KIV3DViewer* viewer)
    : KIVIndicator(father, name), mViewer(viewer), mViewerLife(viewer ? viewer->GetLifeToken() : std::weak_ptr<int>()) {}

KIV3DIndicator::~KIV3DIndicator() = default;

KIV3DViewer* KIV3DIndicator::GetViewer() const { return mViewerLife.expired() ? nullptr : mViewer; }

void KIV3DIndicator::BeginManipulate(KIVNotification* event) {
  mBegin.SetViewerEvent(dynamic_cast<KIVViewerEvent*>(event));
  SendNotification(GetFather(), &mBegin);
}

void KIV3DIndicator::Manipulate(KIVNotification* event) {
  mManipulate.SetViewerEvent(dynamic_cast<KIVViewerEvent*>(event));
  SendNotification(GetFather(), &mManipulate);
}

void KIV3DIndicator::EndManipulate(KIVNotification* event) {
  mEnd.SetViewerEvent(dynamic_cast<KIVViewerEvent*>(event));
  SendNotification(GetFather(), &mEnd);
}

void KIV3DIndicator::Move(KIVNotification* event) {
  mMove.SetViewerEvent(dynamic_cast<KIVViewerEvent*>(event));
  SendNotification(GetFather(), &mMove);
}

int KIV3DIndicator::Context(KIVNotification* event, KIVDlgContextualMenu* menu) {
  mContext.SetViewerEvent(dynamic_cast<KIVViewerEvent*>(event));
  mContext.SetContextualMenu(menu);
  SendNotification(GetFather(), &mContext);
  return 1;
}
