// End to end, under a real X server (Xvfb): navview's main window with the built-in plant,
// mouse and keyboard through Qt's own event delivery, screenshots before and after.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTest>
#include <QWheelEvent>
#include <cstdio>

#include "apps/navview/NavviewMainWindow.h"
#include "apps/navview/NavviewScene.h"
#include "apps/navview/NavviewSession.h"
#include "host/qt/KIVQtGLView.h"
#include "host/qt/KIVQtPresenter.h"
#include "host/qt/KIVQtViewerRender.h"
#include "host/qt/KIVQtViewerWidget.h"
#include "viewer/NavViewerExtand.h"

namespace {

QString OutDir() {
  const char* dir = std::getenv("NAVTOOLS_E2E_OUT");
  const QString path = dir && *dir ? QString::fromUtf8(dir) : QDir::tempPath() + "/navview-e2e";
  QDir().mkpath(path);
  return path;
}

// Share of pixels that differ by more than a little in any channel.
double Changed(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 1.0;
  long long changed = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      if (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) > 24)
        ++changed;
    }
  return static_cast<double>(changed) / (static_cast<double>(a.width()) * a.height());
}

// Distinct colours in a coarse sample: a drawn plant has many, a cleared frame one.
int Colours(const QImage& image) {
  QSet<QRgb> seen;
  for (int y = 0; y < image.height(); y += 7)
    for (int x = 0; x < image.width(); x += 7) seen.insert(image.pixel(x, y) & 0xF0F0F0);
  return static_cast<int>(seen.size());
}

void Settle(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) QTest::qWait(10);
}

}  // namespace

TEST(NavviewWindow, MouseAndKeysMoveTheViewOfTheBuiltinPlant) {
  NavviewMainWindow::SetSurfaceFormat();
  static int argc = 1;
  static char name[] = "navview";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  ASSERT_NE(QGuiApplication::platformName(), "offscreen") << "run under Xvfb";
  KIVQtPresenter presenter;
  NavviewOptions options;
  options.width = 960;
  options.height = 600;
  {
    NavviewMainWindow window(presenter, options);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    KIVQtViewerWidget* view = window.GetViewerWidget();
    ASSERT_NE(view, nullptr);
    for (int i = 0; i < 200 && !view->GetRender(); ++i) QTest::qWait(10);
    ASSERT_NE(view->GetRender(), nullptr) << view->GetGLError();
    Settle(300);
    EXPECT_EQ(window.GetSession().GetScene().GetModelCount(), 2816);
    EXPECT_TRUE(window.GetStatusText().startsWith("2816 models, 94976 triangles")) << window.GetStatusText().toStdString();

    const QString out = OutDir();
    const QImage before = view->GrabFrame();
    ASSERT_FALSE(before.isNull());
    EXPECT_GT(Colours(before), 8);  // the plant is drawn, not just the background
    before.save(out + "/navview_before.png");

    // A left drag in the examine style turns the view.
    const QPoint from(view->width() / 2, view->height() / 2), to = from + QPoint(140, 60);
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
    for (int step = 1; step <= 10; ++step) {
      QMouseEvent move(QEvent::MouseMove, from + (to - from) * step / 10, view->mapToGlobal(from + (to - from) * step / 10),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(view, &move);
      QTest::qWait(15);
    }
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
    Settle(300);
    const QImage turned = view->GrabFrame();
    turned.save(out + "/navview_after.png");
    EXPECT_GT(Changed(before, turned), 0.05);
    window.grab().save(out + "/navview_window.png");
    std::printf("screenshots: %s/navview_{before,after,window}.png\n", out.toUtf8().constData());

    // Home: the oblique view of the whole plant, the one navview opens with.
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Home);
    Settle(200);
    const QImage home = view->GrabFrame();
    EXPECT_GT(Changed(turned, home), 0.05);
    EXPECT_LT(Changed(before, home), Changed(before, turned));  // the pointer may preselect a model

    // Walk: Page Up starts walking, which goes on frame after frame with no further input.
    NavViewerExtand& viewer = window.GetSession().GetViewer();
    auto* style = window.findChild<QComboBox*>("NavigationStyle");
    ASSERT_NE(style, nullptr);
    emit style->activated(1);
    ASSERT_EQ(viewer.SetNavigationStyle(-1), 8);
    const KIVMathPointf start = viewer.GetMain3DViewpoint()->GetOrigin();
    const int drawsBefore = viewer.GetDrawCount();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_PageUp);
    Settle(400);
    const KIVMathPointf walked = viewer.GetMain3DViewpoint()->GetOrigin();
    const int drawsWalking = viewer.GetDrawCount() - drawsBefore;
    EXPECT_GT(drawsWalking, 3);
    EXPECT_GT(std::abs(walked.x - start.x) + std::abs(walked.y - start.y) + std::abs(walked.z - start.z), 0.0f);
    std::printf("walking: %d frames in 400 ms\n", drawsWalking);
    emit style->activated(0);  // back to examining, which stops the walk
    Settle(100);
    EXPECT_FALSE(viewer.GetMain3DViewpoint()->IsAnimated());

    // Capture from the tool bar: its dialog writes what this window draws.
    const QString toolShot = out + "/navview_toolbar_capture.png";
    QFile::remove(toolShot);
    auto* captureButton = window.findChild<QAbstractButton*>("PrintCapture");
    ASSERT_NE(captureButton, nullptr);
    captureButton->click();
    Settle(100);
    QWidget* dialog = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->objectName() == "Capture" && top->isVisible()) dialog = top;
    ASSERT_NE(dialog, nullptr);
    auto* fileName = dialog->findChild<QLineEdit*>("FileName");
    ASSERT_NE(fileName, nullptr);
    fileName->setText(toolShot);
    emit fileName->editingFinished();
    dialog->findChild<QPushButton*>("Capture")->click();
    Settle(100);
    EXPECT_FALSE(QImage(toolShot).isNull());

    // Tool bar states that draw: each changes the picture, and clicking again removes it.
    for (const char* tag : {"Ground", "Perfo"}) {
      const QImage plain = view->GrabFrame();
      auto* button = window.findChild<QAbstractButton*>(tag);
      ASSERT_NE(button, nullptr) << tag;
      button->click();
      Settle(150);
      EXPECT_TRUE(button->isChecked()) << tag;
      EXPECT_GT(Changed(plain, view->GrabFrame()), 0.001) << tag;
      button->click();
      Settle(150);
      EXPECT_FALSE(button->isChecked()) << tag;
      EXPECT_LT(Changed(plain, view->GrabFrame()), 0.001) << tag;
    }

    // Previous View animates back to the view before the last change, cycle after cycle.
    const KIVMathPointf here = viewer.GetMain3DViewpoint()->GetOrigin();
    viewer.GetMain3DViewpoint()->SetPosition(here + KIVMathVectorf(0, 0, 200), viewer.GetMain3DViewpoint()->GetSightDirection(),
                                             viewer.GetMain3DViewpoint()->GetUpDirection());
    viewer.Reframe(NavViewerExtand::kOfficialRoot);  // recorded in the history
    auto* previous = window.findChild<QAbstractButton*>("Previous");
    ASSERT_NE(previous, nullptr);
    ASSERT_TRUE(previous->isEnabled());
    const KIVMathPointf reframed = viewer.GetMain3DViewpoint()->GetOrigin();
    previous->click();
    Settle(1500);
    EXPECT_NE(viewer.GetMain3DViewpoint()->GetOrigin(), reframed);

    // Frame time on this machine: the model draws and the GPU finishes.
    KIVQtViewerRender* render = view->GetRender();
    view->GetGLView()->makeCurrent();
    double total = 0;
    const int frames = 20;
    for (int i = 0; i < frames; ++i) {
      window.GetSession().GetViewer().Draw();
      total += render->Finish();
    }
    std::printf("frame: %.1f ms (%d x %d device pixels, %lld triangles drawn, %s)\n", 1000.0 * total / frames,
                view->width(), view->height(), render->GetLastFrameStats().triangles,
                reinterpret_cast<const char*>(view->GetGLView()->context()->functions()->glGetString(0x1F01)));

    // Opening files: a good one joins the scene, a corrupt one is reported and loses nothing.
    const QString cube = out + "/cube.obj", broken = out + "/broken.obj";
    {
      QFile f(cube);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 1 2 4\nf 1 3 4\nf 2 3 4\n");
      QFile g(broken);
      ASSERT_TRUE(g.open(QIODevice::WriteOnly));
      g.write("this is not a model\n");
    }
    EXPECT_EQ(window.OpenFiles({cube, broken}), 1);
    EXPECT_TRUE(window.GetStatusText().startsWith("2817 models, 94980 triangles")) << window.GetStatusText().toStdString();
    auto* errors = window.findChild<QMessageBox*>("NavviewLoadErrors");
    ASSERT_NE(errors, nullptr);
    EXPECT_TRUE(errors->isVisible());
    EXPECT_TRUE(errors->text().contains("broken.obj")) << errors->text().toStdString();
    errors->close();

    // A capture through the window's render, at another size.
    std::string error;
    const QString shot = out + "/navview_capture.png";
    ASSERT_EQ(view->Capture(shot.toStdString(), 400, 300, &error), 1) << error;
    EXPECT_EQ(QImage(shot).size(), QSize(400, 300));
    EXPECT_GT(Colours(QImage(shot)), 8);
  }
}
