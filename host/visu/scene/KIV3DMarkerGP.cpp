#include "host/visu/scene/KIV3DMarkerGP.h"

#include <cmath>

#include "host/visu/view/KIVRender.h"

KIV3DMarkerGP::KIV3DMarkerGP(const float* points, int pointFloats, int type, float size) {
  SetPoints(points, pointFloats);
  SetType(type);
  SetSize(size);
}

int KIV3DMarkerGP::SetPoints(const float* points, int pointFloats) {
  if (pointFloats < 0 || (pointFloats > 0 && !points)) return 0;
  mPoints.assign(points, points + (pointFloats - pointFloats % 3));
  GeometryChanged();
  return 1;
}

int KIV3DMarkerGP::SetType(int type) {
  if (type < 0 || type >= TypeCount) return 0;
  mType = type;
  GeometryChanged();
  return 1;
}

int KIV3DMarkerGP::SetSize(float pixels) {
  if (!(pixels > 0.0f) || !std::isfinite(pixels)) return 0;
  mSize = pixels;
  GeometryChanged();
  return 1;
}

void KIV3DMarkerGP::Draw(KIVRender& render) { render.Draw3DMarker(*this); }

void KIV3DMarkerGP::GetBoundingPoints(std::vector<float>& points) const {
  points.insert(points.end(), mPoints.begin(), mPoints.end());
}

int KIV3DMarkerGP::GetPickThinElements(std::vector<float>& points, std::vector<float>&) const {
  points.insert(points.end(), mPoints.begin(), mPoints.end() - static_cast<std::ptrdiff_t>(mPoints.size() % 3));
  return mPoints.size() >= 3;
}
