#pragma once
// A bounding volume hierarchy over the triangles of one geometry, in the geometry's own
// frame, for picking. Built once by a binned SAH builder; the nodes live in one flat
// array and the triangles are copied in leaf order, so a ray walks contiguous memory.
// Both faces of a triangle are hit; degenerate triangles are dropped at build time.

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

  struct Hit {
    float t = 0.0f;
    int triangle = -1;  // index in the caller's index array
    float u = 0.0f, v = 0.0f;  // the hit point is (1-u-v)·p0 + u·p1 + v·p2
  };

  KIVTriangleBVH() = default;

  /// Copies what it needs from vertices (x, y, z per vertex) and indices (three per
  /// triangle). A null array, a negative count or an index out of range gives an empty,
  /// unbuilt hierarchy. Returns IsBuilt().
  int Build(const float* vertices, int vertexCount, const int* indices, int triangleCount);
  void Clear();
  /// 1 after a successful Build, even if every triangle was degenerate.
  int IsBuilt() const { return mBuilt; }
  /// Triangles kept (non-degenerate) and nodes.
  int GetTriangleCount() const { return static_cast<int>(mTriangles.size()); }
  int GetNodeCount() const { return static_cast<int>(mNodes.size()); }
  /// The box of the kept triangles; 0 when there are none.
  int GetBounds(KIVMathPointf& min, KIVMathPointf& max) const;

  /// The nearest hit with t in [0, tMax]; the direction need not be unit. Returns 1 on a hit.
  int Intersect(const KIVMathPointf& origin, const KIVMathVectorf& direction, float tMax, Hit& hit) const;
  /// 1 when any triangle is hit with t in [0, tMax] (shadow and visibility queries).
  int Occluded(const KIVMathPointf& origin, const KIVMathVectorf& direction, float tMax) const;

  /// The shared builder: a binned SAH hierarchy over count items given by their boxes
  /// (min x, y, z, max x, y, z per item). Fills nodes and order (order[k] is the item
  /// stored at slot k). Leaves hold at most maxLeaf items. Scratch memory is reused
  /// between calls on the same thread.
  static void BuildTree(const float* boxes, int count, int maxLeaf, std::vector<Node>& nodes,
                        std::vector<int>& order);

 private:
  // Corners as indices into our copy of the vertices, less than half the memory of
  // stored edges: on big scenes building is bound by first touches of fresh pages.
  struct Triangle {
    std::uint32_t v[3];
    std::int32_t id;  // the caller's triangle index
  };
  template <bool kAny>
  int Traverse(const KIVMathPointf& origin, const KIVMathVectorf& direction, float tMax, Hit* hit) const;

  std::vector<Node> mNodes;
  std::vector<Triangle> mTriangles;
  std::vector<float> mVertices;
  int mBuilt = 0;
};
