#pragma once
// A bounding volume hierarchy over the triangles of one geometry, in the geometry's own
// frame, for picking. Built once by a binned SAH builder, then collapsed to 4-wide nodes
// that a ray tests in one go; the triangles are copied in leaf order, four to a packet,
// so a ray walks contiguous memory. Both faces of a triangle are hit; degenerate triangles
// are dropped at build time. The ray-triangle test is watertight (Woop, Benthin and Wald
// 2013): a ray through an edge or vertex shared by triangles hits at least one of them.

#include <cstdint>
#include <vector>

#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/math/KIVMathVectorf.h"

class KIVTriangleBVH {
 public:
  /// 32 bytes. A leaf has count > 0 and its items are [first, first + count) of the
  /// reordered item array; an inner node has count == 0 and children first, first + 1.
  struct Node {
    float min[3];
    std::int32_t first;
    float max[3];
    std::int32_t count;
  };
  static_assert(sizeof(Node) == 32);

  /// Four children's boxes side by side, so that one ray meets all four at once; two
  /// cache lines, aligned as the pair the processor fetches together. An unused lane has
  /// an empty box, which no ray enters.
  struct alignas(128) WideNode {
    float box[6][4];       // min x, max x, min y, max y, min z, max z; one lane per child
    std::int32_t child[4];  // >= 0: a node; < 0: the leaf -1 - child (packet or instance)
    std::int32_t pad[4];
  };
  static_assert(sizeof(WideNode) == 128);

  struct Hit {
    float t = 0.0f;
    int triangle = -1;  // index in the caller's index array
    float u = 0.0f, v = 0.0f;  // the hit point is (1-u-v)·p0 + u·p1 + v·p2
  };

  KIVTriangleBVH() = default;
  KIVTriangleBVH(KIVTriangleBVH&&) noexcept = default;
  KIVTriangleBVH& operator=(KIVTriangleBVH&&) noexcept = default;

  /// Copies what it needs from vertices (x, y, z per vertex) and indices (three per
  /// triangle). A null array, a negative count or an index out of range gives an empty,
  /// unbuilt hierarchy. Returns IsBuilt().
  int Build(const float* vertices, int vertexCount, const int* indices, int triangleCount);
  void Clear();
  /// 1 after a successful Build, even if every triangle was degenerate.
  int IsBuilt() const { return mBuilt; }
  /// Triangles kept (non-degenerate) and 4-wide nodes.
  int GetTriangleCount() const { return mTriangleCount; }
  int GetNodeCount() const { return static_cast<int>(mNodes.size()); }
  /// The box of the kept triangles; 0 when there are none.
  int GetBounds(KIVMathPointf& min, KIVMathPointf& max) const;

  /// The nearest hit with t in [0, tMax]; the direction need not be unit. Returns 1 on a
  /// hit; a ray with a non-finite or zero vector, or a NaN tMax, hits nothing.
  int Intersect(const KIVMathPointf& origin, const KIVMathVectorf& direction, float tMax, Hit& hit) const;
  /// 1 when any triangle is hit with t in [0, tMax] (shadow and visibility queries).
  int Occluded(const KIVMathPointf& origin, const KIVMathVectorf& direction, float tMax) const;

  /// The shared builder: a binned SAH hierarchy over count items given by their boxes
  /// (min x, y, z, max x, y, z per item). Fills nodes and order (order[k] is the item
  /// stored at slot k). Leaves hold at most maxLeaf items; children come after their
  /// parent. Scratch memory is reused between calls on the same thread.
  static void BuildTree(const float* boxes, int count, int maxLeaf, std::vector<Node>& nodes,
                        std::vector<int>& order);

 private:
  // Four triangles of one leaf, coordinates side by side for the 4-lane test; a leaf of
  // fewer repeats its last triangle.
  struct alignas(16) Packet {
    float p[3][3][4];      // corner, axis, lane
    std::int32_t id[4];    // the caller's triangle indices
  };
  template <bool kAny>
  int Traverse(const KIVMathPointf& origin, const KIVMathVectorf& direction, float tMax, Hit* hit) const;

  std::vector<WideNode> mNodes;  // the root first
  std::vector<Packet> mPackets;
  float mMin[3] = {0, 0, 0}, mMax[3] = {0, 0, 0};
  int mTriangleCount = 0;
  int mBuilt = 0;
};
