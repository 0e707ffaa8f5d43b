// Several viewer windows at once: the "Current View" master and the windows it opens each
// get a window and a viewer widget of their own; a person's input in the master moves the
// followers, and each viewer repaints when, and only when, what it shows changed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <memory>

#include "host/gl/KIVGLRender.h"
#include "host/qt/KIVQtGLView.h"
#include "host/qt/KIVQtPresenter.h"
#include "host/qt/KIVQtViewerRender.h"
#include "host/qt/KIVQtViewerWidget.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "tests/qt/QtTestApp.h"
#include "tests/support/TestBox.h"
#include "viewer/NavSimpleViewer3D.h"
#include "viewer/NavViewerExtand.h"

namespace {

using V = NavSimpleViewer3D;

// Counts the repaints a viewer asks its window for.
struct Repaints {
  explicit Repaints(NavViewerExtand* v) : viewer(v), draws(v->GetDrawCount()) {
    viewer->SetRedrawHook([this] { ++asked; });
  }
  ~Repaints() { viewer->SetRedrawHook(nullptr); }
  Repaints(const Repaints&) = delete;
  Repaints& operator=(const Repaints&) = delete;
  // A repaint asked for, or a frame drawn at once, since the last look.
  int Took() {
    const int now = asked + viewer->GetDrawCount() - draws;
    draws = viewer->GetDrawCount();
    asked = 0;
    return now;
  }
  NavViewerExtand* viewer;
  int draws;
  int asked = 0;
};

}  // namespace

TEST(SimpleViewerWindows, EachWindowHasItsViewerAndRepaintsOnlyForWhatItShows) {
  QtTestApp();
  auto presenter = std::make_unique<KIVQtPresenter>();
  KIVCommand host;
  auto* scene = new KIV3DBagRep;
  KIV3DCustomRep* box = Box(1.0f);
  scene->AddChild(box);
  auto* master = new V(&host, nullptr, scene, 400, 300, 3, V::kOptionMaster | V::kOptionOpenViewer);
  auto* alone = new V(&host, nullptr, scene, 300, 200, 3, V::kOptionOpenViewer);  // follows nothing
  QtPump();
  ASSERT_EQ(master->OpenViewer(V::kViewBack), 1);
  V* back = master->GetReferencedViewer(0);
  QtPump();

  // Three windows, three viewer widgets.
  for (V* w : {master, back, alone}) {
    ASSERT_TRUE(presenter->GetWidget(w) && presenter->GetWidget(w)->isWindow() && presenter->GetWidget(w)->isVisible());
    EXPECT_NE(dynamic_cast<KIVQtViewerWidget*>(presenter->GetWidget(w->GetSpecificViewer())), nullptr);
  }
  auto* masterView = dynamic_cast<KIVQtViewerWidget*>(presenter->GetWidget(master->GetSpecificViewer()));
  ASSERT_NE(masterView, nullptr);

  auto masterPaints = std::make_unique<Repaints>(master->GetSpecificViewer());
  auto backPaints = std::make_unique<Repaints>(back->GetSpecificViewer());
  auto alonePaints = std::make_unique<Repaints>(alone->GetSpecificViewer());
  const KIVMathPointf backBefore = back->GetViewerViewpoint()->GetOrigin();

  // The wheel in the master's window zooms it; the follower moves with it; the window
  // that follows nothing is left alone.
  const QPointF at(100, 80);
  QWheelEvent wheel(at, masterView->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(masterView, &wheel);
  QtPump();
  EXPECT_FALSE(back->GetViewerViewpoint()->GetOrigin() == backBefore);
  EXPECT_GT(masterPaints->Took(), 0);
  // The follower draws the new view once, and has nothing left to repaint.
  EXPECT_EQ(back->GetSpecificViewer()->GetDrawCount() - backPaints->draws, 1);
  EXPECT_FALSE(back->GetSpecificViewer()->IsRedrawPending());
  backPaints->Took();
  EXPECT_EQ(alonePaints->Took(), 0);

  // The scene changed: every window showing it repaints.
  KIVGraphicAttributeSet look = box->GetGraphicAttributeSet();
  look.SetColorIndex(248);
  box->SetGraphicAttributeSet(look);
  QtPump();
  EXPECT_GT(masterPaints->Took(), 0);
  EXPECT_GT(backPaints->Took(), 0);
  EXPECT_GT(alonePaints->Took(), 0);

  // The follower's close box: it leaves the master and goes; the master keeps working.
  presenter->GetWidget(back)->close();
  EXPECT_EQ(master->GetReferencedViewerCount(), 0);
  backPaints.reset();  // the closed one is about to go
  QtPump();
  EXPECT_FALSE(presenter->IsAlive(back));
  QApplication::sendEvent(masterView, &wheel);
  QtPump();
  EXPECT_GT(masterPaints->Took(), 0);

  masterPaints.reset();
  alonePaints.reset();
  delete alone;
  delete master;
  QtPump();
  scene->Destroy();
}

// With a display (xvfb-run and QT_QPA_PLATFORM=xcb): the windows' GL views share the
// scene's buffers, so a window opened on a scene already drawn uploads nothing.
TEST(SimpleViewerWindows, ViewerWindowsDrawFromTheSameBuffers) {
  QtTestApp();
  if (!KIVQtGLView::IsSupported()) GTEST_SKIP() << "no OpenGL windows on this platform";
  auto presenter = std::make_unique<KIVQtPresenter>();
  KIVCommand host;
  auto* scene = new KIV3DBagRep;
  scene->AddChild(Box(1.0f));
  auto* master = new V(&host, nullptr, scene, 400, 300, 3, V::kOptionMaster | V::kOptionOpenViewer);
  master->GetSpecificViewer()->Reframe(NavViewerExtand::kOfficialRoot);
  auto renderOf = [&](V* w) {
    auto* view = dynamic_cast<KIVQtViewerWidget*>(presenter->GetWidget(w->GetSpecificViewer()));
    for (int i = 0; i < 100 && view && !view->GetRender(); ++i) {
      QtPump();
      QTest::qWait(20);
    }
    for (int i = 0; i < 5; ++i) QtPump(), QTest::qWait(20);
    return view ? view->GetRender() : nullptr;
  };
  KIVQtViewerRender* first = renderOf(master);
  ASSERT_NE(first, nullptr);
  ASSERT_GT(first->GetUploadCount(), 0);
  master->SetTargetFixe(1);  // the back window looks at the box from behind
  master->OpenViewer(V::kViewBack);
  KIVQtViewerRender* second = renderOf(master->GetReferencedViewer(0));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->GetShareGroup(), first->GetShareGroup());
  EXPECT_GT(second->GetLastFrameStats().primitives, 0);
  EXPECT_EQ(second->GetLastFrameStats().uploads, 0);
  delete master;
  QtPump();
  scene->Destroy();
}
