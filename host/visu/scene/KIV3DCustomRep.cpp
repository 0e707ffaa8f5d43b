#include "host/visu/scene/KIV3DCustomRep.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "host/visu/scene/KIVSceneChangeLog.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DCustomRep, KIV3DRep)

namespace {
// Small ids handed out again after their rep dies, so caches indexed by them stay dense.
// Made when the library loads, so that it outlives the host's statics, whose reps may
// die at exit.
std::vector<int> sFreeIds;
std::vector<int>& FreeIds() { return sFreeIds; }
int sNextId = 0;
unsigned long long sStamps = 0;

// The box around n > 0 points (x, y, z each). Four points are twelve floats whose lanes
// repeat x y z: three running minima and maxima of four lanes each make independent
// chains that run side by side, where one minimum per axis would wait on the previous
// point's for every point. A minimum does not depend on the order the points come in.
void PointBox(const float* p, size_t n, float lo[3], float hi[3]) {
  for (int k = 0; k < 3; ++k) lo[k] = hi[k] = p[k];
  size_t i = 0;
#if defined(__SSE2__)
  if (n >= 4) {
    __m128 lo4[3], hi4[3];
    for (int j = 0; j < 3; ++j) lo4[j] = hi4[j] = _mm_loadu_ps(p + 4 * j);
    for (i = 4; i + 4 <= n; i += 4)
      for (int j = 0; j < 3; ++j) {
        const __m128 v = _mm_loadu_ps(p + 3 * i + 4 * j);
        lo4[j] = _mm_min_ps(v, lo4[j]);
        hi4[j] = _mm_max_ps(v, hi4[j]);
      }
    alignas(16) float lo12[12], hi12[12];
    for (int j = 0; j < 3; ++j) _mm_store_ps(lo12 + 4 * j, lo4[j]), _mm_store_ps(hi12 + 4 * j, hi4[j]);
    for (int j = 0; j < 12; ++j) lo[j % 3] = std::min(lo[j % 3], lo12[j]), hi[j % 3] = std::max(hi[j % 3], hi12[j]);
  }
#endif
  for (; i < n; ++i)
    for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], p[3 * i + k]), hi[k] = std::max(hi[k], p[3 * i + k]);
}

// The largest squared distance from c to n points, in double. Four running maxima for
// the same reason; the maximum does not depend on the order the points are taken in.
double FarthestSquared(const float* p, size_t n, const double c[3]) {
  double r2[4] = {0.0, 0.0, 0.0, 0.0};
  auto squared = [&](size_t i) {
    const double dx = p[3 * i] - c[0], dy = p[3 * i + 1] - c[1], dz = p[3 * i + 2] - c[2];
    return dx * dx + dy * dy + dz * dz;
  };
  size_t i = 0;
  for (; i + 4 <= n; i += 4)
    for (int j = 0; j < 4; ++j) r2[j] = std::max(r2[j], squared(i + j));
  for (; i < n; ++i) r2[0] = std::max(r2[0], squared(i));
  return std::max(std::max(r2[0], r2[1]), std::max(r2[2], r2[3]));
}
}  // namespace

KIV3DCustomRep::KIV3DCustomRep() : mStamp(++sStamps), mLevels(1), mSags(1, 0.0f) {
  if (!FreeIds().empty()) {
    mGeometryId = FreeIds().back();
    FreeIds().pop_back();
  } else {
    mGeometryId = sNextId++;
  }
}

KIV3DCustomRep::~KIV3DCustomRep() {
  for (auto& level : mLevels)
    for (KIVGraphicPrimitive* gp : level) gp->Destroy();
  FreeIds().push_back(mGeometryId);
}

int KIV3DCustomRep::AddGP(KIVGraphicPrimitive* gp, int level) {
  if (!gp || level < 0 || level > 1024) return 0;
  for (auto& l : mLevels)
    if (std::find(l.begin(), l.end(), gp) != l.end()) return 0;
  if (level >= GetLODCount()) {
    mLevels.resize(level + 1);
    mSags.resize(level + 1, 0.0f);
  }
  mLevels[level].push_back(gp);
  gp->SetHolder(&mWatch);
  if (level == 0) GeometryModified();
  return 1;
}

int KIV3DCustomRep::RemoveGP(KIVGraphicPrimitive* gp) {
  for (size_t level = 0; level < mLevels.size(); ++level) {
    auto& l = mLevels[level];
    auto it = std::find(l.begin(), l.end(), gp);
    if (it == l.end()) continue;
    l.erase(it);
    gp->SetHolder(nullptr);
    if (level == 0) GeometryModified();
    return 1;
  }
  return 0;
}

void KIV3DCustomRep::ClearGPs() {
  for (auto& level : mLevels)
    for (KIVGraphicPrimitive* gp : level) gp->Destroy();
  mLevels.assign(1, {});
  mSags.assign(1, 0.0f);
  GeometryModified();
}

int KIV3DCustomRep::GetGPCount(int level) const {
  return level >= 0 && level < GetLODCount() ? static_cast<int>(mLevels[level].size()) : 0;
}

KIVGraphicPrimitive* KIV3DCustomRep::GetGP(int index, int level) const {
  if (index < 0 || index >= GetGPCount(level)) return nullptr;
  return mLevels[level][index];
}

int KIV3DCustomRep::SetLODSag(int level, float sag) {
  if (level < 0 || level >= GetLODCount() || !(sag >= 0.0f) || !std::isfinite(sag)) return 0;
  mSags[level] = sag;
  return 1;
}

void KIV3DCustomRep::PrimitiveChanged(KIVGraphicPrimitive& primitive) {
  if (std::find(mLevels[0].begin(), mLevels[0].end(), &primitive) != mLevels[0].end())
    GeometryModified();
  else
    Touch();
}

void KIV3DCustomRep::GeometryModified() {
  mStamp = ++sStamps;
  mGeometryDirty = true;
  Touch();
  // Marking is all a change costs; the points are read when the bounds are next asked for.
  // A rep still stale was listed when it became so, and no bound can have been read since
  // (reading one would have refreshed it).
  if (!mBoundsDirty) {
    mBoundsDirty = true;
    BoundsChangedLater();
  }
  KIVSceneChangeLog::Record(this, KIVSceneChangeLog::Geometry);
}

void KIV3DCustomRep::ComputeBoundingElement() const {
  if (mGeometryDirty) Recompute();
  mBoundsDirty = false;
}

void KIV3DCustomRep::Recompute() const {
  // Kept by the thread: a scene whose every leaf changed pays no allocation per leaf.
  thread_local std::vector<float> copied;
  copied.clear();
  float radiusMM = 0.0f;
  // One primitive holding its points in one array (most leaves) is read in place.
  size_t n = 0;
  const float* points = mLevels[0].size() == 1 ? mLevels[0][0]->GetBoundingPointsInPlace(n) : nullptr;
  for (KIVGraphicPrimitive* gp : mLevels[0]) {
    if (!points) gp->GetBoundingPoints(copied);
    radiusMM = std::max(radiusMM, gp->GetScreenRadiusMM());
  }
  if (!points) {
    points = copied.data();
    n = copied.size() / 3;
  }
  mGeometryDirty = false;
  const bool sphere = mBoundsDirty;  // else a sphere was set since the change, and stands
  mBoundsDirty = false;
  mHasBox = 0;
  if (n == 0) {
    if (sphere) mBounds = KIV3DBoundingSphere();
    return;
  }
  float lo[3], hi[3];
  PointBox(points, n, lo, hi);
  mMin = {lo[0], lo[1], lo[2]};
  mMax = {hi[0], hi[1], hi[2]};
  mHasBox = 1;
  if (!sphere) return;
  // The box centre with the farthest point as radius: one pass, at most √3 × the minimum.
  const double c[3] = {0.5 * (double(lo[0]) + hi[0]), 0.5 * (double(lo[1]) + hi[1]), 0.5 * (double(lo[2]) + hi[2])};
  const double r2 = FarthestSquared(points, n, c);
  const float radius = std::nextafter(static_cast<float>(std::sqrt(r2)), INFINITY);
  mBounds = KIV3DBoundingSphere(
      KIVMathPointf(static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2])), radius, radiusMM);
}

int KIV3DCustomRep::GetLocalBox(KIVMathPointf& min, KIVMathPointf& max) const {
  if (mGeometryDirty) Recompute();
  if (!mHasBox) return 0;
  min = mMin;
  max = mMax;
  return 1;
}

int KIV3DCustomRep::GetPickTriangles(std::vector<float>& vertices, std::vector<int>& indices) const {
  int n = 0;
  for (KIVGraphicPrimitive* gp : mLevels[0]) n += gp->GetPickTriangles(vertices, indices);
  return n;
}

int KIV3DCustomRep::GetTriangleCount(int level) const {
  int n = 0;
  for (int i = 0; i < GetGPCount(level); ++i) n += mLevels[level][i]->GetTriangleCount();
  return n;
}
