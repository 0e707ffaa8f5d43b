#include <gtest/gtest.h>

#include <cmath>

#include "host/core/KIVApplication.h"
#include "host/visu/reps/KIV2DDashboardRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/math/KIVMathDirectionf.h"
#include "viewer/NavViewerExtand.h"

namespace {

// Puts the main viewpoint at (10 x, -50, 5) looking along +y, as a person's move would
// (positions closer than a unit count as the same).
void MoveTo(NavViewerExtand& viewer, float x) {
  KIV3DViewpoint* main = viewer.GetMain3DViewpoint();
  main->BeginModification();
  main->SetPosition(KIVMathPointf(10 * x, -50, 5), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  main->EndModification(1);
}

float X(NavViewerExtand& viewer) { return viewer.GetMain3DViewpoint()->GetOrigin().x / 10; }

float Distance(const KIVMathPointf& a, const KIVMathPointf& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

}  // namespace

TEST(ViewerHistory, RecordsRestPositionsOnceAndStepsBackAndForth) {
  NavViewerExtand viewer(nullptr, KIVString("h"), NavViewerExtand::kOptionHistory, 0, 200, 100);
  MoveTo(viewer, 1);
  MoveTo(viewer, 1);  // the same place twice is one position
  EXPECT_EQ(viewer.GetHistoryPosition(), 0);
  EXPECT_EQ(viewer.IsUndoRedoPossible(1), 0);
  MoveTo(viewer, 2);
  MoveTo(viewer, 3);
  EXPECT_EQ(viewer.GetHistoryPosition(), 2);
  EXPECT_EQ(viewer.UndoRedoChangePosition(1), 1);
  EXPECT_FLOAT_EQ(X(viewer), 2);
  EXPECT_EQ(viewer.UndoRedoChangePosition(1), 1);
  EXPECT_FLOAT_EQ(X(viewer), 1);
  EXPECT_EQ(viewer.UndoRedoChangePosition(1), 0);  // the first position is the end
  EXPECT_FLOAT_EQ(X(viewer), 1);
  EXPECT_EQ(viewer.IsUndoRedoPossible(7), 0);
  EXPECT_EQ(viewer.UndoRedoChangePosition(0), 1);
  EXPECT_EQ(viewer.UndoRedoChangePosition(0), 1);
  EXPECT_FLOAT_EQ(X(viewer), 3);
  EXPECT_EQ(viewer.UndoRedoChangePosition(0), 0);
  // Restoring did not record anything.
  EXPECT_EQ(viewer.GetHistoryPosition(), 2);

  // A new position after stepping back ends the way forward.
  viewer.UndoRedoChangePosition(1);
  viewer.UndoRedoChangePosition(1);
  EXPECT_EQ(viewer.IsUndoRedoPossible(0), 1);
  MoveTo(viewer, 9);
  EXPECT_EQ(viewer.IsUndoRedoPossible(0), 0);
  EXPECT_EQ(viewer.UndoRedoChangePosition(1), 1);
  EXPECT_FLOAT_EQ(X(viewer), 1);
}

TEST(ViewerHistory, TheRingKeepsTheLastFiftyMinusOneStepsBack) {
  NavViewerExtand viewer(nullptr, KIVString("h"), NavViewerExtand::kOptionHistory, 0, 200, 100);
  for (int i = 1; i <= 60; ++i) MoveTo(viewer, static_cast<float>(i));
  int steps = 0;
  while (viewer.UndoRedoChangePosition(1)) ++steps;
  EXPECT_EQ(steps, 49);
  EXPECT_FLOAT_EQ(X(viewer), 11);
  for (int i = 0; i < 49; ++i) ASSERT_EQ(viewer.UndoRedoChangePosition(0), 1);
  EXPECT_FLOAT_EQ(X(viewer), 60);

  // Without option 1 nothing is recorded.
  NavViewerExtand plain(nullptr, KIVString("p"), 0, 0, 200, 100);
  MoveTo(plain, 1);
  MoveTo(plain, 2);
  EXPECT_EQ(plain.GetHistoryPosition(), -1);
  EXPECT_EQ(plain.UndoRedoChangePosition(1), 0);
}

TEST(ViewerAnimation, AnOrbitComesBackAfterOneTurnAroundAFixedTarget) {
  NavViewerExtand viewer(nullptr, KIVString("a"), NavViewerExtand::kOptionHistory, 0, 200, 100);
  KIV3DViewpoint* main = viewer.GetMain3DViewpoint();
  main->SetPosition(KIVMathPointf(0, -40, 10), KIVMathDirectionf(0, 1, -0.25f), KIVMathDirectionf(0, 0, 1));
  main->SetFocusDistance(30.0f);
  const KIVMathPointf start = main->GetOrigin(), target = main->GetTarget();
  KIVApplication* app = KIVApplication::MainApplication();

  ASSERT_EQ(viewer.SetAnimationViewpointState(1, static_cast<NavViewpointAnimation*>(nullptr)), 1);
  ASSERT_NE(viewer.GetCurrentAnimationViewpoint(), nullptr);
  EXPECT_EQ(viewer.GetCurrentAnimationViewpoint()->kind, 20);
  EXPECT_EQ(viewer.GetMovingCounter(), 1);
  // While it moves, the moving culling precision applies and nothing is recorded.
  EXPECT_FLOAT_EQ(viewer.GetSupport().GetCullingPrecision(), 12.0f);
  const int recorded = viewer.GetHistoryPosition();
  EXPECT_GT(Distance(main->GetOrigin(), start), 1.0f);  // the first step came at once
  for (int cycle = 0; cycle < 49; ++cycle) app->ProcessDeferred();
  EXPECT_LT(Distance(main->GetOrigin(), start), 1e-3f * 30.0f);
  EXPECT_LT(Distance(main->GetTarget(), target), 1e-3f * 30.0f);
  EXPECT_EQ(viewer.GetHistoryPosition(), recorded);

  // Retuning a running animation changes its next step, not its life.
  NavViewpointAnimation roll;
  roll.kind = 18, roll.direction = 0, roll.stepsPerTurn = 4, roll.axis = 1;
  EXPECT_EQ(viewer.SetAnimationViewpointState(1, &roll), 1);
  EXPECT_EQ(viewer.GetCurrentAnimationViewpoint()->stepsPerTurn, 4);
  const KIVMathDirectionf sight = main->GetSightDirection();
  app->ProcessDeferred();
  const KIVMathDirectionf up = main->GetUpDirection();
  EXPECT_NEAR(sight.x * main->GetSightDirection().x + sight.y * main->GetSightDirection().y +
                  sight.z * main->GetSightDirection().z,
              1.0f, 1e-5f);  // a roll keeps the sight
  EXPECT_NEAR(up.x * 0 + up.y * 0 + up.z * 1, 0.0f, 0.3f);  // a quarter turn laid the up down

  EXPECT_EQ(viewer.SetAnimationViewpointState(0, static_cast<NavViewpointAnimation*>(nullptr)), 0);
  EXPECT_EQ(viewer.GetMovingCounter(), 0);
  EXPECT_FLOAT_EQ(viewer.GetSupport().GetCullingPrecision(), 0.0f);  // 0.5 truncated
  EXPECT_EQ(viewer.GetHistoryPosition(), recorded + 1);  // the rest position at the end
  const KIVMathPointf stopped = main->GetOrigin();
  app->ProcessDeferred();
  EXPECT_EQ(main->GetOrigin(), stopped);
}

TEST(ViewerAnimation, ADestroyedViewerLeavesNoStepBehind) {
  auto* viewer = new NavViewerExtand(nullptr, KIVString("d"), 0, 0, 100, 100);
  viewer->SetAnimationViewpointState(1, static_cast<NavViewpointAnimation*>(nullptr));
  delete viewer;
  KIVApplication::MainApplication()->ProcessDeferred();  // must not touch the dead viewer
  SUCCEED();
}

TEST(ViewerAnimation, AnAnimationStartGivesTheDashboardTheSceneAsItIsNow) {
  NavViewerExtand viewer(nullptr, KIVString("b"), NavViewerExtand::kOptionHistory, 0, 200, 100);
  KIV3DViewpoint* main = viewer.GetMain3DViewpoint();
  main->SetPosition(KIVMathPointf(0, -40, 10), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  ASSERT_EQ(viewer.SetDashboardState(1), 1);  // over an empty scene: no height to show
  const auto* dashboard = dynamic_cast<const KIV2DDashboardRep*>(viewer.GetOverlays().back());
  ASSERT_NE(dashboard, nullptr);
  EXPECT_FLOAT_EQ(dashboard->GetAltitude(), 0.0f);

  // The scene arrives after the dashboard; the next animation measures the height from it.
  const float v[9] = {-1, 0, -1, 1, 0, -1, 0, 0, 1};
  const int t[3] = {0, 1, 2};
  auto* model = new KIV3DCustomRep;
  model->AddGP(new KIV3DFaceGP(v, 9, nullptr, t, 1));
  viewer.AddRep(model, NavViewerExtand::kOfficialRoot);
  main->BeginAnimation(nullptr);
  const KIV3DBoundingSphere sphere = viewer.GetGlobalBoundingSphere();
  ASSERT_FALSE(sphere.IsEmpty());
  EXPECT_NEAR(dashboard->GetAltitude(), 10.0f - (sphere.GetCenter().z - sphere.GetRadius()), 1e-4f);
  main->EndAnimation(nullptr);
  viewer.SetDashboardState(0);
  viewer.RemoveRep(model, NavViewerExtand::kOfficialRoot);
  delete model;
}
