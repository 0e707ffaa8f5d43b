#pragma once
// The fixture of navview's end-to-end window tests (under Xvfb): one application and one
// main window on the built-in plant for the whole run, input sent through the X server
// (xdotool), pictures read back from the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "apps/navview/NavviewMainWindow.h"
#include "apps/navview/NavviewSession.h"
#include "host/qt/KIVQtPresenter.h"
#include "host/qt/KIVQtViewerWidget.h"
#include "tests/window/ScreenProbe.h"
#include "viewer/NavViewerExtand.h"

using namespace screen_probe;

/// Where the tests write their pictures (NAVTOOLS_E2E_OUT, or a temporary folder).
inline QString OutDir() {
  const char* dir = std::getenv("NAVTOOLS_E2E_OUT");
  const QString path = dir && *dir ? QString::fromUtf8(dir) : QDir::tempPath() + "/navview-e2e";
  QDir().mkpath(path);
  return path;
}

/// The visible top-level window of that object name, or null.
inline QWidget* TopLevel(const char* name) {
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->objectName() == name && top->isVisible()) return top;
  return nullptr;
}

// One application and one window for the whole suite: building the plant takes a while,
// and each test leaves the window as it found it (examine style, oblique view).
class NavviewWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    NavviewMainWindow::SetSurfaceFormat();
    static int argc = 1;
    static char name[] = "navview";
    static char* argv[] = {name, nullptr};
    sApp = new QApplication(argc, argv);
    sPresenter = new KIVQtPresenter;
    NavviewOptions options;
    options.width = 960;
    options.height = 600;
    sWindow = new NavviewMainWindow(*sPresenter, options);
    sWindow->move(0, 0);
    sWindow->show();
    sWindow->activateWindow();
    if (!QTest::qWaitForWindowExposed(sWindow)) std::fprintf(stderr, "the main window was never exposed\n");
    for (int i = 0; i < 300 && !sWindow->GetViewerWidget()->GetRender(); ++i) QTest::qWait(10);
    WaitForStill(sWindow);
  }
  static void TearDownTestSuite() {
    delete sWindow;
    delete sPresenter;
    delete sApp;
  }
  void SetUp() override {
    ASSERT_NE(QGuiApplication::platformName(), "offscreen") << "run under Xvfb";
    ASSERT_TRUE(HaveXdotool()) << "xdotool is needed to send real input";
    ASSERT_NE(View()->GetRender(), nullptr) << View()->GetGLError();
  }
  void TearDown() override {
    // Back to the oblique view in the examine style, through the keyboard.
    Viewer().SetNavigationStyle(7);
    Key("Home");
    WaitForStill(View());
  }

  static KIVQtViewerWidget* View() { return sWindow->GetViewerWidget(); }
  static NavViewerExtand& Viewer() { return sWindow->GetSession().GetViewer(); }
  static QPoint Centre() { return QPoint(View()->width() / 2, View()->height() / 2); }

  /// A press, a move in steps and a release of one button over the viewer.
  static void Drag(int button, QPoint from, QPoint to) {
    QStringList args{"mousemove"};
    args << At(View(), from) << "mousedown" << QString::number(button);
    for (int step = 1; step <= 8; ++step) args << "sleep" << "0.02" << "mousemove" << At(View(), from + (to - from) * step / 8);
    args << "mouseup" << QString::number(button);
    ASSERT_TRUE(Xdo(args));
  }
  static void Click(const QWidget* widget, QPoint at, int button = 1) {
    QStringList args{"mousemove"};
    args << At(widget, at) << "click" << QString::number(button);
    ASSERT_TRUE(Xdo(args));
  }
  static void Click(const QWidget* widget) { Click(widget, widget->rect().center()); }
  /// Puts a tool window beside the main window, as a person drags it out of the way, and
  /// waits until the X server has it there.
  static void PlaceBeside(QWidget* top) {
    top->move(sWindow->frameGeometry().right() + 20, 0);
    for (int i = 0; i < 100 && top->x() <= sWindow->frameGeometry().right(); ++i) QTest::qWait(10);
  }
  /// Clicks the tool bar button of that name; the tool window of that name it opens, once
  /// exposed, beside the main window and active for the keyboard (null when none shows).
  static QWidget* FromToolBar(const char* button, const char* windowName);
  static QWidget* FromViewMenu(const QString& title, const char* windowName);
  /// Chooses an item of a menu of the menu bar with the mouse; the top-level window of
  /// that name it opens, once shown (null when none).
  static QWidget* FromMenu(const QString& menu, const QString& title, const char* windowName);
  /// A key pressed with the pointer over the viewer, which has the focus.
  static void Key(const char* key) {
    View()->setFocus();
    QStringList args{"mousemove"};
    args << At(View(), QPoint(8, 8)) << "key" << key;
    ASSERT_TRUE(Xdo(args));
  }
  template <class T>
  static T* Find(const char* name) {
    return sWindow->findChild<T*>(name);
  }

  static QApplication* sApp;
  static KIVQtPresenter* sPresenter;
  static NavviewMainWindow* sWindow;
};

/// The top-level window of that name once it shows (within 3 s), or null.
inline QWidget* WaitTopLevel(const char* name) {
  QWidget* top = nullptr;
  for (int i = 0; i < 300 && !(top = TopLevel(name)); ++i) QTest::qWait(10);
  return top;
}

/// The first child of that class under a widget. Our Qt classes carry no meta-object of
/// their own, so findChild<T*> would answer any widget of their Qt base class.
template <class T>
T* ChildOfType(const QWidget* top) {
  for (QWidget* child : top->findChildren<QWidget*>())
    if (auto* typed = dynamic_cast<T*>(child)) return typed;
  return nullptr;
}

/// Pops the context menu up with a real right click; null when none shows.
QMenu* RightClickMenu(QWidget* view, QPoint at);
/// The action of that text in the menu, or null.
QAction* ActionTitled(QMenu* menu, const QString& title);
