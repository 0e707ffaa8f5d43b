#pragma once
// A node of a KIVGraph: a labelled box with an optional icon, a colour index, a selected
// look and a shadow (the highlight), linked to parents and children by arcs. Created with
// new on a graph, which lists it; deleting it removes its arcs and takes it out of the
// graph (KIVGraph::DeleteLater defers that to a safe moment inside callbacks).

#include <vector>

#include "host/core/KIVCommand.h"
#include "host/core/KIVString.h"
#include "host/core/KIVUnicodeString.h"

class KIVGraph;
class KIVGraphArc;

class KIVGraphNode : public KIVCommand {
  KIV_DECLARE_METAOBJECT(KIVGraphNode)
 public:
  /// A null graph makes a node that no graph lists (it can still be linked and freed).
  explicit KIVGraphNode(KIVGraph* graph, const KIVUnicodeString& label = KIVUnicodeString());
  /// Deletes its arcs and leaves its graph.
  ~KIVGraphNode() override;
  KIVGraphNode(const KIVGraphNode&) = delete;
  KIVGraphNode& operator=(const KIVGraphNode&) = delete;

  KIVGraph* getGraph() const { return mGraph; }

  void setLabel(const KIVUnicodeString& label);
  const KIVUnicodeString& getLabel() const { return mLabel; }
  /// Icon name shown before the label; empty for none.
  void setPixmap(const char* name);
  const KIVString& getPixmap() const { return mPixmap; }
  /// Index into the viewer's palette.
  void setColor(int index);
  int getColor() const { return mColor; }
  /// The selected look (a frame around the box).
  void setSelected(int on);
  int isSelected() const { return mSelected; }
  /// The highlight: a sunken, filled box.
  void setShadowIn();
  void setShadowOut();
  int isShadowIn() const { return mShadowIn; }
  /// A hidden node is neither laid out nor drawn, and nor is anything below it. Nodes
  /// start hidden.
  void show();
  void hide();
  int isShown() const { return mShown; }

  /// Arcs to the parents and to the children, in creation order.
  const std::vector<KIVGraphArc*>& getParentArcs() const { return mParents; }
  const std::vector<KIVGraphArc*>& getChildArcs() const { return mChildren; }
  /// The origin of the first parent arc, null for none.
  KIVGraphNode* getFirstParent() const;

  /// Box from the last layout, in graph units: centre and size. placed is 0 when the last
  /// layout did not reach the node.
  float getX() const { return mX; }
  float getY() const { return mY; }
  float getWidth() const { return mWidth; }
  float getHeight() const { return mHeight; }
  int isPlaced() const;
  /// Depth of the node in its tree at the last layout (0 for a root), -1 when not placed.
  int getLevel() const { return isPlaced() ? mLevel : -1; }

 private:
  friend class KIVGraph;
  friend class KIVGraphArc;
  void Touch(bool size);

  KIVGraph* mGraph;
  KIVUnicodeString mLabel;
  KIVString mPixmap;
  int mColor = 0;
  int mSelected = 0;
  int mShadowIn = 0;
  std::vector<KIVGraphArc*> mParents;
  // Kept by the graph.
  int mIndex = -1;        // position in the graph's node list
  int mRoot = 0;          // listed as a tree root
  // What a layout reads and writes, together: at a million nodes each cache line of a
  // node costs a miss.
  int mShown = 0;
  int mSizeValid = 0;     // mWidth/mHeight measured from the current label and icon
  std::vector<KIVGraphArc*> mChildren;
  float mX = 0, mY = 0, mWidth = 0, mHeight = 0;
  // Placed by the layout of this generation of the graph; numbered mLocal in the layout
  // of generation mSeen (stamps instead of flags, so no pass clears them).
  unsigned long mPlacedIn = 0;
  unsigned long mSeen = 0;
  int mLevel = -1;
  int mLocal = -1;
};
