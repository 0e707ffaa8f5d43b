#pragma once
// A 3D camera: an eye point, a unit sight and a unit up kept perpendicular to it, the
// distance to the target along the sight, a vertical view angle in degrees and clipping.
// The target is origin + sight × focus distance.

#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/math/KIVMathDirectionf.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/view/KIVViewpoint.h"

class KIV3DViewpoint : public KIVViewpoint {
  KIV_DECLARE_METAOBJECT(KIV3DViewpoint)
 public:
  /// Clipping: the near and far planes follow the scene, or stay where they were set.
  static constexpr int ClippingAutomatic = 0;
  static constexpr int ClippingManual = 1;

  KIV3DViewpoint();
  ~KIV3DViewpoint() override;

  virtual KIVMathPointf GetOrigin() const { return mOrigin; }
  virtual void SetOrigin(const KIVMathPointf& origin);
  virtual KIVMathDirectionf GetSightDirection() const { return mSight; }
  /// A null direction is refused; up is made perpendicular again (turned in the plane of
  /// the old up and the new sight, or replaced when it became parallel).
  virtual void SetSightDirection(const KIVMathDirectionf& sight);
  virtual KIVMathDirectionf GetUpDirection() const { return mUp; }
  /// Projected perpendicular to the sight; a null result is refused.
  virtual void SetUpDirection(const KIVMathDirectionf& up);
  /// sight × up.
  KIVMathDirectionf GetRightDirection() const;
  virtual float GetFocusDistance() const { return mFocus; }
  /// A fixed focus stays where it is when the eye steps along the sight.
  void SetFixedFocus(int fixed) { mFixedFocus = fixed ? 1 : 0; }
  int IsFixedFocus() const { return mFixedFocus; }
  /// A negative, zero or non-finite distance is refused.
  virtual void SetFocusDistance(const float& distance);
  virtual float GetAngle() const { return mAngle; }
  /// Degrees, kept in (0, 179].
  virtual void SetAngle(const float& degrees);
  /// All three at once; nothing changes when the sight or up is null or they are parallel.
  virtual void SetPosition(const KIVMathPointf& origin, const KIVMathDirectionf& sight, const KIVMathDirectionf& up);
  KIVMathPointf GetTarget() const { return mOrigin + mSight * mFocus; }
  /// Turns the camera about a line through `point`: the rotation vector's length is the
  /// angle in radians, its direction the axis.
  void RotateAboutPoint(const KIVMathVectorf& rotation, const KIVMathPointf& point);

  void SetClippingMode(int mode) {
    mClippingMode = mode;
    Changed();
  }
  int GetClippingMode() const { return mClippingMode; }
  /// 0 < near < far, or refused.
  int SetClippingValue(float nearPlane, float farPlane);
  void GetClippingValue(float& nearPlane, float& farPlane) const;

  /// The direction that is up for walking and levelled views, (0, 0, 1) by default.
  void SetVerticalReference(const KIVMathDirectionf& vertical);
  KIVMathDirectionf GetVerticalReference() const { return mVertical; }
  /// Walking keeps the eye above the ground when on.
  /// 0 none, 1 down, 2 up or down (the side the up direction is on).
  void SetGravity(int gravity) {
    if (gravity >= 0 && gravity <= 2) mGravity = gravity;
  }
  int GetGravity() const { return mGravity; }
  /// A length the navigation scales its steps by (the scene's size), 1 by default.
  void SetSize(float size);
  float GetSize() const { return mSize; }

  /// The placement of the eye: right, up and back (−sight) as its axes, the origin last.
  KIV4x4Matrix GetPlacementMatrix() const;

 private:
  KIVMathPointf mOrigin{0.0f, -10.0f, 0.0f};
  KIVMathDirectionf mSight{0.0f, 1.0f, 0.0f};
  KIVMathDirectionf mUp{0.0f, 0.0f, 1.0f};
  float mFocus = 10.0f;
  int mFixedFocus = 0;
  float mAngle = 45.0f;
  int mClippingMode = ClippingAutomatic;
  float mNear = 0.01f;
  float mFar = 10000.0f;
  KIVMathDirectionf mVertical{0.0f, 0.0f, 1.0f};
  int mGravity = 0;
  float mSize = 1.0f;
};
