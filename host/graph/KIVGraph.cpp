#include "host/graph/KIVGraph.h"

#include <algorithm>
#include <cmath>

#include "host/graph/KIVGraphArc.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVTreeLayout.h"

namespace {

KIVGraph::TextMeasure& Measure() {
  static KIVGraph::TextMeasure measure;
  return measure;
}

// A drawn arc: shown, between two nodes that the last layout placed.
bool Drawn(const KIVGraphArc* arc) {
  return arc->isShown() && arc->getFrom() && arc->getFrom()->isPlaced() && arc->getTo()->isPlaced();
}

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
  const float dx = bx - ax, dy = by - ay;
  const float len2 = dx * dx + dy * dy;
  float t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
  t = std::clamp(t, 0.0f, 1.0f);
  const float qx = ax + t * dx - px, qy = ay + t * dy - py;
  return std::sqrt(qx * qx + qy * qy);
}

constexpr int kWideFanCells = 64;

}  // namespace

void KIVGraph::SetTextMeasure(TextMeasure measure) { Measure() = std::move(measure); }

void KIVGraph::MeasureText(const KIVUnicodeString& text, float& width, float& height) {
  if (Measure()) {
    Measure()(text, width, height);
    if (!(width >= 0)) width = 0;
    if (!(height >= 0)) height = 0;
    return;
  }
  // Deterministic default: the longest line at 7 units a character, 14 a line.
  int lines = 1, longest = 0, current = 0;
  const int n = text.GetLengthInChar();
  for (int i = 0; i < n; ++i) {
    if (text.GetChar(i) == KIVUnicodeChar('\n')) {
      ++lines;
      current = 0;
    } else {
      longest = std::max(longest, ++current);
    }
  }
  width = 7.0f * static_cast<float>(longest);
  height = 14.0f * static_cast<float>(lines);
}

KIVGraph::KIVGraph() = default;

KIVGraph::~KIVGraph() {
  FlushDeleted();
  // Arcs between listed nodes go with them; nodes leave the list as they go.
  while (!mNodes.empty()) {
    KIVGraphNode* node = mNodes.back();
    delete node;
  }
}

void KIVGraph::Forget(KIVGraphNode* node) {
  if (node->mIndex >= 0 && node->mIndex < static_cast<int>(mNodes.size()) && mNodes[node->mIndex] == node) {
    KIVGraphNode* last = mNodes.back();
    mNodes[node->mIndex] = last;
    last->mIndex = node->mIndex;
    mNodes.pop_back();
  }
  node->mIndex = -1;
  if (node->mRoot) removeTree(node);
  if (node->isPlaced()) {
    // The index holds it: dropped until the next layout rebuilds it. Its slot is emptied
    // rather than erased, so that tearing down a big laid-out graph stays linear.
    if (node->mLocal >= 0 && node->mLocal < static_cast<int>(mPlaced.size()) && mPlaced[node->mLocal] == node)
      mPlaced[node->mLocal] = nullptr;
    mColumns = mRows = 0;
    mNodeStart.clear();
    mNodeItems.clear();
    mFanStart.clear();
    mFanItems.clear();
    mWideFans.clear();
    mFanBox.clear();
    mNodeBox.clear();
  }
  node->mGraph = nullptr;
  Touch(true);
}

int KIVGraph::addTree(KIVGraphNode* root) {
  if (!root || root->mGraph != this || root->mRoot) return 0;
  root->mRoot = 1;
  mTrees.push_back(root);
  Touch(true);
  return 1;
}

int KIVGraph::removeTree(KIVGraphNode* root) {
  if (!root || !root->mRoot) return 0;
  root->mRoot = 0;
  std::erase(mTrees, root);
  Touch(true);
  return 1;
}

void KIVGraph::removeAllTrees() {
  for (KIVGraphNode* root : mTrees) root->mRoot = 0;
  mTrees.clear();
  Touch(true);
}

void KIVGraph::DeleteLater(KIVGraphNode* node) {
  if (!node || node->mGraph != this) return;
  while (!node->mChildren.empty()) delete node->mChildren.back();
  while (!node->mParents.empty()) delete node->mParents.back();
  node->mShown = 0;
  Forget(node);
  mDeleted.push_back(node);
}

void KIVGraph::FlushDeleted() {
  std::vector<KIVGraphNode*> deleted;
  deleted.swap(mDeleted);
  for (KIVGraphNode* node : deleted) delete node;
}

void KIVGraph::setLayout(Layout layout) {
  if (layout == mLayout) return;
  mLayout = layout;
  Touch(true);
}
void KIVGraph::setGravity(int reversed) {
  if ((reversed != 0) == (mGravity != 0)) return;
  mGravity = reversed != 0;
  Touch(true);
}
void KIVGraph::setSquareArcs(int on) {
  if ((on != 0) == (mSquare != 0)) return;
  mSquare = on != 0;
  Touch(true);
}
void KIVGraph::setPacked(int on) {
  if ((on != 0) == (mPacked != 0)) return;
  mPacked = on != 0;
  Touch(true);
}
void KIVGraph::setDepthMargin(int margin) {
  margin = std::max(0, margin);
  if (margin == mDepthMargin) return;
  mDepthMargin = margin;
  Touch(true);
}
void KIVGraph::setWidthMargin(int margin) {
  margin = std::max(0, margin);
  if (margin == mWidthMargin) return;
  mWidthMargin = margin;
  Touch(true);
}

int KIVGraph::layout() {
  FlushDeleted();
  // A new generation: every node placed before is no longer, without touching it.
  const unsigned long gen = ++mGeneration;
  mPlaced.clear();

  // The shown nodes that the trees reach, numbered in breadth-first order; each node is
  // read once here and written once below, the rest runs on flat arrays. Trees first
  // from the roots that no shown parent holds, then from the others not reached yet (a
  // subtree given again as a tree stays under its parent; a cycle still has a start).
  std::vector<KIVGraphNode*>& local = mPlaced;
  KIVTreeLayoutInput& in = mIn;
  for (auto* v : {&in.firstChild, &in.childIndex, &in.roots}) v->clear();
  in.breadthSize.clear();
  in.depthSize.clear();
  const bool vertical = mLayout == VerticalCentered || mLayout == VerticalRight;
  auto see = [&](KIVGraphNode* v) {
    v->mSeen = gen;
    v->mLocal = static_cast<int>(local.size());
    local.push_back(v);
    if (!v->mSizeValid) {
      float w = 0, h = 0;
      MeasureText(v->mLabel, w, h);
      const bool icon = !v->mPixmap.IsEmpty();
      v->mWidth = w + 2 * Padding + (icon ? IconSize + Padding : 0);
      v->mHeight = std::max(h, icon ? IconSize : 0.0f) + 2 * Padding;
      v->mSizeValid = 1;
    }
    in.breadthSize.push_back(vertical ? v->mWidth : v->mHeight);
    in.depthSize.push_back(vertical ? v->mHeight : v->mWidth);
  };
  auto heldByParent = [](const KIVGraphNode* v) {
    for (const KIVGraphArc* arc : v->mParents)
      if (arc->isShown() && arc->getFrom()->mShown) return true;
    return false;
  };
  in.firstChild.push_back(0);
  std::size_t done = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (KIVGraphNode* root : mTrees) {
      if (!root->mShown || root->mSeen == gen || (pass == 0 && heldByParent(root))) continue;
      in.roots.push_back(static_cast<int>(local.size()));
      see(root);
      for (; done < local.size(); ++done) {
        for (KIVGraphArc* arc : local[done]->mChildren) {
          KIVGraphNode* c = arc->getTo();
          if (!arc->isShown() || !c->mShown) continue;
          if (c->mSeen != gen) see(c);
          in.childIndex.push_back(c->mLocal);
        }
        in.firstChild.push_back(static_cast<int>(in.childIndex.size()));
      }
    }
  }
  const int n = static_cast<int>(local.size());
  KIVTreeLayoutOptions options;
  options.alignment = mLayout == HorizontalIndented ? KIVTreeAlignment::Indented
                      : (mLayout == VerticalRight || mLayout == HorizontalBottom) ? KIVTreeAlignment::Aligned
                                                                                    : KIVTreeAlignment::Centered;
  options.packed = mPacked != 0;
  options.widthMargin = static_cast<float>(mWidthMargin);
  options.depthMargin = static_cast<float>(mDepthMargin);
  KIVTreeLayoutResult& out = mOut;
  KIVLayoutTree(in, options, out, &mScratch);

  // Graph coordinates: x to the right, y down; reversed gravity mirrors the depth.
  const float mirror = out.minDepth + out.maxDepth;
  mNodeBox.resize(4 * static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    KIVGraphNode* v = local[i];
    const float depth = mGravity ? mirror - out.depth[i] : out.depth[i];
    const float x = vertical ? out.breadth[i] : depth, y = vertical ? depth : out.breadth[i];
    const float hw = (vertical ? in.breadthSize[i] : in.depthSize[i]) / 2;
    const float hh = (vertical ? in.depthSize[i] : in.breadthSize[i]) / 2;
    v->mLevel = out.level[i];
    v->mX = x;
    v->mY = y;
    v->mPlacedIn = gen;
    float* box = &mNodeBox[4 * static_cast<std::size_t>(i)];
    box[0] = x - hw, box[1] = y - hh, box[2] = x + hw, box[3] = y + hh;
  }
  if (vertical) {
    mBounds[0] = out.minBreadth, mBounds[1] = out.minDepth, mBounds[2] = out.maxBreadth, mBounds[3] = out.maxDepth;
  } else {
    mBounds[0] = out.minDepth, mBounds[1] = out.minBreadth, mBounds[2] = out.maxDepth, mBounds[3] = out.maxBreadth;
  }
  BuildIndex(in.firstChild, in.childIndex, mNodeBox.data());
  mDirty = 0;
  ++mSerial;
  return n;
}

void KIVGraph::getBounds(float& x0, float& y0, float& x1, float& y1) const {
  x0 = mBounds[0], y0 = mBounds[1], x1 = mBounds[2], y1 = mBounds[3];
}

bool KIVGraph::CellRange(float x0, float y0, float x1, float y1, int& c0, int& r0, int& c1, int& r1) const {
  if (mColumns == 0 || !(x1 >= x0) || !(y1 >= y0)) return false;
  auto col = [&](float x) {
    return static_cast<int>(std::clamp(std::floor((x - mBounds[0]) / mCell[0]), 0.0f, static_cast<float>(mColumns - 1)));
  };
  auto row = [&](float y) {
    return static_cast<int>(std::clamp(std::floor((y - mBounds[1]) / mCell[1]), 0.0f, static_cast<float>(mRows - 1)));
  };
  if (x1 < mBounds[0] || y1 < mBounds[1] || x0 > mBounds[2] || y0 > mBounds[3]) return false;
  c0 = col(x0), c1 = col(x1), r0 = row(y0), r1 = row(y1);
  return true;
}

void KIVGraph::BuildIndex(const std::vector<int>& firstChild, const std::vector<int>& childIndex,
                          const float* nodeBox) {
  const int n = static_cast<int>(mPlaced.size());
  mNodeStart.clear();
  mNodeItems.clear();
  mFanStart.clear();
  mFanItems.clear();
  mWideFans.clear();
  mFanBox.assign(4 * static_cast<std::size_t>(n), 0);
  mColumns = mRows = 0;
  mHalf[0] = mHalf[1] = 0;
  if (n == 0) return;
  const float w = std::max(mBounds[2] - mBounds[0], 1.0f), h = std::max(mBounds[3] - mBounds[1], 1.0f);
  const double cells = std::max(1.0, n / 2.0);
  mColumns = static_cast<int>(std::clamp(std::sqrt(cells * w / h), 1.0, 8192.0));
  mRows = static_cast<int>(std::clamp(cells / mColumns, 1.0, 8192.0));
  mCell[0] = w / static_cast<float>(mColumns);
  mCell[1] = h / static_cast<float>(mRows);
  const int total = mColumns * mRows;

  // Nodes by the cell of their centre (counting sort).
  std::vector<int>& cellOf = mCellOf;
  cellOf.resize(n);
  mNodeStart.assign(total + 1, 0);
  for (int i = 0; i < n; ++i) {
    const float* b = &nodeBox[4 * static_cast<std::size_t>(i)];
    mHalf[0] = std::max(mHalf[0], (b[2] - b[0]) / 2);
    mHalf[1] = std::max(mHalf[1], (b[3] - b[1]) / 2);
    int c0, r0, c1, r1;
    const float cx = (b[0] + b[2]) / 2, cy = (b[1] + b[3]) / 2;
    CellRange(cx, cy, cx, cy, c0, r0, c1, r1);
    cellOf[i] = r0 * mColumns + c0;
    ++mNodeStart[cellOf[i] + 1];
  }
  for (int c = 0; c < total; ++c) mNodeStart[c + 1] += mNodeStart[c];
  mNodeItems.resize(n);
  {
    std::vector<int>& fill = mFill;
    fill.assign(mNodeStart.begin(), mNodeStart.end() - 1);
    for (int i = 0; i < n; ++i) mNodeItems[fill[cellOf[i]]++] = i;
  }

  // Fans: a node's box with its children's boxes (every shown arc to a shown child is
  // drawn: all the layout's nodes are placed).
  std::vector<char>& hasFan = mHasFan;
  hasFan.assign(n, 0);
  for (int i = 0; i < n; ++i) {
    float* box = &mFanBox[4 * static_cast<std::size_t>(i)];
    std::copy(nodeBox + 4 * static_cast<std::size_t>(i), nodeBox + 4 * static_cast<std::size_t>(i) + 4, box);
    for (int k = firstChild[i]; k < firstChild[i + 1]; ++k) {
      const float* c = &nodeBox[4 * static_cast<std::size_t>(childIndex[k])];
      hasFan[i] = 1;
      box[0] = std::min(box[0], c[0]), box[1] = std::min(box[1], c[1]);
      box[2] = std::max(box[2], c[2]), box[3] = std::max(box[3], c[3]);
    }
  }
  mFanStart.assign(total + 1, 0);
  std::vector<int>& range = mRange;  // cells of each indexed fan
  range.assign(4 * static_cast<std::size_t>(n), -1);
  for (int i = 0; i < n; ++i) {
    if (!hasFan[i]) continue;
    const float* box = &mFanBox[4 * static_cast<std::size_t>(i)];
    int c0, r0, c1, r1;
    if (!CellRange(box[0], box[1], box[2], box[3], c0, r0, c1, r1)) continue;
    if (static_cast<long>(c1 - c0 + 1) * (r1 - r0 + 1) > kWideFanCells) {
      mWideFans.push_back(i);
      continue;
    }
    int* cr = &range[4 * static_cast<std::size_t>(i)];
    cr[0] = c0, cr[1] = r0, cr[2] = c1, cr[3] = r1;
    for (int r = r0; r <= r1; ++r)
      for (int c = c0; c <= c1; ++c) ++mFanStart[r * mColumns + c + 1];
  }
  for (int c = 0; c < total; ++c) mFanStart[c + 1] += mFanStart[c];
  mFanItems.resize(mFanStart[total]);
  {
    std::vector<int>& fill = mFill;
    fill.assign(mFanStart.begin(), mFanStart.end() - 1);
    for (int i = 0; i < n; ++i) {
      const int* cr = &range[4 * static_cast<std::size_t>(i)];
      if (cr[0] < 0) continue;
      for (int r = cr[1]; r <= cr[3]; ++r)
        for (int c = cr[0]; c <= cr[2]; ++c) mFanItems[fill[r * mColumns + c]++] = i;
    }
  }
  mStamp.assign(n, 0);
  mStampNow = 0;
}

void KIVGraph::query(float x0, float y0, float x1, float y1, std::vector<KIVGraphNode*>& nodes,
                     std::vector<KIVGraphArc*>& arcs) const {
  nodes.clear();
  arcs.clear();
  int c0, r0, c1, r1;
  if (CellRange(x0 - mHalf[0], y0 - mHalf[1], x1 + mHalf[0], y1 + mHalf[1], c0, r0, c1, r1)) {
    for (int r = r0; r <= r1; ++r)
      for (int c = c0; c <= c1; ++c) {
        const int cell = r * mColumns + c;
        for (int k = mNodeStart[cell]; k < mNodeStart[cell + 1]; ++k) {
          const float* b = &mNodeBox[4 * static_cast<std::size_t>(mNodeItems[k])];
          if (b[2] >= x0 && b[0] <= x1 && b[3] >= y0 && b[1] <= y1) nodes.push_back(mPlaced[mNodeItems[k]]);
        }
      }
  }
  if (++mStampNow == 0) {
    std::fill(mStamp.begin(), mStamp.end(), 0u);
    mStampNow = 1;
  }
  auto fan = [&](int i) {
    if (mStamp[i] == mStampNow) return;
    mStamp[i] = mStampNow;
    const float* box = &mFanBox[4 * static_cast<std::size_t>(i)];
    if (box[2] < x0 || box[0] > x1 || box[3] < y0 || box[1] > y1) return;
    for (KIVGraphArc* arc : mPlaced[i]->mChildren) {
      if (!Drawn(arc)) continue;
      float p[8];
      const int k = arcRoute(arc, p);
      float bx0 = p[0], by0 = p[1], bx1 = p[0], by1 = p[1];
      for (int j = 1; j < k; ++j) {
        bx0 = std::min(bx0, p[2 * j]), bx1 = std::max(bx1, p[2 * j]);
        by0 = std::min(by0, p[2 * j + 1]), by1 = std::max(by1, p[2 * j + 1]);
      }
      if (bx1 >= x0 && bx0 <= x1 && by1 >= y0 && by0 <= y1) arcs.push_back(arc);
    }
  };
  if (CellRange(x0, y0, x1, y1, c0, r0, c1, r1)) {
    for (int r = r0; r <= r1; ++r)
      for (int c = c0; c <= c1; ++c) {
        const int cell = r * mColumns + c;
        for (int k = mFanStart[cell]; k < mFanStart[cell + 1]; ++k) fan(mFanItems[k]);
      }
  }
  for (int i : mWideFans) fan(i);
}

KIVGraphNode* KIVGraph::nodeAt(float x, float y) const {
  std::vector<KIVGraphNode*> nodes;
  std::vector<KIVGraphArc*> arcs;
  query(x, y, x, y, nodes, arcs);
  return nodes.empty() ? nullptr : nodes.back();
}

KIVGraphArc* KIVGraph::arcAt(float x, float y, float tolerance) const {
  std::vector<KIVGraphNode*> nodes;
  std::vector<KIVGraphArc*> arcs;
  query(x - tolerance, y - tolerance, x + tolerance, y + tolerance, nodes, arcs);
  KIVGraphArc* best = nullptr;
  float bestDistance = tolerance;
  for (KIVGraphArc* arc : arcs) {
    float p[8];
    const int k = arcRoute(arc, p);
    for (int j = 0; j + 1 < k; ++j) {
      const float d = SegmentDistance(x, y, p[2 * j], p[2 * j + 1], p[2 * j + 2], p[2 * j + 3]);
      if (d <= bestDistance) {
        bestDistance = d;
        best = arc;
      }
    }
  }
  return best;
}

int KIVGraph::arcRoute(const KIVGraphArc* arc, float* p) const {
  if (!arc || !Drawn(arc)) return 0;
  const KIVGraphNode* a = arc->getFrom();
  const KIVGraphNode* b = arc->getTo();
  const bool vertical = mLayout == VerticalCentered || mLayout == VerticalRight;
  if (mLayout == HorizontalIndented) {
    // Down from under the parent's icon side, then across to the child's leading side.
    const float x = a->mX - a->mWidth / 2 + std::min(IconSize / 2 + Padding, a->mWidth / 2);
    const float y0 = mGravity ? a->mY : a->mY + a->mHeight / 2;
    const float edge = mGravity ? b->mX + b->mWidth / 2 : b->mX - b->mWidth / 2;
    const float x0 = mGravity ? a->mX + a->mWidth / 2 - std::min(IconSize / 2 + Padding, a->mWidth / 2) : x;
    p[0] = x0, p[1] = y0, p[2] = x0, p[3] = b->mY, p[4] = edge, p[5] = b->mY;
    return 3;
  }
  // Facing sides along the depth axis.
  float ax, ay, bx, by;
  if (vertical) {
    const float s = b->mY >= a->mY ? 1.0f : -1.0f;
    ax = a->mX, ay = a->mY + s * a->mHeight / 2, bx = b->mX, by = b->mY - s * b->mHeight / 2;
  } else {
    const float s = b->mX >= a->mX ? 1.0f : -1.0f;
    ax = a->mX + s * a->mWidth / 2, ay = a->mY, bx = b->mX - s * b->mWidth / 2, by = b->mY;
  }
  p[0] = ax, p[1] = ay;
  if (mSquare && (mLayout == VerticalCentered || mLayout == HorizontalCentered)) {
    if (vertical) {
      const float mid = (ay + by) / 2;
      p[2] = ax, p[3] = mid, p[4] = bx, p[5] = mid;
    } else {
      const float mid = (ax + bx) / 2;
      p[2] = mid, p[3] = ay, p[4] = mid, p[5] = by;
    }
    p[6] = bx, p[7] = by;
    return 4;
  }
  p[2] = bx, p[3] = by;
  return 2;
}

int KIVGraph::isOnIcon(const KIVGraphNode* node, float x, float y) const {
  if (!node || !node->isPlaced() || node->mPixmap.IsEmpty()) return 0;
  const float left = node->mX - node->mWidth / 2 + Padding;
  return x >= left && x <= left + IconSize && y >= node->mY - IconSize / 2 && y <= node->mY + IconSize / 2;
}
