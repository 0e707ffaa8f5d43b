#pragma once
// The extended viewer's mouse and keyboard navigation: the host editor's action entries
// filled for eleven navigation modes, walk and fly steps that stop short of obstacles and
// turn with smoothed acceleration, banking while flying, and an object-move sub-mode in
// examine where the same drags move the picked part of the scene about or along the axes
// of an axis marker shown at the picked point.
#include "host/core/KIVString.h"
#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/interact/KIVBasic3DViewpointEditor.h"
#include "host/visu/math/KIVMathVectorf.h"
class KIV3DBagRep;
class Nav3DAxisRep;
class NavViewerExtand;
class NavViewerViewpointEditor : public KIVBasic3DViewpointEditor {
  KIV_DECLARE_METAOBJECT(NavViewerViewpointEditor)
 public:
  /// Option bits.
  static constexpr unsigned int kAnimateObject = 16, kObjectMoveArmed = 32;
  /// Move state bits: active, then the axis the move is constrained to.
  static constexpr unsigned int kMoveActive = 1, kFirstAxis = 2, kSecondAxis = 4, kThirdAxis = 8;

  NavViewerViewpointEditor(const KIVString& name, KIV3DViewpoint& viewpoint, const KIVBasic3DViewpointEditorMode mode,
                           NavViewerExtand* viewer);
  ~NavViewerViewpointEditor() override;

  /// -1 asks; 1 allows moving objects; anything else forbids it. 1 while allowed.
  int SetAnimateObjectMode(int mode);
  /// Weight of the previous turn in the smoothing, kept when outside [0, 1) or -1.
  float SetAccelerationPonderation(float p);
  int SetCollisionState(int state);
  float SetCollisionDistanceValue(float distance);
  /// 1 shows the host focus point, 0 hides it; returns whether it is shown.
  int SetFocusPointRepState(int state);

  void BeginManipulate(KIVNotification* event) override;
  void Manipulate(KIVNotification* event) override;
  void EndManipulate(KIVNotification* event) override;
  void JumpAround(const KIVMathVectorf& T, const KIVMathVectorf& R) override;
  void UpdateAnimation(unsigned long time) override;
  void ComputeNextStep(const char* event, void* publisher, KIVNotification* notification, void* data,
                       long id) override;
  void StartAndDisplayTarget(KIVMouseEvent& event) override;
  void StopAndHideTarget(KIVMouseEvent& event) override;
  void DriveZoomAndTurn(KIVMouseEvent& event) override;
  void MouseTranslate(KIVMouseEvent& event) override;
  void StartFly(KIVMouseEvent& event) override;
  void StopFly(KIVMouseEvent& event) override;
  void StartRotate(KIVMouseEvent& event) override;
  void DriveRotate(KIVMouseEvent& event) override;
  void StopRotate(KIVMouseEvent& event) override;
  void SetMode(KIVBasic3DViewpointEditorMode mode) override;
  using KIVBasic3DViewpointEditor::Jump;
  /// One step: translation T and rotation R in the viewpoint's frame; with collision on
  /// and step 1, shortened before an obstacle and refused when it would end too close.
  virtual void Jump(const KIVMathVectorf& T, const KIVMathVectorf& R, int step);

  // State, for the viewer's panels and for tests.
  int GetCollisionState() const { return mCollisionState; }
  float GetCollisionDistance() const { return mCollisionDistance; }
  float GetObstacleDistance() const { return mObstacleDistance; }
  /// The eye height above the floor kept while walking with gravity; -1 until measured.
  float GetWalkHeight() const { return mWalkHeight; }
  float GetSmoothedTurn() const { return mSmoothedTurn; }
  float GetAccelerationPonderation() const { return mAccelerationPonderation; }
  unsigned int GetOptionFlags() const { return mOptionFlags; }
  unsigned int GetMoveState() const { return mMoveState; }
  int GetDragCount() const { return mDragCount; }
  KIV3DBagRep* GetMovedRep() const { return mMovedRep; }
  Nav3DAxisRep* GetAxisRep() const { return mAxisRep; }

 private:
  bool ObjectMoveActive() const { return (mMoveState & kMoveActive) != 0; }
  unsigned int Constraint() const { return mMoveState & (kFirstAxis | kSecondAxis | kThirdAxis); }
  /// Takes the object of the first pick path under (x, y) that belongs to the main
  /// viewpoint (only the nearest path is looked at with firstPathOnly) when the host names
  /// a bag to move for it.
  bool PickObject(int x, int y, bool firstPathOnly);
  /// Mouse deltas from the last position, 0 while within 5 pixels of the press.
  void Deltas(const KIVMouseEvent& event, float& dx, float& dy) const;
  void ApplyFrame(const KIV4x4Matrix& frame, const KIVMouseEvent& event);
  KIV4x4Matrix RotatedFrame(float dx) const;
  void DrawViewer();

  int mFocusPointShown = 0;
  int mCollisionState = 0;
  float mCollisionDistance = 10.0f;
  float mObstacleDistance = -1.0f;
  float mSmoothedTurn = 0.0f;
  float mAccelerationPonderation = 0.7f;
  unsigned int mOptionFlags = 0;
  int mDragCount = 0;
  unsigned int mMoveState = 0;
  int mDragMoving = 0;  // a drag of the view counts as a viewpoint animation while it lasts
  float mWalkHeight = -1.0f;  // eye height above the floor that gravity keeps while walking
  void ApplyGravity(KIV3DViewpoint& vp);
  int mPickAtIntersection = 1;
  float mObjectTurnFactor = 0.6f;
  KIV3DBagRep* mMovedRep = nullptr;
  void* mMovedObject = nullptr;
  Nav3DAxisRep* mAxisRep = nullptr;
  NavViewerExtand* mNavViewer = nullptr;
  KIV4x4Matrix mParentFrame;  // world placement of the moved bag's parent frame
};
