#include "host/visu/scene/KIV3DFixedArrowGP.h"

#include <cmath>

#include "host/visu/view/KIVRender.h"

KIV3DFixedArrowGP::KIV3DFixedArrowGP(const KIVMathPointf& origin, const KIVMathVectorf& direction, float length,
                                     int style)
    : mOrigin(origin) {
  SetDirection(direction);
  SetLength(length);
  SetStyle(style);
}

void KIV3DFixedArrowGP::SetOrigin(const KIVMathPointf& origin) {
  mOrigin = origin;
  GeometryChanged();
}

int KIV3DFixedArrowGP::SetDirection(const KIVMathVectorf& direction) {
  const float n = direction.Norm();
  if (!(n > 0.0f) || !std::isfinite(n)) return 0;
  mDirection = direction / n;
  GeometryChanged();
  return 1;
}

int KIV3DFixedArrowGP::SetLength(float millimetres) {
  if (!(millimetres >= 0.0f) || !std::isfinite(millimetres)) return 0;
  mLength = millimetres;
  GeometryChanged();
  return 1;
}

int KIV3DFixedArrowGP::SetStyle(int style) {
  if (style & ~(StyleHead | StyleFilledHead | StyleText)) return 0;
  mStyle = style;
  return 1;
}

void KIV3DFixedArrowGP::Draw(KIVRender& render) { render.Draw3DFixedArrow(*this); }

void KIV3DFixedArrowGP::GetBoundingPoints(std::vector<float>& points) const {
  points.insert(points.end(), {mOrigin.x, mOrigin.y, mOrigin.z});
}
