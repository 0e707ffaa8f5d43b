#pragma once
// Lifts and lowers a ground along its vertical: attached to a KIVGroundRep (which it makes
// pickable), it takes the drags begun on the ground. The pointer's vertical motion
// becomes a height change of the size it covers on screen at the grabbed point, so the
// ground follows the pointer whatever the camera distance. While dragging it shows a
// furtive marker (a line along the vertical from where the drag began) in the viewer.
// Notifications go to the viewer (the father) as any manipulator's.
#include <memory>
#include "host/visu/interact/KIV3DManipulator.h"
class KIV3DViewer;
class KIV3DCustomRep;
class KIVGroundRep;
class KIV3DGroundTranslator : public KIV3DManipulator {
  KIV_DECLARE_METAOBJECT(KIV3DGroundTranslator)
 public:
  /// Attaches itself as the ground's manipulator; either pointer may be null.
  KIV3DGroundTranslator(KIV3DViewer* viewer, const char* name, KIVGroundRep* ground);
  /// Removes the furtive marker and detaches itself from the ground.
  ~KIV3DGroundTranslator() override;
  /// The ground, null once it is gone.
  KIVGroundRep* GetGround() const;
  /// Where the ground's origin is now (the last one seen once the ground is gone).
  KIVMathPointf GetNewOrigin() const;
  /// Removes the furtive marker from the viewer it was shown in (nothing when none).
  void RemoveRepFurtive(KIV3DViewer* viewer);
  /// The marker while a drag shows it, else null.
  KIV3DCustomRep* GetRepFurtive() const { return mFurtive.get(); }
  /// The height change for a pointer moved up by `pixels` in the viewer, with the point
  /// grabbed at `distance` from the eye.
  static float HeightForPixels(const KIV3DViewer& viewer, float distance, float pixels);

  int Preactivate(KIVNotification* event, KIVManipulator* from) override;
  int Edit(KIVNotification* event, KIVManipulator* from) override;
  int EndEdit(KIVNotification* event, KIVManipulator* from) override;
  int Activate(KIVNotification* event, KIVManipulator* from) override;
 private:
  void ShowFurtive(KIV3DViewer* viewer, const KIVMathPointf& from, const KIVMathPointf& to);
  KIVGroundRep* mGround;
  std::weak_ptr<int> mGroundLife;
  KIVMathPointf mOrigin;
  // The drag in progress.
  int mDrag = 0;
  int mPressY = 0;
  float mDistance = 0.0f;
  KIVMathPointf mStartOrigin;
  // The furtive marker and the viewer showing it.
  std::unique_ptr<KIV3DCustomRep> mFurtive;
  KIV3DViewer* mFurtiveViewer = nullptr;
  std::weak_ptr<int> mFurtiveViewerLife;
};
