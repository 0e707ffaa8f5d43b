// The representation tree browser through navview's script: opening it, selecting models
// by name, a clash among them, identify, and the refusals that leave everything as it was.
#include <gtest/gtest.h>

#include <string>

#include "tests/apps/NavviewScriptFixture.h"
#include "apps/navview/NavviewSession.h"
#include "browsing/NavGraphicRepTree.h"
#include "host/visu/interfere/KIVSiInInterfereModel.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "viewer/NavViewerExtand.h"

namespace {

struct NavviewBrowserTest : NavviewScriptFixture {};

TEST_F(NavviewBrowserTest, RefusalsBeforeAndAfterOpening) {
  bool failed = false;
  run("browser select U01-01 Pump 1", failed);
  EXPECT_TRUE(failed);
  run("browser clash", failed);
  EXPECT_TRUE(failed);
  run("browser frobnicate", failed);
  EXPECT_TRUE(failed);
  EXPECT_EQ(session.GetViewer().GetGraphicRepTree(), nullptr);

  const std::string opened = run("browser open", failed);
  EXPECT_FALSE(failed) << opened;
  ASSERT_NE(session.GetViewer().GetGraphicRepTree(), nullptr);
  const std::string unknown = run("browser select U01-01 Pump 1 no such model", failed);
  EXPECT_TRUE(failed);
  EXPECT_NE(unknown.find("no"), std::string::npos) << unknown;
  EXPECT_EQ(session.GetViewer().GetGraphicRepTree()->GetSelectedNodeCount(), 0);
  run("browser select U01-01 Pump 1", failed);
  EXPECT_FALSE(failed);
  const std::string one = run("browser clash", failed);
  EXPECT_TRUE(failed) << "a clash with one selected node: " << one;
  run("browser close", failed);
  EXPECT_EQ(session.GetViewer().GetGraphicRepTree(), nullptr);
}

TEST_F(NavviewBrowserTest, SelectClashAndIdentify) {
  bool failed = false;
  run("browser open", failed);
  NavGraphicRepTree* tree = session.GetViewer().GetGraphicRepTree();
  ASSERT_NE(tree, nullptr);
  const std::string selected = run("browser select U01-01 Pipe 1 U01-01 Valve 1", failed);
  EXPECT_FALSE(failed) << selected;
  EXPECT_EQ(tree->GetSelectedNodeCount(), 2);
  EXPECT_NE(selected.find("Compute Clash on"), std::string::npos) << selected;

  const KIVMathPointf before = session.GetViewer().GetMain3DViewpoint()->GetTarget();
  const std::string identified = run("browser identify U01-01 Tank 1", failed);
  EXPECT_FALSE(failed) << identified;
  EXPECT_GT(before.DistanceTo(session.GetViewer().GetMain3DViewpoint()->GetTarget()), 0.01f);

  if (!KIVSiInInterfereModel::GetEngine()) GTEST_SKIP() << "no interference engine";
  // A valve sits on its pipe: both nodes take the clash colour.
  const std::string clash = run("browser clash", failed);
  EXPECT_FALSE(failed) << clash;
  EXPECT_NE(clash.find("U01-01 Pipe 1 (248)"), std::string::npos) << clash;
  EXPECT_NE(clash.find("U01-01 Valve 1 (248)"), std::string::npos) << clash;
  EXPECT_NE(tree->GetClashBag(), nullptr);
}

}  // namespace
