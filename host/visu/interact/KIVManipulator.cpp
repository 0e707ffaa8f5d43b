#include "host/visu/interact/KIVManipulator.h"

#include "host/visu/interact/KIVActivateNotification.h"
#include "host/visu/interact/KIVBeginManipulateNotification.h"
#include "host/visu/interact/KIVContextNotification.h"
#include "host/visu/interact/KIVEndManipulateNotification.h"
#include "host/visu/interact/KIVManipulateNotification.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/interact/KIVMoveNotification.h"
#include "host/visu/scene/KIVRep.h"
#include "host/visu/interact/KIVViewerEvent.h"

KIV_IMPLEMENT_METAOBJECT(KIVManipulator, KIVCommand)
KIV_IMPLEMENT_METAOBJECT(KIVBeginManipulateNotification, KIVNotification)
KIV_IMPLEMENT_METAOBJECT(KIVManipulateNotification, KIVNotification)
KIV_IMPLEMENT_METAOBJECT(KIVEndManipulateNotification, KIVNotification)
KIV_IMPLEMENT_METAOBJECT(KIVMoveNotification, KIVNotification)
KIV_IMPLEMENT_METAOBJECT(KIVActivateNotification, KIVNotification)
KIV_IMPLEMENT_METAOBJECT(KIVContextNotification, KIVNotification)

KIVManipulator::KIVManipulator(KIVCommand* father, const char* name, KIVRep* rep) : KIVCommand(father, name), mRep(rep) {
  if (mRep) mRep->SetManipulator(this);
}

KIVManipulator::~KIVManipulator() {
  if (mRep && mRep->GetManipulator() == this) mRep->SetManipulator(nullptr);
}

const char* KIVManipulator::GetKIVBeginManipulate() { return KIVBeginManipulateNotification::ClassName(); }
const char* KIVManipulator::GetKIVManipulate() { return KIVManipulateNotification::ClassName(); }
const char* KIVManipulator::GetKIVEndManipulate() { return KIVEndManipulateNotification::ClassName(); }
const char* KIVManipulator::GetKIVMove() { return KIVMoveNotification::ClassName(); }
const char* KIVManipulator::GetKIVActivate() { return KIVActivateNotification::ClassName(); }
const char* KIVManipulator::GetKIVContext() { return KIVContextNotification::ClassName(); }

namespace {
template <class N>
int SendWith(KIVManipulator* self, KIVNotification* event) {
  N n;
  n.SetViewerEvent(dynamic_cast<KIVViewerEvent*>(event));
  self->SendNotification(self->GetFather(), &n);
  return 1;
}
}  // namespace

int KIVManipulator::Preactivate(KIVNotification* event, KIVManipulator*) {
  return SendWith<KIVBeginManipulateNotification>(this, event);
}
int KIVManipulator::Move(KIVNotification* event, KIVManipulator*) { return SendWith<KIVMoveNotification>(this, event); }
int KIVManipulator::Activate(KIVNotification* event, KIVManipulator*) {
  return SendWith<KIVActivateNotification>(this, event);
}
int KIVManipulator::Edit(KIVNotification* event, KIVManipulator*) {
  return SendWith<KIVManipulateNotification>(this, event);
}

int KIVManipulator::EndEdit(KIVNotification* event, KIVManipulator*) {
  return SendWith<KIVEndManipulateNotification>(this, event);
}

int KIVManipulator::Context(KIVNotification* event, KIVDlgContextualMenu* menu) {
  KIVContextNotification n;
  n.SetViewerEvent(dynamic_cast<KIVViewerEvent*>(event));
  n.SetContextualMenu(menu);
  SendNotification(GetFather(), &n);
  return 1;
}

KIVMouseEvent* KIVManipulator::GetMouseEvent(KIVNotification* notification) {
  if (!notification) return nullptr;
  if (auto* viewerEvent = dynamic_cast<KIVViewerEvent*>(notification))
    return dynamic_cast<KIVMouseEvent*>(viewerEvent->GetDeviceEvent());
  return dynamic_cast<KIVMouseEvent*>(notification);
}
