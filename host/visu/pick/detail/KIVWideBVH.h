#pragma once
// What the two levels of picking share: four lanes of floats (SSE2 on x86-64, plain floats
// elsewhere), 4-wide nodes collapsed from the binary SAH tree, and the ray set-up that makes
// the box test branch-free. Internal to host/visu/pick.

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "host/visu/pick/KIVTriangleBVH.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define KIV_PICK_SSE2 1
#endif

namespace kivpick {

constexpr float kInf = std::numeric_limits<float>::infinity();

#ifdef KIV_PICK_SSE2
struct F4 {
  __m128 v;
};
struct M4 {
  __m128 v;
};
inline F4 Load(const float* p) { return {_mm_load_ps(p)}; }
inline F4 Splat(float x) { return {_mm_set1_ps(x)}; }
inline void Store(float* p, F4 a) { _mm_store_ps(p, a.v); }
inline F4 operator+(F4 a, F4 b) { return {_mm_add_ps(a.v, b.v)}; }
inline F4 operator-(F4 a, F4 b) { return {_mm_sub_ps(a.v, b.v)}; }
inline F4 operator*(F4 a, F4 b) { return {_mm_mul_ps(a.v, b.v)}; }
// As the instructions do: b when either is NaN, so a NaN slab never narrows an interval.
inline F4 Min(F4 a, F4 b) { return {_mm_min_ps(a.v, b.v)}; }
inline F4 Max(F4 a, F4 b) { return {_mm_max_ps(a.v, b.v)}; }
inline M4 operator<=(F4 a, F4 b) { return {_mm_cmple_ps(a.v, b.v)}; }
inline M4 operator>=(F4 a, F4 b) { return {_mm_cmpge_ps(a.v, b.v)}; }
inline M4 operator<(F4 a, F4 b) { return {_mm_cmplt_ps(a.v, b.v)}; }
inline M4 operator>(F4 a, F4 b) { return {_mm_cmpgt_ps(a.v, b.v)}; }
inline M4 operator==(F4 a, F4 b) { return {_mm_cmpeq_ps(a.v, b.v)}; }
inline M4 operator&(M4 a, M4 b) { return {_mm_and_ps(a.v, b.v)}; }
inline M4 operator|(M4 a, M4 b) { return {_mm_or_ps(a.v, b.v)}; }
inline int Bits(M4 m) { return _mm_movemask_ps(m.v); }
#else
struct F4 {
  float v[4];
};
struct M4 {
  bool v[4];
};
inline F4 Load(const float* p) { return {{p[0], p[1], p[2], p[3]}}; }
inline F4 Splat(float x) { return {{x, x, x, x}}; }
inline void Store(float* p, F4 a) {
  for (int i = 0; i < 4; ++i) p[i] = a.v[i];
}
#define KIV_PICK_LANES(expr) \
  for (int i = 0; i < 4; ++i) r.v[i] = (expr);
inline F4 operator+(F4 a, F4 b) { F4 r; KIV_PICK_LANES(a.v[i] + b.v[i]) return r; }
inline F4 operator-(F4 a, F4 b) { F4 r; KIV_PICK_LANES(a.v[i] - b.v[i]) return r; }
inline F4 operator*(F4 a, F4 b) { F4 r; KIV_PICK_LANES(a.v[i] * b.v[i]) return r; }
inline F4 Min(F4 a, F4 b) { F4 r; KIV_PICK_LANES(a.v[i] < b.v[i] ? a.v[i] : b.v[i]) return r; }
inline F4 Max(F4 a, F4 b) { F4 r; KIV_PICK_LANES(a.v[i] > b.v[i] ? a.v[i] : b.v[i]) return r; }
inline M4 operator<=(F4 a, F4 b) { M4 r; KIV_PICK_LANES(a.v[i] <= b.v[i]) return r; }
inline M4 operator>=(F4 a, F4 b) { M4 r; KIV_PICK_LANES(a.v[i] >= b.v[i]) return r; }
inline M4 operator<(F4 a, F4 b) { M4 r; KIV_PICK_LANES(a.v[i] < b.v[i]) return r; }
inline M4 operator>(F4 a, F4 b) { M4 r; KIV_PICK_LANES(a.v[i] > b.v[i]) return r; }
inline M4 operator==(F4 a, F4 b) { M4 r; KIV_PICK_LANES(a.v[i] == b.v[i]) return r; }
inline M4 operator&(M4 a, M4 b) { M4 r; KIV_PICK_LANES(a.v[i] && b.v[i]) return r; }
inline M4 operator|(M4 a, M4 b) { M4 r; KIV_PICK_LANES(a.v[i] || b.v[i]) return r; }
#undef KIV_PICK_LANES
inline int Bits(M4 m) { return m.v[0] | m.v[1] << 1 | m.v[2] << 2 | m.v[3] << 3; }
#endif

using Node4 = KIVTriangleBVH::WideNode;

inline bool IsLeaf(std::int32_t child) { return child < 0; }
inline std::int32_t LeafIndex(std::int32_t child) { return -1 - child; }

inline void SetLane(Node4& n, int lane, const float* mn, const float* mx) {
  for (int a = 0; a < 3; ++a) n.box[2 * a][lane] = mn[a], n.box[2 * a + 1][lane] = mx[a];
}
inline void ClearLane(Node4& n, int lane) {
  for (int a = 0; a < 3; ++a) n.box[2 * a][lane] = kInf, n.box[2 * a + 1][lane] = -kInf;
  n.child[lane] = 0;
}
/// The union of the node's lanes.
inline void NodeBox(const Node4& n, float* mn, float* mx) {
  for (int a = 0; a < 3; ++a) {
    mn[a] = kInf, mx[a] = -kInf;
    for (int l = 0; l < 4; ++l)
      mn[a] = n.box[2 * a][l] < mn[a] ? n.box[2 * a][l] : mn[a], mx[a] = n.box[2 * a + 1][l] > mx[a] ? n.box[2 * a + 1][l] : mx[a];
  }
}

/// Turns the binary tree into 4-wide nodes, each node taking the grandchildren of its
/// largest inner children until it has four. leaf(binaryLeaf) gives a leaf's number.
/// Nodes come parent first, so a backward sweep fits them bottom-up.
template <class LeafFn>
int Collapse(const std::vector<KIVTriangleBVH::Node>& bin, int b, std::vector<Node4>& out, LeafFn&& leaf) {
  const int index = static_cast<int>(out.size());
  out.emplace_back();
  int kids[4];
  int count = 0;
  if (bin[b].count > 0) {
    kids[count++] = b;  // a lone leaf under a node of its own
  } else {
    kids[count++] = bin[b].first;
    kids[count++] = bin[b].first + 1;
  }
  while (count < 4) {
    int widest = -1;
    float area = -1.0f;
    for (int k = 0; k < count; ++k) {
      const KIVTriangleBVH::Node& n = bin[kids[k]];
      if (n.count > 0) continue;
      const float dx = n.max[0] - n.min[0], dy = n.max[1] - n.min[1], dz = n.max[2] - n.min[2];
      const float a = dx * dy + dy * dz + dz * dx;
      if (a > area) area = a, widest = k;
    }
    if (widest < 0) break;
    const int first = bin[kids[widest]].first;
    kids[widest] = first;
    kids[count++] = first + 1;
  }
  for (int l = 0; l < 4; ++l) ClearLane(out[index], l);
  for (int l = 0; l < count; ++l) {
    const KIVTriangleBVH::Node& n = bin[kids[l]];
    const std::int32_t child = n.count > 0 ? -1 - leaf(n) : Collapse(bin, kids[l], out, leaf);
    SetLane(out[index], l, n.min, n.max);  // out may have grown: index, not a reference
    out[index].child[l] = child;
  }
  return index;
}

/// The same for a tree whose leaves hold up to four items each, as the top level of
/// picking has them: every item gets a lane of its own, item(k, node, lane) naming the
/// item at slot k of the builder's order and filling its lane's box.
template <class ItemFn>
int CollapseItems(const std::vector<KIVTriangleBVH::Node>& bin, int b, std::vector<Node4>& out, ItemFn&& item) {
  const int index = static_cast<int>(out.size());
  out.emplace_back();
  int kids[4];  // >= 0: a binary node; < 0: the item -1 - kid
  int count = 0;
  auto add = [&](int node) {
    if (bin[node].count == 1)
      kids[count++] = -1 - bin[node].first;
    else
      kids[count++] = node;
  };
  if (bin[b].count > 0) {
    for (int k = 0; k < bin[b].count; ++k) kids[count++] = -1 - (bin[b].first + k);
  } else {
    add(bin[b].first);
    add(bin[b].first + 1);
  }
  for (;;) {
    int widest = -1;
    float area = -1.0f;
    for (int k = 0; k < count; ++k) {
      if (kids[k] < 0) continue;
      const KIVTriangleBVH::Node& n = bin[kids[k]];
      if (count - 1 + (n.count > 0 ? n.count : 2) > 4) continue;
      const float dx = n.max[0] - n.min[0], dy = n.max[1] - n.min[1], dz = n.max[2] - n.min[2];
      const float a = dx * dy + dy * dz + dz * dx;
      if (a > area) area = a, widest = k;
    }
    if (widest < 0) break;
    const KIVTriangleBVH::Node& n = bin[kids[widest]];
    kids[widest] = kids[--count];
    if (n.count > 0) {
      for (int k = 0; k < n.count; ++k) kids[count++] = -1 - (n.first + k);
    } else {
      add(n.first);
      add(n.first + 1);
    }
  }
  for (int l = 0; l < 4; ++l) ClearLane(out[index], l);
  for (int l = 0; l < count; ++l) {
    if (kids[l] < 0) {
      out[index].child[l] = -1 - item(-1 - kids[l], index, l);
      continue;
    }
    const KIVTriangleBVH::Node& n = bin[kids[l]];
    const std::int32_t child = CollapseItems(bin, kids[l], out, item);
    SetLane(out[index], l, n.min, n.max);
    out[index].child[l] = child;
  }
  return index;
}

/// A ray made ready for box tests: the near and far plane of each axis picked once by the
/// direction's signs. Far distances are stretched by a few units in the last place, past
/// the rounding of the slab test (Ize 2013), so that a ray grazing a box through an edge
/// or corner of a triangle on its boundary still enters it: the watertight triangle test
/// is of no use behind a box that lets the ray slip by.
struct BoxRay {
  F4 org[3], inv[3], invFar[3];
  int nearSlab[3], farSlab[3];
  explicit BoxRay(const float* o, const float* d) {
    for (int a = 0; a < 3; ++a) {
      const float i = 1.0f / d[a];
      org[a] = Splat(o[a]);
      inv[a] = Splat(i);
      invFar[a] = Splat(i * (1.0f + 0x1p-21f));
      nearSlab[a] = 2 * a + (std::signbit(i) ? 1 : 0);
      farSlab[a] = 2 * a + (std::signbit(i) ? 0 : 1);
    }
  }
  /// The lanes whose boxes the ray enters within [0, tMax]; their entry distances in tNear.
  int Enter(const Node4& n, F4 tMax, F4& tNear) const {
    const F4 nx = (Load(n.box[nearSlab[0]]) - org[0]) * inv[0], fx = (Load(n.box[farSlab[0]]) - org[0]) * invFar[0];
    const F4 ny = (Load(n.box[nearSlab[1]]) - org[1]) * inv[1], fy = (Load(n.box[farSlab[1]]) - org[1]) * invFar[1];
    const F4 nz = (Load(n.box[nearSlab[2]]) - org[2]) * inv[2], fz = (Load(n.box[farSlab[2]]) - org[2]) * invFar[2];
    // The accumulator goes second: a NaN (origin on a plane the ray runs along) is ignored.
    tNear = Max(nx, Max(ny, Max(nz, Splat(0.0f))));
    const F4 tFar = Min(fx, Min(fy, Min(fz, tMax)));
    return Bits(tNear <= tFar);
  }
};

/// A finite origin and a finite, non-zero direction; anything else meets nothing.
inline bool UsableRay(const float* o, const float* d) {
  for (int a = 0; a < 3; ++a)
    if (!std::isfinite(o[a]) || !std::isfinite(d[a])) return false;
  return d[0] != 0.0f || d[1] != 0.0f || d[2] != 0.0f;
}

/// Traversal stack entries: depth of the binary tree is bounded (see the builder), and a
/// 4-wide node pushes at most three.
struct StackEntry {
  std::int32_t node;
  float t;
};
constexpr int kStackSize = 3 * 100 + 4;

/// Asks for a node pushed for later, so that it is on its way when popped.
template <class T>
inline void Prefetch(const T* base, std::int32_t child) {
#if defined(__GNUC__)
  if (child >= 0) __builtin_prefetch(base + child);
#else
  (void)base, (void)child;
#endif
}

/// Pushes the entered lanes (all but the nearest) and returns the nearest, nearest last
/// on the stack popped first. `hits` is not zero.
/// `nodes` is the array n lies in.
inline std::int32_t Order(const Node4* nodes, const Node4& n, int hits, const float* tNear, StackEntry* stack,
                          int& sp) {
  int first = std::countr_zero(static_cast<unsigned>(hits));
  hits &= hits - 1;
  if (!hits) return n.child[first];
  int second = std::countr_zero(static_cast<unsigned>(hits));
  hits &= hits - 1;
  if (!hits) {
    if (tNear[second] < tNear[first]) std::swap(first, second);
    stack[sp++] = {n.child[second], tNear[second]};
    Prefetch(nodes, n.child[second]);
    return n.child[first];
  }
  // Three or four: sort them by distance, farthest pushed first.
  StackEntry e[4];
  int count = 0;
  e[count++] = {n.child[first], tNear[first]};
  e[count++] = {n.child[second], tNear[second]};
  while (hits) {
    const int l = std::countr_zero(static_cast<unsigned>(hits));
    hits &= hits - 1;
    e[count++] = {n.child[l], tNear[l]};
  }
  for (int i = 1; i < count; ++i)
    for (int j = i; j > 0 && e[j].t > e[j - 1].t; --j) std::swap(e[j], e[j - 1]);
  for (int i = 0; i < count - 1; ++i) {
    stack[sp++] = e[i];
    Prefetch(nodes, e[i].node);
  }
  return e[count - 1].node;
}

}  // namespace kivpick
