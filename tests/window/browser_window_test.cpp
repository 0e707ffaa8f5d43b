// The representation tree browser in navview's window, used as a person uses it: the tool
// bar's "Tree" button, clicks on the graph's nodes and markers, the analysis viewer on
// screen, "Show / No Show" from a node's menu, and "Compute Clash" colouring the nodes.
#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <algorithm>
#include <string>
#include <vector>

#include "apps/navview/NavviewMainWindow.h"
#include "apps/navview/NavviewScene.h"
#include "apps/navview/NavviewSession.h"
#include "browsing/NavGraphicRepTree.h"
#include "browsing/NavSimpleGraph.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVGraphViewer.h"
#include "host/qt/KIVQtGraphView.h"
#include "host/qt/KIVQtViewerWidget.h"
#include "tests/window/NavviewWindow.h"

namespace {
using Rec = KIVNavArbreElement;

QAbstractButton* ButtonTitled(QWidget* top, const QString& text) {
  for (QAbstractButton* b : top->findChildren<QAbstractButton*>())
    if (b->text() == text) return b;
  return nullptr;
}

}  // namespace

TEST_F(NavviewWindow, BrowserFromTheToolBarSelectsHidesAndClashes) {
  auto* bar = sWindow->findChild<QToolBar*>("NavviewToolBar");
  auto* treeAction = sWindow->findChild<QAction*>("SceneTreeAction");
  ASSERT_TRUE(bar && treeAction) << "no Tree button in the tool bar";
  QWidget* button = bar->widgetForAction(treeAction);
  ASSERT_NE(button, nullptr);
  Click(button);
  QWidget* top = WaitTopLevel(NavGraphicRepTree::PanelIdTag);
  ASSERT_NE(top, nullptr) << "the Tree button opened no browser";
  EXPECT_EQ(top->windowTitle(), "Graphic Attributes");
  NavGraphicRepTree* browser = Viewer().GetGraphicRepTree();
  ASSERT_NE(browser, nullptr);
  // Wider than the room beside the main window: against the screen's right edge, over the
  // main window's right part.
  top->move(1600 - top->frameGeometry().width() - 2, 0);
  auto* view = dynamic_cast<KIVQtGraphView*>(top->findChild<QWidget*>("No_ReferencedTag"));
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(top));
  const QImage first = WaitForStill(view);
  EXPECT_GT(Colours(first), 2) << "the graph is not drawn";
  first.save(OutDir() + "/navview_browser.png");

  KIVGraphViewer* graphViewer = view->GetViewer();
  NavSimpleGraph* graph = browser->getGraph();
  const NavviewScene& scene = sWindow->GetSession().GetScene();
  auto pixelOf = [&](const Rec* r) {
    float px, py;
    graphViewer->toPixel(r->graphNode->getX(), r->graphNode->getY(), px, py);
    return QPoint(static_cast<int>(px), static_cast<int>(py));
  };
  // What of the view the screen shows (a wide window may run past its right edge).
  auto visibleWidth = [&] { return std::min(view->width(), 1600 - view->mapToGlobal(QPoint(0, 0)).x()); };
  auto inView = [&](const Rec* r) {
    if (!r || !r->graphNode || !r->graphNode->isPlaced()) return false;
    const QPoint p = pixelOf(r);
    return p.x() > 10 && p.y() > 10 && p.x() < visibleWidth() - 10 && p.y() < view->height() - 10;
  };
  // The wheel over a node until its box is readable; the node stays under the pointer. A
  // node out of view is first brought in by a double click on the background (the whole
  // graph in view).
  auto zoomTo = [&](const Rec* r) {
    if (!inView(r)) {
      QStringList args{"mousemove"};
      args << At(view, QPoint(4, view->height() - 4)) << "click" << "--repeat" << "2" << "--delay" << "80" << "1";
      ASSERT_TRUE(Xdo(args));
      for (int i = 0; i < 100 && !inView(r); ++i) QTest::qWait(10);
      ASSERT_TRUE(inView(r)) << "a double click on the background did not bring the node in view";
    }
    float x, y, zoom;
    graphViewer->getView(x, y, zoom);
    for (int i = 0; i < 16 && zoom * r->graphNode->getHeight() < 14; ++i) {
      QStringList args{"mousemove"};
      args << At(view, pixelOf(r)) << "click" << "4";
      ASSERT_TRUE(Xdo(args));
      Settle(40);
      graphViewer->getView(x, y, zoom);
    }
  };
  auto named = [&](const char* name) -> Rec* {
    std::vector<Rec*> stack{browser->GetRoot()};
    while (!stack.empty()) {
      Rec* r = stack.back();
      stack.pop_back();
      if (!r) continue;
      if (r->object && scene.GetName(static_cast<KIVRep*>(r->object)) &&
          std::string(scene.GetName(static_cast<KIVRep*>(r->object))) == name)
        return r;
      for (int i = r->childCount - 1; i >= 0; --i) stack.push_back(r->children[i]);
    }
    return nullptr;
  };
  // A pipe and a valve on it clash; the markers above them are clicked until both show.
  Rec* pipe = named("U01-01 Pipe 1");
  Rec* valve = named("U01-01 Valve 1");
  ASSERT_TRUE(pipe && valve) << "the plant has no U01-01 Pipe 1 / Valve 1";
  for (int step = 0; step < 8 && !(pipe->graphNode && valve->graphNode); ++step) {
    Rec* shown = browser->GetParentNode(pipe);
    while (shown && !shown->graphNode) shown = browser->GetParentNode(shown);
    ASSERT_NE(shown, nullptr);
    Rec* marker = nullptr;
    for (int i = 0; i < shown->childCount; ++i)
      if ((shown->children[i]->state & KIVNavArbreElement::StateMarker) && shown->children[i]->graphNode)
        marker = shown->children[i];
    ASSERT_NE(marker, nullptr) << "no marker to extend";
    zoomTo(marker);
    const int before = graph->GetTotalNode();
    Click(view, pixelOf(marker));
    for (int i = 0; i < 200 && graph->GetTotalNode() == before; ++i) QTest::qWait(10);
    ASSERT_GT(graph->GetTotalNode(), before) << "the marker did not extend its father";
    WaitForStill(view);
  }
  ASSERT_TRUE(pipe->graphNode && valve->graphNode);

  // The analysis viewer, from its check button; empty until something is selected.
  QAbstractButton* analysisButton = ButtonTitled(top, "Analysis Viewer");
  ASSERT_NE(analysisButton, nullptr);
  Click(analysisButton);
  QWidget* analysis = WaitTopLevel("MultiViewer3DPanel");
  ASSERT_NE(analysis, nullptr) << "no analysis viewer";
  analysis->move(1600 - analysis->frameGeometry().width() - 2, top->frameGeometry().bottom() + 4);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(analysis));
  auto* analysisView = ChildOfType<KIVQtViewerWidget>(analysis);
  ASSERT_NE(analysisView, nullptr);
  const QImage empty = WaitForStill(analysisView);

  // The pipe, then the valve with Ctrl held: both selected, both in the analysis viewer.
  zoomTo(pipe);
  ASSERT_TRUE(inView(pipe));
  Click(view, pixelOf(pipe));
  for (int i = 0; i < 100 && graph->getSelectionNumber() != 1; ++i) QTest::qWait(10);
  ASSERT_EQ(graph->getSelectionNumber(), 1);
  if (!inView(valve)) zoomTo(valve);
  ASSERT_TRUE(inView(valve)) << "the valve's node is out of view";
  {
    QStringList args{"mousemove"};
    args << At(view, pixelOf(valve)) << "keydown" << "ctrl" << "click" << "1" << "keyup" << "ctrl";
    ASSERT_TRUE(Xdo(args));
  }
  for (int i = 0; i < 100 && graph->getSelectionNumber() != 2; ++i) QTest::qWait(10);
  ASSERT_EQ(graph->getSelectionNumber(), 2);
  EXPECT_EQ(browser->GetSelectionBag()->GetChildren().size(), 2u);
  const QImage shown = WaitForChange(analysisView, empty, 0.001);
  EXPECT_GT(Changed(empty, shown), 0.001) << "the selection does not show in the analysis viewer";
  shown.save(OutDir() + "/navview_browser_analysis.png");

  // "Show / No Show" from the pipe's menu hides it (in every viewer, the analysis viewer
  // that shows it among them), and shows it again.
  auto* pipeRep = static_cast<KIVRep*>(pipe->object);
  for (int expected : {1, 0}) {
    const QImage before = WaitForStill(analysisView);
    QMenu* popup = RightClickMenu(view, pixelOf(pipe));
    ASSERT_NE(popup, nullptr) << "no menu on the pipe's node";
    QAction* showItem = ActionTitled(popup, "Show / No Show");
    ASSERT_NE(showItem, nullptr);
    Settle(150);
    Click(popup, popup->actionGeometry(showItem).center());
    for (int i = 0; i < 100 && pipeRep->GetShowMode() != expected; ++i) QTest::qWait(10);
    EXPECT_EQ(pipeRep->GetShowMode(), expected);
    EXPECT_EQ(pipe->graphNode->getColor(), expected ? NavGraphicRepTree::kHiddenColor : NavGraphicRepTree::kShownColor);
    const QImage after = WaitForChange(analysisView, before, 0.0);
    EXPECT_GT(Changed(before, after), 0.0) << "the analysis viewer did not follow Show / No Show";
  }

  // "Compute Clash": the pipe and the valve cross, their nodes turn red.
  QAbstractButton* clash = ButtonTitled(top, "Compute Clash");
  ASSERT_NE(clash, nullptr);
  ASSERT_TRUE(clash->isEnabled());
  Click(clash);
  for (int i = 0; i < 300 && pipe->graphNode->getColor() != NavGraphicRepTree::kClashColor; ++i) QTest::qWait(10);
  EXPECT_EQ(pipe->graphNode->getColor(), NavGraphicRepTree::kClashColor);
  EXPECT_EQ(valve->graphNode->getColor(), NavGraphicRepTree::kClashColor);
  // A click on the pipe alone leaves the valve unselected: its red box shows on screen.
  Click(view, pixelOf(pipe));
  for (int i = 0; i < 100 && graph->getSelectionNumber() != 1; ++i) QTest::qWait(10);
  const QImage coloured = WaitForStill(view);
  coloured.save(OutDir() + "/navview_browser_clash.png");
  const float left = valve->graphNode->getX() - valve->graphNode->getWidth() / 2 + 1;
  float lx, ly;
  graphViewer->toPixel(left, valve->graphNode->getY(), lx, ly);
  const QColor box = coloured.pixelColor(static_cast<int>(lx) + 1, static_cast<int>(ly));
  EXPECT_GT(box.red(), 200) << "box colour " << box.name().toStdString();
  EXPECT_LT(box.green(), 80) << "box colour " << box.name().toStdString();

  // Closing the window switches the viewer's state off, the analysis viewer with it.
  top->close();
  for (int i = 0; i < 200 && Viewer().GetGraphicRepTree(); ++i) QTest::qWait(10);
  EXPECT_EQ(Viewer().GetGraphicRepTree(), nullptr);
  for (int i = 0; i < 200 && TopLevel("MultiViewer3DPanel"); ++i) QTest::qWait(10);
  EXPECT_EQ(TopLevel("MultiViewer3DPanel"), nullptr);
}
