#pragma once
// Tree layout on flat arrays, independent of any node class: the graph fills a
// KIVTreeLayoutInput from its nodes and reads the positions back. Every pass is linear in
// the node count and iterative (no recursion), so deep or wide trees of millions of nodes
// lay out without risk to the stack.
//
// Coordinates are abstract: "breadth" runs along siblings, "depth" from a root towards
// its leaves. The graph maps them to x and y according to its orientation.

#include <memory>
#include <vector>

enum class KIVTreeAlignment {
  Centered,  ///< a parent centred over its first and last children
  Aligned,   ///< a parent's leading edge on its first child's leading edge
  Indented,  ///< one row per node in depth-first order, each level indented
};

struct KIVTreeLayoutOptions {
  KIVTreeAlignment alignment = KIVTreeAlignment::Centered;
  bool packed = false;    ///< subtrees interleave as their contours allow (tidy tree)
  float widthMargin = 5;  ///< gap between neighbouring boxes along the breadth
  float depthMargin = 10; ///< gap between levels along the depth
  float indent = 16;      ///< indented trees: a level's extra indentation besides the depth margin
};

struct KIVTreeLayoutInput {
  /// Children of node i, in order: childIndex[firstChild[i] .. firstChild[i + 1]).
  /// firstChild has n + 1 entries.
  std::vector<int> firstChild;
  std::vector<int> childIndex;
  /// Roots, laid out side by side in this order.
  std::vector<int> roots;
  /// Box of each node along the breadth and along the depth.
  std::vector<float> breadthSize;
  std::vector<float> depthSize;
  int NodeCount() const { return static_cast<int>(breadthSize.size()); }
};

struct KIVTreeLayoutResult {
  /// Centre of each node's box; NaN for a node that no root reaches.
  std::vector<float> breadth;
  std::vector<float> depth;
  /// Depth level of each node (0 for roots), -1 when unreached.
  std::vector<int> level;
  /// Extent of the whole layout (boxes included); all 0 when nothing was laid out.
  float minBreadth = 0, maxBreadth = 0, minDepth = 0, maxDepth = 0;
  /// Nodes laid out. A node reached twice (a second parent, or a cycle) is laid out once,
  /// under the parent met first in breadth-first order.
  int placed = 0;
};

/// The working arrays of a layout, kept by a caller that lays out again and again: at a
/// million nodes, fresh arrays cost more in page faults than the layout itself.
class KIVTreeLayoutScratch {
 public:
  KIVTreeLayoutScratch();
  ~KIVTreeLayoutScratch();
  KIVTreeLayoutScratch(const KIVTreeLayoutScratch&) = delete;
  KIVTreeLayoutScratch& operator=(const KIVTreeLayoutScratch&) = delete;
  struct Arrays;
  std::unique_ptr<Arrays> arrays;
};

/// Lays out the trees. Invalid input (indices out of range, sizes of the wrong length)
/// lays out nothing and returns 0; otherwise returns 1.
int KIVLayoutTree(const KIVTreeLayoutInput& input, const KIVTreeLayoutOptions& options, KIVTreeLayoutResult& result);
/// The same, with working arrays reused from earlier layouts (null: fresh ones).
int KIVLayoutTree(const KIVTreeLayoutInput& input, const KIVTreeLayoutOptions& options, KIVTreeLayoutResult& result,
                  KIVTreeLayoutScratch* scratch);
