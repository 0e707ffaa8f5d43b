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

#if defined(__SSE2__)
// Four x y z triples in three registers (lanes x y z x | y z x y | z x y z) turned into
// one register per axis.
inline void SplitAxes(__m128 a, __m128 b, __m128 c, __m128& x, __m128& y, __m128& z) {
  const __m128 t0 = _mm_shuffle_ps(b, c, _MM_SHUFFLE(2, 1, 3, 2));  // x y x y
  const __m128 t1 = _mm_shuffle_ps(a, b, _MM_SHUFFLE(1, 0, 2, 1));  // y z y z
  x = _mm_shuffle_ps(a, t0, _MM_SHUFFLE(2, 0, 3, 0));
  y = _mm_shuffle_ps(t1, t0, _MM_SHUFFLE(3, 1, 2, 0));
  z = _mm_shuffle_ps(t1, c, _MM_SHUFFLE(3, 0, 3, 1));
}
#endif

// The box around n > 0 points (x, y, z each), in lo[0..2] and hi[0..2] (four floats each,
// 16-byte aligned). Four points are twelve floats whose lanes repeat x y z: three running
// minima and maxima of four lanes each make independent chains that run side by side,
// where one minimum per axis would wait on the previous point's for every point. A
// minimum does not depend on the order the points come in. The results stay in registers
// until one store each: read back in pieces from several small stores, they would wait
// for those stores to drain.
void PointBox(const float* p, size_t n, float lo[4], float hi[4]) {
#if defined(__SSE2__)
  __m128 l = _mm_setr_ps(p[0], p[1], p[2], p[2]), h = l;
  size_t i = 1;
  if (n >= 4) {
    __m128 lo4[3], hi4[3];
    for (int j = 0; j < 3; ++j) lo4[j] = hi4[j] = _mm_loadu_ps(p + 4 * j);
    for (i = 4; i + 4 <= n; i += 4)
      for (int j = 0; j < 3; ++j) {
        const __m128 v = _mm_loadu_ps(p + 3 * i + 4 * j);
        lo4[j] = _mm_min_ps(v, lo4[j]);
        hi4[j] = _mm_max_ps(v, hi4[j]);
      }
    // Lanes x y z x | y z x y | z x y z to one register per axis, then across them.
    auto reduce = [](const __m128 r[3], bool lower) {
      __m128 x, y, z;
      SplitAxes(r[0], r[1], r[2], x, y, z);
      __m128 w = z;
      _MM_TRANSPOSE4_PS(x, y, z, w);
      return lower ? _mm_min_ps(_mm_min_ps(x, y), _mm_min_ps(z, w)) : _mm_max_ps(_mm_max_ps(x, y), _mm_max_ps(z, w));
    };
    l = _mm_min_ps(l, reduce(lo4, true));
    h = _mm_max_ps(h, reduce(hi4, false));
  }
  for (; i < n; ++i) {
    const __m128 v = _mm_setr_ps(p[3 * i], p[3 * i + 1], p[3 * i + 2], p[3 * i + 2]);
    l = _mm_min_ps(v, l);
    h = _mm_max_ps(v, h);
  }
  _mm_store_ps(lo, l);
  _mm_store_ps(hi, h);
#else
  for (int k = 0; k < 3; ++k) lo[k] = hi[k] = p[k];
  for (size_t i = 1; i < n; ++i)
    for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], p[3 * i + k]), hi[k] = std::max(hi[k], p[3 * i + k]);
#endif
}

// The largest squared distance from c to n points, in float. Four points at a time are
// turned from x y z triples into one register per axis; the maximum does not depend on the
// order the points are taken in. Each distance is off by at most five roundings (the
// difference, the square, the two sums): the caller widens the radius to cover them.
float FarthestSquared(const float* p, size_t n, const float c[3]) {
  float r2 = 0.0f;
  size_t i = 0;
#if defined(__SSE2__)
  if (n >= 4) {
    const __m128 cx = _mm_set1_ps(c[0]), cy = _mm_set1_ps(c[1]), cz = _mm_set1_ps(c[2]);
    __m128 best = _mm_setzero_ps();
    for (; i + 4 <= n; i += 4) {
      __m128 x, y, z;
      SplitAxes(_mm_loadu_ps(p + 3 * i), _mm_loadu_ps(p + 3 * i + 4), _mm_loadu_ps(p + 3 * i + 8), x, y, z);
      const __m128 dx = _mm_sub_ps(x, cx), dy = _mm_sub_ps(y, cy), dz = _mm_sub_ps(z, cz);
      const __m128 d2 = _mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy)), _mm_mul_ps(dz, dz));
      best = _mm_max_ps(best, d2);
    }
    alignas(16) float lanes[4];
    _mm_store_ps(lanes, best);
    r2 = std::max(std::max(lanes[0], lanes[1]), std::max(lanes[2], lanes[3]));
  }
#endif
  for (; i < n; ++i) {
    const float dx = p[3 * i] - c[0], dy = p[3 * i + 1] - c[1], dz = p[3 * i + 2] - c[2];
    r2 = std::max(r2, (dx * dx + dy * dy) + dz * dz);
  }
  return r2;
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
  alignas(16) float lo[4], hi[4];
  PointBox(points, n, lo, hi);
  mMin = {lo[0], lo[1], lo[2]};
  mMax = {hi[0], hi[1], hi[2]};
  mHasBox = 1;
  if (!sphere) return;
  // The box centre with the farthest point as radius: one pass, at most √3 × the minimum.
  // The distances are measured from the centre as stored. Five roundings of 2^-24 shrink
  // a squared distance by at most 5 × 2^-24, its root by 2.5 × 2^-24, the root itself
  // and the product below lose one each: 8 × 2^-24 widens past all of them.
  const float c[3] = {static_cast<float>(0.5 * (double(lo[0]) + hi[0])), static_cast<float>(0.5 * (double(lo[1]) + hi[1])),
                      static_cast<float>(0.5 * (double(lo[2]) + hi[2]))};
  const float r2 = FarthestSquared(points, n, c);
  float radius;
  if (r2 >= 0x1p-100f && r2 <= 0x1p126f) {
    radius = KIV3DBoundingSphere::NextUp(std::sqrt(r2) * (1.0f + 8.0f * 0x1p-24f));
  } else {
    // Past 1e19 from the centre the squares leave float's range; below 1e-15 they come
    // near its smallest numbers, where a rounding no longer is a fraction of the value.
    double far = 0.0;
    for (size_t i = 0; i < n; ++i) {
      const double dx = double(points[3 * i]) - c[0], dy = double(points[3 * i + 1]) - c[1], dz = double(points[3 * i + 2]) - c[2];
      far = std::max(far, dx * dx + dy * dy + dz * dz);
    }
    radius = KIV3DBoundingSphere::NextUp(static_cast<float>(std::sqrt(far)));
  }
  mBounds = KIV3DBoundingSphere(KIVMathPointf(c[0], c[1], c[2]), radius, radiusMM);
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
