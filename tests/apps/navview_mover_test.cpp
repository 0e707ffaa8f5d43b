// Moving models through navview's script and keys: the model follows the mover, picks and
// bounds follow the model, and undo, redo and Escape do what they say.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/apps/NavviewScriptFixture.h"
#include "apps/navview/NavviewSession.h"
#include "host/visu/interact/KIVKeyEvent.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "mover/NavMovorObject.h"
#include "mover/NavMovorPanel.h"
#include "viewer/NavViewerExtand.h"

namespace {

struct NavviewMoverTest : NavviewScriptFixture {
  KIVMathPointf Centre(const KIV3DBagRep* model) {
    return model->GetBoundingElement().GetCenter();
  }
};

TEST_F(NavviewMoverTest, ScriptMovesTurnsAndStepsBackAndForth) {
  bool failed = false;
  run("move", failed);
  EXPECT_TRUE(failed) << "nothing selected";
  run("undo", failed);
  EXPECT_TRUE(failed) << "no mover";
  EXPECT_EQ(run("move U01-01 Tank 1", failed).rfind("mover on U01-01 Tank 1", 0), 0u);
  KIV3DBagRep* tank = script.GetMover().GetModel();
  ASSERT_NE(tank, nullptr);
  NavMovorObject* mover = script.GetMover().GetMover();
  ASSERT_NE(mover, nullptr);
  EXPECT_EQ(NavMovorObject::sxNavMovorManipJeton, mover);
  const KIVMathPointf before = Centre(tank);

  run("move 0 0 4", failed);
  EXPECT_FALSE(failed);
  EXPECT_NEAR(Centre(tank).z, before.z + 4, 1e-4f);
  run("rotate x 90", failed);
  EXPECT_FALSE(failed);
  // Turned about its own centre: the centre stays, the tank lies along y now.
  EXPECT_NEAR(Centre(tank).z, before.z + 4, 1e-3f);
  EXPECT_NEAR(std::fabs(tank->GetMatrix()->Get(2, 1)), 1.0f, 1e-5f);

  run("undo", failed);
  EXPECT_NEAR(tank->GetMatrix()->Get(2, 2), 1.0f, 1e-5f) << "upright again";
  // Ctrl+Z and Ctrl+Y in the view.
  session.GetViewer().UserKey('z', KIVMouseEvent::ModControl);
  EXPECT_NEAR(Centre(tank).z, before.z, 1e-4f);
  session.GetViewer().UserKey('y', KIVMouseEvent::ModControl);
  EXPECT_NEAR(Centre(tank).z, before.z + 4, 1e-4f);
  run("redo", failed);
  EXPECT_NEAR(std::fabs(tank->GetMatrix()->Get(2, 1)), 1.0f, 1e-5f);
  run("redo", failed);
  EXPECT_TRUE(failed) << "nothing more to redo";

  // Escape takes the mover away; the tank stays where it was put.
  session.GetViewer().UserKey(KIVKeyEvent::KeyEscape, 0);
  EXPECT_EQ(script.GetMover().GetMover(), nullptr);
  EXPECT_NEAR(Centre(tank).z, before.z + 4, 1e-3f);
  EXPECT_EQ(NavMovorObject::sxNavMovorManipJeton, nullptr);

  for (const char* bad : {"move nothing at all", "rotate w 3", "rotate x", "palette maybe", "move U01-01 Tank 1 0 0"}) {
    run(bad, failed);
    EXPECT_TRUE(failed) << bad;
  }
}

// What is moved is picked at its new place and counted in the scene's bounds there.
TEST_F(NavviewMoverTest, PicksAndBoundsFollowTheMovedModel) {
  bool failed = false;
  run("move U01-01 Column", failed);
  KIV3DBagRep* column = script.GetMover().GetModel();
  ASSERT_NE(column, nullptr);
  run("move 0 0 500", failed);
  auto* scene = dynamic_cast<KIV3DRep*>(session.GetViewer().GetRootRep(NavViewerExtand::kOfficialRoot));
  ASSERT_NE(scene, nullptr);
  const KIV3DBoundingSphere bound = scene->GetBoundingElement();
  EXPECT_GT(bound.GetCenter().z + bound.GetRadius(), 500.0f);

  // Looking down from above the column's new place, the first thing met is the column.
  EXPECT_EQ(run("move off", failed), "mover removed from U01-01 Column");
  const KIVMathPointf top = column->GetBoundingElement().GetCenter();
  run("camera " + std::to_string(top.x) + " " + std::to_string(top.y) + " " + std::to_string(top.z + 100) + " " +
          std::to_string(top.x) + " " + std::to_string(top.y) + " 0 0 1 0",
      failed);
  ASSERT_FALSE(failed);
  KIVPickPathList paths;
  ASSERT_TRUE(session.GetViewer().Pick(160, 100, paths));
  bool throughColumn = false;
  for (KIVRep* rep : paths.GetPath(0)->GetReps()) throughColumn = throughColumn || rep == column;
  EXPECT_TRUE(throughColumn);
  run("move U01-01 Column", failed);
  EXPECT_EQ(run("palette on", failed), "palette shown");
  EXPECT_EQ(NavMovorObject::sxNavMovorPanel->GetPaletteStatusHide(), 0);
}

}  // namespace
