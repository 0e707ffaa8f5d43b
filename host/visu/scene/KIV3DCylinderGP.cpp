#include "host/visu/scene/KIV3DCylinderGP.h"

#include <cmath>

#include "host/visu/view/KIVRender.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
bool Finite(const KIVMathVectorf& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
}  // namespace

KIV3DCylinderGP::KIV3DCylinderGP() { Changed(); }

KIV3DCylinderGP::KIV3DCylinderGP(const KIVMathPointf& base, const KIVMathVectorf& axis, float radius, int caps) {
  SetCylinder(base, axis, radius);
  SetCaps(caps);
  Changed();
}

void KIV3DCylinderGP::Changed() {
  mSags.resize(mSegments.size());
  for (size_t i = 0; i < mSegments.size(); ++i)
    mSags[i] = static_cast<float>(mRadius * (1.0 - std::cos(kPi / mSegments[i])));
  mFinestValid = false;
  GeometryChanged();
}

int KIV3DCylinderGP::SetCylinder(const KIVMathPointf& base, const KIVMathVectorf& axis, float radius) {
  if (!Finite(base.AsVector()) || !Finite(axis) || axis.IsNull() || !(radius > 0.0f) || !std::isfinite(radius) ||
      !std::isfinite(axis.Norm()) || axis.Norm() == 0.0f)
    return 0;
  mBase = base;
  mAxis = axis;
  mRadius = radius;
  Changed();
  return 1;
}

int KIV3DCylinderGP::SetCaps(int caps) {
  if (caps & ~BothCaps) return 0;
  mCaps = caps;
  Changed();
  return 1;
}

int KIV3DCylinderGP::SetLODSegments(const int* segments, int count) {
  if (!segments || count < 1 || count > 64) return 0;
  for (int i = 0; i < count; ++i)
    if (segments[i] < kMinSegments || segments[i] > kMaxSegments || (i > 0 && segments[i] > segments[i - 1])) return 0;
  mSegments.assign(segments, segments + count);
  Changed();
  return 1;
}

int KIV3DCylinderGP::GetSegments(int level) const { return level >= 0 && level < GetLODCount() ? mSegments[level] : 0; }

int KIV3DCylinderGP::GetTriangleCount(int level) const {
  const int n = GetSegments(level);
  const int caps = (mCaps & BaseCap ? 1 : 0) + (mCaps & TopCap ? 1 : 0);
  return n * (2 + caps);
}

int KIV3DCylinderGP::Tessellate(int level, KIV3DFaceGP& face) const {
  const int n = GetSegments(level);
  if (n == 0) return 0;
  // A frame (u, v, w) with u × v = w, so that angles grow counter-clockwise about the axis.
  const double h = mAxis.Norm();
  const double w[3] = {mAxis.x / h, mAxis.y / h, mAxis.z / h};
  int least = 0;
  for (int k = 1; k < 3; ++k)
    if (std::fabs(w[k]) < std::fabs(w[least])) least = k;
  double e[3] = {0, 0, 0};
  e[least] = 1;
  double u[3] = {e[1] * w[2] - e[2] * w[1], e[2] * w[0] - e[0] * w[2], e[0] * w[1] - e[1] * w[0]};
  const double ul = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
  for (double& c : u) c /= ul;
  const double v[3] = {w[1] * u[2] - w[2] * u[1], w[2] * u[0] - w[0] * u[2], w[0] * u[1] - w[1] * u[0]};

  std::vector<float> positions, normals;
  positions.reserve(3 * (4 * n + 2));
  normals.reserve(3 * (4 * n + 2));
  const double base[3] = {mBase.x, mBase.y, mBase.z};
  const double top[3] = {mBase.x + double(mAxis.x), mBase.y + double(mAxis.y), mBase.z + double(mAxis.z)};
  auto add = [&](const double* at, const double* radial, double scale, const double* normal) {
    for (int k = 0; k < 3; ++k) {
      positions.push_back(static_cast<float>(at[k] + scale * radial[k]));
      normals.push_back(static_cast<float>(normal[k]));
    }
  };
  std::vector<double> radials(3 * n);
  for (int i = 0; i < n; ++i) {
    const double a = 2.0 * kPi * i / n, c = std::cos(a), s = std::sin(a);
    for (int k = 0; k < 3; ++k) radials[3 * i + k] = c * u[k] + s * v[k];
  }
  const double r = mRadius, down[3] = {-w[0], -w[1], -w[2]};
  // Wall: top and base of each angle in turn (2i top, 2i + 1 base); the strip starting
  // top, base winds its first triangle outwards, and the strip alternation keeps the rest so.
  for (int i = 0; i < n; ++i) {
    add(top, &radials[3 * i], r, &radials[3 * i]);
    add(base, &radials[3 * i], r, &radials[3 * i]);
  }
  std::vector<int> strip(2 * n + 2);
  for (int i = 0; i < 2 * n; ++i) strip[i] = i;
  strip[2 * n] = 0;
  strip[2 * n + 1] = 1;
  std::vector<int> baseFan, topFan;
  if (mCaps & BaseCap) {
    // Clockwise about the axis seen from the top, so that it faces down.
    const int centre = static_cast<int>(positions.size() / 3);
    add(base, down, 0.0, down);
    for (int i = 0; i < n; ++i) add(base, &radials[3 * i], r, down);
    baseFan.push_back(centre);
    for (int i = n; i >= 0; --i) baseFan.push_back(centre + 1 + i % n);
  }
  if (mCaps & TopCap) {
    const int centre = static_cast<int>(positions.size() / 3);
    add(top, w, 0.0, w);
    for (int i = 0; i < n; ++i) add(top, &radials[3 * i], r, w);
    topFan.push_back(centre);
    for (int i = 0; i <= n; ++i) topFan.push_back(centre + 1 + i % n);
  }
  face.SetTriangles(nullptr, 0);
  face.ClearStrips();
  face.ClearFans();
  face.SetVertices(positions.data(), static_cast<int>(positions.size()), normals.data());
  face.AddStrip(strip.data(), static_cast<int>(strip.size()));
  if (!baseFan.empty()) face.AddFan(baseFan.data(), static_cast<int>(baseFan.size()));
  if (!topFan.empty()) face.AddFan(topFan.data(), static_cast<int>(topFan.size()));
  return 1;
}

const KIV3DFaceGP& KIV3DCylinderGP::Finest() const {
  if (!mFinestValid) {
    Tessellate(0, mFinest);
    mFinestValid = true;
  }
  return mFinest;
}

void KIV3DCylinderGP::Get(const float*& vertices, int& vertexFloats, const float*& normals, const int*& triangles,
                          int& triangleCount, const int*& strips, const int*& stripCounts, int& stripNumber,
                          const int*& fans, const int*& fanCounts, int& fanNumber) const {
  Finest().Get(vertices, vertexFloats, normals, triangles, triangleCount, strips, stripCounts, stripNumber, fans,
               fanCounts, fanNumber);
}

void KIV3DCylinderGP::Draw(KIVRender& render) { render.Draw3DCylinder(*this, 0); }

int KIV3DCylinderGP::GetPickTriangles(std::vector<float>& vertices, std::vector<int>& indices) const {
  return Finest().GetPickTriangles(vertices, indices);
}

void KIV3DCylinderGP::GetBoundingPoints(std::vector<float>& points) const {
  const double h = mAxis.Norm();
  const double w[3] = {mAxis.x / h, mAxis.y / h, mAxis.z / h};
  const KIVMathPointf ends[2] = {mBase, mBase + mAxis};
  for (const KIVMathPointf& c : ends)
    for (int k = 0; k < 3; ++k) {
      // The rim's extreme along axis k: that axis projected on the rim's plane.
      double d[3] = {-w[k] * w[0], -w[k] * w[1], -w[k] * w[2]};
      d[k] += 1.0;
      const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
      const double s = len > 1e-12 ? mRadius / len : 0.0;
      for (double sign : {1.0, -1.0})
        points.insert(points.end(), {static_cast<float>(c.x + sign * s * d[0]), static_cast<float>(c.y + sign * s * d[1]),
                                     static_cast<float>(c.z + sign * s * d[2])});
    }
}
