// The host navigation editor driven through a viewer's User… input.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/interact/KIVBasic3DViewpointEditor.h"
#include "host/visu/interact/KIVKeyEvent.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "tests/support/TestBox.h"

namespace {

constexpr int L = KIVMouseEvent::ButtonLeft, M = KIVMouseEvent::ButtonMiddle;

void ExpectNear(const KIVMathPointf& a, const KIVMathPointf& b, float tolerance = 1e-3f) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

// The default camera at (0, −10, 0) looks along +y at a box around the origin.
struct NavigationEditor : ::testing::Test {
  KIV3DViewer viewer{200, 150};
  KIV3DBagRep* root = new KIV3DBagRep;
  KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
  KIVBasic3DViewpointEditor editor{"nav", *vp};
  NavigationEditor() {
    root->AddChild(Box(1.0f));
    vp->AddRep(root);
    viewer.SetViewpointEditor(&editor);
  }
  ~NavigationEditor() override {
    vp->RemoveRep(root);
    root->Destroy();
  }
  void Drag(int x, int y, int dx, int dy, int buttons, int modifiers = 0) {
    viewer.UserMousePress(x, y, buttons, modifiers);
    for (int i = 1; i <= 4; ++i) viewer.UserMouseMove(x + dx * i / 4, y + dy * i / 4, buttons, modifiers);
    viewer.UserMouseRelease(x + dx, y + dy, buttons, modifiers);
  }
  // A viewer update stamped with a time of our choosing.
  void Update(unsigned long ms) {
    KIVMouseEvent stamp(KIVMouseEvent::Move, 0, 0, 0, 0, ms);
    viewer.GetCallbackManager()->DispatchCallbacks(KIVViewer::VIEWER_UPDATE, &stamp, nullptr);
  }
};

TEST_F(NavigationEditor, ExamineLeftDragTurnsAboutTheFixedTarget) {
  const KIVMathPointf target = vp->GetTarget();
  const unsigned long before = vp->GetModificationCount();
  Drag(100, 75, 50, 0, L);
  ExpectNear(vp->GetTarget(), target);
  EXPECT_NEAR(vp->GetOrigin().DistanceTo(target), 10.0f, 1e-3f);
  EXPECT_LT(vp->GetOrigin().x, -1.0f);               // dragging right: the eye goes left
  EXPECT_NEAR(vp->GetOrigin().z, 0.0f, 1e-4f);        // horizontal drags turn about the vertical
  EXPECT_NEAR(vp->GetUpDirection().z, 1.0f, 1e-4f);
  EXPECT_GT(vp->GetModificationCount(), before);
  // Up drags go over the top; the target still stays.
  Drag(100, 75, 0, -40, L);
  ExpectNear(vp->GetTarget(), target);
  EXPECT_LT(vp->GetOrigin().z, -1.0f);
  // A click is no drag: nothing moves.
  const KIVMathPointf origin = vp->GetOrigin();
  viewer.UserMousePress(100, 75, L, 0);
  viewer.UserMouseMove(102, 76, L, 0);
  viewer.UserMouseRelease(102, 76, L, 0);
  ExpectNear(vp->GetOrigin(), origin, 1e-6f);
}

TEST_F(NavigationEditor, WheelAndZoomDragMoveTowardTheTarget) {
  viewer.UserMouseWheel(100, 75, 2, 0);
  ExpectNear(vp->GetTarget(), KIVMathPointf(0, 0, 0));
  EXPECT_NEAR(vp->GetFocusDistance(), 10.0f * 0.85f * 0.85f, 1e-3f);
  ExpectNear(vp->GetOrigin(), KIVMathPointf(0, -10.0f * 0.85f * 0.85f, 0));
  viewer.UserMouseWheel(100, 75, -2, 0);
  EXPECT_NEAR(vp->GetFocusDistance(), 10.0f, 1e-3f);
  // However far it zooms in, the eye never reaches the target.
  viewer.UserMouseWheel(100, 75, 100, 0);
  EXPECT_GT(vp->GetFocusDistance(), 0.0f);
  EXPECT_LT(vp->GetOrigin().y, 0.0f);
  // The middle drag zooms with the focus point shown while it lasts.
  vp->SetPosition(KIVMathPointf(0, -10, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  vp->SetFocusDistance(10.0f);
  viewer.UserMousePress(100, 75, M, 0);
  ASSERT_NE(editor.GetFocusPoint(), nullptr);
  EXPECT_EQ(vp->GetRepKind(editor.GetFocusPoint()), KIVBasic3DViewpointEditor::FocusPointKind);
  viewer.UserMouseMove(100, 40, M, 0);
  viewer.UserMouseRelease(100, 40, M, 0);
  EXPECT_EQ(editor.GetFocusPoint(), nullptr);
  EXPECT_EQ(vp->GetReps().size(), 1u);
  EXPECT_LT(vp->GetFocusDistance(), 10.0f);  // up zooms in
  ExpectNear(vp->GetTarget(), KIVMathPointf(0, 0, 0));
}

TEST_F(NavigationEditor, PanKeepsTheSightAndMovesTheTargetAlong) {
  Drag(100, 75, 40, 0, L, KIVMouseEvent::ModShift);
  EXPECT_NEAR(vp->GetSightDirection().y, 1.0f, 1e-6f);
  EXPECT_LT(vp->GetOrigin().x, 0.0f);  // the scene follows the pointer to the right
  EXPECT_NEAR(vp->GetTarget().x, vp->GetOrigin().x, 1e-5f);
  EXPECT_NEAR(vp->GetFocusDistance(), 10.0f, 1e-5f);
}

TEST_F(NavigationEditor, SeekEndsAtThePickedPointAndStepBackReturns) {
  KIVPickPathList paths;
  ASSERT_EQ(viewer.Pick(110, 70, paths), 1);
  const KIVMathPointf picked = paths[0]->GetGlobalIntersection();
  viewer.UserMouseDoubleClick(110, 70, L, 0);
  ExpectNear(vp->GetTarget(), picked);
  ExpectNear(vp->GetOrigin(), KIVMathPointf(0, -10, 0) + (picked - KIVMathPointf(0, -10, 0)) * 0.5f);
  // Seeking into empty space does nothing.
  const KIVMathPointf origin = vp->GetOrigin();
  viewer.UserMouseDoubleClick(2, 2, L, 0);
  ExpectNear(vp->GetOrigin(), origin, 1e-6f);
  // The right drag steps back to where the seek began.
  Drag(10, 10, 30, 0, KIVMouseEvent::ButtonRight);
  ExpectNear(vp->GetOrigin(), KIVMathPointf(0, -10, 0));
  ExpectNear(vp->GetTarget(), KIVMathPointf(0, 0, 0));
}

TEST_F(NavigationEditor, ModeTablesAndTheHorizontalLock) {
  editor.SetMode(KIVBasic3DModeWalk);
  EXPECT_TRUE(editor.IsHorizontalLocked());
  EXPECT_STREQ(editor.GetAction(2)->label.CastToCharPtr(), "walk   PgUp to increase speed");
  EXPECT_EQ(editor.GetCurrentAction(), 3);
  editor.SetMode(KIVBasic3DModeFly);
  EXPECT_FALSE(editor.IsHorizontalLocked());
  EXPECT_STREQ(editor.GetAction(2)->label.CastToCharPtr(), "fly   PgUp to increase speed");
  editor.SetMode(KIVBasic3DModeNone5);
  for (int i = 0; i < KIVBasic3DViewpointEditor::ActionCount; ++i) {
    EXPECT_EQ(editor.GetAction(i)->start, nullptr);
    EXPECT_EQ(editor.GetAction(i)->key, nullptr);
  }
  EXPECT_EQ(editor.GetAction(9), nullptr);
  editor.SetMode(static_cast<KIVBasic3DViewpointEditorMode>(-1));  // refused
  EXPECT_EQ(editor.GetMode(), KIVBasic3DModeNone5);
  // With no entry, input moves nothing.
  Drag(100, 75, 50, 0, L);
  viewer.UserKey(KIVKeyEvent::KeyLeft, 0);
  ExpectNear(vp->GetOrigin(), KIVMathPointf(0, -10, 0), 1e-6f);
}

TEST_F(NavigationEditor, WalkingStaysOnTheLevelWhereverTheEyeLooks) {
  vp->SetPosition(KIVMathPointf(0, -10, 2), KIVMathDirectionf(0, 1, -0.5f), KIVMathDirectionf(0, 0, 1));
  editor.SetMode(KIVBasic3DModeWalk);
  viewer.UserKey(KIVKeyEvent::KeyPageUp, 0);  // starts walking
  ASSERT_TRUE(editor.IsAnimating());
  KIVMathVectorf rotation, translation;
  editor.GetSpeeds(rotation, translation);
  const float speed = -translation.z;
  EXPECT_GT(speed, 0.0f);
  Update(1000);
  const KIVMathPointf start = vp->GetOrigin();
  Update(1200);
  EXPECT_NEAR(vp->GetOrigin().z, 2.0f, 1e-4f);
  EXPECT_NEAR(vp->GetOrigin().y - start.y, speed * 0.2f, 1e-4f);  // full speed, on the level
  // Turning the head down and walking on by the mouse keeps the level too.
  viewer.UserKey(' ', 0);
  EXPECT_FALSE(editor.IsAnimating());
  Drag(100, 75, 0, 40, L, KIVMouseEvent::ModAlt);  // turn head (entry 4)
  Drag(100, 75, 0, -60, L, KIVMouseEvent::ModShift);  // walk forward (entry 5)
  EXPECT_NEAR(vp->GetOrigin().z, 2.0f, 1e-4f);
  EXPECT_GT(vp->GetOrigin().y, start.y);
  // A viewpoint placed elsewhere in between is walked from where it is.
  vp->SetOrigin(KIVMathPointf(0, 0, 7));
  viewer.UserMouseWheel(100, 75, 1, 0);
  EXPECT_NEAR(vp->GetOrigin().z, 7.0f, 1e-4f);
}

TEST_F(NavigationEditor, SteppingLoopRunsFromViewerUpdatesWhileThereIsSpeed) {
  editor.SetMode(KIVBasic3DModeFly);
  int started = 0, stopped = 0;
  KIVEventSubscriber watcher;
  watcher.AddCallback(vp, KIVViewpoint::VIEWPOINT_ANIMATION_STARTED,
                      KIVEventCallback([&](const char*, void*, KIVNotification*, void*, KIVCallback) { ++started; }),
                      nullptr);
  watcher.AddCallback(vp, KIVViewpoint::VIEWPOINT_ANIMATION_STOPED,
                      KIVEventCallback([&](const char*, void*, KIVNotification*, void*, KIVCallback) { ++stopped; }),
                      nullptr);
  const int callbacks = viewer.GetCallbackManager()->GetCallbackCount(KIVViewer::VIEWER_UPDATE);
  // Ctrl + shift + left starts flying forward (entry 2).
  viewer.UserMousePress(100, 75, L, KIVMouseEvent::ModShift | KIVMouseEvent::ModControl);
  viewer.UserMouseRelease(100, 75, L, KIVMouseEvent::ModShift | KIVMouseEvent::ModControl);
  ASSERT_TRUE(editor.IsAnimating());
  EXPECT_EQ(started, 1);
  EXPECT_TRUE(vp->IsAnimated());
  EXPECT_EQ(viewer.GetCallbackManager()->GetCallbackCount(KIVViewer::VIEWER_UPDATE), callbacks + 1);
  KIVMathVectorf rotation, translation;
  editor.GetSpeeds(rotation, translation);
  // Steps are speed × time between updates, the 32-bit stamp wrapping between two.
  Update(0xFFFFFF00ul);
  const KIVMathPointf before = vp->GetOrigin();
  Update(0x40ul);
  EXPECT_NEAR(vp->GetOrigin().y - before.y, -translation.z * 0.32f, 1e-4f);
  // Page up is faster; keys stay with the walk entry, which is now the current one.
  EXPECT_EQ(editor.GetCurrentAction(), 2);
  viewer.UserKey(KIVKeyEvent::KeyPageUp, 0);
  KIVMathVectorf faster;
  editor.GetSpeeds(rotation, faster);
  EXPECT_NEAR(faster.z, translation.z * 1.5f, 1e-5f);
  // A second click stops it, and updates move nothing any more.
  viewer.UserMousePress(100, 75, L, KIVMouseEvent::ModShift | KIVMouseEvent::ModControl);
  viewer.UserMouseRelease(100, 75, L, KIVMouseEvent::ModShift | KIVMouseEvent::ModControl);
  EXPECT_FALSE(editor.IsAnimating());
  EXPECT_FALSE(vp->IsAnimated());
  EXPECT_EQ(stopped, 1);
  EXPECT_EQ(viewer.GetCallbackManager()->GetCallbackCount(KIVViewer::VIEWER_UPDATE), callbacks);
  const KIVMathPointf still = vp->GetOrigin();
  Update(0x1000ul);
  viewer.Draw();
  ExpectNear(vp->GetOrigin(), still, 1e-6f);
}

TEST_F(NavigationEditor, HoldingTheButtonWalksAndTheReleaseStops) {
  editor.SetMode(KIVBasic3DModeWalk);
  viewer.UserMousePress(100, 75, L, 0);
  EXPECT_FALSE(editor.IsAnimating());  // the offset from the press is the speed
  viewer.UserMouseMove(100, 40, L, 0);
  ASSERT_TRUE(editor.IsAnimating());
  Update(100);
  const KIVMathPointf before = vp->GetOrigin();
  Update(200);
  EXPECT_GT(vp->GetOrigin().y, before.y);  // up is forward
  viewer.UserMouseRelease(100, 40, L, 0);
  EXPECT_FALSE(editor.IsAnimating());
  EXPECT_FALSE(vp->IsAnimated());
}

TEST(NavigationEditorLife, DeletedWhileWalkingLeavesNothingBehind) {
  KIV3DViewer viewer(100, 100);
  KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
  auto* editor = new KIVBasic3DViewpointEditor("walk", *vp, KIVBasic3DModeWalk);
  viewer.SetViewpointEditor(editor);
  viewer.UserKey(KIVKeyEvent::KeyPageUp, 0);
  ASSERT_TRUE(vp->IsAnimated());
  editor->ShowFocusPoint(nullptr);
  delete editor;
  viewer.SetViewpointEditor(nullptr);
  EXPECT_FALSE(vp->IsAnimated());
  EXPECT_TRUE(vp->GetReps().empty());
  viewer.Draw();  // no step callback left to call
  EXPECT_EQ(viewer.GetCallbackManager()->GetCallbackCount(KIVViewer::VIEWER_UPDATE), 0);
}

TEST(NavigationEditorLife, OutlivesItsViewerAndViewpoint) {
  KIVBasic3DViewpointEditor* editor;
  {
    KIV3DViewer viewer(100, 100);
    editor = new KIVBasic3DViewpointEditor("walk", *viewer.GetMain3DViewpoint(), KIVBasic3DModeFly);
    viewer.SetViewpointEditor(editor);
    viewer.UserKey(KIVKeyEvent::KeyPageUp, 0);
    editor->ShowFocusPoint(nullptr);
    ASSERT_TRUE(editor->IsAnimating());
  }
  EXPECT_EQ(editor->Get3DViewpoint(), nullptr);
  editor->SetMode(KIVBasic3DModeExamine);  // stops a loop whose viewer is gone
  EXPECT_FALSE(editor->IsAnimating());
  delete editor;
}

}  // namespace

// Every kind of drag, with the focus marker following the camera on each move: the pick
// setup is laid out once, never again in the middle of a drag, and picks stay right.
TEST_F(NavigationEditor, DragsNeverLayThePickSetupOutAgain) {
  KIVPickPathList paths;
  ASSERT_EQ(viewer.Pick(100, 75, paths), 1);
  const int layouts = viewer.GetPickScene().GetLayoutCount();
  for (int buttons : {L, M, L | M}) {
    viewer.UserMousePress(100, 75, buttons, 0);
    for (int i = 1; i <= 6; ++i) {
      viewer.UserMouseMove(100 + 4 * i, 75, buttons, 0);
      viewer.Pick(100, 75, paths);
    }
    viewer.UserMouseRelease(124, 75, buttons, 0);
  }
  EXPECT_EQ(viewer.GetPickScene().GetLayoutCount(), layouts);
  // The box is still found where it is seen.
  editor.ShowFocusPoint(nullptr);
  vp->SetPosition(KIVMathPointf(0, -10, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  ASSERT_EQ(viewer.Pick(100, 75, paths), 1);
  EXPECT_NEAR(paths[0]->GetGlobalIntersection().y, -1.0f, 1e-3f);
  EXPECT_EQ(viewer.GetPickScene().GetLayoutCount(), layouts);
  editor.HideFocusPoint();
}

namespace {
struct CountingViewer : KIV3DViewer {
  using KIV3DViewer::KIV3DViewer;
  int Pick(int x, int y, KIVPickPathList& paths) override {
    ++picks;
    return KIV3DViewer::Pick(x, y, paths);
  }
  int picks = 0;
};
}  // namespace

// The editor owns an examine drag: its mouse moves pick nothing; hovering still does
// (preselection needs it).
TEST(NavigationEditorInput, AnEditorDragPicksNothingOnItsMoves) {
  CountingViewer viewer(200, 150);
  auto* root = new KIV3DBagRep;
  root->AddChild(Box(1.0f));
  viewer.GetMain3DViewpoint()->AddRep(root);
  KIVBasic3DViewpointEditor editor{"nav", *viewer.GetMain3DViewpoint()};
  viewer.SetViewpointEditor(&editor);
  viewer.UserMousePress(100, 75, L, 0);
  viewer.UserMouseMove(110, 75, L, 0);
  const int picks = viewer.picks;
  for (int i = 2; i <= 8; ++i) viewer.UserMouseMove(100 + 10 * i, 75, L, 0);
  EXPECT_EQ(viewer.picks, picks);
  viewer.UserMouseRelease(180, 75, L, 0);
  viewer.UserMouseMove(100, 75, 0, 0);
  EXPECT_GT(viewer.picks, picks);
  viewer.SetViewpointEditor(nullptr);
  viewer.GetMain3DViewpoint()->RemoveRep(root);
  root->Destroy();
}
