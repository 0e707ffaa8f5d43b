// Measuring through navview's script: picked distances through the distance tool, the
// minimal distance between models, clashes and clearances, notes through the annotation tool.
#include <gtest/gtest.h>

#include <string>

#include "tests/apps/NavviewScriptFixture.h"
#include "apps/navview/NavviewSession.h"
#include "host/visu/interfere/KIVSiInInterfereModel.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "measure/KIVNavMarker3DGageRep.h"
#include "measure/NavDistanceViewerUI.h"
#include "viewer/NavViewerExtand.h"

namespace {

struct NavviewMeasureTest : NavviewScriptFixture {
  void SetUp() override {
    session.LoadBuiltin(1);
    bool failed = false;
    run("reframe", failed);
  }
  // Two pixels on the scene, far apart.
  bool TwoPixels(int& x1, int& y1, int& x2, int& y2) {
    int found = 0;
    for (int y = 20; y < 180 && found < 2; y += 10)
      for (int x = 20; x < 300 && found < 2; x += 10) {
        KIVPickPathList paths;
        if (!session.GetViewer().Pick(x, y, paths)) continue;
        if (found == 0) x1 = x, y1 = y, found = 1;
        else if (std::abs(x - x1) > 60) x2 = x, y2 = y, found = 2;
      }
    return found == 2;
  }
};

TEST_F(NavviewMeasureTest, DistancesFromPicksAndBetweenModels) {
  bool failed = false;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  ASSERT_TRUE(TwoPixels(x1, y1, x2, y2));
  const std::string said = run("distance " + std::to_string(x1) + " " + std::to_string(y1) + " " +
                                   std::to_string(x2) + " " + std::to_string(y2),
                               failed);
  EXPECT_FALSE(failed) << said;
  NavDistanceViewerUI* tool = session.GetViewer().GetDistanceTool();
  ASSERT_NE(tool, nullptr);
  EXPECT_EQ(tool->GetPickedFlags(), 3);
  const KIVMathPointf p1 = tool->GetGaugeRep()->GetCoordonnePoint(1), p2 = tool->GetGaugeRep()->GetCoordonnePoint(2);
  EXPECT_GT(p1.DistanceTo(p2), 0.0f);
  EXPECT_EQ(said.rfind("distance ", 0), 0u);

  if (!KIVSiInInterfereModel::GetEngine()) GTEST_SKIP() << "no interference engine";
  // Two upright tanks of radius 1.2 whose centres stand 6 apart.
  const std::string minimal = run("distance min U01-01 Tank 1 U01-01 Tank 2", failed);
  EXPECT_FALSE(failed) << minimal;
  EXPECT_EQ(minimal.rfind("minimal distance 3.6 between U01-01 Tank 1 and U01-01 Tank 2", 0), 0u) << minimal;
  EXPECT_NEAR(tool->GetGaugeRep()->GetCoordonnePoint(1).DistanceTo(tool->GetGaugeRep()->GetCoordonnePoint(2)), 3.6f,
              1e-3f);
  for (const char* bad : {"distance 1 2 3", "distance min U01-01 Tank 1", "distance min nothing here", "distance a b c d"}) {
    run(bad, failed);
    EXPECT_TRUE(failed) << bad;
  }
}

TEST_F(NavviewMeasureTest, ClashesClearancesAndNotes) {
  bool failed = false;
  if (KIVSiInInterfereModel::GetEngine()) {
    const std::string clash = run("clash all", failed);
    EXPECT_FALSE(failed);
    EXPECT_NE(clash.find("U01-01 Pipe 1 x U01-01 Valve 1"), std::string::npos) << clash;
    const int clashing = std::stoi(clash);
    const int close = std::stoi(run("clash all clearance 0.5", failed));
    EXPECT_GT(clashing, 0);
    EXPECT_GT(close, 0);
    EXPECT_EQ(run("clash U01-01 Pipe 1 U01-01 Valve 1", failed).rfind("1 pair clashing", 0), 0u);
    EXPECT_EQ(run("clash U01-01 Tank 1 U01-01 Tank 2", failed).rfind("0 pairs", 0), 0u);
    run("clash no such model", failed);
    EXPECT_TRUE(failed);
  }
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  ASSERT_TRUE(TwoPixels(x1, y1, x2, y2));
  EXPECT_EQ(run("note " + std::to_string(x1) + " " + std::to_string(y1) + " inlet valve", failed), "noted 'inlet valve'");
  EXPECT_EQ(session.GetViewer().GetRootRep(NavViewerExtand::kAnnotationRoot)->GetChildren().size(), 1u);
  run("note 0 0 in the void", failed);
  EXPECT_TRUE(failed);
  run("note 10 10", failed);
  EXPECT_TRUE(failed);
}

}  // namespace
