#pragma once
// A manipulator that drags a frame in the 3D scene: its drags are its own (GetDragMode 1).
// It keeps a position (a placement, world frame) and two manipulation styles: the first
// applies to a plain drag, the second to a drag begun with Shift or Control held. A press
// anchors the drag at the picked point (the position's origin when nothing was picked);
// every move, and the release, recompute the position from the position at the press and
// the viewer's ray under the pointer, constrained by the style, so that the anchor stays
// under the pointer as far as the constraint allows:
//   TranslateAlongDirection: along the translation direction (the position's first axis
//     by default), the anchor going to the point of its line nearest the ray;
//   TranslateInPlane: in the plane through the anchor of the translation plane's normal
//     (the position's third axis by default), the anchor going to where the ray meets it;
//   TranslateFree: the same in the plane through the anchor facing the eye;
//   RotateAroundLine: about the rotation line (the position's origin and first axis by
//     default), by the angle the pointer turned about it in the anchor's plane across it;
//   RotateAroundPoint: about the rotation point (the position's origin by default), the
//     anchor following the ray on its sphere about the point (on the sphere's outline when
//     the ray misses it); with the anchor on the point, a turn in the plane facing the eye.
// The geometry is computed in double from the press each time, so nothing accumulates
// during a drag. A move whose ray gives no answer (parallel to the plane or the line, or
// meeting it behind the eye) leaves the position as it was.
// Then the base behaviour sends the notifications, so the father reads GetPosition back.
// Outside a 3D viewer (no ray) a drag moves nothing.
#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/interact/KIVManipulator.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/math/KIVMathVectorf.h"
class KIV3DRep;
class KIVRay;
class KIV3DManipulator : public KIVManipulator {
  KIV_DECLARE_METAOBJECT(KIV3DManipulator)
 public:
  // The numbers are the ones tools give when they build handles (1 axis, 2 plane, 4 ring,
  // 5 corner turning about a point), so they are fixed.
  enum ManipulationStyle {
    NoManipulation = 0,
    TranslateAlongDirection = 1,
    TranslateInPlane = 2,
    TranslateFree = 3,
    RotateAroundLine = 4,
    RotateAroundPoint = 5
  };
  /// Attaches itself to rep (which may be null). A style outside the enumeration is kept
  /// as NoManipulation.
  KIV3DManipulator(KIVCommand* father, const char* name, KIV3DRep* rep, ManipulationStyle first,
                   ManipulationStyle second);
  ~KIV3DManipulator() override;
  /// 0: the style of plain drags; 1: the style of drags begun with Shift or Control.
  /// NoManipulation for any other value.
  ManipulationStyle GetManipulationStyle(int which) const;
  /// The style of the drag in progress (NoManipulation outside a drag).
  ManipulationStyle GetCurrentStyle() const { return mDragging ? mCurrentStyle : NoManipulation; }
  int GetDragMode() const override { return 1; }
  /// A click toggles the rep's high-light unless this was called (owners that show their
  /// own feedback call it once after construction). 0 gives the toggle back.
  void InhibAutomaticActivation(int inhibit = 1) { mInhibited = inhibit ? 1 : 0; }
  int IsAutomaticActivationInhibited() const { return mInhibited; }

  /// The dragged frame, world coordinates.
  const KIV4x4Matrix& GetPosition() const { return mPosition; }
  /// A placement with a non-finite value is refused (0) and changes nothing.
  int SetPosition(const KIV4x4Matrix& position);
  /// Constraints; a zero or non-finite direction, or a non-finite point, is refused (0)
  /// and changes nothing. Without one the position's own axes and origin serve, as said
  /// above.
  int SetTranslationDirection(const KIVMathVectorf& direction);
  int SetTranslationPlane(const KIVMathVectorf& normal);
  int SetRotationLine(const KIVMathPointf& point, const KIVMathVectorf& direction);
  int SetRotationPoint(const KIVMathPointf& point);
  void ClearConstraints();

  int Preactivate(KIVNotification* event, KIVManipulator* from) override;
  int Edit(KIVNotification* event, KIVManipulator* from) override;
  int Activate(KIVNotification* event, KIVManipulator* from) override;
  /// The release: the position follows the release's ray, then the drag ends.
  int EndEdit(KIVNotification* event, KIVManipulator* from) override;

  /// The position a drag from `start` gives for the rays at the press and now, with the
  /// anchor point at the press; `start` itself when the rays give no answer.
  KIV4x4Matrix Drag(ManipulationStyle style, const KIV4x4Matrix& start, const KIVMathPointf& anchor,
                    const KIVRay& pressRay, const KIVRay& ray) const;
  /// The same, returning 0 and leaving `result` alone when the rays give no answer.
  int Drag(ManipulationStyle style, const KIV4x4Matrix& start, const KIVMathPointf& anchor, const KIVRay& pressRay,
           const KIVRay& ray, KIV4x4Matrix& result) const;

 private:
  static ManipulationStyle Valid(ManipulationStyle style);
  static int Ray(KIVNotification* event, KIVRay& ray);
  void Follow(KIVNotification* event);
  ManipulationStyle mStyles[2];
  ManipulationStyle mCurrentStyle = NoManipulation;
  int mInhibited = 0;
  KIV4x4Matrix mPosition;
  // Constraints, each with whether it was given.
  KIVMathVectorf mTranslation, mPlaneNormal, mLineDirection;
  KIVMathPointf mLinePoint, mRotationPoint;
  int mHasTranslation = 0, mHasPlane = 0, mHasLine = 0, mHasPoint = 0;
  // The drag in progress.
  int mDragging = 0;
  KIV4x4Matrix mStart;
  KIVMathPointf mAnchor;
  KIVMathPointf mPressOrigin;
  KIVMathVectorf mPressDirection;
};
