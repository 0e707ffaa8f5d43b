// The extended viewer's tool bar and panels as a person sees and uses them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <cstdlib>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/qt/KIVQtPresenter.h"
#include "host/qt/KIVQtViewerWidget.h"
#include "tests/qt/QtTestApp.h"
#include "tests/support/TestBox.h"
#include "viewer/NavViewerExtand.h"

namespace {

struct Desk {
  Desk() {
    QtTestApp();
    presenter = std::make_unique<KIVQtPresenter>();
    window = new KIVDlgDialog(nullptr, "W", KIVDlgWindow::StyleNoButtons);
    viewer = new NavViewerExtand(window, KIVString("v"), 1 | 2 | 4 | 8 | 16 | 32, 0, 320, 240);
    window->SetVisibility(2);
    Pump();
    viewer->SetToolsBarreState(1, -1);
    Pump();
  }
  ~Desk() {
    delete window;
    Pump();
    presenter.reset();
  }
  void Pump() { QtPump(); }
  QAbstractButton* Button(int item) {
    return qobject_cast<QAbstractButton*>(presenter->GetWidget(viewer->GetToolBarItem(item)));
  }
  std::unique_ptr<KIVQtPresenter> presenter;
  KIVDlgDialog* window;
  NavViewerExtand* viewer;
};

}  // namespace

TEST(ToolBarWidgets, TheTwentyOneItemsAppearWithTheirTitlesAndIcons) {
  Desk d;
  const char* titles[21] = {nullptr,       "Select",    "Look at",  "Zoom",       "Rotate",   "Translate",
                            "Turn head",   "Previous View", "Next View", "Reframe", "Light",    "Clipping",
                            "Ground",      "Performane", "Capture", "Save VRML",  "Distance", "Annotation",
                            "Stereo",      "Quality",   "Reference"};
  auto* combo = qobject_cast<QComboBox*>(d.presenter->GetWidget(d.viewer->GetToolBarItem(0)));
  ASSERT_NE(combo, nullptr);
  ASSERT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->itemText(1), "Walk");
  for (int i = 1; i < 21; ++i) {
    QAbstractButton* button = d.Button(i);
    ASSERT_NE(button, nullptr) << i;
    EXPECT_EQ(button->toolTip(), titles[i]) << i;
    EXPECT_FALSE(button->icon().isNull()) << i;
    // Inside the tool bar window, which is shown.
    EXPECT_EQ(button->window(), d.presenter->GetWidget(d.viewer->GetToolBar()));
    EXPECT_TRUE(button->isVisibleTo(button->window())) << i;
  }
  EXPECT_TRUE(d.presenter->GetWidget(d.viewer->GetToolBar())->isVisible());
  // Choosing "Fly" in the combo changes the style the same way the model's input does.
  combo->activated(2);
  EXPECT_EQ(d.viewer->SetNavigationStyle(-1), 9);
}

TEST(ToolBarWidgets, ClickingReframeReframesAndNavigationRadiosStayExclusive) {
  Desk d;
  KIV3DCustomRep* model = Box(2.0f);
  d.viewer->AddRep(model, NavViewerExtand::kOfficialRoot);
  KIV3DViewpoint* main = d.viewer->GetMain3DViewpoint();
  main->SetPosition(KIVMathPointf(300, 0, 0), KIVMathDirectionf(1, 0, 0), KIVMathDirectionf(0, 0, 1));
  QTest::mouseClick(d.Button(9), Qt::LeftButton);
  EXPECT_LT(main->GetOrigin().x, 0.0f);
  EXPECT_NEAR(main->GetTarget().x, 0.0f, 1e-3f);

  auto checked = [&] {
    std::vector<int> on;
    for (int i = 1; i <= 6; ++i)
      if (d.Button(i)->isChecked()) on.push_back(i);
    return on;
  };
  EXPECT_EQ(checked(), std::vector<int>{1});
  QTest::mouseClick(d.Button(3), Qt::LeftButton);  // Zoom
  EXPECT_EQ(checked(), std::vector<int>{3});
  EXPECT_EQ(d.viewer->SetSpecialNavigation(-1, -1, -1), 3);
  QTest::mouseClick(d.Button(5), Qt::LeftButton);  // Translate
  EXPECT_EQ(checked(), std::vector<int>{5});
  // Clicking the checked one again leaves it checked, as the model does.
  QTest::mouseClick(d.Button(5), Qt::LeftButton);
  EXPECT_EQ(checked(), std::vector<int>{5});
  QTest::mouseClick(d.Button(1), Qt::LeftButton);  // back to Select
  EXPECT_EQ(checked(), std::vector<int>{1});
  EXPECT_EQ(d.viewer->SetSpecialNavigation(-1, -1, -1), -1);
  d.viewer->RemoveRep(model, NavViewerExtand::kOfficialRoot);
  delete model;
}

TEST(ToolBarWidgets, ClosingAPanelWindowSwitchesItsStateOff) {
  Desk d;
  QAbstractButton* clipping = d.Button(11);
  QTest::mouseClick(clipping, Qt::LeftButton);
  d.Pump();
  ASSERT_EQ(d.viewer->SetClippingEditorState(-1), 1);
  EXPECT_TRUE(clipping->isChecked());
  QWidget* panel = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->objectName() == "VisibilitySettings" && top->isVisible()) panel = top;
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->windowTitle(), "Visibility settings");
  panel->close();  // the close box
  d.Pump();
  EXPECT_EQ(d.viewer->SetClippingEditorState(-1), 0);
  EXPECT_FALSE(clipping->isChecked());
  EXPECT_FALSE(panel->isVisible());
}

TEST(ToolBarWidgets, RightClickOnANavigationButtonPopsItsLockOption) {
  Desk d;
  QAbstractButton* zoom = d.Button(3);
  ASSERT_EQ(zoom->contextMenuPolicy(), Qt::CustomContextMenu);
  emit zoom->customContextMenuRequested(QPoint(2, 2));
  d.Pump();
  QMenu* menu = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* m = qobject_cast<QMenu*>(top); m && m->isVisible()) menu = m;
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), 1);
  QAction* lock = menu->actions()[0];
  EXPECT_EQ(lock->text(), "Lock Option");
  EXPECT_FALSE(lock->isChecked());
  lock->trigger();
  menu->hide();
  d.Pump();
  EXPECT_TRUE(lock->isChecked());  // set back from the model's item, which took the click
  QTest::mouseClick(zoom, Qt::LeftButton);
  EXPECT_EQ(d.viewer->SetSpecialNavigation(-1, -1, -1), 3);
}

TEST(ToolBarWidgets, SaveVrmlAsksForAFileAndWritesIt) {
  Desk d;
  KIV3DCustomRep* model = Box(2.0f);
  d.viewer->AddRep(model, NavViewerExtand::kOfficialRoot);
  const QString path = QDir::tempPath() + "/toolbar_widgets_test.wrl";
  QFile::remove(path);
  QTest::mouseClick(d.Button(15), Qt::LeftButton);
  d.Pump();
  QFileDialog* chooser = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* c = qobject_cast<QFileDialog*>(top); c && c->isVisible()) chooser = c;
  ASSERT_NE(chooser, nullptr);
  EXPECT_EQ(chooser->windowTitle(), "Export VRML File");
  EXPECT_TRUE(d.Button(15)->isChecked());
  chooser->findChild<QLineEdit*>("fileNameEdit")->setText(path);  // typed
  static_cast<QDialog*>(chooser)->accept();
  d.Pump();
  EXPECT_FALSE(d.Button(15)->isChecked());  // the export is done and its state is off
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readLine().startsWith("#VRML V2.0 utf8"));
  file.close();
  QFile::remove(path);
  d.viewer->RemoveRep(model, NavViewerExtand::kOfficialRoot);
  delete model;
}

TEST(ToolBarWidgets, TheViewerWindowHandsKeysWheelRightClicksAndItsSizeToTheViewer) {
  Desk d;
  auto* view = dynamic_cast<KIVQtViewerWidget*>(d.presenter->GetWidget(d.viewer));
  ASSERT_NE(view, nullptr);
  view->resize(300, 200);
  int w = 0, h = 0;
  d.viewer->GetGraphicSize(&w, &h);
  if (const char* scale = std::getenv("QT_SCALE_FACTOR")) {
    EXPECT_EQ(view->devicePixelRatioF(), std::atof(scale));
  }
  EXPECT_EQ(w, static_cast<int>(300 * view->devicePixelRatioF()));
  EXPECT_EQ(h, static_cast<int>(200 * view->devicePixelRatioF()));

  d.viewer->SetSpecialNavigation(5, 1, 0);
  QTest::keyClick(view, Qt::Key_Escape);
  EXPECT_EQ(d.viewer->SetSpecialNavigation(-1, -1, -1), -1);

  // Half notches (touchpads) add up to whole wheel steps.
  KIV3DViewpoint* main = d.viewer->GetMain3DViewpoint();
  main->SetPosition(KIVMathPointf(0, -50, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  auto wheel = [&](int delta) {
    const QPointF at(150, 100);
    QWheelEvent event(at, view->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &event);
  };
  const KIVMathPointf start = main->GetOrigin();
  wheel(60);
  EXPECT_EQ(main->GetOrigin(), start);
  wheel(60);
  EXPECT_NE(main->GetOrigin(), start);

  // A right click pops the viewer's menu up where it happened.
  auto* item = new KIVDlgPushItem(d.viewer->GetContextualMenu(), "Hello");
  item->SetTitle("Hello");
  QTest::mouseClick(view, Qt::RightButton, Qt::NoModifier, QPoint(40, 30));
  d.Pump();
  QMenu* menu = d.presenter->GetMenu(d.viewer->GetContextualMenu());
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  ASSERT_EQ(menu->actions().size(), 1);
  EXPECT_EQ(menu->actions()[0]->text(), "Hello");
  EXPECT_EQ(menu->pos(), view->mapToGlobal(QPoint(40, 30)));
  menu->hide();
  d.Pump();
  EXPECT_EQ(d.viewer->GetContextualMenu()->GetVisibility(), KIVDialog::VisibilityHidden);
}

TEST(ToolBarWidgets, TheDeferredCycleRunsFromTheEventLoop) {
  Desk d;
  QTest::qWait(20);
  EXPECT_FALSE(KIVApplication::MainApplication()->HasPendingWork());  // an idle window does not spin
  static int calls = 0;
  calls = 0;
  KIVCommand subscriber;
  KIVApplication::MainApplication()->Subscribe(2, &subscriber, nullptr, [](KIVCommand*, int, void*) { ++calls; });
  QTest::qWait(50);  // nobody calls ProcessDeferred here but the event loop
  EXPECT_GT(calls, 2);
  KIVApplication::MainApplication()->RemoveSubscribe(2, &subscriber);
  const int after = calls;
  QTest::qWait(30);
  EXPECT_EQ(calls, after);
}
