#include "host/visu/view/KIV3DViewpoint.h"

#include <cmath>

#include "host/visu/math/KIVMathTransformation.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DViewpoint, KIVViewpoint)

namespace {

// The part of v perpendicular to the unit n.
KIVMathVectorf Perpendicular(const KIVMathVectorf& v, const KIVMathVectorf& n) { return v - n * (v * n); }

bool Finite(const KIVMathPointf& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

}  // namespace

KIV3DViewpoint::KIV3DViewpoint() = default;
KIV3DViewpoint::~KIV3DViewpoint() = default;

void KIV3DViewpoint::SetOrigin(const KIVMathPointf& origin) {
  if (!Finite(origin)) return;
  mOrigin = origin;
  Changed();
}

void KIV3DViewpoint::SetSightDirection(const KIVMathDirectionf& sight) {
  const KIVMathDirectionf s(sight);
  if (s.IsNull()) return;
  KIVMathDirectionf up(Perpendicular(mUp, s));
  if (up.IsNull()) {
    // Looking along the old up: keep the old sight's back as the new up.
    up = KIVMathDirectionf(Perpendicular(-mSight, s));
    if (up.IsNull()) up = KIVMathDirectionf(Perpendicular(mVertical, s));
    if (up.IsNull()) return;
  }
  mSight = s;
  mUp = up;
  Changed();
}

void KIV3DViewpoint::SetUpDirection(const KIVMathDirectionf& up) {
  const KIVMathDirectionf u(Perpendicular(up, mSight));
  if (u.IsNull()) return;
  mUp = u;
  Changed();
}

KIVMathDirectionf KIV3DViewpoint::GetRightDirection() const { return KIVMathDirectionf(mSight ^ mUp); }

void KIV3DViewpoint::SetFocusDistance(const float& distance) {
  if (!(distance > 0.0f) || !std::isfinite(distance)) return;
  mFocus = distance;
  Changed();
}

void KIV3DViewpoint::SetAngle(const float& degrees) {
  if (!(degrees > 0.0f && degrees <= 179.0f)) return;
  mAngle = degrees;
  Changed();
}

void KIV3DViewpoint::SetPosition(const KIVMathPointf& origin, const KIVMathDirectionf& sight, const KIVMathDirectionf& up) {
  const KIVMathDirectionf s(sight);
  const KIVMathDirectionf u(Perpendicular(up, s));
  if (s.IsNull() || u.IsNull() || !Finite(origin)) return;
  mOrigin = origin;
  mSight = s;
  mUp = u;
  Changed();
}

void KIV3DViewpoint::RotateAboutPoint(const KIVMathVectorf& rotation, const KIVMathPointf& point) {
  const float angle = rotation.Norm();
  if (!(angle > 0.0f) || !std::isfinite(angle)) return;
  const KIVMathTransformation t(KIVMathAxis(KIVMathPoint(point), KIVMathDirection(rotation)), angle);
  SetPosition(t.Apply(mOrigin), KIVMathDirectionf(t.Apply(static_cast<const KIVMathVectorf&>(mSight))),
              KIVMathDirectionf(t.Apply(static_cast<const KIVMathVectorf&>(mUp))));
}

int KIV3DViewpoint::SetClippingValue(float nearPlane, float farPlane) {
  if (!(nearPlane > 0.0f) || !(farPlane > nearPlane) || !std::isfinite(farPlane)) return 0;
  mNear = nearPlane;
  mFar = farPlane;
  Changed();
  return 1;
}

void KIV3DViewpoint::GetClippingValue(float& nearPlane, float& farPlane) const {
  nearPlane = mNear;
  farPlane = mFar;
}

void KIV3DViewpoint::SetVerticalReference(const KIVMathDirectionf& vertical) {
  if (!KIVMathDirectionf(vertical).IsNull()) mVertical = KIVMathDirectionf(vertical);
}

void KIV3DViewpoint::SetSize(float size) {
  if (!(size > 0.0f) || !std::isfinite(size)) return;
  mSize = size;
  Changed();
}

KIV4x4Matrix KIV3DViewpoint::GetPlacementMatrix() const {
  return KIV4x4Matrix(GetRightDirection(), mUp, -mSight, mOrigin);
}
