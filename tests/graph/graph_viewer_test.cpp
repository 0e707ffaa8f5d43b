// The graph viewer as a person uses it: clicks, Shift-clicks, double clicks and right
// clicks by pixel reach the father as the host's notifications, about the node or arc
// under the pointer; the contextual menu pops up after the receiver has filled it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/graph/KIVGraphArc.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVGraphViewer.h"

namespace {

struct Heard {
  std::string kind;
  KIVGraphNode* node;
  KIVGraphArc* arc;
  int icon;
};

struct Fixture {
  KIVCommand father;
  KIVDlgDialog* window;
  KIVGraphViewer* viewer;
  KIVGraphNode *root, *left, *right;
  std::vector<Heard> heard;

  Fixture() {
    window = new KIVDlgDialog(nullptr, "Window");
    window->SetFather(&father);
    viewer = new KIVGraphViewer(window, "No_ReferencedTag", 0x80000, 258);
    viewer->SetFather(&father);
    window->SetVisibility(KIVDialog::VisibilityShown);
    KIVGraph* g = viewer->getGraph();
    root = new KIVGraphNode(g, "root");
    left = new KIVGraphNode(g, "left");
    right = new KIVGraphNode(g, "right");
    right->setPixmap("icon");
    for (auto* c : {left, right}) (new KIVGraphArc(root, c))->show();
    for (auto* n : {root, left, right}) n->show();
    g->addTree(root);
    g->setDepthMargin(40);
    viewer->layout();
    viewer->setViewportSize(400, 300);
    viewer->setView(-100, -50, 1);
    father.AddAnalyseNotificationCB(viewer, nullptr, KIVGraphNotification::ClassName(),
                                    [this](KIVCommand*, KIVNotification* n, void*) {
                                      auto* g = static_cast<KIVGraphNotification*>(n);
                                      heard.push_back({n->IsA(), g->GetNode(), g->GetArc(), g->GetIconPart()});
                                    },
                                    nullptr);
  }
  ~Fixture() { delete window; }
  void Pixel(const KIVGraphNode* n, int& x, int& y, float dx = 0) const {
    float px, py;
    viewer->toPixel(n->getX() + dx, n->getY(), px, py);
    x = static_cast<int>(std::lround(px)), y = static_cast<int>(std::lround(py));
  }
};

TEST(GraphViewer, ClicksBecomeSelectExtendedSelectEditAndArcNotifications) {
  Fixture f;
  int x, y;
  f.Pixel(f.left, x, y);
  EXPECT_EQ(f.viewer->UserClick(x, y), 1);
  f.Pixel(f.right, x, y, f.right->getWidth() / 2 - 2);  // on the label, not the icon
  EXPECT_EQ(f.viewer->UserClick(x, y, KIVGraphViewer::ModShift), 1);
  f.Pixel(f.right, x, y, -f.right->getWidth() / 2 + KIVGraph::Padding + 2);  // on the icon
  EXPECT_EQ(f.viewer->UserClick(x, y), 1);
  f.Pixel(f.root, x, y);
  EXPECT_EQ(f.viewer->UserDoubleClick(x, y), 1);
  // The middle of the arc to the left child.
  float p[8];
  const int k = f.viewer->getGraph()->arcRoute(f.left->getParentArcs().front(), p);
  ASSERT_EQ(k, 2);
  float px, py;
  f.viewer->toPixel((p[0] + p[2]) / 2, (p[1] + p[3]) / 2, px, py);
  EXPECT_EQ(f.viewer->UserClick(static_cast<int>(px), static_cast<int>(py)), 1);
  EXPECT_EQ(f.viewer->UserClick(399, 299), 0);  // background: nothing
  ASSERT_EQ(f.heard.size(), 5u);
  EXPECT_EQ(f.heard[0].kind, "KIVNodeSelectNotification");
  EXPECT_EQ(f.heard[0].node, f.left);
  EXPECT_EQ(f.heard[1].kind, "KIVNodeExtSelectNotification");
  EXPECT_EQ(f.heard[1].icon, 0);
  EXPECT_EQ(f.heard[2].node, f.right);
  EXPECT_EQ(f.heard[2].icon, 1);
  EXPECT_EQ(f.heard[3].kind, "KIVNodeEditNotification");
  EXPECT_EQ(f.heard[4].kind, "KIVArcSelectNotification");
  EXPECT_EQ(f.heard[4].arc, f.left->getParentArcs().front());

  // A greyed-out window takes no input.
  f.window->SetSensitivity(KIVDialog::SensitivityOff);
  f.Pixel(f.left, x, y);
  EXPECT_EQ(f.viewer->UserClick(x, y), 0);
  EXPECT_EQ(f.viewer->UserSelect(f.left), 0);
}

TEST(GraphViewer, RightClicksNotifyThenPopTheMenuUpWhenFilled) {
  Fixture f;
  KIVDlgContextualMenu* menu = f.viewer->GetContextualMenu();
  // The receiver fills the menu on node context clicks only.
  f.father.AddAnalyseNotificationCB(f.viewer, f.viewer->GetNodeContextNotification(), nullptr,
                                    [menu](KIVCommand*, KIVNotification*, void*) {
                                      if (menu->GetDialogChildren().empty()) new KIVDlgPushItem(menu, "Item");
                                    },
                                    nullptr);
  EXPECT_EQ(f.viewer->UserContext(390, 290), 1);  // background: menu still empty, stays down
  EXPECT_EQ(f.heard.back().kind, "KIVGraphContextNotification");
  EXPECT_EQ(menu->GetVisibility(), KIVDialog::VisibilityHidden);
  int x, y;
  f.Pixel(f.right, x, y);
  EXPECT_EQ(f.viewer->UserContext(x, y), 1);
  EXPECT_EQ(f.heard.back().kind, "KIVNodeContextNotification");
  EXPECT_EQ(f.heard.back().node, f.right);
  EXPECT_EQ(menu->GetVisibility(), KIVDialog::VisibilityShown);
  int mx, my, mw, mh;
  menu->GetRectDimensions(mx, my, mw, mh);
  EXPECT_EQ(mx, x);
  EXPECT_EQ(my, y);
  EXPECT_EQ(f.viewer->UserContextArc(f.left->getParentArcs().front()), 1);
  EXPECT_EQ(f.heard.back().kind, "KIVArcContextNotification");
  EXPECT_EQ(f.viewer->UserContextGraph(), 1);
  EXPECT_EQ(f.viewer->UserContextNode(nullptr), 0);
}

TEST(GraphViewer, ReceiverDeletingTheNodeOrTheViewerIsSafe) {
  Fixture f;
  f.father.AddAnalyseNotificationCB(f.viewer, f.viewer->GetNodeSelectNotification(), nullptr,
                                    [&f](KIVCommand*, KIVNotification* n, void*) {
                                      f.viewer->getGraph()->DeleteLater(static_cast<KIVGraphNotification*>(n)->GetNode());
                                      f.viewer->layout();
                                    },
                                    nullptr);
  f.father.AddAnalyseNotificationCB(f.viewer, f.viewer->GetNodeContextNotification(), nullptr,
                                    [&f](KIVCommand*, KIVNotification*, void*) {
                                      delete f.window;
                                      f.window = nullptr;
                                    },
                                    nullptr);
  int x, y;
  f.Pixel(f.left, x, y);
  EXPECT_EQ(f.viewer->UserClick(x, y), 1);
  EXPECT_EQ(f.viewer->getGraph()->getNodeCount(), 2);
  EXPECT_EQ(f.heard.back().node, f.left);  // told about it, then it went
  EXPECT_EQ(f.viewer->getGraph()->getTrees().size(), 1u);
  f.Pixel(f.root, x, y);
  EXPECT_EQ(f.viewer->UserContext(x, y), 1);
  EXPECT_EQ(f.window, nullptr);
}

TEST(GraphViewer, PanZoomAndReframe) {
  Fixture f;
  float x, y, zoom;
  // The wheel zooms about the pointer: the graph point under it stays.
  float gx, gy, gx2, gy2;
  f.viewer->toGraph(120, 80, gx, gy);
  f.viewer->UserZoom(3, 120, 80);
  f.viewer->getView(x, y, zoom);
  EXPECT_NEAR(zoom, std::pow(1.25f, 3.0f), 1e-4);
  f.viewer->toGraph(120, 80, gx2, gy2);
  EXPECT_NEAR(gx, gx2, 1e-3);
  EXPECT_NEAR(gy, gy2, 1e-3);
  f.viewer->UserZoom(-1000, 0, 0);
  f.viewer->getView(x, y, zoom);
  EXPECT_FLOAT_EQ(zoom, 0.02f);
  // Dragging by pixels moves the picture with the pointer.
  f.viewer->setView(0, 0, 2);
  f.viewer->UserPan(10, -4);
  f.viewer->getView(x, y, zoom);
  EXPECT_FLOAT_EQ(x, -5);
  EXPECT_FLOAT_EQ(y, 2);
  // Reframing puts the whole graph in view, centred.
  int repaints = 0;
  f.viewer->SetRepaintHook([&repaints] { ++repaints; });
  f.viewer->UserReframe();
  EXPECT_GE(repaints, 1);
  float x0, y0, x1, y1, px, py;
  f.viewer->getGraph()->getBounds(x0, y0, x1, y1);
  f.viewer->toPixel(x0, y0, px, py);
  EXPECT_GE(px, 0);
  EXPECT_GE(py, 0);
  f.viewer->toPixel(x1, y1, px, py);
  EXPECT_LE(px, 400);
  EXPECT_LE(py, 300);
  f.viewer->toPixel((x0 + x1) / 2, (y0 + y1) / 2, px, py);
  EXPECT_NEAR(px, 200, 1e-2);
  EXPECT_NEAR(py, 150, 1e-2);
  f.viewer->redraw();
  EXPECT_EQ(f.viewer->getRedrawCount(), 1);
  f.viewer->setView(std::nanf(""), 0, 1);  // refused
  f.viewer->getView(x, y, zoom);
  EXPECT_TRUE(std::isfinite(x));
}

}  // namespace
