#pragma once
// The mouse and keyboard navigation of a 3D viewer: examine (turn about the target, the
// point at the focus distance along the sight), walk (on the level of a locked horizontal)
// and fly, and the special navigations of KIVBasic3DViewpointEditorMode.
//
// Input reaches one of nine action entries; each has a label, a code (5 translate,
// 6 zoom, 7 one-shot or look-at, 8 animation, 10 turn) and up to four handlers: key,
// start (at the press), drive (each drag move) and stop (at the release). SetMode fills
// the entries; a subclass may fill them its own way through SetAction.
//   entry 0  left double click          entry 5  shift + left drag, shift + middle drag
//   entry 1  left drag                  entry 6  alt + middle drag
//   entry 2  ctrl + shift + left        entry 7  right drag
//   entry 3  middle drag, left + middle entry 8  ctrl + left drag
//   entry 4  alt + left drag
// The wheel zooms toward the target (walk and fly: steps forward). A key goes to the key
// handler of the current action (the entry last reached by the mouse, 3 after SetMode),
// then to the other entries in order; Escape stops any motion.
//
// Walk and fly run a stepping loop while a speed is not zero: each VIEWER_UPDATE of the
// viewer moves the viewpoint by speed × elapsed time (see UpdateAnimation).
#include <memory>
#include <vector>
#include "host/core/KIVString.h"
#include "host/visu/interact/KIV3DViewpointEditor.h"
#include "host/visu/interact/KIVBasic3DViewpointEditorMode.h"
#include "host/visu/math/KIVMathDirectionf.h"
#include "host/visu/math/KIVMathPointf.h"
class KIVMouseEvent;
class KIVKeyEvent;
class KIVRep;
class KIV3DPointRep;
class KIV3DViewpoint;
class KIVBasic3DViewpointEditor : public KIV3DViewpointEditor {
  KIV_DECLARE_METAOBJECT(KIVBasic3DViewpointEditor)
 public:
  /// Returns 1 when it used the key.
  using KeyHandler = int (KIVBasic3DViewpointEditor::*)(KIVKeyEvent&);
  using MouseHandler = void (KIVBasic3DViewpointEditor::*)(KIVMouseEvent&);
  struct Action {
    KIVString label;
    int code = 0;
    KeyHandler key = nullptr;
    MouseHandler start = nullptr, drive = nullptr, stop = nullptr;
  };
  static constexpr int ActionCount = 9;
  /// The kind under which the focus point marker is added to the viewpoint.
  static constexpr int FocusPointKind = 99;

  KIVBasic3DViewpointEditor(const KIVString& name, KIV3DViewpoint& viewpoint,
                            KIVBasic3DViewpointEditorMode mode = KIVBasic3DModeExamine);
  /// A null viewpoint makes an editor that changes nothing.
  KIVBasic3DViewpointEditor(const KIVString& name, KIV3DViewpoint* viewpoint,
                            KIVBasic3DViewpointEditorMode mode = KIVBasic3DModeExamine);
  /// Stops the stepping loop and takes the focus point away.
  ~KIVBasic3DViewpointEditor() override;

  void BeginManipulate(KIVNotification* event) override;
  void Manipulate(KIVNotification* event) override;
  void EndManipulate(KIVNotification* event) override;
  void Wheel(KIVNotification* event) override;
  int Key(KIVNotification* event) override;

  /// Fills the entries: 0 to 4 and 7 one special navigation on entry 1 (7: translate on
  /// 1, zoom on 3), 8 examine, 9 walk (locks the horizontal), 10 fly; 5, 6 and above 10
  /// leave them empty; negative values are refused. Stops any motion.
  virtual void SetMode(KIVBasic3DViewpointEditorMode mode);
  KIVBasic3DViewpointEditorMode GetMode() const { return mMode; }
  /// Null outside 0 … 8.
  const Action* GetAction(int index) const;
  int GetCurrentAction() const { return mCurrentAction; }
  /// The entry that a press (or double click) reaches, −1 for none.
  virtual int GetActionIndex(const KIVMouseEvent& event) const;

  /// Walking: steps keep the eye on the plane through its present position across the
  /// viewpoint's vertical reference.
  void LockHorizontal();
  void UnlockHorizontal();
  int IsHorizontalLocked() const { return mHorizontalLock; }
  /// Shows a marker at the target, following it: `rep` (not owned) or, when null, the
  /// editor's own point marker. A marker given here stays until HideFocusPoint.
  void ShowFocusPoint(KIVRep* rep);
  void HideFocusPoint();
  /// The marker shown, null when none.
  KIVRep* GetFocusPoint() const;

  /// Forward speed of walk and fly in viewpoint sizes per second (0.5 by default).
  void SetWalkSpeed(float sizesPerSecond);
  float GetWalkSpeed() const { return mWalkSpeed; }
  /// 1 while the stepping loop is registered.
  int IsAnimating() const { return mUpdateCallback != 0; }

  // Handlers of the action entries.
  /// Arrows turn about the target.
  virtual int KeyRotate(KIVKeyEvent& event);
  virtual void StartRotate(KIVMouseEvent& event);
  /// Turns about the target: horizontal moves about the vertical reference, vertical
  /// moves about the right direction (half a turn for the window's height).
  virtual void DriveRotate(KIVMouseEvent& event);
  virtual void StopRotate(KIVMouseEvent& event);
  /// '+' and '-' zoom.
  virtual int KeyZoom(KIVKeyEvent& event);
  /// Up zooms in toward the target, down out.
  virtual void DriveZoom(KIVMouseEvent& event);
  /// Vertical moves zoom (walk and fly: walk forward or back), horizontal moves turn
  /// about the vertical (through the target; walk and fly: through the eye).
  virtual void DriveZoomAndTurn(KIVMouseEvent& event);
  /// Records the press and shows the focus point for the drag.
  virtual void StartAndDisplayTarget(KIVMouseEvent& event);
  virtual void StopAndHideTarget(KIVMouseEvent& event);
  /// Also takes the object at the centre of the window, when there is one, as the target.
  virtual void StopAndHideAndPickTarget(KIVMouseEvent& event);
  /// Arrows move across the sight, shift + up / down along it.
  virtual int KeyboardTranslate(KIVKeyEvent& event);
  /// The scene follows the pointer in the target's plane (walk and fly: up and down walk
  /// forward and back, left and right step aside).
  virtual void MouseTranslate(KIVMouseEvent& event);
  /// Look at: a drag draws a rectangle whose centre becomes the target and which then
  /// fills the view; a click aims the sight at the object under the pointer.
  virtual void StartViewpointDefinition(KIVMouseEvent& event);
  virtual void DriveViewpointDefinition(KIVMouseEvent& event);
  virtual void StopViewpointDefinition(KIVMouseEvent& event);
  /// The rectangle of the look-at drag under way (press and last position); 0 when none.
  int GetDefinitionRectangle(int& x1, int& y1, int& x2, int& y2) const;
  /// Turn head: the eye stays, the sight turns (kept within 89 degrees of the level).
  virtual void DriveTilt(KIVMouseEvent& event);
  virtual int KeyTilt(KIVKeyEvent& event);
  virtual void StartThisTilt(KIVMouseEvent& event);
  /// Brings the eye halfway to the object under the pointer and makes that point the
  /// target; nothing happens over empty space.
  virtual void Seek(KIVMouseEvent& event);
  /// Returns to the viewpoint before the last seek, or else backs away from the target.
  virtual void StepBack(KIVMouseEvent& event);
  /// Starts walking forward at the walk speed, or stops a motion under way.
  virtual void StartAnimation(KIVMouseEvent& event);
  /// Page up / page down: faster / slower (page up also starts); up / down: more or less
  /// forward speed; left / right: turn; space: stop.
  virtual int KeyFly(KIVKeyEvent& event);
  /// Walk by holding the button: the offset from the press sets the forward speed
  /// (vertical) and the turn (horizontal), as in the walk viewers of scene-graph toolkits.
  virtual void StartFly(KIVMouseEvent& event);
  virtual void DriveFly(KIVMouseEvent& event);
  virtual void StopFly(KIVMouseEvent& event);

  // Motion.
  /// Starts the stepping loop when a speed is not zero and it is not running (the
  /// viewpoint's BeginAnimation, a ComputeNextStep callback on the input viewer's
  /// VIEWER_UPDATE, one GenerateUpdateEvent), stops it when both are zero. `time` is the
  /// stamp of the input that changed the speeds.
  virtual void UpdateAnimation(unsigned long time);
  /// One step of the loop: speeds × the time since the previous step (the first step
  /// takes the viewer's last update duration; at most half a second).
  virtual void ComputeNextStep(const char* event, void* publisher, KIVNotification* notification, void* data,
                               long id);
  /// Examine step: the eye moves by T (viewpoint frame; T.z changes the focus distance
  /// too, so the target stays) and turns about the target by R (see RotateAround).
  virtual void JumpAround(const KIVMathVectorf& T, const KIVMathVectorf& R);
  /// Walk and fly step: the eye moves by T and turns about itself by R, both in the
  /// viewpoint frame; the focus distance is kept (the target goes along).
  virtual void Jump(const KIVMathVectorf& T, const KIVMathVectorf& R);
  /// Turns a viewpoint about its target: R.y radians about `vertical`, then R.x about its
  /// right direction, then R.z about its back direction.
  virtual void RotateAround(KIV3DViewpoint* viewpoint, const KIVMathVectorf& R, const KIVMathDirectionf& vertical);

 protected:
  /// Empties the nine entries.
  void InitActionPointers();
  /// Out-of-range indices are refused.
  void SetAction(int index, const char* label, int code, KeyHandler key, MouseHandler start, MouseHandler drive,
                 MouseHandler stop);
  /// press = last = the event's position.
  void RecordPress(const KIVMouseEvent& event);
  /// Projects the origin onto the locked horizontal (no bracket of its own).
  void ApplyHorizontalLock(KIV3DViewpoint& viewpoint) const;
  /// Takes the eye's present height as the level (done when a gesture or key begins).
  void RefreshHorizontalLock();
  /// Viewer size in pixels, at least 1 × 1.
  void GetInputSize(int& width, int& height) const;
  /// 1 in walk and fly.
  int IsWalking() const { return mMode == KIVBasic3DModeWalk || mMode == KIVBasic3DModeFly; }

  Action mActions[ActionCount];
  int mCurrentAction = 3;
  int mActiveAction = -1;  // the entry of the drag under way
  KIVBasic3DViewpointEditorMode mMode = KIVBasic3DModeExamine;
  int mPressPosition[2] = {0, 0};
  int mLastPosition[2] = {0, 0};
  KIVCallback mUpdateCallback = 0;
  unsigned long mLastStepTime = 0;  // 0: the next step is the first
  int mHorizontalLock = 0;
  KIVMathDirectionf mLockVertical{0.0f, 0.0f, 1.0f};
  KIVMathPointf mLockPoint;
  int mStep = 1;  // passed to the steps that a subclass makes collision-aware
  float mWalkSpeed = 0.5f;
  /// Ends a walk or flight under way.
  void StopMotion(unsigned long time);

 private:
  void Zoom(float factor);
  void Walk(float distance);
  void TurnHead(float yaw, float pitch);
  void AimAt(const KIVMathPointf& origin, const KIVMathPointf& target);
  void FocusFollow(const char*, void*, KIVNotification*, void*, KIVCallback);
  void PlaceFocusPoint();
  float StepLength() const;
  struct Saved {
    KIVMathPointf origin;
    KIVMathDirectionf sight, up;
    float focus;
  };
  std::vector<Saved> mSeekHistory;
  int mDefining = 0;
  std::unique_ptr<KIV3DPointRep> mOwnFocusPoint;
  KIVRep* mFocusPoint = nullptr;
  std::weak_ptr<int> mFocusPointLife;
  int mFocusPointForDrag = 0;
  KIVCallback mFocusCallback = 0;
  KIVViewer* mUpdateViewer = nullptr;
  std::weak_ptr<int> mUpdateViewerLife;
};
