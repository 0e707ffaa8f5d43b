// Cameras and secondary viewers in navview's window, used as a person uses them.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "tests/window/NavviewWindow.h"
#include "viewer/NavSimpleViewer3D.h"

// A secondary viewer as a person opens it: View › Open Viewer › Top puts a "Current View"
// window on screen that shows the plant from above, and a drag in the main view moves the
// picture in that window too.
TEST_F(NavviewWindow, SecondaryViewerFollowsTheMainView) {
  QMenuBar* bar = sWindow->menuBar();
  QAction* viewMenu = nullptr;
  for (QAction* a : bar->actions())
    if (a->text() == "&View") viewMenu = a;
  ASSERT_NE(viewMenu, nullptr);
  Click(bar, bar->actionGeometry(viewMenu).center());
  QMenu* menu = nullptr;
  for (int i = 0; i < 100 && !menu; ++i) {
    QTest::qWait(10);
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  }
  ASSERT_NE(menu, nullptr);
  QAction* open = ActionTitled(menu, "Open &Viewer");
  ASSERT_NE(open, nullptr);
  Settle(150);
  Click(menu, menu->actionGeometry(open).center());
  QMenu* sides = nullptr;
  for (int i = 0; i < 100 && !sides; ++i) {
    QTest::qWait(10);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (popup && popup != menu) sides = popup;
  }
  ASSERT_NE(sides, nullptr) << "the Open Viewer sub-menu did not open";
  QAction* top = ActionTitled(sides, "Top");
  ASSERT_NE(top, nullptr);
  Settle(150);
  Click(sides, sides->actionGeometry(top).center());
  QWidget* window = WaitTopLevel(NavSimpleViewer3D::PanelIdTag);
  ASSERT_NE(window, nullptr) << "no Current View window";
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  EXPECT_TRUE(window->windowTitle().startsWith("Current View : Top")) << window->windowTitle().toStdString();
  PlaceBeside(window);
  auto* secondary = ChildOfType<KIVQtViewerWidget>(window);
  ASSERT_NE(secondary, nullptr);
  for (int i = 0; i < 300 && !secondary->GetRender(); ++i) QTest::qWait(10);
  const QImage first = WaitForStill(secondary);
  EXPECT_GT(Colours(first), 2) << "the secondary viewer shows nothing";
  first.save(OutDir() + "/navview_secondary_top.png");

  // A drag in the main view: the main picture and the follower's both change.
  sWindow->activateWindow();
  for (int i = 0; i < 100 && QApplication::activeWindow() != sWindow; ++i) QTest::qWait(10);
  const QImage mainBefore = WaitForStill(View());
  Drag(1, Centre(), Centre() + QPoint(120, 40));
  WaitForChange(View(), mainBefore, 0.01);
  WaitForChange(secondary, first, 0.001);
  const QImage followed = WaitForStill(secondary);
  EXPECT_GT(Changed(first, followed), 0.001) << "the secondary viewer did not follow the main view";
  followed.save(OutDir() + "/navview_secondary_followed.png");
  window->close();
  for (int i = 0; i < 300 && TopLevel(NavSimpleViewer3D::PanelIdTag); ++i) QTest::qWait(10);
  sWindow->activateWindow();
  for (int i = 0; i < 100 && QApplication::activeWindow() != sWindow; ++i) QTest::qWait(10);
}
