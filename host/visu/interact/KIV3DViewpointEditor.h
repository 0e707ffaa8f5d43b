#pragma once
// A viewpoint editor of a 3D viewpoint. It keeps the speeds of a continuous motion in the
// viewpoint's frame (x right, y up, z back, so −z is forward): the translation in length
// units per second and the rotation as a rotation vector in radians per second. It also
// knows the viewer of the input: its own viewer, or, while it has none (an editor driven
// through an indicator), the viewer of the last event it was handed.
#include <memory>
#include "host/core/KIVString.h"
#include "host/visu/math/KIVMathVectorf.h"
#include "host/visu/interact/KIVViewpointEditor.h"
class KIV3DViewpoint;
class KIV3DViewer;
class KIV3DViewpointEditor : public KIVViewpointEditor {
  KIV_DECLARE_METAOBJECT(KIV3DViewpointEditor)
 public:
  /// A null viewpoint makes an editor that changes nothing.
  KIV3DViewpointEditor(const KIVString& name, KIV3DViewpoint* viewpoint);
  ~KIV3DViewpointEditor() override;
  /// Null once the viewpoint has been deleted.
  KIV3DViewpoint* Get3DViewpoint() const;
  /// The speed vectors of the motion under way (zero when still).
  void GetSpeeds(KIVMathVectorf& rotation, KIVMathVectorf& translation) const;
  /// GetViewer(), else the viewer of the last event handed to the editor (null once gone).
  KIVViewer* GetInputViewer() const;
  /// The input viewer when it is a 3D viewer.
  KIV3DViewer* GetInput3DViewer() const;
 protected:
  /// Records the viewer of an event (a KIVViewerEvent) as the input viewer.
  void NoteEvent(KIVNotification* event);
  KIVMathVectorf mRotationSpeed;
  KIVMathVectorf mTranslationSpeed;
 private:
  std::weak_ptr<int> mViewpointLife;
  KIVViewer* mEventViewer = nullptr;
  std::weak_ptr<int> mEventViewerLife;
};
