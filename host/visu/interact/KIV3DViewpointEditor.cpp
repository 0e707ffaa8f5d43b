#include "host/visu/interact/KIV3DViewpointEditor.h"

#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "host/visu/interact/KIVViewerEvent.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DViewpointEditor, KIVViewpointEditor)

KIV3DViewpointEditor::KIV3DViewpointEditor(const KIVString& name, KIV3DViewpoint* viewpoint)
    : KIVViewpointEditor(name.CastToCharPtr(), viewpoint),
      mViewpointLife(viewpoint ? viewpoint->GetLifeToken() : std::weak_ptr<int>()) {}

KIV3DViewpointEditor::~KIV3DViewpointEditor() = default;

KIV3DViewpoint* KIV3DViewpointEditor::Get3DViewpoint() const {
  return mViewpointLife.expired() ? nullptr : static_cast<KIV3DViewpoint*>(GetViewpoint());
}

void KIV3DViewpointEditor::GetSpeeds(KIVMathVectorf& rotation, KIVMathVectorf& translation) const {
  rotation = mRotationSpeed;
  translation = mTranslationSpeed;
}

KIVViewer* KIV3DViewpointEditor::GetInputViewer() const {
  if (KIVViewer* viewer = GetViewer()) return viewer;
  return mEventViewerLife.expired() ? nullptr : mEventViewer;
}

KIV3DViewer* KIV3DViewpointEditor::GetInput3DViewer() const { return dynamic_cast<KIV3DViewer*>(GetInputViewer()); }

void KIV3DViewpointEditor::NoteEvent(KIVNotification* event) {
  auto* viewerEvent = dynamic_cast<KIVViewerEvent*>(event);
  KIVViewer* viewer = viewerEvent ? viewerEvent->GetViewer() : nullptr;
  if (!viewer || (viewer == mEventViewer && !mEventViewerLife.expired())) return;
  mEventViewer = viewer;
  mEventViewerLife = viewer->GetLifeToken();
}
