// End to end, under a real X server (Xvfb): navview's main window on the built-in plant,
// used as a person uses it. Input goes through the X server (xdotool), and every check of
// the picture reads the pixels on screen back from the server, so a window that forgot to
// repaint fails here even when the viewer's model moved.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "apps/navview/NavviewMainWindow.h"
#include "apps/navview/NavviewMover.h"
#include "apps/navview/NavviewScript.h"
#include "apps/navview/NavviewScene.h"
#include "apps/navview/NavviewSession.h"
#include "browsing/NavSimpleGraph.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVGraphViewer.h"
#include "host/qt/KIVQtGraphView.h"
#include "host/qt/KIVQtGLView.h"
#include "host/qt/KIVQtMultiList.h"
#include "host/qt/KIVQtMultiListModel.h"
#include "host/qt/KIVQtPresenter.h"
#include "host/qt/KIVQtViewerRender.h"
#include "host/qt/KIVQtViewerWidget.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "measure/KIVNavMarker3DGageRep.h"
#include "measure/NavAnnotationViewerUI.h"
#include "measure/NavDistanceViewerUI.h"
#include "mover/NavMovorObject.h"
#include "navigation/Nav3DManipulator.h"
#include "primitives/KIVSiLaGridRep.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "tests/support/ViewerPixels.h"
#include "tests/window/NavviewWindow.h"
#include "viewer/NavViewerExtand.h"

using namespace screen_probe;

TEST_F(NavviewWindow, OpensOnTheWholePlantAndStaysStill) {
  EXPECT_EQ(sWindow->GetSession().GetScene().GetModelCount(), 2816);
  EXPECT_TRUE(sWindow->GetStatusText().startsWith("2816 models, 94976 triangles")) << sWindow->GetStatusText().toStdString();
  const QImage shown = Shot(View());
  EXPECT_GT(Colours(shown), 8);  // the plant is drawn, not just the background
  shown.save(OutDir() + "/navview_start.png");
  Shot(sWindow).save(OutDir() + "/navview_window.png");
  // Nothing changes, so nothing is drawn: no busy loop.
  const int draws = Viewer().GetDrawCount();
  Settle(300);
  EXPECT_LE(Viewer().GetDrawCount() - draws, 1);
}

TEST_F(NavviewWindow, EveryDragWheelAndKeyShowsOnScreen) {
  const QString out = OutDir();
  // Left drag in the examine style turns the view.
  QImage before = Shot(View());
  Drag(1, Centre(), Centre() + QPoint(140, 60));
  QImage after = WaitForChange(View(), before, 0.05);
  EXPECT_GT(Changed(before, after), 0.05) << "left drag";
  after.save(out + "/navview_turned.png");

  // The wheel zooms in, then out.
  for (int button : {4, 5}) {
    before = WaitForStill(View());
    QStringList args{"mousemove"};
    args << At(View(), Centre()) << "click" << QString::number(button) << "click" << QString::number(button);
    ASSERT_TRUE(Xdo(args));
    after = WaitForChange(View(), before, 0.02);
    EXPECT_GT(Changed(before, after), 0.02) << "wheel button " << button;
  }

  // Middle drag pans.
  before = WaitForStill(View());
  Drag(2, Centre(), Centre() + QPoint(-90, 40));
  after = WaitForChange(View(), before, 0.05);
  EXPECT_GT(Changed(before, after), 0.05) << "middle drag";

  // Home returns to the oblique view.
  before = WaitForStill(View());
  Key("Home");
  after = WaitForChange(View(), before, 0.05);
  EXPECT_GT(Changed(before, after), 0.05) << "Home";
}

TEST_F(NavviewWindow, PageUpWalksFrameAfterFrame) {
  auto* style = Find<QComboBox>("NavigationStyle");
  ASSERT_NE(style, nullptr);
  Click(style);
  Settle(100);
  ASSERT_TRUE(Xdo({"key", "Down", "Return"}));
  Settle(100);
  ASSERT_EQ(Viewer().SetNavigationStyle(-1), 8) << "Walk chosen in the combo";
  WaitForStill(View());
  Key("Prior");
  // The walk goes on with no further input: the picture keeps changing on screen.
  QImage last = WaitForChange(View(), Shot(View()), 0.01);
  int changes = 0;
  for (int i = 0; i < 3; ++i) {
    const QImage now = WaitForChange(View(), last, 0.002, 600);
    if (Changed(last, now) > 0.002) ++changes;
    last = now;
  }
  EXPECT_EQ(changes, 3);
  // Back to examining through the combo, which stops the walk.
  Click(style);
  Settle(100);
  ASSERT_TRUE(Xdo({"key", "Up", "Return"}));
  Settle(100);
  EXPECT_EQ(Viewer().SetNavigationStyle(-1), 7);
  EXPECT_FALSE(Viewer().GetMain3DViewpoint()->IsAnimated());
}

TEST_F(NavviewWindow, SpecialNavigationFromTheToolBar) {
  auto* rotate = Find<QAbstractButton>("Rotate");
  ASSERT_NE(rotate, nullptr);
  Click(rotate);
  Settle(100);
  const QImage before = WaitForStill(View());
  Drag(1, Centre(), Centre() + QPoint(120, 0));
  const QImage after = WaitForChange(View(), before, 0.05);
  EXPECT_GT(Changed(before, after), 0.05) << "Rotate";
  Key("Escape");
}

// The viewer's menu after a right click at a point of the view, or null.
TEST_F(NavviewWindow, RightClickShowsTheViewersMenu) {
  // The corner of the view shows the background, not a model.
  const QPoint at(12, View()->height() - 12);
  QWidget* popup = RightClickMenu(View(), at);
  ASSERT_NE(popup, nullptr) << "no menu after a right click";
  EXPECT_TRUE(popup->isVisible());
  EXPECT_NE(qobject_cast<QMenu*>(popup), nullptr);
  EXPECT_GT(qobject_cast<QMenu*>(popup)->actions().size(), 0);
  Settle(100);
  // The menu is on screen, near the click: its area differs from the viewer underneath.
  const QImage menu = Shot(popup);
  EXPECT_GT(Colours(menu), 1);
  EXPECT_LT((popup->mapToGlobal(QPoint(0, 0)) - View()->mapToGlobal(at)).manhattanLength(), 40);
  menu.save(OutDir() + "/navview_menu.png");
  ASSERT_TRUE(Xdo({"key", "Escape"}));
  for (int i = 0; i < 100 && QApplication::activePopupWidget(); ++i) QTest::qWait(10);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

  // Its Ground item shows the ground on screen, and again takes it away.
  for (const bool on : {true, false}) {
    const QImage before = WaitForStill(View());
    QMenu* menu = RightClickMenu(View(), at);
    ASSERT_NE(menu, nullptr);
    QAction* ground = ActionTitled(menu, "Ground");
    ASSERT_NE(ground, nullptr);
    EXPECT_EQ(ground->isChecked(), !on);
    Settle(150);  // a click too soon after the menu opened is taken as the opening click's end
    Click(menu, menu->actionGeometry(ground).center());
    for (int i = 0; i < 100 && QApplication::activePopupWidget(); ++i) QTest::qWait(10);
    ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
    const QImage after = WaitForChange(View(), before, 0.001);
    EXPECT_GT(Changed(before, after), 0.001) << (on ? "ground shown" : "ground gone");
    EXPECT_EQ(Viewer().SetGroundState(-1), on ? 1 : 0);
  }
}

TEST_F(NavviewWindow, LightDialogChangesThePictureAndOkKeepsIt) {
  auto* light = Find<QAbstractButton>("Light");
  ASSERT_NE(light, nullptr);
  const QImage before = WaitForStill(View());
  Click(light);
  QWidget* dialog = nullptr;
  for (int i = 0; i < 100 && !dialog; ++i) {
    QTest::qWait(10);
    dialog = TopLevel("PopupEditor");
  }
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  // Out of the way, as a person would put it, so that the view's pixels are the view's.
  dialog->move(sWindow->frameGeometry().right() + 20, 0);
  Settle(100);
  auto* ambient = dialog->findChild<QWidget*>("Ambient");
  ASSERT_NE(ambient, nullptr);
  auto* slider = ambient->findChild<QSlider*>("kivSlider");
  ASSERT_NE(slider, nullptr);
  // A click at the groove's right end pages the ambient light up: the plant gets lighter.
  Click(slider, QPoint(slider->width() - 3, slider->height() / 2));
  Click(slider, QPoint(slider->width() - 3, slider->height() / 2));
  WaitForChange(View(), before, 0.05);
  const QImage lighter = WaitForStill(View());
  EXPECT_GT(Changed(before, lighter), 0.05) << "ambient slider";
  auto* buttons = dialog->findChild<QDialogButtonBox*>("kivButtons");
  ASSERT_NE(buttons, nullptr);
  Click(buttons->button(QDialogButtonBox::Ok));
  for (int i = 0; i < 100 && TopLevel("PopupEditor"); ++i) QTest::qWait(10);
  EXPECT_EQ(TopLevel("PopupEditor"), nullptr);
  const QImage kept = WaitForStill(View());
  EXPECT_LT(Changed(lighter, kept), 0.01);
  EXPECT_GT(Changed(before, kept), 0.05);
  Viewer().SetGlobalAmbientLight(0.2f, 0.2f, 0.2f);
}

TEST_F(NavviewWindow, ToolBarStatesThatDrawShowAndGo) {
  for (const char* tag : {"Ground", "Perfo"}) {
    auto* button = Find<QAbstractButton>(tag);
    ASSERT_NE(button, nullptr) << tag;
    const QImage plain = WaitForStill(View());
    Click(button);
    const QImage shown = WaitForChange(View(), plain, 0.001);
    EXPECT_TRUE(button->isChecked()) << tag;
    EXPECT_GT(Changed(plain, shown), 0.001) << tag;
    shown.save(OutDir() + "/navview_" + tag + ".png");
    Click(button);
    WaitForChange(View(), shown, 0.001);
    const QImage gone = WaitForStill(View());
    EXPECT_FALSE(button->isChecked()) << tag;
    EXPECT_LT(Changed(plain, gone), 0.001) << tag;
  }
}

TEST_F(NavviewWindow, PreviousViewAnimatesBack) {
  const KIVMathPointf here = Viewer().GetMain3DViewpoint()->GetOrigin();
  Viewer().GetMain3DViewpoint()->SetPosition(here + KIVMathVectorf(0, 0, 200), Viewer().GetMain3DViewpoint()->GetSightDirection(),
                                             Viewer().GetMain3DViewpoint()->GetUpDirection());
  Viewer().Reframe(NavViewerExtand::kOfficialRoot);  // recorded in the history
  auto* previous = Find<QAbstractButton>("Previous");
  ASSERT_NE(previous, nullptr);
  ASSERT_TRUE(previous->isEnabled());
  const QImage reframed = WaitForStill(View());
  const KIVMathPointf origin = Viewer().GetMain3DViewpoint()->GetOrigin();
  Click(previous);
  const QImage back = WaitForChange(View(), reframed, 0.05, 3000);
  EXPECT_GT(Changed(reframed, back), 0.05);
  WaitForStill(View());
  EXPECT_NE(Viewer().GetMain3DViewpoint()->GetOrigin(), origin);
}

TEST_F(NavviewWindow, CaptureFromTheToolBarWritesWhatTheWindowDraws) {
  const QString shot = OutDir() + "/navview_toolbar_capture.png";
  QFile::remove(shot);
  auto* capture = Find<QAbstractButton>("PrintCapture");
  ASSERT_NE(capture, nullptr);
  Click(capture);
  QWidget* dialog = nullptr;
  for (int i = 0; i < 100 && !dialog; ++i) {
    QTest::qWait(10);
    dialog = TopLevel("Capture");
  }
  ASSERT_NE(dialog, nullptr);
  auto* fileName = dialog->findChild<QLineEdit*>("FileName");
  ASSERT_NE(fileName, nullptr);
  fileName->setText(shot);
  emit fileName->editingFinished();
  Click(dialog->findChild<QPushButton*>("Capture"));
  for (int i = 0; i < 200 && QImage(shot).isNull(); ++i) QTest::qWait(10);
  EXPECT_GT(Colours(QImage(shot)), 8);
  if (TopLevel("Capture")) Click(capture);  // the tool bar button closes it again
}

TEST_F(NavviewWindow, OpenedFilesJoinTheSceneAndBadOnesAreReported) {
  const QString out = OutDir();
  const QString cube = out + "/cube.obj", broken = out + "/broken.ply";
  {
    QFile f(cube);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 1 2 4\nf 1 3 4\nf 2 3 4\n");
    QFile g(broken);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write("this is not a model\n");
  }
  EXPECT_EQ(sWindow->OpenFiles({cube, broken}), 1);
  EXPECT_TRUE(sWindow->GetStatusText().startsWith("2817 models, 94980 triangles")) << sWindow->GetStatusText().toStdString();
  auto* errors = sWindow->findChild<QMessageBox*>("NavviewLoadErrors");
  ASSERT_NE(errors, nullptr);
  EXPECT_TRUE(errors->isVisible());
  EXPECT_TRUE(errors->text().contains("broken.ply")) << errors->text().toStdString();
  errors->close();

  // A capture through the window's render, at another size.
  std::string error;
  const QString shot = out + "/navview_capture.png";
  ASSERT_EQ(View()->Capture(shot.toStdString(), 400, 300, &error), 1) << error;
  EXPECT_EQ(QImage(shot).size(), QSize(400, 300));
  EXPECT_GT(Colours(QImage(shot)), 8);
}

TEST_F(NavviewWindow, FrameTime) {
  // What a frame costs here: the model draws and the GPU finishes.
  KIVQtViewerRender* render = View()->GetRender();
  View()->GetGLView()->makeCurrent();
  double total = 0;
  const int frames = 20;
  for (int i = 0; i < frames; ++i) {
    Viewer().Draw();
    total += render->Finish();
  }
  std::printf("frame: %.1f ms (%d x %d device pixels, %lld triangles drawn, %s)\n", 1000.0 * total / frames,
              View()->width(), View()->height(), render->GetLastFrameStats().triangles,
              reinterpret_cast<const char*>(View()->GetGLView()->context()->functions()->glGetString(0x1F01)));
}

// Opens a window as a person does, from the menu bar's View menu: the window's top level,
// or null when the menu, the item or the window did not come.
// "Scene Tree" from the View menu opens the representation tree browser (its own test,
// browser_window_test.cpp, selects, hides and clashes there): the graph is drawn and a
// right click on its background pops the browser's menu up.
TEST_F(NavviewWindow, SceneTreeFromTheViewMenuSelectsModels) {
  QWidget* top = FromViewMenu("Scene &Tree", "GraphicAttributes");
  ASSERT_NE(top, nullptr) << "no Scene Tree window";
  EXPECT_EQ(top->windowTitle(), "Graphic Attributes");
  top->move(1600 - top->frameGeometry().width() - 2, 0);  // wider than the room beside the main window
  auto* view = dynamic_cast<KIVQtGraphView*>(top->findChild<QWidget*>("No_ReferencedTag"));
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(top));
  const QImage first = WaitForStill(view);
  EXPECT_GT(Colours(first), 2) << "the graph is not drawn";
  first.save(OutDir() + "/navview_scene_tree.png");
  auto* graph = dynamic_cast<NavSimpleGraph*>(view->GetViewer()->GetDialogParent());
  ASSERT_NE(graph, nullptr);
  ASSERT_NE(graph->GetRoot(), nullptr);
  EXPECT_EQ(graph->GetRoot()->name, KIVUnicodeString("OFFICIAL ROOT"));

  QMenu* popup = RightClickMenu(view, QPoint(view->width() - 6, view->height() - 6));
  ASSERT_NE(popup, nullptr) << "no menu after a right click on the graph";
  EXPECT_NE(ActionTitled(popup, "Tree settings"), nullptr);
  EXPECT_NE(ActionTitled(popup, "Select All"), nullptr);
  EXPECT_NE(ActionTitled(popup, "Unselect All"), nullptr);
  popup->close();
  top->close();
  for (int i = 0; i < 200 && Viewer().GetGraphicRepTree(); ++i) QTest::qWait(10);
  EXPECT_EQ(Viewer().GetGraphicRepTree(), nullptr) << "closing the window left the viewer's state on";
}

// The "Models" window from the View menu: one line per model drawn on screen, a filter
// typed into its editor narrows the lines, a click on a line highlights that model in the
// viewer, and a right click on the list pops the list's menu up.
TEST_F(NavviewWindow, ModelsListFromTheViewMenuFiltersAndSelects) {
  QWidget* top = FromViewMenu("&Models", "NavviewModelsWindow");
  ASSERT_NE(top, nullptr) << "no Models window";
  EXPECT_EQ(top->windowTitle(), "Models");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(top));
  auto* list = ChildOfType<KIVQtMultiList>(top);
  ASSERT_NE(list, nullptr);
  const int models = sWindow->GetSession().GetScene().GetModelCount();
  for (int i = 0; i < 300 && list->GetModel()->rowCount() != models; ++i) QTest::qWait(10);
  ASSERT_EQ(list->GetModel()->rowCount(), models);
  const QImage first = WaitForStill(list);
  EXPECT_GT(Colours(first), 2) << "the lines are not drawn";
  first.save(OutDir() + "/navview_models.png");

  // A filter typed into the editor, then Return.
  auto* editor = top->findChild<QLineEdit*>("ListFilterEditor");
  ASSERT_NE(editor, nullptr);
  top->activateWindow();  // what a window manager does for a new window (Xvfb runs none)
  for (int i = 0; i < 100 && QApplication::activeWindow() != top; ++i) QTest::qWait(10);
  Click(editor);
  for (int i = 0; i < 100 && !editor->hasFocus(); ++i) QTest::qWait(10);
  ASSERT_TRUE(editor->hasFocus()) << "a click did not put the keyboard in the filter editor";
  QStringList typing{"key", "ctrl+a", "type", "--delay", "20", "*Tank 1"};
  ASSERT_TRUE(Xdo(typing));
  ASSERT_TRUE(Xdo({"key", "Return"}));
  const int units = models / 44;  // 44 models a unit, one "Tank 1" each
  for (int i = 0; i < 300 && list->GetModel()->rowCount() != units; ++i) QTest::qWait(10);
  EXPECT_EQ(list->GetModel()->rowCount(), units);
  const QImage filtered = WaitForStill(list);
  EXPECT_GT(Changed(first, filtered), 0.01) << "the filter changed nothing on screen";
  filtered.save(OutDir() + "/navview_models_filtered.png");

  // A click on the first line highlights its model; the viewer shows it.
  const QImage viewerBefore = WaitForStill(View());
  const QModelIndex line = list->GetModel()->index(0, 2);
  Click(list->viewport(), list->visualRect(line).center());
  KIVRep* rep = nullptr;
  for (int i = 0; i < 100 && !rep; ++i) {
    QTest::qWait(10);
    for (KIVRep* unit : sWindow->GetSession().GetScene().GetRoot()->GetChildren())
      for (KIVRep* model : unit->GetChildren())
        if (model->GetHighlightMode()) rep = model;
  }
  ASSERT_NE(rep, nullptr) << "no model highlighted";
  EXPECT_EQ(QString::fromUtf8(sWindow->GetSession().GetScene().GetName(rep)),
            list->GetModel()->index(0, 2).data().toString());
  EXPECT_TRUE(list->selectionModel()->isRowSelected(0, QModelIndex()));
  const QImage viewerAfter = WaitForChange(View(), viewerBefore, 0.0);
  EXPECT_GT(Changed(viewerBefore, viewerAfter), 0.0) << "the viewer did not show the highlight";

  // The list's own menu on a right click.
  QMenu* popup = RightClickMenu(list->viewport(), list->visualRect(line).center());
  ASSERT_NE(popup, nullptr) << "no menu after a right click on the list";
  EXPECT_NE(ActionTitled(popup, "Find Object"), nullptr);
  QAction* deselect = ActionTitled(popup, "Deselect All");
  ASSERT_NE(deselect, nullptr);
  Settle(150);
  Click(popup, popup->actionGeometry(deselect).center());
  for (int i = 0; i < 100 && rep->GetHighlightMode(); ++i) QTest::qWait(10);
  EXPECT_EQ(rep->GetHighlightMode(), 0) << "Deselect All left the model highlighted";

  // Back to every model, and the window goes.
  Click(editor);
  ASSERT_TRUE(Xdo({"key", "ctrl+a", "type", "*"}));
  ASSERT_TRUE(Xdo({"key", "Return"}));
  for (int i = 0; i < 300 && list->GetModel()->rowCount() != models; ++i) QTest::qWait(10);
  EXPECT_EQ(list->GetModel()->rowCount(), models);
  top->close();
}

// The measuring grid as a person uses it: the View menu puts it under the plant, a right
// click on it gives its own menu, whose items change what is drawn, and with coordinates
// on, a click on the grid leaves a marker of the node there.
TEST_F(NavviewWindow, GridFromTheViewMenuAnswersRightClicksAndClicks) {
  auto viewMenuItem = [&](const QString& title) {
    const QPoint corner(12, View()->height() - 12);
    QMenu* menu = RightClickMenu(View(), corner);
    if (!menu) return false;
    QAction* item = ActionTitled(menu, title);
    if (!item) return false;
    Settle(150);
    Click(menu, menu->actionGeometry(item).center());
    for (int i = 0; i < 100 && QApplication::activePopupWidget(); ++i) QTest::qWait(10);
    return true;
  };
  auto gridRep = [&]() -> KIVSiLaGridRep* {
    if (const KIVRep* notes = Viewer().GetRootRep(NavViewerExtand::kAnnotationRoot))
      for (KIVRep* child : notes->GetChildren())
        if (auto* grid = dynamic_cast<KIVSiLaGridRep*>(child)) return grid;
    return nullptr;
  };
  const QImage before = WaitForStill(View());
  ASSERT_TRUE(viewMenuItem("Grid"));
  KIVSiLaGridRep* grid = nullptr;
  for (int i = 0; i < 100 && !(grid = gridRep()); ++i) QTest::qWait(10);
  ASSERT_NE(grid, nullptr) << "no grid after View > Grid";
  const QImage shown = WaitForChange(View(), before, 0.001);
  EXPECT_GT(Changed(before, shown), 0.001) << "the grid is not on screen";

  // A pixel where the grid shows and no model stands in front of it.
  QPoint onGrid(-1, -1);
  for (int y = View()->height() - 20; y > 20 && onGrid.x() < 0; y -= 16)
    for (int x = 20; x < View()->width() - 20 && onGrid.x() < 0; x += 16) {
      KIVPickPathList paths;
      if (!Viewer().Pick(x, y, paths) || !paths.GetPath(0)) continue;
      const std::vector<KIVRep*>& reps = paths.GetPath(0)->GetReps();
      if (std::find(reps.begin(), reps.end(), grid) != reps.end()) onGrid = QPoint(x, y);
    }
  ASSERT_GE(onGrid.x(), 0) << "the grid is nowhere to be clicked";

  QMenu* menu = RightClickMenu(View(), onGrid);
  ASSERT_NE(menu, nullptr) << "no menu after a right click on the grid";
  QAction* style = ActionTitled(menu, "Crosses Style");
  ASSERT_NE(style, nullptr) << "the grid's menu is not there";
  EXPECT_NE(ActionTitled(menu, "Coordinates"), nullptr);
  Settle(150);
  Click(menu, menu->actionGeometry(style).center());
  for (int i = 0; i < 100 && QApplication::activePopupWidget(); ++i) QTest::qWait(10);
  EXPECT_EQ(grid->GetStyle(), 1);
  const QImage crosses = WaitForChange(View(), shown, 0.0005);
  EXPECT_GT(Changed(shown, crosses), 0.0005) << "crosses did not replace the lines on screen";
  crosses.save(OutDir() + "/navview_grid_crosses.png");

  menu = RightClickMenu(View(), onGrid);
  ASSERT_NE(menu, nullptr);
  QAction* coordinates = ActionTitled(menu, "Coordinates");
  ASSERT_NE(coordinates, nullptr);
  Settle(150);
  Click(menu, menu->actionGeometry(coordinates).center());
  for (int i = 0; i < 100 && QApplication::activePopupWidget(); ++i) QTest::qWait(10);
  const QImage still = WaitForStill(View());
  Click(View(), onGrid);
  for (int i = 0; i < 100 && !grid->GetTheCoordinates(); ++i) QTest::qWait(10);
  ASSERT_NE(grid->GetTheCoordinates(), nullptr) << "no coordinates after a click on the grid";
  EXPECT_EQ(grid->GetTheCoordinates()->GetChildren().size(), 1u);
  const QImage marked = WaitForChange(View(), still, 0.0001);
  EXPECT_GT(Changed(still, marked), 0.0001) << "the coordinates are not on screen";
  marked.save(OutDir() + "/navview_grid_coordinates.png");

  ASSERT_TRUE(viewMenuItem("Grid"));
  for (int i = 0; i < 100 && gridRep(); ++i) QTest::qWait(10);
  EXPECT_EQ(gridRep(), nullptr) << "View > Grid again did not take the grid away";
}

// Moving a model as a person does: a click selects it, Ctrl+M puts a mover on it, a drag
// of a plane handle carries it (seen on screen), Ctrl+Z brings it back, the palette's
// arrow steps it, Escape takes the mover away.
TEST_F(NavviewWindow, MoverCarriesAModelAndUndoBringsItBack) {
  NavviewSession& session = sWindow->GetSession();
  // The pixel of a world point in the viewer.
  auto pixelOf = [&](const KIVMathPointf& p) {
    int w = 1, h = 1;
    Viewer().GetGraphicSize(&w, &h);
    float x, y;
    PixelOf(*Viewer().GetMain3DViewpoint(), w, h, p, x, y);
    return QPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
  };
  // A model under a pixel near the middle of the view.
  QPoint onModel(-1, -1);
  KIVRep* model = nullptr;
  for (int r = 0; r < 200 && !model; r += 12)
    for (int dx : {r, -r}) {
      KIVPickPathList paths;
      const QPoint at = Centre() + QPoint(dx, r / 2);
      if (!Viewer().Pick(at.x(), at.y(), paths) || !paths.GetPath(0)) continue;
      for (KIVRep* rep : paths.GetPath(0)->GetReps())
        if (session.GetScene().IsModel(rep)) model = rep, onModel = at;
      if (model) break;
    }
  ASSERT_NE(model, nullptr) << "no model near the middle of the view";
  auto* bag = dynamic_cast<KIV3DBagRep*>(model);
  ASSERT_NE(bag, nullptr);
  const KIV4x4Matrix start = bag->GetMatrix() ? *bag->GetMatrix() : KIV4x4Matrix();

  const QImage plain = WaitForStill(View());
  Click(View(), onModel);
  for (int i = 0; i < 100 && !model->GetHighlightMode(); ++i) QTest::qWait(10);
  ASSERT_TRUE(model->GetHighlightMode()) << "a click did not select the model";
  Key("ctrl+m");
  NavviewMover& mover = sWindow->GetScript().GetMover();
  for (int i = 0; i < 100 && !mover.GetMover(); ++i) QTest::qWait(10);
  ASSERT_NE(mover.GetMover(), nullptr) << "Ctrl+M put no mover";
  EXPECT_EQ(mover.GetModel(), model);
  WaitForChange(View(), plain, 0.001);
  const QImage withMover = WaitForStill(View());
  EXPECT_GT(Changed(plain, withMover), 0.001) << "the mover is not on screen";
  withMover.save(OutDir() + "/navview_mover.png");

  // A handle that shows: the first of the plane handles, axis lines and points that the
  // pick under its pixel finds.
  NavMovorObject* handles = mover.GetMover();
  QPoint grab(-1, -1);
  int grabbed = -1;
  for (int m : {7, 8, 9, 2, 4, 6}) {
    const QPoint at = pixelOf(handles->GetPointManipulate(handles->GetManipulator(m)));
    KIVPickPathList paths;
    if (!Viewer().Pick(at.x(), at.y(), paths) || !paths.GetPath(0)) continue;
    const std::vector<KIVRep*>& reps = paths.GetPath(0)->GetReps();
    if (!reps.empty() && reps.back()->GetManipulator() == handles->GetManipulator(m)) {
      grab = at, grabbed = m;
      break;
    }
  }
  ASSERT_GE(grabbed, 0) << "no mover handle can be grabbed";
  const KIVMathPointf before = handles->GetMovorOrigine();
  Drag(1, grab, grab + QPoint(60, 30));
  for (int i = 0; i < 100 && handles->GetHistoryIndex() < 1; ++i) QTest::qWait(10);
  EXPECT_EQ(handles->GetHistoryIndex(), 1) << "the drag wrote no position";
  const KIVMathVectorf moved = handles->GetMovorOrigine() - before;
  EXPECT_GT(moved.Norm(), 0.0f);
  // The handle's constraint: in its plane, or along its axis.
  if (grabbed >= 7) {
    const KIVMathVectorf normal = handles->GetDirection((grabbed - 7 + 2) % 3);
    EXPECT_LT(std::fabs(moved * normal), 1e-4f * handles->GetMovorSize(0));
  } else {
    const KIVMathVectorf axis = handles->GetDirection((grabbed - 2) / 2);
    EXPECT_LT((moved ^ axis).Norm(), 1e-4f * handles->GetMovorSize(0));
  }
  ASSERT_NE(bag->GetMatrix(), nullptr);
  EXPECT_FALSE(*bag->GetMatrix() == start) << "the model did not follow";
  WaitForChange(View(), withMover, 0.001);
  const QImage dragged = WaitForStill(View());
  EXPECT_GT(Changed(withMover, dragged), 0.001) << "the moved model is not seen at its new place";
  dragged.save(OutDir() + "/navview_mover_dragged.png");

  Key("ctrl+z");
  for (int i = 0; i < 100 && handles->GetHistoryIndex() != 0; ++i) QTest::qWait(10);
  EXPECT_EQ(handles->GetHistoryIndex(), 0);
  EXPECT_EQ(handles->GetMovorOrigine(), before);
  WaitForChange(View(), dragged, 0.001);
  const QImage undone = WaitForStill(View());
  undone.save(OutDir() + "/navview_mover_undone.png");
  EXPECT_LT(Changed(withMover, undone), 0.2 * Changed(withMover, dragged)) << "Ctrl+Z did not bring the picture back";

  // The palette's Right arrow: one step along the mover's first direction.
  QWidget* palette = TopLevel("NavMovorPanel");
  if (!palette) palette = FromMenu("&Edit", "Mover &Palette", "NavMovorPanel");
  ASSERT_NE(palette, nullptr) << "no Mover Palette";
  auto* right = palette->findChild<QAbstractButton*>("MovorRightTransButton");
  ASSERT_NE(right, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(palette));
  const KIVMathPointf beforeStep = handles->GetMovorOrigine();
  Click(right);
  for (int i = 0; i < 100 && handles->GetMovorOrigine() == beforeStep; ++i) QTest::qWait(10);
  EXPECT_NEAR((handles->GetMovorOrigine() - beforeStep) * handles->GetDirection(0), 1.0f, 1e-4f);
  palette->close();
  sWindow->activateWindow();  // what a click on it does under a window manager
  for (int i = 0; i < 100 && QApplication::activeWindow() != sWindow; ++i) QTest::qWait(10);

  Key("Escape");
  for (int i = 0; i < 100 && mover.GetMover(); ++i) QTest::qWait(10);
  EXPECT_EQ(mover.GetMover(), nullptr) << "Escape left the mover";
  // Put the model back for the other tests.
  bag->SetMatrix(start);
  model->SetHighlightMode(0, 1);
  WaitForStill(View());
}

// Measuring as a person does: the tool bar's Distance button opens "Check Distance";
// "First Point", a click on a model, "Second Point", a click on another, and the gauge is
// on screen with its distance; the Annotation button opens "3D Annotation", a text typed,
// "Create", a click on a model, and the note is on screen.
TEST_F(NavviewWindow, DistanceAndAnnotationToolsFromTheToolBar) {
  // Two pixels on models, apart.
  QPoint first(-1, -1), second(-1, -1);
  for (int y = View()->height() / 3; y < 2 * View()->height() / 3 && second.x() < 0; y += 12)
    for (int x = View()->width() / 4; x < 3 * View()->width() / 4 && second.x() < 0; x += 12) {
      KIVPickPathList paths;
      if (!Viewer().Pick(x, y, paths)) continue;
      if (first.x() < 0) first = QPoint(x, y);
      else if (std::abs(x - first.x()) > 80) second = QPoint(x, y);
    }
  ASSERT_GE(second.x(), 0) << "no two models to measure between";

  auto* distanceButton = Find<QAbstractButton>("Distance");
  ASSERT_NE(distanceButton, nullptr);
  const QImage plain = WaitForStill(View());
  Click(distanceButton);
  QWidget* tool = WaitTopLevel(NavDistanceViewerUI::PanelIdTag);
  ASSERT_NE(tool, nullptr) << "no Check Distance window";
  EXPECT_EQ(tool->windowTitle(), "Check Distance");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(tool));
  PlaceBeside(tool);
  NavDistanceViewerUI* distance = Viewer().GetDistanceTool();
  ASSERT_NE(distance, nullptr);
  const QPoint at[2] = {first, second};
  for (int which = 1; which <= 2; ++which) {
    auto* pointButton = tool->findChild<QAbstractButton*>(NavDistanceViewerUI::PointSetTag[which - 1]);
    ASSERT_NE(pointButton, nullptr) << which;
    Click(pointButton);
    for (int i = 0; i < 100 && distance->GetCurrentPoint() != which; ++i) QTest::qWait(10);
    ASSERT_EQ(distance->GetCurrentPoint(), which) << "the point button did not start picking";
    Click(View(), at[which - 1]);
    for (int i = 0; i < 100 && !(distance->GetPickedFlags() & which); ++i) QTest::qWait(10);
    EXPECT_TRUE(distance->GetPickedFlags() & which) << "no point picked by the click";
  }
  const KIVMathPointf p1 = distance->GetGaugeRep()->GetCoordonnePoint(1), p2 = distance->GetGaugeRep()->GetCoordonnePoint(2);
  EXPECT_GT(p1.DistanceTo(p2), 0.0f);
  WaitForChange(View(), plain, 0.0005);
  const QImage measured = WaitForStill(View());
  EXPECT_GT(Changed(plain, measured), 0.0005) << "the gauge is not on screen";
  measured.save(OutDir() + "/navview_distance.png");
  Click(distanceButton);
  for (int i = 0; i < 300 && TopLevel(NavDistanceViewerUI::PanelIdTag); ++i) QTest::qWait(10);
  EXPECT_EQ(TopLevel(NavDistanceViewerUI::PanelIdTag), nullptr) << "the Distance button again left the window";

  auto* annotationButton = Find<QAbstractButton>("Annotation");
  ASSERT_NE(annotationButton, nullptr);
  const QImage before = WaitForStill(View());
  Click(annotationButton);
  QWidget* notes = WaitTopLevel(NavAnnotationViewerUI::PanelIdTag);
  ASSERT_NE(notes, nullptr) << "no 3D Annotation window";
  ASSERT_TRUE(QTest::qWaitForWindowExposed(notes));
  PlaceBeside(notes);
  auto* editor = notes->findChild<QWidget*>(NavAnnotationViewerUI::Annotation3DEditorTag);
  auto* create = notes->findChild<QAbstractButton*>(NavAnnotationViewerUI::CreateAnnotationTag);
  ASSERT_TRUE(editor && create);
  notes->activateWindow();
  for (int i = 0; i < 100 && QApplication::activeWindow() != notes; ++i) QTest::qWait(10);
  Click(editor);
  ASSERT_TRUE(Xdo({"key", "ctrl+a", "type", "--delay", "20", "check this"}));
  ASSERT_TRUE(Xdo({"key", "Tab"}));
  Click(create);
  KIVRep* root = Viewer().GetRootRep(NavViewerExtand::kAnnotationRoot);
  ASSERT_NE(root, nullptr);
  const size_t count = root->GetChildren().size();
  Click(View(), first);
  for (int i = 0; i < 100 && root->GetChildren().size() == count; ++i) QTest::qWait(10);
  EXPECT_EQ(root->GetChildren().size(), count + 1) << "no note after the click";
  WaitForChange(View(), before, 0.0001);
  const QImage noted = WaitForStill(View());
  EXPECT_GT(Changed(before, noted), 0.0001) << "the note is not on screen";
  noted.save(OutDir() + "/navview_note.png");
  Click(annotationButton);
  for (int i = 0; i < 300 && TopLevel(NavAnnotationViewerUI::PanelIdTag); ++i) QTest::qWait(10);
  Viewer().EraseAnnotationBag();
  sWindow->activateWindow();
  for (int i = 0; i < 100 && QApplication::activeWindow() != sWindow; ++i) QTest::qWait(10);
  WaitForStill(View());
}
