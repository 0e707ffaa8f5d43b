#include "host/visu/pick/KIVSceneBVH.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr int kInstancesPerLeaf = 2;

inline float EnterBox(const KIVTriangleBVH::Node& n, const float* o, const float* inv, float tMax) {
  float t1 = (n.min[0] - o[0]) * inv[0], t2 = (n.max[0] - o[0]) * inv[0];
  float lo = std::min(t1, t2), hi = std::max(t1, t2);
  t1 = (n.min[1] - o[1]) * inv[1], t2 = (n.max[1] - o[1]) * inv[1];
  lo = std::max(lo, std::min(t1, t2)), hi = std::min(hi, std::max(t1, t2));
  t1 = (n.min[2] - o[2]) * inv[2], t2 = (n.max[2] - o[2]) * inv[2];
  lo = std::max(lo, std::min(t1, t2)), hi = std::min(hi, std::max(t1, t2));
  lo = std::max(lo, 0.0f), hi = std::min(hi, tMax);
  return lo <= hi ? lo : kInf;
}

inline void SetEmpty(KIVTriangleBVH::Node& n) {
  for (int a = 0; a < 3; ++a) n.min[a] = kInf, n.max[a] = -kInf;
}

inline void Unite(KIVTriangleBVH::Node& n, const KIVTriangleBVH::Node& b) {
  for (int a = 0; a < 3; ++a) n.min[a] = std::min(n.min[a], b.min[a]), n.max[a] = std::max(n.max[a], b.max[a]);
}

inline bool SameBox(const KIVTriangleBVH::Node& a, const KIVTriangleBVH::Node& b) {
  for (int k = 0; k < 3; ++k)
    if (a.min[k] != b.min[k] || a.max[k] != b.max[k]) return false;
  return true;
}

}  // namespace

void KIVSceneBVH::Place(Instance& inst, const KIV4x4Matrix& matrix) {
  inst.matrix = matrix;
  int ok = 1;
  const KIV4x4Matrix inv = matrix.Inverse(&ok);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) inst.inverse[3 * r + c] = inv.Get(r, c);
  inst.invertible = ok ? 1 : 0;
  // Box of the transformed box (Arvo): each world extent sums the extremes of each term.
  const float lo[3] = {inst.localMin.x, inst.localMin.y, inst.localMin.z};
  const float hi[3] = {inst.localMax.x, inst.localMax.y, inst.localMax.z};
  for (int j = 0; j < 3; ++j) {
    float mn = matrix.Get(3, j), mx = mn;
    for (int i = 0; i < 3; ++i) {
      const float a = matrix.Get(i, j) * lo[i], b = matrix.Get(i, j) * hi[i];
      mn += std::min(a, b);
      mx += std::max(a, b);
    }
    inst.box.min[j] = mn;
    inst.box.max[j] = mx;
  }
  if (!ok) SetEmpty(inst.box);
}

int KIVSceneBVH::AddInstance(int geometry, const KIVMathPointf& localMin, const KIVMathPointf& localMax,
                             const KIV4x4Matrix& matrix) {
  if (geometry < 0 || geometry >= kMaxGeometry) return -1;
  if (!(localMin.x <= localMax.x && localMin.y <= localMax.y && localMin.z <= localMax.z)) return -1;
  int id;
  if (!mFree.empty()) {
    id = mFree.back();
    mFree.pop_back();
  } else {
    id = static_cast<int>(mInstances.size());
    mInstances.emplace_back();
  }
  Instance& inst = mInstances[id];
  inst = Instance{};
  inst.geometry = geometry;
  inst.alive = 1;
  inst.localMin = localMin;
  inst.localMax = localMax;
  Place(inst, matrix);
  ++mAliveCount;
  mTopologyDirty = 1;
  return id;
}

int KIVSceneBVH::RemoveInstance(int instance) {
  if (!Valid(instance)) return 0;
  mInstances[instance].alive = 0;
  mFree.push_back(instance);
  --mAliveCount;
  mTopologyDirty = 1;
  return 1;
}

int KIVSceneBVH::SetMatrix(int instance, const KIV4x4Matrix& matrix) {
  if (!Valid(instance)) return 0;
  Instance& inst = mInstances[instance];
  Place(inst, matrix);
  if (!inst.dirty && inst.leaf >= 0) {
    inst.dirty = 1;
    mMoved.push_back(instance);
  }
  return 1;
}

int KIVSceneBVH::SetLocalBox(int instance, const KIVMathPointf& localMin, const KIVMathPointf& localMax) {
  if (!Valid(instance) || localMin.x > localMax.x || localMin.y > localMax.y || localMin.z > localMax.z) return 0;
  Instance& inst = mInstances[instance];
  inst.localMin = localMin;
  inst.localMax = localMax;
  return SetMatrix(instance, inst.matrix);
}

const KIV4x4Matrix* KIVSceneBVH::GetMatrix(int instance) const {
  return Valid(instance) ? &mInstances[instance].matrix : nullptr;
}

int KIVSceneBVH::SetVisible(int instance, int visible) {
  if (!Valid(instance)) return 0;
  mInstances[instance].visible = visible ? 1 : 0;
  return 1;
}

int KIVSceneBVH::IsVisible(int instance) const { return Valid(instance) && mInstances[instance].visible; }

int KIVSceneBVH::GetWorldBounds(int instance, KIVMathPointf& min, KIVMathPointf& max) const {
  if (!Valid(instance)) return 0;
  min = KIVMathPointf(mInstances[instance].box.min);
  max = KIVMathPointf(mInstances[instance].box.max);
  return 1;
}

void KIVSceneBVH::Clear() {
  ClearInstances();
  mGeometries.clear();
  mTried.clear();
  mBuiltGeometries = 0;
}

void KIVSceneBVH::ClearInstances() {
  mInstances.clear();
  mFree.clear();
  mAliveCount = 0;
  mNodes.clear();
  mParents.clear();
  mOrder.clear();
  mMoved.clear();
  mTopologyDirty = 0;
}

void KIVSceneBVH::InvalidateGeometry(int geometry) {
  if (geometry < 0 || geometry >= static_cast<int>(mGeometries.size())) return;
  if (mGeometries[geometry] && mGeometries[geometry]->IsBuilt()) --mBuiltGeometries;
  mGeometries[geometry].reset();
  mTried[geometry] = 0;
}

int KIVSceneBVH::IsGeometryBuilt(int geometry) const {
  return geometry >= 0 && geometry < static_cast<int>(mGeometries.size()) && mGeometries[geometry] &&
         mGeometries[geometry]->IsBuilt();
}

KIVTriangleBVH* KIVSceneBVH::Geometry(int geometry) {
  if (geometry >= static_cast<int>(mGeometries.size())) {
    mGeometries.resize(geometry + 1);
    mTried.resize(geometry + 1, 0);
  }
  if (!mTried[geometry]) {
    // Tried once only: a geometry whose builder fails is not rebuilt on every ray.
    mTried[geometry] = 1;
    mGeometries[geometry] = std::make_unique<KIVTriangleBVH>();
    if (mBuilder) mBuilder(geometry, *mGeometries[geometry]);
    if (mGeometries[geometry]->IsBuilt()) ++mBuiltGeometries;
  }
  KIVTriangleBVH* bvh = mGeometries[geometry].get();
  return bvh && bvh->IsBuilt() ? bvh : nullptr;
}

void KIVSceneBVH::Rebuild() {
  mTopologyDirty = 0;
  for (int id : mMoved) mInstances[id].dirty = 0;
  mMoved.clear();
  std::vector<int> alive;
  alive.reserve(mAliveCount);
  for (int i = 0; i < static_cast<int>(mInstances.size()); ++i) {
    mInstances[i].leaf = -1;
    if (mInstances[i].alive) alive.push_back(i);
  }
  std::vector<float> boxes(6 * alive.size());
  for (size_t k = 0; k < alive.size(); ++k) {
    const KIVTriangleBVH::Node& b = mInstances[alive[k]].box;
    // Unpickable instances get a point box so that they do not spoil the split costs.
    for (int a = 0; a < 3; ++a) {
      const bool empty = !(b.min[a] <= b.max[a]);
      boxes[6 * k + a] = empty ? 0.0f : b.min[a];
      boxes[6 * k + 3 + a] = empty ? 0.0f : b.max[a];
    }
  }
  std::vector<int> order;
  KIVTriangleBVH::BuildTree(boxes.data(), static_cast<int>(alive.size()), kInstancesPerLeaf, mNodes, order);
  mOrder.resize(order.size());
  for (size_t k = 0; k < order.size(); ++k) mOrder[k] = alive[order[k]];
  mParents.assign(mNodes.size(), -1);
  for (int n = 0; n < static_cast<int>(mNodes.size()); ++n) {
    const KIVTriangleBVH::Node& node = mNodes[n];
    if (node.count == 0) {
      mParents[node.first] = mParents[node.first + 1] = n;
    } else {
      for (int k = node.first; k < node.first + node.count; ++k) mInstances[mOrder[k]].leaf = n;
      FitLeaf(n);  // the builder's boxes had unpickable instances as points
    }
  }
  for (int n = static_cast<int>(mNodes.size()) - 1; n >= 0; --n) {
    KIVTriangleBVH::Node& node = mNodes[n];
    if (node.count) continue;
    // Children always come after their parent, so a backward sweep fits bottom-up.
    SetEmpty(node);
    Unite(node, mNodes[node.first]);
    Unite(node, mNodes[node.first + 1]);
    node.count = 0;
  }
}

void KIVSceneBVH::FitLeaf(int n) {
  KIVTriangleBVH::Node& node = mNodes[n];
  const int first = node.first, count = node.count;
  SetEmpty(node);
  for (int k = first; k < first + count; ++k) Unite(node, mInstances[mOrder[k]].box);
  node.first = first;
  node.count = count;
}

void KIVSceneBVH::Refit() {
  for (int id : mMoved) {
    Instance& inst = mInstances[id];
    inst.dirty = 0;
    if (!inst.alive || inst.leaf < 0) continue;
    FitLeaf(inst.leaf);
    for (int p = mParents[inst.leaf]; p >= 0; p = mParents[p]) {
      KIVTriangleBVH::Node& node = mNodes[p];
      const KIVTriangleBVH::Node old = node;
      SetEmpty(node);
      Unite(node, mNodes[old.first]);
      Unite(node, mNodes[old.first + 1]);
      node.first = old.first;
      node.count = 0;
      if (SameBox(node, old)) break;  // nothing above changes either
    }
  }
  mMoved.clear();
}

int KIVSceneBVH::Intersect(const KIVRay& ray, Hit& hit) {
  if (mTopologyDirty) Rebuild();
  if (!mMoved.empty()) Refit();
  if (mNodes.empty() || !(ray.tMax >= 0.0f)) return 0;
  const float o[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
  const float d[3] = {ray.direction.x, ray.direction.y, ray.direction.z};
  const float inv[3] = {1.0f / d[0], 1.0f / d[1], 1.0f / d[2]};

  float best = ray.tMax;
  Hit result;
  struct Entry {
    int node;
    float t;
  };
  // Depth is bounded by the shared builder; see KIVTriangleBVH.
  Entry stack[128];
  int sp = 0;
  if (EnterBox(mNodes[0], o, inv, best) == kInf) return 0;
  int current = 0;
  for (;;) {
    const KIVTriangleBVH::Node& n = mNodes[current];
    if (n.count > 0) {
      for (int k = n.first, e = n.first + n.count; k < e; ++k) {
        const Instance& inst = mInstances[mOrder[k]];
        if (!inst.visible || !inst.invertible || !inst.alive) continue;
        if (EnterBox(inst.box, o, inv, best) == kInf) continue;
        KIVTriangleBVH* bvh = Geometry(inst.geometry);
        if (!bvh) continue;
        const float* m = inst.inverse;
        const KIVMathPointf lo(o[0] * m[0] + o[1] * m[3] + o[2] * m[6] + m[9],
                               o[0] * m[1] + o[1] * m[4] + o[2] * m[7] + m[10],
                               o[0] * m[2] + o[1] * m[5] + o[2] * m[8] + m[11]);
        const KIVMathVectorf ld(d[0] * m[0] + d[1] * m[3] + d[2] * m[6], d[0] * m[1] + d[1] * m[4] + d[2] * m[7],
                                d[0] * m[2] + d[1] * m[5] + d[2] * m[8]);
        KIVTriangleBVH::Hit h;
        if (bvh->Intersect(lo, ld, best, h) && h.t <= best) {
          best = h.t;
          result.instance = mOrder[k];
          result.geometry = inst.geometry;
          result.triangle = h.triangle;
          result.t = h.t;
          result.u = h.u;
          result.v = h.v;
        }
      }
    } else {
      int a = n.first, b = n.first + 1;
      float ta = EnterBox(mNodes[a], o, inv, best), tb = EnterBox(mNodes[b], o, inv, best);
      if (tb < ta) std::swap(a, b), std::swap(ta, tb);
      if (ta != kInf) {
        if (tb != kInf) stack[sp++] = {b, tb};
        current = a;
        continue;
      }
    }
    for (;;) {
      if (sp == 0) {
        if (result.instance < 0) return 0;
        result.point = ray.PointAt(result.t);
        hit = result;
        return 1;
      }
      const Entry e = stack[--sp];
      if (e.t <= best) {
        current = e.node;
        break;
      }
    }
  }
}
