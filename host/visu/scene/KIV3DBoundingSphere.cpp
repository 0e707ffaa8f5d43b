#include "host/visu/scene/KIV3DBoundingSphere.h"

#include <algorithm>
#include <cmath>
#include <limits>

void KIV3DBoundingSphere::SetCenter(const KIVMathPointf& centre) {
  mCentre = centre;
  mState = State::Finite;
}

void KIV3DBoundingSphere::SetRadius(float radius) {
  mRadius = NonNegative(radius);
  mState = State::Finite;
}

void KIV3DBoundingSphere::SetRadiusMM(float radiusMM) {
  mRadiusMM = NonNegative(radiusMM);
  if (mState == State::Empty) mState = State::Finite;
}

void KIV3DBoundingSphere::SetInfinite() {
  mCentre = KIVMathPointf();
  mRadius = std::numeric_limits<float>::infinity();
  mState = State::Infinite;
}

KIV3DBoundingSphere& KIV3DBoundingSphere::operator+=(const KIV3DBoundingSphere& other) {
  if (other.IsEmpty() || IsInfinite()) return *this;
  if (IsEmpty() || other.IsInfinite()) return *this = other;
  const float mm = std::max(mRadiusMM, other.mRadiusMM);
  // In double: the centres of a large plant are far apart compared with the radii.
  const double dx = static_cast<double>(other.mCentre.x) - mCentre.x;
  const double dy = static_cast<double>(other.mCentre.y) - mCentre.y;
  const double dz = static_cast<double>(other.mCentre.z) - mCentre.z;
  const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
  if (d + other.mRadius <= mRadius) {
    mRadiusMM = mm;
    return *this;
  }
  if (d + mRadius <= other.mRadius) {
    *this = other;
    mRadiusMM = mm;
    return *this;
  }
  const double r = (d + mRadius + other.mRadius) * 0.5;
  const double t = (r - mRadius) / d;  // d > 0 here: equal centres fall in a case above
  mCentre = {static_cast<float>(mCentre.x + dx * t), static_cast<float>(mCentre.y + dy * t),
             static_cast<float>(mCentre.z + dz * t)};
  // Rounding the centre to float may move it by an ulp: widen by as much.
  const float slack = std::max({std::fabs(mCentre.x), std::fabs(mCentre.y), std::fabs(mCentre.z)}) *
                      std::numeric_limits<float>::epsilon();
  mRadius = NextUp(static_cast<float>(r)) + slack;
  mRadiusMM = mm;
  return *this;
}

KIV3DBoundingSphere& KIV3DBoundingSphere::operator*=(const KIV4x4Matrix& m) {
  if (mState != State::Finite) return *this;
  return Transform(m, m.GetMaxScale());
}

KIV3DBoundingSphere& KIV3DBoundingSphere::Transform(const KIV4x4Matrix& m, float maxScale) {
  if (mState != State::Finite) return *this;
  mCentre = m.TransformPoint(mCentre);
  mRadius *= maxScale;
  return *this;
}

int KIV3DBoundingSphere::IsInside(const KIVMathPointf& p) const {
  if (IsEmpty()) return 0;
  if (IsInfinite()) return 1;
  const double dx = static_cast<double>(p.x) - mCentre.x;
  const double dy = static_cast<double>(p.y) - mCentre.y;
  const double dz = static_cast<double>(p.z) - mCentre.z;
  return dx * dx + dy * dy + dz * dz <= static_cast<double>(mRadius) * mRadius ? 1 : 0;
}

int KIV3DBoundingSphere::IsInside(const KIV3DBoundingSphere& other) const {
  if (other.IsEmpty() || IsInfinite()) return 1;
  if (IsEmpty() || other.IsInfinite()) return 0;
  const double dx = static_cast<double>(other.mCentre.x) - mCentre.x;
  const double dy = static_cast<double>(other.mCentre.y) - mCentre.y;
  const double dz = static_cast<double>(other.mCentre.z) - mCentre.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz) + other.mRadius <= mRadius ? 1 : 0;
}
