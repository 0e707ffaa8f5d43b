// The graph view under Qt's own input: clicks, Shift-clicks, double and right clicks reach
// the father as the graph viewer's notifications; drags pan, the wheel zooms about the
// pointer; a paint draws only what is in view.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <string>
#include <vector>

#include "host/dialog/KIVDlgDialog.h"
#include "host/graph/KIVGraphArc.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVGraphViewer.h"
#include "host/qt/KIVQtGraphView.h"
#include "tests/qt/QtTestApp.h"

namespace {

class GraphViewTest : public testing::Test {
 protected:
  void SetUp() override {
    QtTestApp();
    window = new KIVDlgDialog(nullptr, "W", 0);
    window->SetVisibility(KIVDialog::VisibilityShown);
    viewer = new KIVGraphViewer(window, "G", 0x80000, 258);
    KIVGraph* g = viewer->getGraph();
    root = new KIVGraphNode(g, "root");
    root->show();
    g->addTree(root);
    // Two levels of ten: 111 nodes.
    for (int i = 0; i < 10; ++i) {
      auto* kid = new KIVGraphNode(g, KIVUnicodeString("kid " + std::to_string(i)));
      kid->show();
      (new KIVGraphArc(root, kid))->show();
      kids.push_back(kid);
      for (int j = 0; j < 10; ++j) {
        auto* leaf = new KIVGraphNode(g, KIVUnicodeString("leaf " + std::to_string(i) + "." + std::to_string(j)));
        leaf->show();
        (new KIVGraphArc(kid, leaf))->show();
      }
    }
    window->AddAnalyseNotificationCB(viewer, nullptr, KIVGraphNotification::ClassName(),
                                     [this](KIVCommand*, KIVNotification* n, void*) {
                                       auto* gn = static_cast<KIVGraphNotification*>(n);
                                       got.push_back(std::string(n->IsA()) + " " +
                                                     (gn->GetNode() ? gn->GetNode()->getLabel().CastToCharPtr() : "-"));
                                     },
                                     nullptr);
    view = new KIVQtGraphView(viewer);
    view->resize(400, 300);
    view->show();
    viewer->layout();
    viewer->setView(root->getX() - 200, root->getY() - 40, 1);
    QCoreApplication::processEvents();
  }
  void TearDown() override {
    delete view;
    delete window;
  }
  QPoint At(const KIVGraphNode* n) const {
    float px, py;
    viewer->toPixel(n->getX(), n->getY(), px, py);
    return QPoint(static_cast<int>(std::lround(px)), static_cast<int>(std::lround(py)));
  }
  KIVDlgDialog* window;
  KIVGraphViewer* viewer;
  KIVQtGraphView* view;
  KIVGraphNode* root;
  std::vector<KIVGraphNode*> kids;
  std::vector<std::string> got;
};

TEST_F(GraphViewTest, MouseInputBecomesTheViewersNotifications) {
  // The view measured labels with its font: the default measure is no longer in use.
  EXPECT_GT(root->getWidth(), 0);
  QTest::mouseClick(view, Qt::LeftButton, {}, At(root));
  QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, At(root));
  QTest::mouseDClick(view, Qt::LeftButton, {}, At(root));
  QTest::mousePress(view, Qt::RightButton, {}, At(root));
  QTest::mouseRelease(view, Qt::RightButton, {}, At(root));
  ASSERT_GE(got.size(), 4u);
  EXPECT_EQ(got[0], "KIVNodeSelectNotification root");
  EXPECT_EQ(got[1], "KIVNodeExtSelectNotification root");
  EXPECT_NE(std::find(got.begin(), got.end(), "KIVNodeEditNotification root"), got.end());
  EXPECT_EQ(got.back(), "KIVNodeContextNotification root");
  got.clear();
  QTest::mousePress(view, Qt::RightButton, {}, QPoint(395, 295));
  EXPECT_EQ(got.back(), "KIVGraphContextNotification -");
}

TEST_F(GraphViewTest, DragPansWheelZoomsAboutThePointer) {
  float x, y, zoom;
  viewer->getView(x, y, zoom);
  const QPoint from = At(root);
  QTest::mousePress(view, Qt::LeftButton, {}, from);
  QTest::mouseMove(view, from + QPoint(10, 0));
  QTest::mouseMove(view, from + QPoint(40, 20));
  QTest::mouseRelease(view, Qt::LeftButton, {}, from + QPoint(40, 20));
  float x2, y2, zoom2;
  viewer->getView(x2, y2, zoom2);
  EXPECT_NEAR(x2, x - 40, 1e-3);
  EXPECT_NEAR(y2, y - 20, 1e-3);
  EXPECT_TRUE(got.empty());  // a drag is no click
  // The wheel: the graph point under the pointer stays.
  const QPointF at(120, 90);
  float gx, gy, gx2, gy2;
  viewer->toGraph(120, 90, gx, gy);
  QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(view, &wheel);
  viewer->getView(x2, y2, zoom2);
  EXPECT_NEAR(zoom2, 1.5625f, 1e-4);
  viewer->toGraph(120, 90, gx2, gy2);
  EXPECT_NEAR(gx, gx2, 1e-2);
  EXPECT_NEAR(gy, gy2, 1e-2);
  // F reframes: everything in view.
  QTest::keyClick(view, Qt::Key_F);
  QImage image(400, 300, QImage::Format_ARGB32);
  QPainter p(&image);
  view->PaintOn(p, QRect(0, 0, 400, 300));
  EXPECT_EQ(view->GetDrawnNodes(), 111);
  EXPECT_EQ(view->GetDrawnArcs(), 110);
}

TEST_F(GraphViewTest, PaintsOnlyWhatIsInView) {
  viewer->setView(kids[0]->getX() - 50, kids[0]->getY() - 20, 1);
  QImage image(400, 300, QImage::Format_ARGB32);
  QPainter p(&image);
  view->PaintOn(p, QRect(0, 0, 400, 300));
  EXPECT_GT(view->GetDrawnNodes(), 0);
  EXPECT_LT(view->GetDrawnNodes(), 60);
  // The node in the middle shows its box colour there.
  const QPoint c = At(kids[0]);
  EXPECT_NE(image.pixelColor(c + QPoint(0, 0)), QColor(250, 250, 252));
  // A changed look repaints the widget.
  int repainted = 0;
  viewer->SetRepaintHook([&repainted] { ++repainted; });
  viewer->redraw();
  EXPECT_EQ(repainted, 1);
}

}  // namespace
