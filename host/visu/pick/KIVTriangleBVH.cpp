#include "host/visu/pick/KIVTriangleBVH.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "host/visu/pick/detail/KIVWideBVH.h"

using namespace kivpick;

namespace {

constexpr int kBins = 12;
// Past this depth the builder halves ranges, which bounds the depth of any tree by
// kMaxSahDepth + 32 and so the traversal stack.
constexpr int kMaxSahDepth = 64;
static_assert(3 * (kMaxSahDepth + 32) + 1 <= kivpick::kStackSize);

// Reused across builds so that building thousands of small geometries does not pay an
// allocation per build.
struct BuildScratch {
  std::vector<float> centroids;  // 3 per item
  std::vector<float> boxes;      // 6 per kept triangle
  std::vector<int> order;
  std::vector<KIVTriangleBVH::Node> nodes;
  struct Range {
    int node, begin, end, depth;
  };
  std::vector<Range> stack;
};
thread_local BuildScratch tScratch;

struct Bin {
  float min[3] = {kInf, kInf, kInf};
  float max[3] = {-kInf, -kInf, -kInf};
  int count = 0;
};

inline void Unite(Bin& into, const Bin& b) {
  for (int a = 0; a < 3; ++a) {
    into.min[a] = std::min(into.min[a], b.min[a]);
    into.max[a] = std::max(into.max[a], b.max[a]);
  }
}

inline float HalfArea(const float* mn, const float* mx) {
  const float dx = mx[0] - mn[0], dy = mx[1] - mn[1], dz = mx[2] - mn[2];
  return dx * dy + dy * dz + dz * dx;
}

inline void Grow(float* mn, float* mx, const float* box) {
  for (int a = 0; a < 3; ++a) {
    mn[a] = std::min(mn[a], box[a]);
    mx[a] = std::max(mx[a], box[a + 3]);
  }
}

// The ray in the sheared frame of the watertight test: the axis of largest |d| becomes z
// and the ray runs along it, so that each edge is tested by a 2D cross product whose sign
// two triangles sharing the edge compute from the same numbers.
struct ShearedRay {
  int kx, ky, kz;
  float sx, sy, sz;
  F4 o[3];  // origin along kx, ky, kz
  F4 shx, shy, shz;
  ShearedRay(const float* org, const float* d) {
    kz = std::fabs(d[0]) > std::fabs(d[1]) ? (std::fabs(d[0]) > std::fabs(d[2]) ? 0 : 2)
                                           : (std::fabs(d[1]) > std::fabs(d[2]) ? 1 : 2);
    kx = kz == 2 ? 0 : kz + 1;
    ky = kx == 2 ? 0 : kx + 1;
    sx = d[kx] / d[kz], sy = d[ky] / d[kz], sz = 1.0f / d[kz];
    o[0] = Splat(org[kx]), o[1] = Splat(org[ky]), o[2] = Splat(org[kz]);
    shx = Splat(sx), shy = Splat(sy), shz = Splat(sz);
  }
};

// One corner carried into the sheared frame; the same operations in the same order for
// every triangle that shares the corner.
struct Corner {
  F4 x, y, z;
};
inline Corner Shear(const ShearedRay& r, const float (*p)[4]) {
  const F4 z = Load(p[r.kz]) - r.o[2];
  return {(Load(p[r.kx]) - r.o[0]) - r.shx * z, (Load(p[r.ky]) - r.o[1]) - r.shy * z, z};
}

struct LaneHit {
  float t, u, v;
};

// A lane whose edge test came out exactly zero in single precision: the three edge
// functions again in double, where the products of floats are exact and so are their
// signs, as the watertight test asks.
bool ExactLane(const float* x, const float* y, const float* z, float sz, float best, LaneHit& out) {
  const double U = double(x[2]) * y[1] - double(y[2]) * x[1];
  const double V = double(x[0]) * y[2] - double(y[0]) * x[2];
  const double W = double(x[1]) * y[0] - double(y[1]) * x[0];
  if ((U < 0 || V < 0 || W < 0) && (U > 0 || V > 0 || W > 0)) return false;
  const double det = U + V + W;
  if (det == 0.0) return false;
  const double T = (U * z[0] + V * z[1] + W * z[2]) * sz;
  const double t = T / det;
  if (!(t >= 0.0 && t <= best)) return false;
  out = {static_cast<float>(t), static_cast<float>(V / det), static_cast<float>(W / det)};
  return true;
}

// The nearest of the packet's four triangles hit with t in [0, best]; its lane or -1.
inline int HitPacket(const ShearedRay& r, const float (*p)[3][4], float best, LaneHit& out) {
  const Corner a = Shear(r, p[0]), b = Shear(r, p[1]), c = Shear(r, p[2]);
  const F4 U = c.x * b.y - c.y * b.x;
  const F4 V = a.x * c.y - a.y * c.x;
  const F4 W = b.x * a.y - b.y * a.x;
  const F4 zero = Splat(0.0f);
  const int exact = Bits((U == zero) | (V == zero) | (W == zero));
  const M4 inside = ((U >= zero) & (V >= zero) & (W >= zero)) | ((U <= zero) & (V <= zero) & (W <= zero));
  const F4 det = U + V + W;
  const F4 T = (U * a.z + V * b.z + W * c.z) * r.shz;
  const F4 bestDet = Splat(best) * det;
  // t = T / det within [0, best], for either sign of det; det == 0 fails both.
  const M4 front = (det > zero) & (T >= zero) & (T <= bestDet);
  const M4 back = (det < zero) & (T <= zero) & (T >= bestDet);
  int lanes = Bits(inside & (front | back)) & ~exact;
  if (!lanes && !exact) return -1;
  alignas(16) float ts[4], us[4], ws[4], ds[4];
  Store(ts, T), Store(us, V), Store(ws, W), Store(ds, det);
  int found = -1;
  while (lanes) {
    const int l = std::countr_zero(static_cast<unsigned>(lanes));
    lanes &= lanes - 1;
    const float inv = 1.0f / ds[l];
    const float t = ts[l] * inv;
    if (t > best) continue;  // T <= best * det may round the other way
    best = t;
    found = l;
    out = {t, us[l] * inv, ws[l] * inv};
  }
  for (int rest = exact; rest;) {
    const int l = std::countr_zero(static_cast<unsigned>(rest));
    rest &= rest - 1;
    alignas(16) float ax[4], ay[4], az[4], bx[4], by[4], bz[4], cx[4], cy[4], cz[4];
    Store(ax, a.x), Store(ay, a.y), Store(az, a.z), Store(bx, b.x), Store(by, b.y), Store(bz, b.z);
    Store(cx, c.x), Store(cy, c.y), Store(cz, c.z);
    const float x[3] = {ax[l], bx[l], cx[l]}, y[3] = {ay[l], by[l], cy[l]}, z[3] = {az[l], bz[l], cz[l]};
    LaneHit h;
    if (ExactLane(x, y, z, r.sz, best, h)) best = h.t, found = l, out = h;
  }
  return found;
}

}  // namespace

void KIVTriangleBVH::BuildTree(const float* boxes, int count, int maxLeaf, std::vector<Node>& nodes,
                               std::vector<int>& order) {
  nodes.clear();
  order.resize(count > 0 ? count : 0);
  if (count <= 0 || !boxes) return;
  maxLeaf = std::max(1, maxLeaf);
  std::iota(order.begin(), order.end(), 0);

  BuildScratch& s = tScratch;
  s.centroids.resize(3 * static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    for (int a = 0; a < 3; ++a) s.centroids[3 * i + a] = 0.5f * (boxes[6 * i + a] + boxes[6 * i + 3 + a]);
  const float* cen = s.centroids.data();

  nodes.reserve(2 * static_cast<size_t>(count));
  nodes.push_back(Node{});
  s.stack.clear();
  s.stack.push_back({0, 0, count, 0});
  int* ids = order.data();
  while (!s.stack.empty()) {
    const BuildScratch::Range r = s.stack.back();
    s.stack.pop_back();
    float bmin[3] = {kInf, kInf, kInf}, bmax[3] = {-kInf, -kInf, -kInf};
    float cmin[3] = {kInf, kInf, kInf}, cmax[3] = {-kInf, -kInf, -kInf};
    for (int k = r.begin; k < r.end; ++k) {
      const int i = ids[k];
      Grow(bmin, bmax, boxes + 6 * i);
      for (int a = 0; a < 3; ++a) {
        cmin[a] = std::min(cmin[a], cen[3 * i + a]);
        cmax[a] = std::max(cmax[a], cen[3 * i + a]);
      }
    }
    Node& node = nodes[r.node];
    for (int a = 0; a < 3; ++a) node.min[a] = bmin[a], node.max[a] = bmax[a];
    const int n = r.end - r.begin;
    if (n <= maxLeaf) {
      node.first = r.begin;
      node.count = n;
      continue;
    }
    if (n == 2) {
      // One item a side is the only split there is.
      const int left = static_cast<int>(nodes.size());
      nodes[r.node].first = left;
      nodes[r.node].count = 0;
      nodes.push_back(Node{});
      nodes.push_back(Node{});
      s.stack.push_back({left + 1, r.begin + 1, r.end, r.depth + 1});
      s.stack.push_back({left, r.begin, r.begin + 1, r.depth + 1});
      continue;
    }

    // Bin the centroids along the axis of widest spread only: on the meshes we pick,
    // the other two axes rarely give a cheaper plane and binning them triples the cost.
    int axis = 0;
    for (int a = 1; a < 3; ++a)
      if (cmax[a] - cmin[a] > cmax[axis] - cmin[axis]) axis = a;
    const float extent = cmax[axis] - cmin[axis];
    const float scale = extent > 0.0f ? kBins * 0.99999f / extent : 0.0f;
    int bestSplit = 0;
    if (scale > 0.0f) {
      Bin bins[kBins];
      const float lo = cmin[axis];
      for (int k = r.begin; k < r.end; ++k) {
        const int i = ids[k];
        const int b = std::min(kBins - 1, static_cast<int>((cen[3 * i + axis] - lo) * scale));
        ++bins[b].count;
        Grow(bins[b].min, bins[b].max, boxes + 6 * i);
      }
      float rightArea[kBins];
      int rightCount[kBins];
      Bin acc;
      for (int b = kBins - 1; b > 0; --b) {
        acc.count += bins[b].count;
        if (bins[b].count) Unite(acc, bins[b]);
        rightCount[b] = acc.count;
        rightArea[b] = acc.count ? HalfArea(acc.min, acc.max) : 0.0f;
      }
      Bin left;
      float bestCost = kInf;
      for (int b = 0; b < kBins - 1; ++b) {
        left.count += bins[b].count;
        if (bins[b].count) Unite(left, bins[b]);
        if (!left.count || !rightCount[b + 1]) continue;
        const float cost = HalfArea(left.min, left.max) * left.count + rightArea[b + 1] * rightCount[b + 1];
        if (cost < bestCost) bestCost = cost, bestSplit = b + 1;
      }
    }

    int mid;
    if (bestSplit == 0 || r.depth >= kMaxSahDepth) {
      mid = r.begin + n / 2;  // all centroids coincide: any split is as good
    } else {
      const int a = axis;
      const float lo = cmin[a], sc = scale;
      int* m = std::partition(ids + r.begin, ids + r.end, [&](int i) {
        return std::min(kBins - 1, static_cast<int>((cen[3 * i + a] - lo) * sc)) < bestSplit;
      });
      mid = static_cast<int>(m - ids);
      if (mid == r.begin || mid == r.end) mid = r.begin + n / 2;
    }
    const int left = static_cast<int>(nodes.size());
    nodes[r.node].first = left;
    nodes[r.node].count = 0;
    nodes.push_back(Node{});
    nodes.push_back(Node{});
    s.stack.push_back({left + 1, mid, r.end, r.depth + 1});
    s.stack.push_back({left, r.begin, mid, r.depth + 1});
  }
}

void KIVTriangleBVH::Clear() {
  mNodes.clear();
  mPackets.clear();
  mTriangleCount = 0;
  mBuilt = 0;
}

int KIVTriangleBVH::Build(const float* vertices, int vertexCount, const int* indices, int triangleCount) {
  Clear();
  if (!vertices || !indices || vertexCount < 0 || triangleCount < 0) return 0;
  const long long n3 = 3LL * triangleCount;
  for (long long k = 0; k < n3; ++k)
    if (indices[k] < 0 || indices[k] >= vertexCount) return 0;

  BuildScratch& s = tScratch;
  s.boxes.resize(6 * static_cast<size_t>(triangleCount));
  thread_local std::vector<int> kept;  // the caller's index of each kept triangle
  kept.clear();
  for (int t = 0; t < triangleCount; ++t) {
    const int* c = indices + 3 * t;
    const float* p[3] = {vertices + 3 * c[0], vertices + 3 * c[1], vertices + 3 * c[2]};
    float e1[3], e2[3];
    for (int a = 0; a < 3; ++a) e1[a] = p[1][a] - p[0][a], e2[a] = p[2][a] - p[0][a];
    const float nx = e1[1] * e2[2] - e1[2] * e2[1];
    const float ny = e1[2] * e2[0] - e1[0] * e2[2];
    const float nz = e1[0] * e2[1] - e1[1] * e2[0];
    const float area2 = nx * nx + ny * ny + nz * nz;
    if (!(area2 > 0.0f) || !std::isfinite(area2)) continue;  // degenerate or not finite
    float* box = s.boxes.data() + 6 * kept.size();
    for (int a = 0; a < 3; ++a) {
      box[a] = std::min(std::min(p[0][a], p[1][a]), p[2][a]);
      box[a + 3] = std::max(std::max(p[0][a], p[1][a]), p[2][a]);
    }
    kept.push_back(t);
  }
  mTriangleCount = static_cast<int>(kept.size());
  mBuilt = 1;
  if (kept.empty()) return 1;
  BuildTree(s.boxes.data(), mTriangleCount, 4, s.nodes, s.order);
  for (int a = 0; a < 3; ++a) mMin[a] = s.nodes[0].min[a], mMax[a] = s.nodes[0].max[a];
  // Each binary leaf (at most four triangles) becomes one packet, numbered in the order
  // the collapse meets them, so that neighbours in the tree are neighbours in memory.
  size_t leaves = 0;
  for (const Node& n : s.nodes) leaves += n.count > 0;
  mPackets.reserve(leaves);
  mNodes.reserve(s.nodes.size() / 3 + 1);
  const int* order = s.order.data();
  Collapse(s.nodes, 0, mNodes, [&](const Node& leaf) {
    Packet& pk = mPackets.emplace_back();
    for (int l = 0; l < 4; ++l) {
      const int t = kept[order[leaf.first + std::min(l, leaf.count - 1)]];
      pk.id[l] = t;
      for (int k = 0; k < 3; ++k)
        for (int a = 0; a < 3; ++a) pk.p[k][a][l] = vertices[3 * indices[3 * t + k] + a];
    }
    return static_cast<int>(mPackets.size()) - 1;
  });
  return 1;
}

int KIVTriangleBVH::GetBounds(KIVMathPointf& min, KIVMathPointf& max) const {
  if (mNodes.empty()) return 0;
  min = KIVMathPointf(mMin);
  max = KIVMathPointf(mMax);
  return 1;
}

template <bool kAny>
int KIVTriangleBVH::Traverse(const KIVMathPointf& origin, const KIVMathVectorf& direction, float tMax,
                             Hit* hit) const {
  const float o[3] = {origin.x, origin.y, origin.z};
  const float d[3] = {direction.x, direction.y, direction.z};
  if (mNodes.empty() || !(tMax >= 0.0f) || !UsableRay(o, d)) return 0;
  const BoxRay boxRay(o, d);
  const ShearedRay triRay(o, d);
  const WideNode* nodes = mNodes.data();
  const Packet* packets = mPackets.data();

  float best = tMax;
  int foundPacket = -1, foundLane = 0;
  LaneHit bestHit{0.0f, 0.0f, 0.0f};
  StackEntry stack[kStackSize];
  int sp = 0;
  std::int32_t current = 0;
  for (;;) {
    if (current >= 0) {
      const WideNode& n = nodes[current];
      F4 tNear;
      const int lanes = boxRay.Enter(n, Splat(best), tNear);
      if (lanes) {
        alignas(16) float tn[4];
        Store(tn, tNear);
        current = Order(nodes, n, lanes, tn, stack, sp);
        continue;
      }
    } else {
      const int p = LeafIndex(current);
      LaneHit h;
      const int lane = HitPacket(triRay, packets[p].p, best, h);
      if (lane >= 0) {
        if constexpr (kAny) return 1;
        best = h.t, foundPacket = p, foundLane = lane, bestHit = h;
      }
    }
    // The next subtree still in front of the best hit.
    for (;;) {
      if (sp == 0) {
        if (foundPacket < 0) return 0;
        if (hit) *hit = Hit{best, packets[foundPacket].id[foundLane], bestHit.u, bestHit.v};
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

int KIVTriangleBVH::Intersect(const KIVMathPointf& origin, const KIVMathVectorf& direction, float tMax,
                              Hit& hit) const {
  return Traverse<false>(origin, direction, tMax, &hit);
}

int KIVTriangleBVH::Occluded(const KIVMathPointf& origin, const KIVMathVectorf& direction, float tMax) const {
  return Traverse<true>(origin, direction, tMax, nullptr);
}
