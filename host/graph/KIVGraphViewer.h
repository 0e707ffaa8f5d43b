#pragma once
// A dialog control that shows a KIVGraph: a view (pan and zoom) over the laid-out graph,
// a contextual menu, and the notifications of a person's clicks. The User… operations act
// exactly as a person's input, by pixel or on a given node or arc; a GUI back end turns
// its mouse events into them and paints what GetGraph() holds inside the view.

#include <functional>

#include "host/dialog/KIVDlgControl.h"
#include "host/graph/KIVGraph.h"
#include "host/graph/KIVGraphNotifications.h"

class KIVDlgContextualMenu;

class KIVGraphViewer : public KIVDlgControl {
  KIV_DECLARE_METAOBJECT(KIVGraphViewer)
 public:
  /// Viewer style bits: 0x80000 or 0x40000 (kept for the back end); graph style: the
  /// host's display options (kept). The viewer owns its graph.
  KIVGraphViewer(KIVDialog* parent, const char* tag, int viewerStyle = 0, int graphStyle = 0);
  ~KIVGraphViewer() override;

  KIVGraph* getGraph() { return &mGraph; }
  int getGraphStyle() const { return mGraphStyle; }
  /// The menu popped up by right clicks; created on first use as a dialog child.
  KIVDlgContextualMenu* GetContextualMenu();

  /// Lays the graph out (KIVGraph::layout); returns the nodes placed.
  int layout();
  /// Asks for a repaint of what the graph shows now (the back end's hook is called).
  void redraw();
  int getRedrawCount() const { return mRedraws; }
  /// Fits the laid-out graph into the view (zoom at most 1, centred).
  void reframe();

  /// Size of the view in pixels: the back end's widget size; the dialog size until then.
  void setViewportSize(int width, int height);
  void getViewportSize(int& width, int& height) const;
  /// The view: the graph point shown at the view's top-left pixel, and the scale (pixels
  /// per graph unit, 0.02 to 50).
  void setView(float x, float y, float zoom);
  void getView(float& x, float& y, float& zoom) const;
  void toGraph(float px, float py, float& x, float& y) const;
  void toPixel(float x, float y, float& px, float& py) const;

  /// Called on redraw and on every change of the view (the back end repaints).
  void SetRepaintHook(std::function<void()> hook) { mRepaint = std::move(hook); }

  // Notifications to the father; each instance is re-sent every time.
  KIVNodeSelectNotification* GetNodeSelectNotification() const { return &mSelect; }
  KIVNodeExtSelectNotification* GetNodeExtSelectNotification() const { return &mExtSelect; }
  KIVNodeEditNotification* GetNodeEditNotification() const { return &mEdit; }
  KIVArcSelectNotification* GetArcSelectNotification() const { return &mArcSelect; }
  KIVNodeContextNotification* GetNodeContextNotification() const { return &mNodeContext; }
  KIVArcContextNotification* GetArcContextNotification() const { return &mArcContext; }
  KIVGraphContextNotification* GetGraphContextNotification() const { return &mGraphContext; }

  /// Modifier bits of the pixel operations.
  static constexpr int ModShift = 1, ModControl = 2;
  /// A person's left click at a pixel: on a node, select (extended select with Shift or
  /// Control), the icon part telling whether it fell on the node's icon; on an arc, arc
  /// select; on the background nothing. Returns 1 when a notification went.
  int UserClick(int x, int y, int modifiers = 0);
  int UserDoubleClick(int x, int y);
  /// A person's right click: the node, arc or graph context notification, then the
  /// contextual menu pops up at the pixel when it has items.
  int UserContext(int x, int y);
  /// The same on a given node or arc (the pixel is the node's centre).
  int UserSelect(KIVGraphNode* node, int extended = 0, int iconPart = 0);
  int UserEdit(KIVGraphNode* node);
  int UserSelectArc(KIVGraphArc* arc);
  int UserContextNode(KIVGraphNode* node);
  int UserContextArc(KIVGraphArc* arc);
  int UserContextGraph();
  /// Dragging the view by pixels, and the wheel: zoom by 1.25 a step about a pixel.
  void UserPan(float dx, float dy);
  void UserZoom(int steps, int x, int y);
  /// The reframe key or button.
  void UserReframe() { reframe(); }

 private:
  int Send(KIVGraphNotification* n, KIVGraphNode* node, KIVGraphArc* arc, int icon, int x, int y);
  void PopUp(int x, int y);
  void Repaint();

  KIVGraph mGraph;
  int mGraphStyle;  // the viewer style is the control's own (GetStyle)
  KIVDlgContextualMenu* mMenu = nullptr;
  int mViewport[2] = {0, 0};
  float mViewX = 0, mViewY = 0, mZoom = 1;
  int mRedraws = 0;
  std::function<void()> mRepaint;
  mutable KIVNodeSelectNotification mSelect;
  mutable KIVNodeExtSelectNotification mExtSelect;
  mutable KIVNodeEditNotification mEdit;
  mutable KIVArcSelectNotification mArcSelect;
  mutable KIVNodeContextNotification mNodeContext;
  mutable KIVArcContextNotification mArcContext;
  mutable KIVGraphContextNotification mGraphContext;
};
