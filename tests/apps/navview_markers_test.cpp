// Gauges, labels and the grid placed by the script: their labels, bad words, clearing.
#include <gtest/gtest.h>

#include <string>

#include "tests/apps/NavviewScriptFixture.h"
#include "apps/navview/NavviewSession.h"
#include "primitives/KIVSiLaGrid.h"
#include "primitives/KIVSiLaGridRep.h"
#include "viewer/NavViewerExtand.h"

namespace {

struct NavviewMarkers : NavviewScriptFixture {};

TEST_F(NavviewMarkers, GaugesAndLabelsComeAndGoThroughTheScript) {
  bool failed = false;
  EXPECT_EQ(run("gauge 0 0 0 3 4 0 0.1 pipe gap", failed), "pipe gap : 5.00");
  EXPECT_FALSE(failed);
  EXPECT_EQ(run("gauge 1 1 1 1 1 1", failed), "gauge : 0.00");
  EXPECT_EQ(run("label 0 0 2 inlet valve", failed), "ok");
  EXPECT_EQ(script.GetMarkers().GetCount(), 3);
  for (const char* bad : {"gauge 0 0 0 1 1", "gauge 0 0 0 1 1 x", "label 0 0", "label a b c text", "markers all"}) {
    run(bad, failed);
    EXPECT_TRUE(failed) << bad;
  }
  EXPECT_EQ(script.GetMarkers().GetCount(), 3);
  EXPECT_EQ(run("markers clear", failed), "3 removed");
  EXPECT_EQ(script.GetMarkers().GetCount(), 0);
}

TEST_F(NavviewMarkers, TheGridIsPlacedUnderTheSceneAndDrivenByTheScript) {
  bool failed = false;
  run("grid style lines", failed);
  EXPECT_TRUE(failed) << "no grid yet";
  EXPECT_EQ(run("grid on", failed), "ok");
  KIVSiLaGrid* grid = script.GetGrid().GetGrid();
  ASSERT_NE(grid, nullptr);
  KIVSiLaGridRep* rep = grid->GetGridRep();
  EXPECT_EQ(run("grid style crosses", failed), "ok");
  EXPECT_EQ(rep->GetStyle(), 1);
  EXPECT_EQ(run("grid mode relative", failed), "ok");
  EXPECT_EQ(rep->GetCoordMode(), 1);
  EXPECT_EQ(run("grid steps 2 3", failed), "ok");
  float a = 0, b = 0;
  rep->GetStepsGrid(&a, &b);
  EXPECT_FLOAT_EQ(b, 3.0f);
  run("grid steps 0 3", failed);
  EXPECT_TRUE(failed);
  EXPECT_EQ(run("grid coords on", failed), "ok");
  EXPECT_EQ(grid->GetCoordinatesShown(), 1);
  // The grid lies under every model of the scene.
  EXPECT_EQ(run("grid plane xy", failed), "ok");
  const KIVMathPointf origin = rep->GetMatrix()->TransformPoint(KIVMathPointf(0, 0, 0));
  auto* scene = dynamic_cast<KIV3DRep*>(session.GetViewer().GetRootRep(NavViewerExtand::kOfficialRoot));
  ASSERT_NE(scene, nullptr);
  const KIV3DBoundingSphere sphere = scene->GetBoundingElement();
  EXPECT_LT(origin.z, sphere.GetCenter().z);
  EXPECT_EQ(run("grid off", failed), "ok");
  EXPECT_EQ(script.GetGrid().GetGrid(), nullptr);
  run("grid sideways", failed);
  EXPECT_TRUE(failed);
}

}  // namespace
