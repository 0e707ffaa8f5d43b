#pragma once
// A retained forest of KIVGraphNode boxes linked by KIVGraphArc arcs, its layout and a
// spatial index over the laid-out boxes. Nodes and arcs belong to whoever created them
// (the graph deletes those still listed when it goes). Only trees added with addTree are
// laid out: each from its root down the shown nodes and arcs.

#include <functional>
#include <vector>

#include "host/core/KIVUnicodeString.h"
#include "host/graph/KIVTreeLayout.h"

class KIVGraphNode;
class KIVGraphArc;

class KIVGraph {
 public:
  /// Placement of the trees: orientation (vertical: roots at the top, levels going down;
  /// horizontal: roots at the left, levels going right) and alignment of a parent over its
  /// children (centred, aligned on the first child's side, or indented rows).
  enum Layout { VerticalCentered, HorizontalCentered, VerticalRight, HorizontalBottom, HorizontalIndented };

  /// Measures a label: width and height in graph units. The default counts 7 units a
  /// character and 14 a line, so that layouts are the same everywhere; a GUI back end
  /// installs its font's measure. Null restores the default.
  using TextMeasure = std::function<void(const KIVUnicodeString&, float& width, float& height)>;
  static void SetTextMeasure(TextMeasure measure);
  static void MeasureText(const KIVUnicodeString& text, float& width, float& height);
  /// Room taken by an icon before the label, and padding around the label.
  static constexpr float IconSize = 16, Padding = 4;

  KIVGraph();
  /// Deletes every node still listed (and so every arc between them).
  ~KIVGraph();
  KIVGraph(const KIVGraph&) = delete;
  KIVGraph& operator=(const KIVGraph&) = delete;

  /// Lays out the tree below `root` (from the next layout on); a node already listed as a
  /// root, a null or a foreign node is refused (0).
  int addTree(KIVGraphNode* root);
  /// Stops laying out that tree; 0 when it was not one.
  int removeTree(KIVGraphNode* root);
  /// Stops laying out every tree.
  void removeAllTrees();
  const std::vector<KIVGraphNode*>& getTrees() const { return mTrees; }
  const std::vector<KIVGraphNode*>& getNodes() const { return mNodes; }
  int getNodeCount() const { return static_cast<int>(mNodes.size()); }

  /// Takes the node out of the graph now (hidden, unlinked from its arcs, which are
  /// deleted, and no longer a tree) and deletes it at the next layout or with the graph:
  /// safe while a notification about it is being delivered.
  void DeleteLater(KIVGraphNode* node);
  /// Deletes the nodes given to DeleteLater.
  void FlushDeleted();

  void setLayout(Layout layout);
  Layout getLayout() const { return mLayout; }
  /// 1: the levels go the other way (up or left).
  void setGravity(int reversed);
  int getGravity() const { return mGravity; }
  /// 1: arcs of centred trees go as right angles.
  void setSquareArcs(int on);
  int getSquareArcs() const { return mSquare; }
  /// 1: subtrees interleave as their outlines allow (tidy tree); 0: each subtree keeps its
  /// whole band.
  void setPacked(int on);
  int getPacked() const { return mPacked; }
  /// Gap between levels and between neighbours, in graph units (negative taken as 0).
  void setDepthMargin(int margin);
  int getDepthMargin() const { return mDepthMargin; }
  void setWidthMargin(int margin);
  int getWidthMargin() const { return mWidthMargin; }

  /// Lays out the trees: measures the nodes whose label or icon changed, places every
  /// node that a tree reaches through shown nodes and arcs (a node met again, through a
  /// second parent or a cycle, is placed once) and rebuilds the spatial index. Returns
  /// the number of nodes placed.
  int layout();
  /// Extent of the last layout; all 0 when empty.
  void getBounds(float& x0, float& y0, float& x1, float& y1) const;
  /// 1 when something changed since the last layout.
  int isLayoutDirty() const { return mDirty; }
  /// Increases at every change of what a drawing shows (layout, look of a node or arc).
  unsigned long getChangeSerial() const { return mSerial; }

  /// Nodes placed by the last layout whose boxes meet the rectangle, and shown arcs with
  /// a placed end whose route meets it. Cost: the cells of the index under the rectangle
  /// and what they hold, not the graph's size.
  void query(float x0, float y0, float x1, float y1, std::vector<KIVGraphNode*>& nodes,
             std::vector<KIVGraphArc*>& arcs) const;
  /// The placed node whose box holds the point, null for none.
  KIVGraphNode* nodeAt(float x, float y) const;
  /// The drawn arc whose route passes within `tolerance` of the point, null for none.
  KIVGraphArc* arcAt(float x, float y, float tolerance) const;
  /// Route of an arc as a polyline (2 to 4 points, x then y): straight from the parent's
  /// side facing its children to the child's facing side, or square, or (indented
  /// trees) down from the parent and across to the child. 0 when not drawn.
  int arcRoute(const KIVGraphArc* arc, float* points) const;
  /// 1 when the point falls on the node's icon.
  int isOnIcon(const KIVGraphNode* node, float x, float y) const;

 private:
  friend class KIVGraphNode;
  friend class KIVGraphArc;
  void Forget(KIVGraphNode* node);
  void Touch(bool relayout) {
    ++mSerial;
    if (relayout) mDirty = 1;
  }
  void BuildIndex(const std::vector<int>& firstChild, const std::vector<int>& childIndex, const float* box);
  struct Cell;
  bool CellRange(float x0, float y0, float x1, float y1, int& c0, int& r0, int& c1, int& r1) const;

  std::vector<KIVGraphNode*> mNodes;
  std::vector<KIVGraphNode*> mTrees;
  std::vector<KIVGraphNode*> mDeleted;
  Layout mLayout = VerticalCentered;
  int mGravity = 0, mSquare = 0, mPacked = 0, mDepthMargin = 10, mWidthMargin = 5;
  int mDirty = 1;
  unsigned long mSerial = 1;
  unsigned long mGeneration = 1;  // of layouts; a node placed by the latest one bears it
  float mBounds[4] = {0, 0, 0, 0};

  // Spatial index: a grid over the laid-out extent. A node is filed in the cell of its
  // centre (queries widen by the largest half box); the fan of arcs below a node (its
  // box and its children's) in every cell it covers, or in the wide list when it covers
  // too many.
  std::vector<KIVGraphNode*> mPlaced;
  int mColumns = 0, mRows = 0;
  float mCell[2] = {1, 1};
  float mHalf[2] = {0, 0};
  std::vector<int> mNodeStart, mNodeItems;  // per cell, indices into mPlaced
  std::vector<int> mFanStart, mFanItems;
  std::vector<int> mWideFans;
  std::vector<float> mNodeBox;  // 4 per placed node: x0, y0, x1, y1
  std::vector<float> mFanBox;   // 4 per placed node
  mutable std::vector<unsigned> mStamp;
  mutable unsigned mStampNow = 0;

  // Working arrays of the layout and the index, kept from one layout to the next: at a
  // million nodes, fresh ones cost more in page faults than the work itself.
  KIVTreeLayoutInput mIn;
  KIVTreeLayoutResult mOut;
  KIVTreeLayoutScratch mScratch;
  std::vector<int> mCellOf, mFill, mRange;
  std::vector<char> mHasFan;
};
