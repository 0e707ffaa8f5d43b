#include "host/visu/pick/KIVSceneBVH.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "host/visu/pick/detail/KIVWideBVH.h"

using namespace kivpick;

namespace {

constexpr int kInstancesPerLeaf = 4;

inline void SetEmpty(KIVTriangleBVH::Node& n) {
  for (int a = 0; a < 3; ++a) n.min[a] = kInf, n.max[a] = -kInf;
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
  SyncSlot(instance);
  if (!inst.dirty && inst.slot >= 0) {
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
  SyncSlot(instance);
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
  mReady.clear();
  mTried.clear();
  mBuiltGeometries = 0;
}

void KIVSceneBVH::ClearInstances() {
  mInstances.clear();
  mFree.clear();
  mAliveCount = 0;
  mNodes.clear();
  mParents.clear();
  mSlots.clear();
  mMoved.clear();
  mTopologyDirty = 0;
}

void KIVSceneBVH::InvalidateGeometry(int geometry) {
  if (geometry < 0 || geometry >= static_cast<int>(mGeometries.size())) return;
  if (mGeometries[geometry] && mGeometries[geometry]->IsBuilt()) --mBuiltGeometries;
  mGeometries[geometry].reset();
  mReady[geometry] = nullptr;
  mTried[geometry] = 0;
}

int KIVSceneBVH::IsGeometryBuilt(int geometry) const {
  return geometry >= 0 && geometry < static_cast<int>(mGeometries.size()) && mGeometries[geometry] &&
         mGeometries[geometry]->IsBuilt();
}

void KIVSceneBVH::SyncSlot(int instance) {
  const Instance& inst = mInstances[instance];
  if (inst.slot < 0) return;
  Slot& slot = mSlots[inst.slot];
  std::copy(inst.inverse, inst.inverse + 12, slot.inverse);
  slot.pickable = inst.alive && inst.visible && inst.invertible;
}

KIVTriangleBVH* KIVSceneBVH::BuildGeometry(int geometry) {
  if (geometry >= static_cast<int>(mGeometries.size())) {
    mGeometries.resize(geometry + 1);
    mReady.resize(geometry + 1, nullptr);
    mTried.resize(geometry + 1, 0);
  }
  // Tried once only: a geometry whose builder fails is not rebuilt on every ray.
  mTried[geometry] = 1;
  mGeometries[geometry] = std::make_unique<KIVTriangleBVH>();
  if (mBuilder) mBuilder(geometry, *mGeometries[geometry]);
  KIVTriangleBVH* bvh = mGeometries[geometry].get();
  if (bvh->IsBuilt()) ++mBuiltGeometries;
  mReady[geometry] = bvh->IsBuilt() ? bvh : nullptr;
  return mReady[geometry];
}

void KIVSceneBVH::Rebuild() {
  mTopologyDirty = 0;
  for (int id : mMoved) mInstances[id].dirty = 0;
  mMoved.clear();
  // Scratch kept by the thread: a fresh scene's first pick does not pay for fresh pages.
  thread_local std::vector<int> alive, order;
  thread_local std::vector<float> boxes;
  thread_local std::vector<KIVTriangleBVH::Node> binary;
  alive.clear();
  for (int i = 0; i < static_cast<int>(mInstances.size()); ++i) {
    mInstances[i].slot = -1;
    if (mInstances[i].alive) alive.push_back(i);
  }
  mNodes.clear();
  mParents.clear();
  mSlots.clear();
  if (alive.empty()) return;
  boxes.resize(6 * alive.size());
  for (size_t k = 0; k < alive.size(); ++k) {
    const KIVTriangleBVH::Node& b = mInstances[alive[k]].box;
    // Unpickable instances get a point box so that they do not spoil the split costs.
    for (int a = 0; a < 3; ++a) {
      const bool empty = !(b.min[a] <= b.max[a]);
      boxes[6 * k + a] = empty ? 0.0f : b.min[a];
      boxes[6 * k + 3 + a] = empty ? 0.0f : b.max[a];
    }
  }
  // Leaves of a few instances, each instance then a lane of its own: the 4-wide node's
  // box test is the instance's.
  KIVTriangleBVH::BuildTree(boxes.data(), static_cast<int>(alive.size()), kInstancesPerLeaf, binary, order);
  mSlots.resize(alive.size());
  mNodes.reserve(binary.size() / 2 + 1);
  CollapseItems(binary, 0, mNodes, [&](int k, int node, int lane) {
    const int id = alive[order[k]];
    Instance& inst = mInstances[id];
    inst.slot = k;
    Slot& slot = mSlots[k];
    slot.instance = id;
    slot.geometry = inst.geometry;
    slot.lane = 4 * node + lane;
    SyncSlot(id);
    // The real box, where the builder saw an unpickable instance as a point.
    SetLane(mNodes[node], lane, inst.box.min, inst.box.max);
    return k;
  });
  mParents.assign(mNodes.size(), -1);
  for (int n = 0; n < static_cast<int>(mNodes.size()); ++n)
    for (int l = 0; l < 4; ++l)
      if (mNodes[n].child[l] > 0) mParents[mNodes[n].child[l]] = 4 * n + l;
  // Children come after their parent, so a backward sweep fits bottom-up.
  for (int n = static_cast<int>(mNodes.size()) - 1; n > 0; --n) {
    float mn[3], mx[3];
    NodeBox(mNodes[n], mn, mx);
    SetLane(mNodes[mParents[n] / 4], mParents[n] % 4, mn, mx);
  }
}

void KIVSceneBVH::FitUp(int node) {
  for (int p = mParents[node]; p >= 0; node = p / 4, p = mParents[node]) {
    float mn[3], mx[3];
    NodeBox(mNodes[node], mn, mx);
    KIVTriangleBVH::WideNode& parent = mNodes[p / 4];
    const int l = p % 4;
    bool same = true;
    for (int a = 0; a < 3; ++a) same = same && parent.box[2 * a][l] == mn[a] && parent.box[2 * a + 1][l] == mx[a];
    if (same) break;  // nothing above changes either
    SetLane(parent, l, mn, mx);
  }
}

void KIVSceneBVH::Refit() {
  for (int id : mMoved) {
    Instance& inst = mInstances[id];
    inst.dirty = 0;
    if (!inst.alive || inst.slot < 0) continue;
    const int lane = mSlots[inst.slot].lane;
    SetLane(mNodes[lane / 4], lane % 4, inst.box.min, inst.box.max);
    FitUp(lane / 4);
  }
  mMoved.clear();
}

int KIVSceneBVH::Intersect(const KIVRay& ray, Hit& hit) {
  if (mTopologyDirty) Rebuild();
  if (!mMoved.empty()) Refit();
  const float o[3] = {ray.origin.x, ray.origin.y, ray.origin.z};
  const float d[3] = {ray.direction.x, ray.direction.y, ray.direction.z};
  if (mNodes.empty() || !(ray.tMax >= 0.0f) || !UsableRay(o, d)) return 0;
  const BoxRay boxRay(o, d);
  const KIVTriangleBVH::WideNode* nodes = mNodes.data();

  float best = ray.tMax;
  int found = -1;
  KIVTriangleBVH::Hit bestHit;
  StackEntry stack[kStackSize];
  int sp = 0;
  std::int32_t current = 0;
  for (;;) {
    if (current >= 0) {
      const KIVTriangleBVH::WideNode& n = nodes[current];
      F4 tNear;
      const int lanes = boxRay.Enter(n, Splat(best), tNear);
      if (lanes) {
        alignas(16) float tn[4];
        Store(tn, tNear);
        current = Order(nodes, n, lanes, tn, stack, sp);
        continue;
      }
    } else {
      const Slot& s = mSlots[LeafIndex(current)];
      if (s.pickable) {
        if (const KIVTriangleBVH* bvh = Geometry(s.geometry)) {
          const float* m = s.inverse;
          const KIVMathPointf lo(o[0] * m[0] + o[1] * m[3] + o[2] * m[6] + m[9],
                                 o[0] * m[1] + o[1] * m[4] + o[2] * m[7] + m[10],
                                 o[0] * m[2] + o[1] * m[5] + o[2] * m[8] + m[11]);
          const KIVMathVectorf ld(d[0] * m[0] + d[1] * m[3] + d[2] * m[6], d[0] * m[1] + d[1] * m[4] + d[2] * m[7],
                                  d[0] * m[2] + d[1] * m[5] + d[2] * m[8]);
          KIVTriangleBVH::Hit h;
          if (bvh->Intersect(lo, ld, best, h) && h.t <= best) {
            best = h.t;
            found = LeafIndex(current);
            bestHit = h;
          }
        }
      }
    }
    // The next subtree still in front of the best hit.
    for (;;) {
      if (sp == 0) {
        if (found < 0) return 0;
        Hit result;
        result.instance = mSlots[found].instance;
        result.geometry = mSlots[found].geometry;
        result.triangle = bestHit.triangle;
        result.t = bestHit.t;
        result.u = bestHit.u;
        result.v = bestHit.v;
        result.point = ray.PointAt(result.t);
        hit = result;
        return 1;
      }
      const StackEntry& e = stack[--sp];
      if (e.t <= best) {
        current = e.node;
        break;
      }
    }
  }
}
