#include "host/interfere/KIVFclInterfereEngine.h"

#ifdef __linux__
#include <sys/mman.h>
#endif

#include <fcl/narrowphase/detail/primitive_shape_algorithm/triangle_distance.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <limits>
#include <unordered_map>
#include <unordered_set>

#include "host/visu/interfere/KIVSiInInterfereModel.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIVRepPath.h"

namespace {

using V3 = fcl::Vector3d;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kLeafSize = 8;

// ---------------------------------------------------------------- geometry and its tree

// A node of a geometry's tree: a box in the leaf's frame. Leaves hold `count` triangles
// from `index`; inner nodes (count 0) have their two children at index and index + 1.
struct Node {
  float lo[3], hi[3];
  int index;
  int count;
};

// Large blocks that the trees are carved from, asked to be backed by huge pages: a page
// fault can cost more than building a small tree, and ten thousand trees touch half a
// gigabyte. Freed all at once.
class Arena {
 public:
  Arena() = default;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;
  ~Arena() { Clear(); }
  void* Allocate(size_t bytes) {
    bytes = (bytes + 15) & ~size_t{15};
    if (mBlocks.empty() || mUsed + bytes > mBlocks.back().size) {
      const size_t size = (std::max(bytes, kBlock) + kHuge - 1) / kHuge * kHuge;
      void* data = std::aligned_alloc(kHuge, size);
      if (!data) throw std::bad_alloc();
#ifdef __linux__
      madvise(data, size, MADV_HUGEPAGE);
#endif
      mBlocks.push_back({data, size});
      mUsed = 0;
      mReserved += size;
    }
    void* p = static_cast<char*>(mBlocks.back().data) + mUsed;
    mUsed += bytes;
    return p;
  }
  template <class T>
  T* Copy(const std::vector<T>& v) {
    if (v.empty()) return nullptr;
    T* p = static_cast<T*>(Allocate(v.size() * sizeof(T)));
    std::copy(v.begin(), v.end(), p);
    return p;
  }
  void Swap(Arena& o) {
    std::swap(mBlocks, o.mBlocks);
    std::swap(mUsed, o.mUsed);
    std::swap(mReserved, o.mReserved);
  }
  void Clear() {
    for (const Block& b : mBlocks) std::free(b.data);
    mBlocks.clear();
    mUsed = mReserved = 0;
  }
  size_t Reserved() const { return mReserved; }
  static constexpr size_t kBlock = size_t{32} << 20;

 private:
  static constexpr size_t kHuge = size_t{2} << 20;
  struct Block {
    void* data;
    size_t size;
  };
  std::vector<Block> mBlocks;
  size_t mUsed = 0, mReserved = 0;
};

// One geometry (a leaf's level 0, as surfaces or as wires) with its tree, shared by all
// its instances. Indexed as the primitives give it, in memory of an arena (or its own).
struct Mesh {
  unsigned long long stamp = 0;  // the leaf's geometry stamp it was read from
  bool loaded = false;           // read and tree built
  const float* verts = nullptr;  // x, y, z per vertex
  const std::uint32_t* tris = nullptr;  // 3 vertex indices per triangle, in tree order
  const Node* nodes = nullptr;          // root first
  int vertexCount = 0, triangleCount = 0, nodeCount = 0;
  float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};  // box of the triangles' vertices
  unsigned long lastUse = 0;  // the compute that last needed it
  std::vector<char> own;      // the storage of a mesh outside the arena
  int TriangleCount() const { return triangleCount; }
  size_t Bytes() const {
    return 12 * static_cast<size_t>(vertexCount) + 12 * static_cast<size_t>(triangleCount) +
           sizeof(Node) * static_cast<size_t>(nodeCount);
  }
  const float* Vertex(std::uint32_t i) const { return verts + 3 * static_cast<size_t>(i); }
};

// A geometry being read, before it goes to its mesh.
struct Geometry {
  std::vector<float> verts;
  std::vector<std::uint32_t> tris;
  std::vector<Node> nodes;
  std::vector<int> indices;  // as the primitives give them
  float lo[3], hi[3];
};

bool Finite3(const float* p) { return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]); }

void SetBox(Geometry& g) {
  for (int d = 0; d < 3; ++d) g.lo[d] = g.hi[d] = 0.0f;
  for (size_t k = 0; k < g.tris.size(); ++k) {
    const float* v = g.verts.data() + 3 * static_cast<size_t>(g.tris[k]);
    for (int d = 0; d < 3; ++d) {
      if (k == 0 || v[d] < g.lo[d]) g.lo[d] = v[d];
      if (k == 0 || v[d] > g.hi[d]) g.hi[d] = v[d];
    }
  }
}

// Level 0 of a leaf as triangles: surfaces, or wires as zero-area triangles (a, b, b); the
// other kind when the leaf has none of the asked one. Triangles with an index out of range
// or a non-finite vertex are dropped.
void ReadGeometry(const KIV3DCustomRep& leaf, bool wire, Geometry& g) {
  g.verts.clear();
  g.tris.clear();
  auto surfaces = [&] {
    g.indices.clear();
    leaf.GetPickTriangles(g.verts, g.indices);
    const std::vector<int>& idx = g.indices;
    const int vertexCount = static_cast<int>(g.verts.size() / 3);
    g.tris.resize(idx.size() - idx.size() % 3);
    size_t out = 0;
    for (size_t k = 0; k + 2 < idx.size(); k += 3) {
      bool ok = true;
      for (int c = 0; c < 3 && ok; ++c) {
        const int i = idx[k + c];
        ok = i >= 0 && i < vertexCount && Finite3(g.verts.data() + 3 * static_cast<size_t>(i));
        g.tris[out + c] = static_cast<std::uint32_t>(i);
      }
      if (ok) out += 3;
    }
    g.tris.resize(out);
  };
  auto wires = [&] {
    std::vector<float> points, segments;
    for (int k = 0; k < leaf.GetGPCount(0); ++k)
      if (const KIVGraphicPrimitive* gp = leaf.GetGP(k, 0)) gp->GetPickThinElements(points, segments);
    g.verts.clear();
    for (size_t k = 0; k + 5 < segments.size(); k += 6) {
      const float* e = segments.data() + k;
      if (!Finite3(e) || !Finite3(e + 3)) continue;
      const auto a = static_cast<std::uint32_t>(g.verts.size() / 3);
      g.verts.insert(g.verts.end(), e, e + 6);
      g.tris.insert(g.tris.end(), {a, a + 1, a + 1});
    }
  };
  if (wire) {
    wires();
    if (g.tris.empty()) surfaces();
  } else {
    surfaces();
    if (g.tris.empty()) wires();
  }
  SetBox(g);
}

// Triangles sorted along a Morton curve of their centroids, then split where the codes
// first differ (the largest cell boundary in the range), boxes fitted bottom-up: one sort
// and a linear pass, which keeps building ten thousand trees of a thousand triangles
// around half a second, where fitted volumes (OBB, RSS) cost a covariance and an eigen
// decomposition per node. The buffers are kept between builds.
class TreeBuilder {
 public:
  void Build(Geometry& g) {
    const int n = static_cast<int>(g.tris.size() / 3);
    g.nodes.clear();
    if (n == 0) return;
    mVerts = g.verts.data();
    float scale[3];
    for (int d = 0; d < 3; ++d) {
      const float extent = g.hi[d] - g.lo[d];
      scale[d] = extent > 0.0f ? 1023.0f / extent : 0.0f;
    }
    mKeys.resize(n);
    for (int i = 0; i < n; ++i) {
      const std::uint32_t* t = g.tris.data() + 3 * static_cast<size_t>(i);
      const float *v0 = Vertex(t[0]), *v1 = Vertex(t[1]), *v2 = Vertex(t[2]);
      std::uint64_t code = 0;
      for (int d = 0; d < 3; ++d) {
        const float c = (v0[d] + v1[d] + v2[d]) * (1.0f / 3.0f);
        const float q = std::clamp((c - g.lo[d]) * scale[d], 0.0f, 1023.0f);
        code |= Spread(static_cast<std::uint32_t>(q)) << (2 - d);
      }
      mKeys[i] = code << 32 | static_cast<std::uint32_t>(i);
    }
    std::sort(mKeys.begin(), mKeys.end());
    mSorted.resize(g.tris.size());
    for (int i = 0; i < n; ++i)
      std::copy_n(g.tris.data() + 3 * (mKeys[i] & 0xffffffffu), 3, mSorted.data() + 3 * static_cast<size_t>(i));
    g.tris.swap(mSorted);
    mTris = g.tris.data();
    mNodes = &g.nodes;
    g.nodes.push_back({});
    Split(0, 0, n);
  }

 private:
  const float* Vertex(std::uint32_t i) const { return mVerts + 3 * static_cast<size_t>(i); }
  // Bits b9..b0 of v moved to b27, b24, ..., b0.
  static std::uint64_t Spread(std::uint32_t v) {
    std::uint64_t x = v & 0x3ff;
    x = (x | x << 16) & 0x30000ff;
    x = (x | x << 8) & 0x300f00f;
    x = (x | x << 4) & 0x30c30c3;
    x = (x | x << 2) & 0x9249249;
    return x;
  }
  void Split(int node, int first, int count) {
    std::vector<Node>& nodes = *mNodes;
    Node nd;
    if (count <= kLeafSize) {
      const float* v0 = Vertex(mTris[3 * static_cast<size_t>(first)]);
      for (int d = 0; d < 3; ++d) nd.lo[d] = nd.hi[d] = v0[d];
      for (size_t k = 3 * static_cast<size_t>(first); k < 3 * static_cast<size_t>(first + count); ++k) {
        const float* v = Vertex(mTris[k]);
        for (int d = 0; d < 3; ++d) nd.lo[d] = std::min(nd.lo[d], v[d]), nd.hi[d] = std::max(nd.hi[d], v[d]);
      }
      nd.index = first;
      nd.count = count;
      nodes[node] = nd;
      return;
    }
    const std::uint64_t c0 = mKeys[first] >> 32, c1 = mKeys[first + count - 1] >> 32;
    int half = count / 2;
    if (c0 != c1) {
      // The first triangle with the highest differing bit set.
      const std::uint64_t bit = std::uint64_t{1} << (63 - __builtin_clzll(c0 ^ c1));
      int lo = first, hi = first + count - 1;
      while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if ((mKeys[mid] >> 32) & bit) hi = mid;
        else lo = mid + 1;
      }
      half = lo - first;
      // A very uneven cut makes a deep tree: fall back to the median.
      if (half < count / 8 || half > count - count / 8) half = count / 2;
    }
    const int child = static_cast<int>(nodes.size());
    nodes.push_back({});
    nodes.push_back({});
    Split(child, first, half);
    Split(child + 1, first + half, count - half);
    const Node& l = nodes[child];
    const Node& r = nodes[child + 1];
    for (int d = 0; d < 3; ++d) nd.lo[d] = std::min(l.lo[d], r.lo[d]), nd.hi[d] = std::max(l.hi[d], r.hi[d]);
    nd.index = child;
    nd.count = 0;
    nodes[node] = nd;
  }
  std::vector<std::uint64_t> mKeys;
  std::vector<std::uint32_t> mSorted;
  const float* mVerts = nullptr;
  const std::uint32_t* mTris = nullptr;
  std::vector<Node>* mNodes = nullptr;
};

// ---------------------------------------------------------------- placements

// An affine placement in column form: world = L p + t (L row-major).
struct Affine {
  double L[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  double t[3] = {0, 0, 0};
  V3 Apply(const V3& p) const {
    return {L[0] * p[0] + L[1] * p[1] + L[2] * p[2] + t[0], L[3] * p[0] + L[4] * p[1] + L[5] * p[2] + t[1],
            L[6] * p[0] + L[7] * p[1] + L[8] * p[2] + t[2]};
  }
  V3 Linear(const V3& v) const {
    return {L[0] * v[0] + L[1] * v[1] + L[2] * v[2], L[3] * v[0] + L[4] * v[1] + L[5] * v[2],
            L[6] * v[0] + L[7] * v[1] + L[8] * v[2]};
  }
  // Lengths kept (rotations and reflections): distances in its frame are world distances.
  bool Rigid() const {
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        const double dot = L[i] * L[j] + L[3 + i] * L[3 + j] + L[6 + i] * L[6 + j];
        if (std::abs(dot - (i == j ? 1.0 : 0.0)) > 1e-5) return false;
      }
    return true;
  }
  // The inverse of a rigid placement.
  Affine RigidInverse() const {
    Affine r;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) r.L[3 * i + j] = L[3 * j + i];
    for (int i = 0; i < 3; ++i) r.t[i] = -(r.L[3 * i] * t[0] + r.L[3 * i + 1] * t[1] + r.L[3 * i + 2] * t[2]);
    return r;
  }
  // This after `first`: p -> this(first(p)).
  Affine After(const Affine& first) const {
    Affine r;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j)
        r.L[3 * i + j] = L[3 * i] * first.L[j] + L[3 * i + 1] * first.L[3 + j] + L[3 * i + 2] * first.L[6 + j];
      r.t[i] = L[3 * i] * first.t[0] + L[3 * i + 1] * first.t[1] + L[3 * i + 2] * first.t[2] + t[i];
    }
    return r;
  }
};

Affine FromMatrix(const KIV4x4Matrix& m) {
  // Row-vector matrices: the image of p is x·row0 + y·row1 + z·row2 + row3.
  Affine a;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) a.L[3 * i + j] = m.Get(j, i);
    a.t[i] = m.Get(3, i);
  }
  return a;
}

// One leaf placed in the world, reached from the paths of one side or both.
struct Instance {
  const KIV3DCustomRep* leaf = nullptr;
  Affine place;
  bool rigid = true;
  float lo[3], hi[3];  // world box
  int pathA = -1, pathB = -1;
  Mesh* mesh = nullptr;
};

// ---------------------------------------------------------------- pair frame

// A pair measured in the frame F of its reference (a rigid instance, or the world): `b`
// maps the other's leaf frame into F, `bInv` maps F back when the other is rigid too.
struct Frame {
  Affine b, bInv;
  bool bRigid = false;
  float Lb[9], Lbabs[9], tb[3];     // b, single precision, and |L|
  float Li[9], Liabs[9], ti[3];     // bInv
  void Prepare() {
    for (int k = 0; k < 9; ++k) {
      Lb[k] = static_cast<float>(b.L[k]);
      Lbabs[k] = std::abs(Lb[k]);
      Li[k] = static_cast<float>(bInv.L[k]);
      Liabs[k] = std::abs(Li[k]);
    }
    for (int k = 0; k < 3; ++k) {
      tb[k] = static_cast<float>(b.t[k]);
      ti[k] = static_cast<float>(bInv.t[k]);
    }
  }
};

// The box of node n placed by (L, |L|, t), as centre and half extents.
inline void PlaceBox(const Node& n, const float* L, const float* A, const float* t, float* c, float* e) {
  const float mc[3] = {0.5f * (n.lo[0] + n.hi[0]), 0.5f * (n.lo[1] + n.hi[1]), 0.5f * (n.lo[2] + n.hi[2])};
  const float mh[3] = {0.5f * (n.hi[0] - n.lo[0]), 0.5f * (n.hi[1] - n.lo[1]), 0.5f * (n.hi[2] - n.lo[2])};
  for (int i = 0; i < 3; ++i) {
    c[i] = L[3 * i] * mc[0] + L[3 * i + 1] * mc[1] + L[3 * i + 2] * mc[2] + t[i];
    e[i] = A[3 * i] * mh[0] + A[3 * i + 1] * mh[1] + A[3 * i + 2] * mh[2];
  }
}

// Squared distance between an axis-aligned box and a box given as centre and half extents.
inline float BoxGap2(const Node& n, const float* c, const float* e) {
  float s = 0.0f;
  for (int i = 0; i < 3; ++i) {
    const float g = std::max(n.lo[i] - (c[i] + e[i]), (c[i] - e[i]) - n.hi[i]);
    if (g > 0.0f) s += g * g;
  }
  return s;
}

struct Traversal {
  const Mesh& a;
  const Mesh& b;
  const Frame& f;

  // A lower bound of the squared distance between two nodes: the gap of their boxes, in
  // F and, when the other is rigid, in its own frame.
  float Bound2(const Node& na, const Node& nb) const {
    float c[3], e[3];
    PlaceBox(nb, f.Lb, f.Lbabs, f.tb, c, e);
    float g = BoxGap2(na, c, e);
    // The gap of the two boxes projected on the line through their centres, which follows
    // oblique separations that the gaps along axes miss.
    float u[3], ha[3], hb[3], len2 = 0.0f;
    for (int i = 0; i < 3; ++i) {
      u[i] = c[i] - 0.5f * (na.lo[i] + na.hi[i]);
      len2 += u[i] * u[i];
      ha[i] = 0.5f * (na.hi[i] - na.lo[i]);
      hb[i] = 0.5f * (nb.hi[i] - nb.lo[i]);
    }
    if (len2 > 0.0f) {
      const float len = std::sqrt(len2);
      float reach = 0.0f;
      for (int i = 0; i < 3; ++i)
        reach += std::abs(u[i]) * ha[i] +
                 std::abs(u[0] * f.Lb[i] + u[1] * f.Lb[3 + i] + u[2] * f.Lb[6 + i]) * hb[i];
      const float gap = len - reach / len;
      if (gap > 0.0f) g = std::max(g, gap * gap);
    }
    if (f.bRigid) {
      PlaceBox(na, f.Li, f.Liabs, f.ti, c, e);
      g = std::max(g, BoxGap2(nb, c, e));
    }
    return g;
  }
  void TriangleA(int i, V3* p) const {
    const std::uint32_t* t = a.tris + 3 * static_cast<size_t>(i);
    for (int k = 0; k < 3; ++k) {
      const float* v = a.Vertex(t[k]);
      p[k] = V3(v[0], v[1], v[2]);
    }
  }
  void TriangleB(int i, V3* q) const {
    const std::uint32_t* t = b.tris + 3 * static_cast<size_t>(i);
    for (int k = 0; k < 3; ++k) {
      const float* v = b.Vertex(t[k]);
      q[k] = f.b.Apply(V3(v[0], v[1], v[2]));
    }
  }
  static float Size(const Node& n) {
    return std::max({n.hi[0] - n.lo[0], n.hi[1] - n.lo[1], n.hi[2] - n.lo[2]});
  }
  bool DescendA(const Node& na, const Node& nb) const {
    if (nb.count) return true;
    if (na.count) return false;
    return Size(na) >= Size(nb) * static_cast<float>(std::sqrt(f.b.L[0] * f.b.L[0] + f.b.L[3] * f.b.L[3] + f.b.L[6] * f.b.L[6]));
  }
};

// ---------------------------------------------------------------- triangle pairs

double TriangleDistance(const V3* p, const V3* q, V3& pp, V3& qq) {
  double d = fcl::detail::TriangleDistance<double>::triDistance(p, q, pp, qq);
  if (std::isfinite(d) && pp.allFinite() && qq.allFinite()) return d;
  // Degenerate beyond what FCL's segment code absorbs: the nearest vertices.
  d = kInf;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      const double e = (p[i] - q[j]).norm();
      if (e < d) d = e, pp = p[i], qq = q[j];
    }
  return d;
}

double Size(const V3* p, const V3* q) {
  return std::max({(p[1] - p[0]).norm(), (p[2] - p[0]).norm(), (p[2] - p[1]).norm(), (q[1] - q[0]).norm(),
                   (q[2] - q[0]).norm(), (q[2] - q[1]).norm()});
}

// Points where a zero-area triangle (a wire's segment) passes through the inside of q or
// its border, both ends strictly on either side of q's plane.
void SegmentThrough(const V3* p, const V3* q, double size, std::vector<V3>& out) {
  const V3 n = (q[1] - q[0]).cross(q[2] - q[0]);
  const double n2 = n.squaredNorm();
  if (!(n2 > 1e-24 * size * size * size * size)) return;
  const double nl = std::sqrt(n2), eps = 1e-6 * size;
  double d[3];
  for (int k = 0; k < 3; ++k) d[k] = n.dot(p[k] - q[0]) / nl;
  for (int k = 0; k < 3; ++k) {
    const int l = (k + 1) % 3;
    if (!((d[k] > eps && d[l] < -eps) || (d[k] < -eps && d[l] > eps))) continue;
    const V3 x = p[k] + (p[l] - p[k]) * (d[k] / (d[k] - d[l]));
    bool inside = true;
    for (int m = 0; m < 3 && inside; ++m) inside = (q[(m + 1) % 3] - q[m]).cross(x - q[m]).dot(n) / n2 > -1e-9;
    if (inside) out.push_back(x);
  }
}

// Where triangle p meets the plane of q (normal n, unit): the segment of p's points on
// it, when p has vertices strictly on both sides; false otherwise (apart, or touching).
bool PlaneCut(const V3* p, const V3* q, const V3& n, double eps, V3& x0, V3& x1) {
  double d[3];
  bool above = false, below = false;
  for (int k = 0; k < 3; ++k) {
    d[k] = n.dot(p[k] - q[0]);
    if (std::abs(d[k]) <= eps) d[k] = 0.0;
    above = above || d[k] > 0.0;
    below = below || d[k] < 0.0;
  }
  if (!above || !below) return false;
  int found = 0;
  for (int k = 0; k < 3 && found < 2; ++k) {
    const int l = (k + 1) % 3;
    V3 x;
    if (d[k] == 0.0) x = p[k];
    else if ((d[k] > 0.0 && d[l] < 0.0) || (d[k] < 0.0 && d[l] > 0.0)) x = p[k] + (p[l] - p[k]) * (d[k] / (d[k] - d[l]));
    else continue;
    (found++ == 0 ? x0 : x1) = x;
  }
  if (found == 1) x1 = x0;
  return true;
}

// Whether two triangles cross, and where: each must pass strictly through the other's
// plane, and their cuts along the planes' common line must overlap over some length, so
// that faces lying on each other, or resting on an edge, touch without crossing. A wire's
// zero-area triangle crosses where it passes through the other.
// Every vertex of a strictly on one side of b's plane (normal n): they cannot cross.
inline bool OneSide(const V3* a, const V3* b, const V3& n) {
  const double d0 = n.dot(a[0] - b[0]), d1 = n.dot(a[1] - b[0]), d2 = n.dot(a[2] - b[0]);
  return (d0 > 0.0 && d1 > 0.0 && d2 > 0.0) || (d0 < 0.0 && d1 < 0.0 && d2 < 0.0);
}

bool TrianglesCross(const V3* p, const V3* q, V3& s0, V3& s1) {
  const V3 np = (p[1] - p[0]).cross(p[2] - p[0]), nq = (q[1] - q[0]).cross(q[2] - q[0]);
  // Most pairs that get here are rejected by this alone (what passes is decided below).
  if (OneSide(p, q, nq) || OneSide(q, p, np)) return false;
  const double size = Size(p, q);
  const double tiny = 1e-24 * size * size * size * size;
  const bool flatP = !(np.squaredNorm() > tiny), flatQ = !(nq.squaredNorm() > tiny);
  if (flatP || flatQ) {
    if (flatP && flatQ) return false;  // two segments only ever touch
    std::vector<V3> pts;
    if (flatP) SegmentThrough(p, q, size, pts);
    else SegmentThrough(q, p, size, pts);
    if (pts.empty()) return false;
    s0 = s1 = pts[0];
    return true;
  }
  const double eps = 1e-6 * size;
  V3 p0, p1, q0, q1;
  if (!PlaneCut(p, q, nq.normalized(), eps, p0, p1) || !PlaneCut(q, p, np.normalized(), eps, q0, q1)) return false;
  V3 dir = np.cross(nq);
  if (!(dir.squaredNorm() > tiny)) return false;  // parallel planes
  dir.normalize();
  double a0 = dir.dot(p0), a1 = dir.dot(p1), b0 = dir.dot(q0), b1 = dir.dot(q1);
  if (a0 > a1) std::swap(a0, a1), std::swap(p0, p1);
  if (b0 > b1) std::swap(b0, b1);
  const double lo = std::max(a0, b0), hi = std::min(a1, b1);
  if (!(hi - lo > eps)) return false;
  const double span = a1 - a0;
  s0 = p0 + (p1 - p0) * ((lo - a0) / span);
  s1 = p0 + (p1 - p0) * ((hi - a0) / span);
  return true;
}

// Parameter t >= 0 at which o + t·d meets triangle q (Möller–Trumbore), or infinity.
double RayTriangle(const V3& o, const V3& d, const V3* q) {
  const V3 e1 = q[1] - q[0], e2 = q[2] - q[0];
  const V3 h = d.cross(e2);
  const double det = e1.dot(h);
  if (!(std::abs(det) > 1e-14 * e1.norm() * e2.norm())) return kInf;
  const V3 s = o - q[0];
  const double u = s.dot(h) / det;
  if (u < 0.0 || u > 1.0) return kInf;
  const V3 qv = s.cross(e1);
  const double v = d.dot(qv) / det;
  if (v < 0.0 || u + v > 1.0) return kInf;
  const double t = e2.dot(qv) / det;
  return t >= 0.0 ? t : kInf;
}

// The first t >= 0 at which triangle p moved by t·d touches q, and the point of contact
// (on q, at that time).
double SweepTriangles(const V3* p, const V3* q, const V3& d, V3& contact) {
  double best = kInf;
  for (int k = 0; k < 3; ++k) {
    const double t = RayTriangle(p[k], d, q);
    if (t < best) best = t, contact = p[k] + d * t;
    const double u = RayTriangle(q[k], -d, p);
    if (u < best) best = u, contact = q[k];
  }
  // Edge against edge: p0 + s e1 + t d = q0 + u e2.
  for (int i = 0; i < 3; ++i) {
    const V3 e1 = p[(i + 1) % 3] - p[i];
    for (int j = 0; j < 3; ++j) {
      const V3 e2 = q[(j + 1) % 3] - q[j];
      const V3 w = q[j] - p[i];
      const V3 ne2 = -e2;
      const double det = e1.dot(ne2.cross(d));
      if (!(std::abs(det) > 1e-14 * e1.norm() * e2.norm())) continue;
      const double s = w.dot(ne2.cross(d)) / det;
      const double u = e1.dot(w.cross(d)) / det;
      const double t = e1.dot(ne2.cross(w)) / det;
      if (s < 0.0 || s > 1.0 || u < 0.0 || u > 1.0 || t < 0.0 || t >= best) continue;
      best = t;
      contact = q[j] + e2 * u;
    }
  }
  return best;
}

// ---------------------------------------------------------------- tree pairs

// Every crossing of the two surfaces (F coordinates, six per segment); with `first`, stops
// at the first.
struct CollideWalk : Traversal {
  std::vector<double>* segments;
  bool first;
  bool found = false;
  bool Overlap(const Node& na, const Node& nb) const { return Bound2(na, nb) <= 0.0f; }
  void Walk(int ia, int ib) {
    const Node& na = a.nodes[ia];
    const Node& nb = b.nodes[ib];
    if (!Overlap(na, nb)) return;
    if (na.count && nb.count) {
      // b's triangles placed once, with their boxes in F: pairs whose boxes are apart
      // cannot cross.
      V3 q[kLeafSize][3], s0 = V3::Zero(), s1 = V3::Zero();
      double qlo[kLeafSize][3], qhi[kLeafSize][3];
      for (int j = 0; j < nb.count; ++j) {
        TriangleB(nb.index + j, q[j]);
        for (int d = 0; d < 3; ++d) {
          qlo[j][d] = std::min({q[j][0][d], q[j][1][d], q[j][2][d]});
          qhi[j][d] = std::max({q[j][0][d], q[j][1][d], q[j][2][d]});
        }
      }
      V3 p[3];
      for (int i = na.index; i < na.index + na.count; ++i) {
        TriangleA(i, p);
        double plo[3], phi[3];
        for (int d = 0; d < 3; ++d) {
          plo[d] = std::min({p[0][d], p[1][d], p[2][d]});
          phi[d] = std::max({p[0][d], p[1][d], p[2][d]});
        }
        for (int j = 0; j < nb.count; ++j) {
          if (plo[0] > qhi[j][0] || qlo[j][0] > phi[0] || plo[1] > qhi[j][1] || qlo[j][1] > phi[1] ||
              plo[2] > qhi[j][2] || qlo[j][2] > phi[2])
            continue;
          if (!TrianglesCross(p, q[j], s0, s1)) continue;
          found = true;
          if (segments) segments->insert(segments->end(), {s0[0], s0[1], s0[2], s1[0], s1[1], s1[2]});
          if (first) return;
        }
      }
      return;
    }
    if (DescendA(na, nb)) {
      Walk(na.index, ib);
      if (!(first && found)) Walk(na.index + 1, ib);
    } else {
      Walk(ia, nb.index);
      if (!(first && found)) Walk(ia, nb.index + 1);
    }
  }
};

// The nearest pair of points closer than `best`, nearest pairs of nodes first.
struct DistanceWalk : Traversal {
  double best;
  V3 pa, pb;
  bool found = false;
  void Walk(int ia, int ib, float bound2) {
    if (static_cast<double>(bound2) >= best * best * (1.0 + 1e-6) || best == 0.0) return;
    const Node& na = a.nodes[ia];
    const Node& nb = b.nodes[ib];
    if (na.count && nb.count) {
      // b's triangles placed once, each with its box: the boxes of two triangles, exact
      // in F, skip most pairs before the exact distance.
      V3 q[kLeafSize][3], x = V3::Zero(), y = V3::Zero();
      double qlo[kLeafSize][3], qhi[kLeafSize][3];
      for (int j = 0; j < nb.count; ++j) {
        TriangleB(nb.index + j, q[j]);
        for (int d = 0; d < 3; ++d) {
          qlo[j][d] = std::min({q[j][0][d], q[j][1][d], q[j][2][d]});
          qhi[j][d] = std::max({q[j][0][d], q[j][1][d], q[j][2][d]});
        }
      }
      V3 p[3];
      for (int i = na.index; i < na.index + na.count; ++i) {
        TriangleA(i, p);
        double plo[3], phi[3];
        for (int d = 0; d < 3; ++d) {
          plo[d] = std::min({p[0][d], p[1][d], p[2][d]});
          phi[d] = std::max({p[0][d], p[1][d], p[2][d]});
        }
        for (int j = 0; j < nb.count; ++j) {
          double gap = 0.0;
          for (int d = 0; d < 3; ++d) {
            const double g = std::max(plo[d] - qhi[j][d], qlo[j][d] - phi[d]);
            if (g > 0.0) gap += g * g;
          }
          if (gap >= best * best) continue;
          // And on the line through their centroids.
          const V3 u = (q[j][0] + q[j][1] + q[j][2]) - (p[0] + p[1] + p[2]);
          const double un = u.norm();
          if (un > 0.0) {
            const double lo = std::min({u.dot(q[j][0]), u.dot(q[j][1]), u.dot(q[j][2])});
            const double hi = std::max({u.dot(p[0]), u.dot(p[1]), u.dot(p[2])});
            if (lo - hi >= best * un) continue;
          }
          const double dist = TriangleDistance(p, q[j], x, y);
          if (dist < best) best = dist, pa = x, pb = y, found = true;
        }
      }
      return;
    }
    int c0a = ia, c0b = ib, c1a = ia, c1b = ib;
    if (DescendA(na, nb)) c0a = na.index, c1a = na.index + 1;
    else c0b = nb.index, c1b = nb.index + 1;
    const float g0 = Bound2(a.nodes[c0a], b.nodes[c0b]), g1 = Bound2(a.nodes[c1a], b.nodes[c1b]);
    if (g0 <= g1) {
      Walk(c0a, c0b, g0);
      Walk(c1a, c1b, g1);
    } else {
      Walk(c1a, c1b, g1);
      Walk(c0a, c0b, g0);
    }
  }
};

// The interval of t over which box A moved by t·d overlaps box B (centre c, half e).
inline bool SweptInterval(const float* lo, const float* hi, const float* c, const float* e, const double* d,
                          double& t0, double& t1) {
  for (int i = 0; i < 3; ++i) {
    // lo + t d <= c + e and hi + t d >= c - e
    const double a = static_cast<double>(c[i]) - e[i] - hi[i], b = static_cast<double>(c[i]) + e[i] - lo[i];
    const double pad = 1e-6 * (std::abs(b) + std::abs(a)) + 1e-12;
    if (d[i] == 0.0) {
      if (a > pad || b < -pad) return false;
      continue;
    }
    double u0 = (a - pad) / d[i], u1 = (b + pad) / d[i];
    if (u0 > u1) std::swap(u0, u1);
    t0 = std::max(t0, u0);
    t1 = std::min(t1, u1);
    if (t0 > t1) return false;
  }
  return true;
}

// The first contact of a moved along d (F coordinates) with b.
struct SweepWalk : Traversal {
  V3 d;
  double best = kInf;
  V3 contact;
  void Walk(int ia, int ib) {
    const Node& na = a.nodes[ia];
    const Node& nb = b.nodes[ib];
    float c[3], e[3];
    PlaceBox(nb, f.Lb, f.Lbabs, f.tb, c, e);
    double t0 = 0.0, t1 = best;
    const double dd[3] = {d[0], d[1], d[2]};
    if (!SweptInterval(na.lo, na.hi, c, e, dd, t0, t1)) return;
    if (na.count && nb.count) {
      V3 p[3], q[3], x = V3::Zero();
      for (int i = na.index; i < na.index + na.count; ++i) {
        TriangleA(i, p);
        for (int j = nb.index; j < nb.index + nb.count; ++j) {
          TriangleB(j, q);
          const double t = SweepTriangles(p, q, d, x);
          if (t < best) best = t, contact = x;
        }
      }
      return;
    }
    if (DescendA(na, nb)) {
      Walk(na.index, ib);
      Walk(na.index + 1, ib);
    } else {
      Walk(ia, nb.index);
      Walk(ia, nb.index + 1);
    }
  }
};

// ---------------------------------------------------------------- requests

// An instance is known by its chain of reps from the top of its path down to the leaf,
// hashed link by link (64 bits: two different chains colliding is not a practical concern).
inline std::uint64_t ChainStep(std::uint64_t h, const KIVRep* r) {
  h ^= reinterpret_cast<std::uintptr_t>(r) + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
  h *= 0xff51afd7ed558ccdull;
  return h ^ (h >> 33);
}

}  // namespace

struct KIVFclInterfereEngine::Impl {
  struct Key {
    const KIV3DCustomRep* leaf;
    bool wire;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& k) const { return std::hash<const void*>()(k.leaf) * 2 + k.wire; }
  };
  std::unordered_map<Key, std::unique_ptr<Mesh>, KeyHash> cache;
  unsigned long computeSerial = 0;
  size_t cachedTriangles = 0;
  bool clashCurves = true;
  TreeBuilder builder;
  Geometry scratch;
  Arena arena;
  size_t liveBytes = 0;  // of the cached meshes in the arena
  // Beyond this many cached triangles, geometries the last compute did not use are dropped
  // (among them those of leaves deleted since).
  static constexpr size_t kCacheBudget = 20'000'000;

  // This compute's instances and what they were built from.
  std::vector<Instance> instances;
  std::unordered_map<std::uint64_t, int> byChain;
  bool wire = false;

  // Reads a geometry, builds its tree and stores both in the mesh (in the arena, or in
  // the mesh's own storage).
  void Store(Geometry& g, Mesh& m, bool inArena) {
    builder.Build(g);
    std::copy_n(g.lo, 3, m.lo);
    std::copy_n(g.hi, 3, m.hi);
    m.vertexCount = static_cast<int>(g.verts.size() / 3);
    m.triangleCount = static_cast<int>(g.tris.size() / 3);
    m.nodeCount = static_cast<int>(g.nodes.size());
    if (inArena) {
      m.verts = arena.Copy(g.verts);
      m.tris = arena.Copy(g.tris);
      m.nodes = arena.Copy(g.nodes);
      liveBytes += m.Bytes();
    } else {
      // Each array 16-byte aligned within the mesh's own storage.
      m.own.resize(m.Bytes() + 64);
      char* p = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(m.own.data()) + 15) & ~std::uintptr_t{15});
      auto put = [&p](const auto& v) {
        using T = typename std::decay_t<decltype(v)>::value_type;
        T* out = reinterpret_cast<T*>(p);
        std::copy(v.begin(), v.end(), out);
        p += (v.size() * sizeof(T) + 15) & ~size_t{15};
        return out;
      };
      m.verts = put(g.verts);
      m.tris = put(g.tris);
      m.nodes = put(g.nodes);
    }
    m.loaded = true;
  }
  Mesh& MeshOf(const KIV3DCustomRep* leaf) {
    std::unique_ptr<Mesh>& m = cache[{leaf, wire}];
    if (!m) m = std::make_unique<Mesh>();
    if (!m->loaded || m->stamp != leaf->GetGeometryStamp()) {
      if (m->loaded) liveBytes -= m->Bytes();
      cachedTriangles -= m->TriangleCount();
      ReadGeometry(*leaf, wire, scratch);
      Store(scratch, *m, true);
      cachedTriangles += m->TriangleCount();
      m->stamp = leaf->GetGeometryStamp();
    }
    m->lastUse = computeSerial;
    return *m;
  }
  Mesh& Built(Instance& in) {
    if (!in.mesh) in.mesh = &MeshOf(in.leaf);
    return *in.mesh;
  }
  // Trees left behind by changed or dropped geometries are only freed all together: when
  // they outweigh the live ones, the live ones move to a new arena.
  void Compact() {
    if (arena.Reserved() <= 2 * liveBytes + Arena::kBlock) return;
    Arena fresh;
    for (auto& [key, m] : cache) {
      if (!m->loaded) continue;
      auto move = [&fresh](auto*& data, int count) {
        using T = std::remove_const_t<std::remove_pointer_t<std::decay_t<decltype(data)>>>;
        if (!data) return;
        T* out = static_cast<T*>(fresh.Allocate(sizeof(T) * static_cast<size_t>(count)));
        std::copy_n(data, count, out);
        data = out;
      };
      move(m->verts, 3 * m->vertexCount);
      move(m->tris, 3 * m->triangleCount);
      move(m->nodes, m->nodeCount);
    }
    arena.Swap(fresh);
  }

  void AddInstance(const KIV3DCustomRep* leaf, const Affine& place, std::uint64_t chain, int side, int path) {
    auto [it, added] = byChain.try_emplace(chain, static_cast<int>(instances.size()));
    if (added) {
      Instance in;
      in.leaf = leaf;
      in.place = place;
      in.rigid = place.Rigid();
      if (!WorldBox(in)) {
        byChain.erase(it);
        return;
      }
      instances.push_back(in);
    }
    Instance& in = instances[it->second];
    int& slot = side == 0 ? in.pathA : in.pathB;
    if (slot < 0) slot = path;
  }

  // The world box from the leaf's own box (its level 0, read from the tree's triangles
  // when the rep's box is not finite). False for a leaf without geometry.
  bool WorldBox(Instance& in) {
    KIVMathPointf lo, hi;
    float l[3], h[3];
    const bool own = in.leaf->GetLocalBox(lo, hi) && std::isfinite(lo.x + lo.y + lo.z + hi.x + hi.y + hi.z);
    if (own) {
      l[0] = lo.x, l[1] = lo.y, l[2] = lo.z, h[0] = hi.x, h[1] = hi.y, h[2] = hi.z;
    } else {
      in.mesh = &MeshOf(in.leaf);
      if (in.mesh->triangleCount == 0) return false;
      std::copy_n(in.mesh->lo, 3, l);
      std::copy_n(in.mesh->hi, 3, h);
    }
    for (int i = 0; i < 3; ++i) {
      double c = in.place.t[i], e = 0.0;
      for (int j = 0; j < 3; ++j) {
        c += in.place.L[3 * i + j] * 0.5 * (static_cast<double>(l[j]) + h[j]);
        e += std::abs(in.place.L[3 * i + j]) * 0.5 * (static_cast<double>(h[j]) - l[j]);
      }
      if (!std::isfinite(c) || !std::isfinite(e)) return false;
      in.lo[i] = static_cast<float>(c - e * (1 + 1e-6) - 1e-6);
      in.hi[i] = static_cast<float>(c + e * (1 + 1e-6) + 1e-6);
    }
    return true;
  }

  // Every leaf a path stands for, with the product of the bag matrices above it.
  void Expand(KIVRepPath* path, int side, int index) {
    if (!path || path->GetSize() == 0) return;
    std::uint64_t chain = 0;
    KIV4x4Matrix m;
    for (KIVRep* r : path->GetReps()) {
      if (!r) return;
      chain = ChainStep(chain, r);
      if (auto* bag = dynamic_cast<KIV3DBagRep*>(r))
        if (const KIV4x4Matrix* bm = bag->GetMatrix()) m = *bm * m;
    }
    Descend(path->GetLeafRep(), m, chain, side, index);
  }
  void Descend(const KIVRep* rep, const KIV4x4Matrix& m, std::uint64_t chain, int side, int index) {
    if (auto* leaf = dynamic_cast<const KIV3DCustomRep*>(rep)) {
      AddInstance(leaf, FromMatrix(m), chain, side, index);
      return;
    }
    auto* bag = dynamic_cast<const KIV3DBagRep*>(rep);
    if (!bag) return;
    for (const KIVRep* child : bag->GetChildren()) {
      KIV4x4Matrix cm = m;
      if (auto* cb = dynamic_cast<const KIV3DBagRep*>(child))
        if (const KIV4x4Matrix* bm = cb->GetMatrix()) cm = *bm * m;
      Descend(child, cm, ChainStep(chain, child), side, index);
    }
  }

  // ------------------------------------------------------------ one couple of instances

  // The pair's frame: the reference is a rigid one of the two (swapped says it is b); when
  // neither is, a's geometry is used placed in the world (a temporary tree).
  struct Couple {
    Instance* ref;
    Instance* other;
    bool swapped;
    Frame frame;
    Mesh* refMesh;
    Mesh* otherMesh;
    Affine refPlace;  // F to world
    std::unique_ptr<Mesh> baked;
  };
  void Prepare(Instance& a, Instance& b, Couple& c) {
    c.swapped = !a.rigid && b.rigid;
    c.ref = c.swapped ? &b : &a;
    c.other = c.swapped ? &a : &b;
    c.refMesh = &Built(*c.ref);
    c.otherMesh = &Built(*c.other);
    if (c.ref->rigid) {
      c.refPlace = c.ref->place;
      c.frame.b = c.ref->place.RigidInverse().After(c.other->place);
    } else {
      c.baked = std::make_unique<Mesh>();
      Geometry g;
      g.verts.assign(c.refMesh->verts, c.refMesh->verts + 3 * static_cast<size_t>(c.refMesh->vertexCount));
      g.tris.assign(c.refMesh->tris, c.refMesh->tris + 3 * static_cast<size_t>(c.refMesh->triangleCount));
      for (size_t k = 0; k < g.verts.size(); k += 3) {
        const V3 w = c.ref->place.Apply(V3(g.verts[k], g.verts[k + 1], g.verts[k + 2]));
        for (int d = 0; d < 3; ++d) g.verts[k + d] = static_cast<float>(w[d]);
      }
      SetBox(g);
      Store(g, *c.baked, false);
      c.refMesh = c.baked.get();
      c.refPlace = Affine();
      c.frame.b = c.other->place;
    }
    c.frame.bRigid = c.other->rigid;
    if (c.frame.bRigid) c.frame.bInv = c.frame.b.RigidInverse();
    c.frame.Prepare();
  }
  static void ToWorld(const Affine& place, const V3& p, float* out) {
    const V3 w = place.Apply(p);
    for (int d = 0; d < 3; ++d) out[d] = static_cast<float>(w[d]);
  }

  bool Clash(Instance& a, Instance& b, Pair* pair, bool first) {
    Couple c;
    Prepare(a, b, c);
    if (c.refMesh->nodeCount == 0 || c.otherMesh->nodeCount == 0) return false;
    std::vector<double> segs;
    CollideWalk w{{*c.refMesh, *c.otherMesh, c.frame}, pair ? &segs : nullptr, first};
    w.Walk(0, 0);
    if (!w.found || !pair) return w.found;
    for (size_t k = 0; k + 2 < segs.size(); k += 3) {
      float p[3];
      ToWorld(c.refPlace, V3(segs[k], segs[k + 1], segs[k + 2]), p);
      pair->segments.insert(pair->segments.end(), p, p + 3);
    }
    if (pair->distance != 0.0 || pair->kind == 0) {
      std::copy_n(pair->segments.data(), 3, pair->pointA);
      std::copy_n(pair->segments.data(), 3, pair->pointB);
    }
    pair->distance = 0.0;
    return true;
  }

  // The distance between two instances when below `best` (then true, with the points).
  bool Distance(Instance& a, Instance& b, double& best, float* pointA, float* pointB) {
    Couple c;
    Prepare(a, b, c);
    if (c.refMesh->nodeCount == 0 || c.otherMesh->nodeCount == 0) return false;
    DistanceWalk w{{*c.refMesh, *c.otherMesh, c.frame}, best, V3(), V3()};
    w.Walk(0, 0, w.Bound2(c.refMesh->nodes[0], c.otherMesh->nodes[0]));
    if (!w.found) return false;
    best = w.best;
    ToWorld(c.refPlace, c.swapped ? w.pb : w.pa, pointA);
    ToWorld(c.refPlace, c.swapped ? w.pa : w.pb, pointB);
    return true;
  }

  // The first contact of a moved along the world direction d with b, when before `best`.
  bool Sweep(Instance& a, Instance& b, const V3& d, double& best, float* pointA, float* pointB) {
    Couple c;
    Prepare(a, b, c);
    if (c.refMesh->nodeCount == 0 || c.otherMesh->nodeCount == 0) return false;
    // In the reference's frame; with b as the reference, b moves backwards instead.
    const V3 dw = c.swapped ? V3(-d) : d;
    V3 dF = dw;
    if (c.ref->rigid) dF = c.refPlace.RigidInverse().Linear(dw);
    SweepWalk w{{*c.refMesh, *c.otherMesh, c.frame}, dF, best, V3()};
    w.Walk(0, 0);
    if (!(w.best < best)) return false;
    best = w.best;
    float hit[3];
    ToWorld(c.refPlace, w.contact, hit);
    // The contact lies on the other one at the time of touching: on b when a moved (a's
    // point is where it started from), on a when b moved backwards (b's point is ahead).
    for (int k = 0; k < 3; ++k) {
      pointB[k] = c.swapped ? static_cast<float>(hit[k] + best * d[k]) : hit[k];
      pointA[k] = c.swapped ? hit[k] : static_cast<float>(hit[k] - best * d[k]);
    }
    return true;
  }

  // ------------------------------------------------------------ broad phase

  // Couples of instances (one reached from a, the other from b, never the same one) whose
  // boxes, grown by `margin`, overlap: a sweep along x over the boxes.
  std::vector<std::pair<int, int>> Candidates(float margin) {
    std::vector<int> sideA, sideB;
    for (int i = 0; i < static_cast<int>(instances.size()); ++i) {
      if (instances[i].pathA >= 0) sideA.push_back(i);
      if (instances[i].pathB >= 0) sideB.push_back(i);
    }
    // A few against many (one model against the rest): each of the few against every box.
    if (std::min(sideA.size(), sideB.size()) <= 16) {
      std::vector<std::pair<int, int>> out;
      const bool fewA = sideA.size() <= sideB.size();
      for (int x : fewA ? sideA : sideB)
        for (int w : fewA ? sideB : sideA) {
          if (x == w) continue;
          const Instance& ix = instances[x];
          const Instance& iw = instances[w];
          bool overlap = true;
          for (int d = 0; d < 3 && overlap; ++d)
            overlap = ix.lo[d] <= iw.hi[d] + 2 * margin && iw.lo[d] <= ix.hi[d] + 2 * margin;
          // A couple met from both sides (x and w on both) is kept once.
          if (overlap && !(ix.pathA >= 0 && ix.pathB >= 0 && iw.pathA >= 0 && iw.pathB >= 0 && w < x))
            out.emplace_back(fewA ? x : w, fewA ? w : x);
        }
      return out;
    }
    std::vector<int> order;
    for (int i = 0; i < static_cast<int>(instances.size()); ++i) order.push_back(i);
    std::sort(order.begin(), order.end(), [&](int p, int q) { return instances[p].lo[0] < instances[q].lo[0]; });
    std::vector<std::pair<int, int>> out;
    std::vector<int> active;
    for (int w : order) {
      const Instance& iw = instances[w];
      size_t keep = 0;
      for (size_t k = 0; k < active.size(); ++k) {
        const int x = active[k];
        const Instance& ix = instances[x];
        if (ix.hi[0] + 2 * margin < iw.lo[0]) continue;  // past: dropped
        active[keep++] = x;
        bool overlap = true;
        for (int d = 1; d < 3 && overlap; ++d)
          overlap = ix.lo[d] <= iw.hi[d] + 2 * margin && iw.lo[d] <= ix.hi[d] + 2 * margin;
        if (!overlap) continue;
        if (ix.pathA >= 0 && iw.pathB >= 0) out.emplace_back(x, w);
        else if (iw.pathA >= 0 && ix.pathB >= 0) out.emplace_back(w, x);
      }
      active.resize(keep);
      active.push_back(w);
    }
    return out;
  }

  static double BoxGap(const Instance& p, const Instance& q) {
    double s = 0.0;
    for (int d = 0; d < 3; ++d) {
      const double g = std::max(static_cast<double>(p.lo[d]) - q.hi[d], static_cast<double>(q.lo[d]) - p.hi[d]);
      if (g > 0.0) s += g * g;
    }
    return std::sqrt(s);
  }
  static double Extent(const Instance& p) {
    double s = 0.0;
    for (int d = 0; d < 3; ++d)
      s = std::max({s, static_cast<double>(p.hi[d]) - p.lo[d], std::abs(static_cast<double>(p.hi[d])),
                    std::abs(static_cast<double>(p.lo[d]))});
    return s;
  }

  // ------------------------------------------------------------ kinds

  void Interferences(const Request& r, std::vector<Pair>& pairs) {
    // Contact without a value: what single precision resolves at the objects' size.
    double margin = r.kind == KIVSiInInterfereModel::kClearance ? r.value
                    : r.kind == KIVSiInInterfereModel::kContact ? std::max(r.value, 0.0)
                                                                 : 0.0;
    double maxExtent = 0.0;
    for (const Instance& in : instances) maxExtent = std::max(maxExtent, Extent(in));
    if (r.kind == KIVSiInInterfereModel::kContact && r.value <= 0.0) margin = 1e-5 * maxExtent;
    std::unordered_map<long long, int> byPaths;
    for (auto [ia, ib] : Candidates(static_cast<float>(margin))) {
      Instance& a = instances[ia];
      Instance& b = instances[ib];
      const long long key = static_cast<long long>(a.pathA) * (1ll << 31) + b.pathB;
      auto it = byPaths.find(key);
      Pair fresh;
      Pair* target = it != byPaths.end() ? &pairs[it->second] : &fresh;
      if (it != byPaths.end() && target->kind == KIVSiInInterfereModel::kClash && r.kind != KIVSiInInterfereModel::kClash)
        continue;  // already the worst this couple of paths can be
      if (Clash(a, b, target, !clashCurves)) {
        target->kind = KIVSiInInterfereModel::kClash;
      } else {
        if (r.kind == KIVSiInInterfereModel::kClash) continue;
        double limit = r.kind == KIVSiInInterfereModel::kClearance ? r.value : margin * (1 + 1e-9);
        if (target != &fresh) limit = std::min(limit, target->distance);
        float pa[3], pb[3];
        if (!Distance(a, b, limit, pa, pb)) continue;
        if (r.kind == KIVSiInInterfereModel::kClearance && !(limit < r.value)) continue;
        if (target->kind != 0 && target->kind != r.kind) continue;
        target->kind = r.kind;
        target->distance = limit;
        std::copy_n(pa, 3, target->pointA);
        std::copy_n(pb, 3, target->pointB);
      }
      if (target == &fresh) {
        fresh.a = a.pathA;
        fresh.b = b.pathB;
        byPaths.emplace(key, static_cast<int>(pairs.size()));
        pairs.push_back(std::move(fresh));
      }
    }
  }

  // Couples ordered by a lower bound, measured while the bound is below the best.
  void Nearest(const Request& r, std::vector<Pair>& pairs) {
    const bool directional = r.kind == KIVSiInInterfereModel::kDirectional;
    const V3 d(r.direction[0], r.direction[1], r.direction[2]);
    std::vector<std::pair<double, std::pair<int, int>>> couples;
    std::vector<int> sideA, sideB;
    for (int i = 0; i < static_cast<int>(instances.size()); ++i) {
      if (instances[i].pathA >= 0) sideA.push_back(i);
      if (instances[i].pathB >= 0) sideB.push_back(i);
    }
    for (int ia : sideA)
      for (int ib : sideB) {
        if (ia == ib) continue;
        double bound = BoxGap(instances[ia], instances[ib]);
        if (directional) {
          // When the boxes first meet as a moves along d.
          const Instance& p = instances[ia];
          const Instance& q = instances[ib];
          float c[3], e[3];
          for (int k = 0; k < 3; ++k) c[k] = 0.5f * (q.lo[k] + q.hi[k]), e[k] = 0.5f * (q.hi[k] - q.lo[k]);
          double t0 = 0.0, t1 = kInf;
          const double dd[3] = {d[0], d[1], d[2]};
          if (!SweptInterval(p.lo, p.hi, c, e, dd, t0, t1)) continue;
          bound = t0;
        }
        couples.push_back({bound, {ia, ib}});
      }
    std::sort(couples.begin(), couples.end());
    double best = kInf;
    Pair result;
    bool any = false;
    for (const auto& [bound, couple] : couples) {
      if (bound > best || best == 0.0) break;
      Instance& a = instances[couple.first];
      Instance& b = instances[couple.second];
      float pa[3], pb[3];
      bool better = false;
      if (directional) {
        Pair touch;
        if (Clash(a, b, &touch, true)) {
          better = true;
          best = 0.0;
          std::copy_n(touch.pointA, 3, pa);
          std::copy_n(touch.pointB, 3, pb);
        } else {
          better = Sweep(a, b, d, best, pa, pb);
        }
      } else {
        better = Distance(a, b, best, pa, pb);
      }
      if (!better) continue;
      any = true;
      result.a = a.pathA;
      result.b = b.pathB;
      result.kind = r.kind;
      result.distance = best;
      std::copy_n(pa, 3, result.pointA);
      std::copy_n(pb, 3, result.pointB);
    }
    if (any) {
      pairs.push_back(std::move(result));
    } else if (directional) {
      // No contact along the direction: a negative distance says so.
      Pair none;
      none.kind = r.kind;
      none.distance = -1.0;
      if (!sideA.empty() && !sideB.empty()) {
        none.a = instances[sideA[0]].pathA;
        none.b = instances[sideB[0]].pathB;
        pairs.push_back(none);
      }
    }
  }

  void Trim() {
    if (cachedTriangles > kCacheBudget) {
      for (auto it = cache.begin(); it != cache.end();) {
        if (it->second->lastUse != computeSerial) {
          cachedTriangles -= it->second->TriangleCount();
          if (it->second->loaded) liveBytes -= it->second->Bytes();
          it = cache.erase(it);
        } else {
          ++it;
        }
      }
    }
    Compact();
  }
};

KIVFclInterfereEngine::KIVFclInterfereEngine() : mImpl(std::make_unique<Impl>()) {}
KIVFclInterfereEngine::~KIVFclInterfereEngine() = default;

int KIVFclInterfereEngine::Compute(const Request& request, std::vector<Pair>& pairs) {
  pairs.clear();
  const int kind = request.kind;
  if (kind != KIVSiInInterfereModel::kClash && kind != KIVSiInInterfereModel::kClearance &&
      kind != KIVSiInInterfereModel::kContact && kind != KIVSiInInterfereModel::kMinimalDistance &&
      kind != KIVSiInInterfereModel::kDirectional)
    return 0;
  if (!std::isfinite(request.value)) return 0;
  if (kind == KIVSiInInterfereModel::kDirectional) {
    const double n = std::sqrt(request.direction[0] * request.direction[0] +
                               request.direction[1] * request.direction[1] +
                               request.direction[2] * request.direction[2]);
    if (!(n > 0.0) || !std::isfinite(n)) return 0;
  }
  Impl& m = *mImpl;
  ++m.computeSerial;
  m.instances.clear();
  m.byChain.clear();
  m.wire = request.geometry == KIVSiInInterfereModel::kWire;
  m.byChain.reserve(request.a.size() + request.b.size());
  m.instances.reserve(request.a.size() + request.b.size());
  for (size_t i = 0; i < request.a.size(); ++i) m.Expand(request.a[i], 0, static_cast<int>(i));
  for (size_t i = 0; i < request.b.size(); ++i) m.Expand(request.b[i], 1, static_cast<int>(i));

  Request r = request;
  if (kind == KIVSiInInterfereModel::kDirectional) {
    const double n = std::sqrt(r.direction[0] * r.direction[0] + r.direction[1] * r.direction[1] +
                               r.direction[2] * r.direction[2]);
    for (double& c : r.direction) c /= n;
  }
  if (kind == KIVSiInInterfereModel::kMinimalDistance || kind == KIVSiInInterfereModel::kDirectional)
    m.Nearest(r, pairs);
  else
    m.Interferences(r, pairs);
  m.instances.clear();
  m.byChain.clear();
  m.Trim();
  return 1;
}

void KIVFclInterfereEngine::SetClashCurves(bool all) { mImpl->clashCurves = all; }

bool KIVFclInterfereEngine::GetClashCurves() const { return mImpl->clashCurves; }

void KIVFclInterfereEngine::Install() { KIVSiInInterfereModel::SetEngine(std::make_shared<KIVFclInterfereEngine>()); }

int KIVFclInterfereEngine::GetCachedGeometryCount() const { return static_cast<int>(mImpl->cache.size()); }

int KIVFclInterfereEngine::GetBuiltTreeCount() const {
  int n = 0;
  for (const auto& [key, mesh] : mImpl->cache) n += mesh->loaded;
  return n;
}

void KIVFclInterfereEngine::ClearCache() {
  mImpl->cache.clear();
  mImpl->arena.Clear();
  mImpl->cachedTriangles = 0;
  mImpl->liveBytes = 0;
}
