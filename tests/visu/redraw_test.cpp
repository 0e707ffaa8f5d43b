// Repaint scheduling: every change a viewer shows asks its window for one repaint, changes
// it does not show ask nothing, and drawing never asks for more drawing.
#include <gtest/gtest.h>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/view/KIV3DViewpoint.h"

namespace {

struct CountedViewer {
  KIV3DViewer viewer{nullptr, "Viewer", 0, 320, 200};
  int requests = 0;
  CountedViewer() {
    viewer.SetRedrawHook([this] { ++requests; });
    viewer.Draw();  // a viewer starts with its first frame pending
    requests = 0;
  }
};

}  // namespace

TEST(Redraw, ChangesAskForOneRepaintUntilTheNextFrame) {
  CountedViewer a;
  KIV3DViewpoint& vp = *a.viewer.GetMain3DViewpoint();
  vp.SetOrigin(KIVMathPointf(1, 2, 3));
  EXPECT_EQ(a.requests, 1);
  EXPECT_TRUE(a.viewer.IsRedrawPending());
  vp.SetAngle(30.0f);
  vp.SetOrigin(KIVMathPointf(4, 5, 6));
  EXPECT_EQ(a.requests, 1) << "coalesced until drawn";
  a.viewer.Draw();
  EXPECT_FALSE(a.viewer.IsRedrawPending());
  vp.SetOrigin(KIVMathPointf(4, 5, 6));  // an equal value asks too: cheap, and never wrong
  EXPECT_EQ(a.requests, 2);
  a.viewer.Draw();
  vp.SetAngle(-5.0f);  // refused: nothing changed
  EXPECT_EQ(a.requests, 2);

  // The viewer's own look.
  for (auto change : {+[](KIV3DViewer& v) { v.SetBackgroundColor(1, 0, 0); }, +[](KIV3DViewer& v) { v.SetViewMode(2, 1); },
                      +[](KIV3DViewer& v) { v.SetGlobalAmbientLight(0.5f, 0.5f, 0.5f); },
                      +[](KIV3DViewer& v) { v.SetGraphicSize(640, 400); }, +[](KIV3DViewer& v) { v.SetHeadLight(0); }}) {
    const int before = a.requests;
    change(a.viewer);
    EXPECT_EQ(a.requests, before + 1);
    a.viewer.Draw();
  }
}

TEST(Redraw, OnlyViewersThatShowTheChangeRepaint) {
  CountedViewer a, b;
  KIV3DBagRep root, shown, elsewhere;
  root.AddChild(&shown);
  a.viewer.GetMain3DViewpoint()->AddRep(&root);
  EXPECT_EQ(a.requests, 1);
  EXPECT_EQ(b.requests, 0);
  a.viewer.Draw();

  // A rep deep under a shown root: its viewer only.
  shown.SetRGBA(255, 0, 0, 255);
  EXPECT_EQ(a.requests, 2);
  EXPECT_EQ(b.requests, 0);
  a.viewer.Draw();
  KIV4x4Matrix m;
  shown.SetMatrix(&m);
  EXPECT_EQ(a.requests, 3);
  a.viewer.Draw();

  // A rep seen by nobody asks nothing, until it is linked under a shown one.
  elsewhere.SetShowMode(1, 1);
  EXPECT_EQ(a.requests, 3);
  shown.AddChild(&elsewhere);
  EXPECT_EQ(a.requests, 4);
  a.viewer.Draw();

  // Another viewer's camera is not this one's business.
  b.viewer.GetMain3DViewpoint()->SetAngle(20.0f);
  EXPECT_EQ(a.requests, 4);
  EXPECT_EQ(b.requests, 1);
  // An overlay is shown too.
  KIV3DBagRep overlay, child;
  overlay.AddChild(&child);
  b.viewer.AddRepOverlay(&overlay);
  b.viewer.Draw();
  child.SetShowMode(1, 1);
  EXPECT_EQ(b.requests, 2);
  b.viewer.RemoveRepOverlay(&overlay);
}

TEST(Redraw, DrawingNeverAsksForMoreDrawing) {
  CountedViewer a;
  KIV3DBagRep root, gauge;
  root.AddChild(&gauge);
  a.viewer.GetMain3DViewpoint()->AddRep(&root);
  a.viewer.Draw();
  const int base = a.requests;
  // A subscriber that shows the frame's figures changes a rep after each frame: that is
  // the frame's doing, or a still scene would draw for ever.
  int updates = 0;
  KIVEventSubscriber listener;
  listener.AddCallback(&a.viewer, KIVViewer::VIEWER_UPDATE,
                       KIVEventCallback([&](const char*, void*, KIVNotification*, void*, KIVCallback) {
                         ++updates;
                         gauge.SetRGBA(static_cast<unsigned char>(updates), 0, 0, 255);
                       }),
                       nullptr);
  a.viewer.Draw();
  EXPECT_EQ(updates, 1);
  EXPECT_EQ(a.requests, base);
  EXPECT_FALSE(a.viewer.IsRedrawPending());
  // But a viewpoint moved from there (an animation's next step) needs its frame.
  listener.RemoveSubscriberCallbacks(&a.viewer);
  listener.AddCallback(&a.viewer, KIVViewer::VIEWER_UPDATE,
                       KIVEventCallback([&](const char*, void*, KIVNotification*, void*, KIVCallback) {
                         a.viewer.GetMain3DViewpoint()->SetFocusDistance(10.0f + static_cast<float>(++updates));
                       }),
                       nullptr);
  a.viewer.Draw();
  EXPECT_EQ(a.requests, base + 1);
  EXPECT_TRUE(a.viewer.IsRedrawPending());
  listener.RemoveSubscriberCallbacks(&a.viewer);
}
