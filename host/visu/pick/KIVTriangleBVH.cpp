#include "host/visu/pick/KIVTriangleBVH.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

constexpr int kBins = 12;
// Past this depth the builder halves ranges, which bounds the depth of any tree by
// kMaxSahDepth + 32 and so the traversal stack.
constexpr int kMaxSahDepth = 64;
constexpr int kStackSize = kMaxSahDepth + 40;
constexpr float kInf = std::numeric_limits<float>::infinity();

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

// Entry distance of the ray into the node's box clipped to [0, tMax], or +inf on a miss.
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
  mTriangles.clear();
  mVertices.clear();
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
  thread_local std::vector<Triangle> raw;
  raw.clear();
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
    float* box = s.boxes.data() + 6 * raw.size();
    for (int a = 0; a < 3; ++a) {
      box[a] = std::min(std::min(p[0][a], p[1][a]), p[2][a]);
      box[a + 3] = std::max(std::max(p[0][a], p[1][a]), p[2][a]);
    }
    raw.push_back({{static_cast<std::uint32_t>(c[0]), static_cast<std::uint32_t>(c[1]),
                    static_cast<std::uint32_t>(c[2])},
                   t});
  }
  // Built into scratch, then copied at its exact size: the bound reserved is twice the need.
  BuildTree(s.boxes.data(), static_cast<int>(raw.size()), 4, s.nodes, s.order);
  mNodes.assign(s.nodes.begin(), s.nodes.end());
  mVertices.assign(vertices, vertices + 3 * static_cast<size_t>(vertexCount));
  mTriangles.resize(raw.size());
  for (size_t k = 0; k < s.order.size(); ++k) mTriangles[k] = raw[s.order[k]];
  mBuilt = 1;
  return 1;
}

int KIVTriangleBVH::GetBounds(KIVMathPointf& min, KIVMathPointf& max) const {
  if (mNodes.empty()) return 0;
  min = KIVMathPointf(mNodes[0].min);
  max = KIVMathPointf(mNodes[0].max);
  return 1;
}

template <bool kAny>
int KIVTriangleBVH::Traverse(const KIVMathPointf& origin, const KIVMathVectorf& direction, float tMax,
                             Hit* hit) const {
  if (mNodes.empty() || !(tMax >= 0.0f)) return 0;
  const float o[3] = {origin.x, origin.y, origin.z};
  const float d[3] = {direction.x, direction.y, direction.z};
  const float inv[3] = {1.0f / d[0], 1.0f / d[1], 1.0f / d[2]};
  const Node* nodes = mNodes.data();
  const Triangle* tris = mTriangles.data();
  const float* verts = mVertices.data();

  float best = tMax;
  int found = -1;
  float bu = 0.0f, bv = 0.0f;
  struct Entry {
    int node;
    float t;
  };
  Entry stack[kStackSize];
  int sp = 0;
  if (EnterBox(nodes[0], o, inv, best) == kInf) return 0;
  int current = 0;
  for (;;) {
    const Node& n = nodes[current];
    if (n.count > 0) {
      for (int k = n.first, e = n.first + n.count; k < e; ++k) {
        const Triangle& tr = tris[k];
        const float* p0 = verts + 3 * tr.v[0];
        const float* p1 = verts + 3 * tr.v[1];
        const float* p2 = verts + 3 * tr.v[2];
        const float e1[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
        const float e2[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
        // Möller–Trumbore, two-sided.
        const float px = d[1] * e2[2] - d[2] * e2[1];
        const float py = d[2] * e2[0] - d[0] * e2[2];
        const float pz = d[0] * e2[1] - d[1] * e2[0];
        const float det = e1[0] * px + e1[1] * py + e1[2] * pz;
        if (det == 0.0f) continue;
        const float invDet = 1.0f / det;
        const float tx = o[0] - p0[0], ty = o[1] - p0[1], tz = o[2] - p0[2];
        const float u = (tx * px + ty * py + tz * pz) * invDet;
        if (u < 0.0f || u > 1.0f) continue;
        const float qx = ty * e1[2] - tz * e1[1];
        const float qy = tz * e1[0] - tx * e1[2];
        const float qz = tx * e1[1] - ty * e1[0];
        const float v = (d[0] * qx + d[1] * qy + d[2] * qz) * invDet;
        if (v < 0.0f || u + v > 1.0f) continue;
        const float t = (e2[0] * qx + e2[1] * qy + e2[2] * qz) * invDet;
        if (!(t >= 0.0f && t <= best)) continue;
        if constexpr (kAny) return 1;
        best = t, found = k, bu = u, bv = v;
      }
    } else {
      int a = n.first, b = n.first + 1;
      float ta = EnterBox(nodes[a], o, inv, best), tb = EnterBox(nodes[b], o, inv, best);
      if (tb < ta) std::swap(a, b), std::swap(ta, tb);
      if (ta != kInf) {
        if (tb != kInf) stack[sp++] = {b, tb};
        current = a;
        continue;
      }
    }
    // Pop the next subtree still in front of the best hit.
    for (;;) {
      if (sp == 0) {
        if (found < 0) return 0;
        if (hit) *hit = Hit{best, tris[found].id, bu, bv};
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

int KIVTriangleBVH::Intersect(const KIVMathPointf& origin, const KIVMathVectorf& direction, float tMax,
                              Hit& hit) const {
  return Traverse<false>(origin, direction, tMax, &hit);
}

int KIVTriangleBVH::Occluded(const KIVMathPointf& origin, const KIVMathVectorf& direction, float tMax) const {
  return Traverse<true>(origin, direction, tMax, nullptr);
}
