#include "host/visu/scene/KIV3DPointSetGP.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "host/visu/view/KIVRender.h"

KIV3DPointSetGP::KIV3DPointSetGP(const float* points, int pointFloats, const unsigned char* rgba, float size) {
  SetPoints(points, pointFloats);
  if (rgba) SetColors(rgba, GetPointCount());
  SetSize(size);
}

int KIV3DPointSetGP::SetPoints(const float* points, int pointFloats) {
  if (pointFloats < 0 || (pointFloats > 0 && !points)) return 0;
  const int usable = pointFloats - pointFloats % 3;
  for (int i = 0; i < usable; ++i)
    if (!std::isfinite(points[i])) return 0;
  mPoints.assign(points, points + usable);
  mColors.clear();
  GeometryChanged();
  return 1;
}

int KIV3DPointSetGP::SetColors(const unsigned char* rgba, int pointCount) {
  if (!rgba) {
    mColors.clear();
  } else {
    if (pointCount != GetPointCount()) return 0;
    mColors.assign(rgba, rgba + 4 * static_cast<size_t>(pointCount));
  }
  GeometryChanged();
  return 1;
}

int KIV3DPointSetGP::SetSize(float pixels) {
  if (!(pixels > 0.0f) || !std::isfinite(pixels)) return 0;
  mSize = pixels;
  GeometryChanged();
  return 1;
}

int KIV3DPointSetGP::SetPickRadius(float radius) {
  if (!(radius >= 0.0f) || !std::isfinite(radius)) return 0;
  mPickRadius = radius;
  GeometryChanged();
  return 1;
}

float KIV3DPointSetGP::GetPickRadius() const {
  if (mPickRadius > 0.0f) return mPickRadius;
  const int n = GetPointCount();
  if (n == 0) return 0.0f;
  float lo[3], hi[3];
  for (int k = 0; k < 3; ++k) lo[k] = hi[k] = mPoints[k];
  for (size_t i = 0; i < mPoints.size(); i += 3)
    for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], mPoints[i + k]), hi[k] = std::max(hi[k], mPoints[i + k]);
  const float diagonal =
      std::sqrt((hi[0] - lo[0]) * (hi[0] - lo[0]) + (hi[1] - lo[1]) * (hi[1] - lo[1]) + (hi[2] - lo[2]) * (hi[2] - lo[2]));
  // A single point, or points all at one place, still need something to hit.
  if (!(diagonal > 0.0f)) return 1e-3f * std::max(1.0f, std::fabs(lo[0]) + std::fabs(lo[1]) + std::fabs(lo[2]));
  return diagonal / std::sqrt(static_cast<float>(n)) / 3.0f;
}

void KIV3DPointSetGP::Draw(KIVRender& render) { render.Draw3DPointSet(*this); }

int KIV3DPointSetGP::GetPickTriangles(std::vector<float>& vertices, std::vector<int>& indices) const {
  const int n = GetPointCount();
  if (n == 0 || n > std::numeric_limits<int>::max() / 8) return 0;
  const float r = GetPickRadius();
  // An octahedron per point: six corners along the axes, eight faces, closed from every side.
  static constexpr int kFaces[8][3] = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4},
                                       {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
  vertices.reserve(vertices.size() + 18 * static_cast<size_t>(n));
  indices.reserve(indices.size() + 24 * static_cast<size_t>(n));
  int base = static_cast<int>(vertices.size() / 3);
  for (int i = 0; i < n; ++i, base += 6) {
    const float* p = &mPoints[3 * static_cast<size_t>(i)];
    vertices.insert(vertices.end(), {p[0] + r, p[1], p[2], p[0] - r, p[1], p[2], p[0], p[1] + r, p[2],
                                     p[0], p[1] - r, p[2], p[0], p[1], p[2] + r, p[0], p[1], p[2] - r});
    for (const auto& f : kFaces) indices.insert(indices.end(), {base + f[0], base + f[1], base + f[2]});
  }
  return 8 * n;
}

void KIV3DPointSetGP::GetBoundingPoints(std::vector<float>& points) const {
  points.insert(points.end(), mPoints.begin(), mPoints.end());
}
