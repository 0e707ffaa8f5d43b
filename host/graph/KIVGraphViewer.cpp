#include "host/graph/KIVGraphViewer.h"

#include <algorithm>
#include <cmath>

#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/graph/KIVGraphArc.h"
#include "host/graph/KIVGraphNode.h"

KIV_IMPLEMENT_METAOBJECT(KIVGraphViewer, KIVDlgControl)

namespace {
constexpr float kMinZoom = 0.02f, kMaxZoom = 50.0f;
constexpr float kArcTolerance = 4.0f;  // pixels
}  // namespace

KIVGraphViewer::KIVGraphViewer(KIVDialog* parent, const char* tag, int viewerStyle, int graphStyle)
    : KIVDlgControl(parent, tag, viewerStyle), mGraphStyle(graphStyle) {}

KIVGraphViewer::~KIVGraphViewer() {
  Retire();
  mRepaint = nullptr;
}

KIVDlgContextualMenu* KIVGraphViewer::GetContextualMenu() {
  if (!mMenu) mMenu = new KIVDlgContextualMenu(this, "GraphViewerContextualMenu");
  return mMenu;
}

int KIVGraphViewer::layout() { return mGraph.layout(); }

void KIVGraphViewer::redraw() {
  ++mRedraws;
  Repaint();
}

void KIVGraphViewer::Repaint() {
  if (mRepaint) mRepaint();
}

void KIVGraphViewer::reframe() {
  float x0, y0, x1, y1;
  mGraph.getBounds(x0, y0, x1, y1);
  int w, h;
  getViewportSize(w, h);
  const float margin = 10;
  const float gw = std::max(x1 - x0, 1.0f), gh = std::max(y1 - y0, 1.0f);
  float zoom = std::min((w - 2 * margin) / gw, (h - 2 * margin) / gh);
  zoom = std::clamp(std::isfinite(zoom) ? zoom : 1.0f, kMinZoom, 1.0f);
  // Centred: the graph's centre at the view's centre.
  setView((x0 + x1) / 2 - w / 2.0f / zoom, (y0 + y1) / 2 - h / 2.0f / zoom, zoom);
}

void KIVGraphViewer::setViewportSize(int width, int height) {
  mViewport[0] = std::max(0, width);
  mViewport[1] = std::max(0, height);
}

void KIVGraphViewer::getViewportSize(int& width, int& height) const {
  width = mViewport[0], height = mViewport[1];
  if (width > 0 && height > 0) return;
  int x, y;
  GetRectDimensions(x, y, width, height);
  if (width <= 0) width = 500;
  if (height <= 0) height = 300;
}

void KIVGraphViewer::setView(float x, float y, float zoom) {
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(zoom)) return;
  mViewX = x, mViewY = y, mZoom = std::clamp(zoom, kMinZoom, kMaxZoom);
  Repaint();
}

void KIVGraphViewer::getView(float& x, float& y, float& zoom) const { x = mViewX, y = mViewY, zoom = mZoom; }

void KIVGraphViewer::toGraph(float px, float py, float& x, float& y) const {
  x = mViewX + px / mZoom;
  y = mViewY + py / mZoom;
}

void KIVGraphViewer::toPixel(float x, float y, float& px, float& py) const {
  px = (x - mViewX) * mZoom;
  py = (y - mViewY) * mZoom;
}

int KIVGraphViewer::Send(KIVGraphNotification* n, KIVGraphNode* node, KIVGraphArc* arc, int icon, int x, int y) {
  n->Set(node, arc, icon, x, y);
  // Nothing of this viewer is read after the delivery: the receiver may delete the node.
  return Notify(n) >= 0 ? 1 : 0;
}

int KIVGraphViewer::UserClick(int x, int y, int modifiers) {
  if (!IsUsable()) return 0;
  float gx, gy;
  toGraph(static_cast<float>(x), static_cast<float>(y), gx, gy);
  if (KIVGraphNode* node = mGraph.nodeAt(gx, gy)) {
    const int icon = mGraph.isOnIcon(node, gx, gy);
    if (modifiers & (ModShift | ModControl)) return Send(&mExtSelect, node, nullptr, icon, x, y);
    return Send(&mSelect, node, nullptr, icon, x, y);
  }
  if (KIVGraphArc* arc = mGraph.arcAt(gx, gy, kArcTolerance / mZoom)) return Send(&mArcSelect, nullptr, arc, 0, x, y);
  return 0;
}

int KIVGraphViewer::UserDoubleClick(int x, int y) {
  if (!IsUsable()) return 0;
  float gx, gy;
  toGraph(static_cast<float>(x), static_cast<float>(y), gx, gy);
  KIVGraphNode* node = mGraph.nodeAt(gx, gy);
  return node ? Send(&mEdit, node, nullptr, mGraph.isOnIcon(node, gx, gy), x, y) : 0;
}

void KIVGraphViewer::PopUp(int x, int y) {
  // The receiver may have emptied the menu, or destroyed this viewer.
  if (!mMenu || mMenu->GetDialogChildren().empty()) return;
  int mx, my, mw, mh;
  mMenu->GetRectDimensions(mx, my, mw, mh);
  mMenu->SetRectDimensions(x, y, mw, mh);
  mMenu->SetVisibility(VisibilityShown);
}

int KIVGraphViewer::UserContext(int x, int y) {
  if (!IsUsable()) return 0;
  float gx, gy;
  toGraph(static_cast<float>(x), static_cast<float>(y), gx, gy);
  const std::weak_ptr<int> self = GetLifeToken();
  if (KIVGraphNode* node = mGraph.nodeAt(gx, gy))
    Send(&mNodeContext, node, nullptr, mGraph.isOnIcon(node, gx, gy), x, y);
  else if (KIVGraphArc* arc = mGraph.arcAt(gx, gy, kArcTolerance / mZoom))
    Send(&mArcContext, nullptr, arc, 0, x, y);
  else
    Send(&mGraphContext, nullptr, nullptr, 0, x, y);
  if (self.expired()) return 1;
  PopUp(x, y);
  return 1;
}

namespace {
void NodePixel(const KIVGraphViewer* v, const KIVGraphNode* node, int& x, int& y) {
  float px, py;
  v->toPixel(node->getX(), node->getY(), px, py);
  x = static_cast<int>(std::lround(px)), y = static_cast<int>(std::lround(py));
}
}  // namespace

int KIVGraphViewer::UserSelect(KIVGraphNode* node, int extended, int iconPart) {
  if (!IsUsable() || !node || node->getGraph() != &mGraph) return 0;
  int x, y;
  NodePixel(this, node, x, y);
  return Send(extended ? static_cast<KIVGraphNotification*>(&mExtSelect) : &mSelect, node, nullptr, iconPart != 0, x,
              y);
}

int KIVGraphViewer::UserEdit(KIVGraphNode* node) {
  if (!IsUsable() || !node || node->getGraph() != &mGraph) return 0;
  int x, y;
  NodePixel(this, node, x, y);
  return Send(&mEdit, node, nullptr, 0, x, y);
}

int KIVGraphViewer::UserSelectArc(KIVGraphArc* arc) {
  if (!IsUsable() || !arc || !arc->getFrom() || arc->getFrom()->getGraph() != &mGraph) return 0;
  return Send(&mArcSelect, nullptr, arc, 0, -1, -1);
}

int KIVGraphViewer::UserContextNode(KIVGraphNode* node) {
  if (!IsUsable() || !node || node->getGraph() != &mGraph) return 0;
  int x, y;
  NodePixel(this, node, x, y);
  const std::weak_ptr<int> self = GetLifeToken();
  Send(&mNodeContext, node, nullptr, 0, x, y);
  if (!self.expired()) PopUp(x, y);
  return 1;
}

int KIVGraphViewer::UserContextArc(KIVGraphArc* arc) {
  if (!IsUsable() || !arc || !arc->getFrom() || arc->getFrom()->getGraph() != &mGraph) return 0;
  const std::weak_ptr<int> self = GetLifeToken();
  Send(&mArcContext, nullptr, arc, 0, -1, -1);
  if (!self.expired()) PopUp(0, 0);
  return 1;
}

int KIVGraphViewer::UserContextGraph() {
  if (!IsUsable()) return 0;
  const std::weak_ptr<int> self = GetLifeToken();
  Send(&mGraphContext, nullptr, nullptr, 0, -1, -1);
  if (!self.expired()) PopUp(0, 0);
  return 1;
}

void KIVGraphViewer::UserPan(float dx, float dy) {
  if (!IsUsable()) return;
  setView(mViewX - dx / mZoom, mViewY - dy / mZoom, mZoom);
}

void KIVGraphViewer::UserZoom(int steps, int x, int y) {
  if (!IsUsable() || steps == 0) return;
  float gx, gy;
  toGraph(static_cast<float>(x), static_cast<float>(y), gx, gy);
  const float zoom = std::clamp(mZoom * std::pow(1.25f, static_cast<float>(steps)), kMinZoom, kMaxZoom);
  // The graph point under the pixel stays under it.
  setView(gx - x / zoom, gy - y / zoom, zoom);
}
