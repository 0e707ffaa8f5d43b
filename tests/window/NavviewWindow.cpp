#include "tests/window/NavviewWindow.h"

#include <QAbstractButton>

QApplication* NavviewWindow::sApp = nullptr;
KIVQtPresenter* NavviewWindow::sPresenter = nullptr;
NavviewMainWindow* NavviewWindow::sWindow = nullptr;

QMenu* RightClickMenu(QWidget* view, QPoint at) {
  QStringList args{"mousemove"};
  args << At(view, at) << "click" << "3";
  if (!Xdo(args)) return nullptr;
  for (int i = 0; i < 100; ++i) {
    QTest::qWait(10);
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()); menu && menu->isVisible()) return menu;
  }
  return nullptr;
}

QAction* ActionTitled(QMenu* menu, const QString& title) {
  for (QAction* action : menu->actions())
    if (action->text() == title) return action;
  return nullptr;
}

QWidget* NavviewWindow::FromToolBar(const char* button, const char* windowName) {
  auto* pressed = Find<QAbstractButton>(button);
  if (!pressed) return nullptr;
  Click(pressed);
  QWidget* top = WaitTopLevel(windowName);
  if (!top || !QTest::qWaitForWindowExposed(top)) return nullptr;
  PlaceBeside(top);
  Settle(300);  // the X server places the window before the pointer goes there
  top->activateWindow();  // keys go to the active window
  for (int i = 0; i < 100 && QApplication::activeWindow() != top; ++i) QTest::qWait(10);
  return top;
}

QWidget* NavviewWindow::FromViewMenu(const QString& title, const char* windowName) {
  return FromMenu("&View", title, windowName);
}

QWidget* NavviewWindow::FromMenu(const QString& menuTitle, const QString& title, const char* windowName) {
  QMenuBar* bar = sWindow->menuBar();
  QAction* viewMenu = nullptr;
  for (QAction* a : bar->actions())
    if (a->text() == menuTitle) viewMenu = a;
  if (!viewMenu) return nullptr;
  Click(bar, bar->actionGeometry(viewMenu).center());
  QMenu* menu = nullptr;
  for (int i = 0; i < 100 && !menu; ++i) {
    QTest::qWait(10);
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  }
  QAction* item = menu ? ActionTitled(menu, title) : nullptr;
  if (!item) return nullptr;
  Settle(150);
  Click(menu, menu->actionGeometry(item).center());
  QWidget* top = nullptr;
  for (int i = 0; i < 300 && !top; ++i) {
    QTest::qWait(10);
    top = TopLevel(windowName);
  }
  return top;
}
