#include "host/graph/KIVGraphNode.h"

#include <algorithm>

#include "host/graph/KIVGraph.h"
#include "host/graph/KIVGraphArc.h"

KIV_IMPLEMENT_METAOBJECT(KIVGraphNode, KIVCommand)
KIV_IMPLEMENT_METAOBJECT(KIVGraphArc, KIVCommand)

KIVGraphNode::KIVGraphNode(KIVGraph* graph, const KIVUnicodeString& label) : mGraph(graph), mLabel(label) {
  if (mGraph) {
    mIndex = static_cast<int>(mGraph->mNodes.size());
    mGraph->mNodes.push_back(this);
  }
}

KIVGraphNode::~KIVGraphNode() {
  // Arcs unlink themselves from both ends as they go.
  while (!mChildren.empty()) delete mChildren.back();
  while (!mParents.empty()) delete mParents.back();
  if (mGraph) mGraph->Forget(this);
}

void KIVGraphNode::Touch(bool size) {
  if (size) mSizeValid = 0;
  if (mGraph) mGraph->Touch(size);
}

void KIVGraphNode::setLabel(const KIVUnicodeString& label) {
  if (label == mLabel) return;
  mLabel = label;
  Touch(true);
}

void KIVGraphNode::setPixmap(const char* name) {
  const KIVString next(name ? name : "");
  if (next == mPixmap) return;
  mPixmap = next;
  Touch(true);
}

void KIVGraphNode::setColor(int index) {
  if (index == mColor) return;
  mColor = index;
  Touch(false);
}

void KIVGraphNode::setSelected(int on) {
  if ((on != 0) == (mSelected != 0)) return;
  mSelected = on != 0;
  Touch(false);
}

void KIVGraphNode::setShadowIn() {
  if (mShadowIn) return;
  mShadowIn = 1;
  Touch(false);
}

void KIVGraphNode::setShadowOut() {
  if (!mShadowIn) return;
  mShadowIn = 0;
  Touch(false);
}

void KIVGraphNode::show() {
  if (mShown) return;
  mShown = 1;
  Touch(true);
}

void KIVGraphNode::hide() {
  if (!mShown) return;
  mShown = 0;
  Touch(true);
}

int KIVGraphNode::isPlaced() const { return mGraph && mPlacedIn == mGraph->mGeneration ? 1 : 0; }

KIVGraphNode* KIVGraphNode::getFirstParent() const { return mParents.empty() ? nullptr : mParents.front()->getFrom(); }

KIVGraphArc::KIVGraphArc(KIVGraphNode* from, KIVGraphNode* to) {
  if (!from || !to || from->mGraph != to->mGraph) return;
  mFrom = from;
  mTo = to;
  from->mChildren.push_back(this);
  to->mParents.push_back(this);
}

KIVGraphArc::~KIVGraphArc() { Unlink(); }

namespace {
// From the back: a node's arcs are usually deleted last first.
void RemoveArc(std::vector<KIVGraphArc*>& arcs, KIVGraphArc* arc) {
  for (auto i = arcs.size(); i-- > 0;)
    if (arcs[i] == arc) {
      arcs.erase(arcs.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
}
}  // namespace

void KIVGraphArc::Unlink() {
  if (!mFrom) return;
  KIVGraph* graph = mFrom->mGraph;
  RemoveArc(mFrom->mChildren, this);
  RemoveArc(mTo->mParents, this);
  mFrom = mTo = nullptr;
  if (graph && mShown) graph->Touch(true);
}

void KIVGraphArc::setColor(int index) {
  if (index == mColor) return;
  mColor = index;
  if (mFrom && mFrom->mGraph) mFrom->mGraph->Touch(false);
}

void KIVGraphArc::show() {
  if (mShown) return;
  mShown = 1;
  if (mFrom && mFrom->mGraph) mFrom->mGraph->Touch(true);
}

void KIVGraphArc::hide() {
  if (!mShown) return;
  mShown = 0;
  if (mFrom && mFrom->mGraph) mFrom->mGraph->Touch(true);
}
