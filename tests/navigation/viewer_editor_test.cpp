#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/visu/KIV3DBagRep.h"
#include "host/visu/KIV3DCustomRep.h"
#include "host/visu/KIV3DFaceGP.h"
#include "host/visu/KIVMouseEvent.h"
#include "navigation/Nav3DAxisRep.h"
#include "navigation/NavViewerViewpointEditor.h"
#include "viewer/NavInterfaceInfoRep.h"
#include "viewer/NavViewerExtand.h"
#include "tests/support/TestBox.h"

namespace {

class Info : public NavInterfaceInfoRep {
 public:
  KIVRep* GetRepOfModel(KIVRepPath*) override { return nullptr; }
  const char* GetNameOfRep(KIVRep*) override { return "rep"; }
  const char* GetNameOfRep(KIVRepPath*) override { return "path"; }
  int IsSectionningContext() override { return 0; }
  const KIV4x4Matrix* GetMatrix() override { return nullptr; }
  void* GetCurrentObjectMoveObject(KIVRepPath*) override { return this; }
  void ApplyRepMatrixObject(KIV3DBagRep* bag, void*) override { applied.push_back(bag); }
  std::vector<KIV3DBagRep*> applied;
};

struct World {
  World() : viewer(nullptr, KIVString("v"), 0, 0, 200, 200) {
    KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
    vp->SetPosition(KIVMathPointf(0, -100, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
    vp->SetAngle(45.0f);
    viewer.SetInterfaceInfoRep(&info, 0);
  }
  KIV3DBagRep* AddPart(KIVMathPointf c, float h) {
    auto* bag = new KIV3DBagRep;
    bag->AddChild(Box(c, h));
    viewer.AddRep(bag, 14);
    return bag;
  }
  Info info;
  NavViewerExtand viewer;
};

TEST(ViewerEditor, ModeTableAndSetters) {
  World w;
  NavViewerViewpointEditor editor("GlobalViewpointEditor", *w.viewer.GetMain3DViewpoint(), KIVBasic3DModeExamine, &w.viewer);
  EXPECT_EQ(editor.GetAxisRep()->GetParents().front(), w.viewer.GetRootRep(15));
  EXPECT_EQ(editor.GetOptionFlags() & 32, 32u);
  EXPECT_EQ(editor.GetAction(4)->label.str(), "rotate");
  EXPECT_EQ(editor.GetAction(0)->label.str(), "seek");
  editor.SetMode(KIVBasic3DModeWalk);
  EXPECT_EQ(editor.GetAction(2)->label.str(), "walk   PgUp to increase speed");
  EXPECT_EQ(editor.IsHorizontalLocked(), 1);
  EXPECT_EQ(editor.GetOptionFlags() & 32, 0u);
  editor.SetMode(KIVBasic3DModeFly);
  EXPECT_EQ(editor.GetAction(2)->label.str(), "fly   PgUp to increase speed");
  EXPECT_EQ(editor.IsHorizontalLocked(), 0);
  editor.SetMode(static_cast<KIVBasic3DViewpointEditorMode>(5));
  for (int i = 0; i < 9; ++i) EXPECT_EQ(editor.GetAction(i)->start, nullptr) << i;

  EXPECT_FLOAT_EQ(editor.SetAccelerationPonderation(1.0f), 0.7f);
  EXPECT_FLOAT_EQ(editor.SetAccelerationPonderation(-0.5f), 0.7f);
  EXPECT_FLOAT_EQ(editor.SetAccelerationPonderation(0.0f), 0.0f);
  EXPECT_EQ(editor.SetAnimateObjectMode(1), 1);
  EXPECT_EQ(editor.SetAnimateObjectMode(-1), 1);
  EXPECT_EQ(editor.SetAnimateObjectMode(7), 0);
  EXPECT_FLOAT_EQ(editor.SetCollisionDistanceValue(-1.0f), 10.0f);
}

TEST(ViewerEditor, CollisionRefusesAStepIntoAWall) {
  World w;
  w.AddPart(KIVMathPointf(0, 0, 0), 10.0f);  // its near face is at y = -10
  KIV3DViewpoint* vp = w.viewer.GetMain3DViewpoint();
  vp->SetPosition(KIVMathPointf(0, -30, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  NavViewerViewpointEditor editor("e", *vp, KIVBasic3DModeFly, &w.viewer);
  w.viewer.SetViewpointEditor(&editor);
  w.viewer.UserMousePress(100, 100, KIVMouseEvent::ButtonLeft, 0);  // the obstacle is looked for here
  w.viewer.UserMouseRelease(100, 100, KIVMouseEvent::ButtonLeft, 0);
  editor.SetCollisionState(1);
  editor.SetCollisionDistanceValue(5.0f);
  // Not measured yet: the step is taken whole, and refused since it ends 2 from the wall.
  editor.Jump(KIVMathVectorf(0, 0, -18), KIVMathVectorf(), 1);
  EXPECT_FLOAT_EQ(vp->GetOrigin().y, -30.0f);
  // Steady steps slow down before the wall and never come within the distance.
  for (int i = 0; i < 30; ++i) editor.Jump(KIVMathVectorf(0, 0, -4), KIVMathVectorf(), 1);
  EXPECT_LE(vp->GetOrigin().y, -15.0f + 1e-3f);
  EXPECT_GT(vp->GetOrigin().y, -20.0f);
  // Without collision the same steps go through.
  editor.SetCollisionState(0);
  for (int i = 0; i < 5; ++i) editor.Jump(KIVMathVectorf(0, 0, -4), KIVMathVectorf(), 1);
  EXPECT_GT(vp->GetOrigin().y, -10.0f);
  EXPECT_FLOAT_EQ(editor.GetObstacleDistance(), -1.0f);
}

TEST(ViewerEditor, TurningAcceleratesGraduallyAndStopsAtOnce) {
  World w;
  KIV3DViewpoint* vp = w.viewer.GetMain3DViewpoint();
  NavViewerViewpointEditor editor("e", *vp, KIVBasic3DModeFly, &w.viewer);
  editor.SetCollisionState(1);
  editor.Jump(KIVMathVectorf(), KIVMathVectorf(0, 0.1f, 0), 1);
  EXPECT_NEAR(editor.GetSmoothedTurn(), 0.03f, 1e-6f);
  editor.Jump(KIVMathVectorf(), KIVMathVectorf(0, 0.1f, 0), 1);
  EXPECT_NEAR(editor.GetSmoothedTurn(), 0.3f * 0.1f + 0.7f * 0.03f, 1e-6f);
  editor.Jump(KIVMathVectorf(), KIVMathVectorf(0, 0.01f, 0), 1);
  EXPECT_NEAR(editor.GetSmoothedTurn(), 0.01f, 1e-7f);
}

TEST(ViewerEditor, ObjectMoveWithConstraintCyclingMovesOnlyThePickedBag) {
  World w;
  KIV3DBagRep* picked = w.AddPart(KIVMathPointf(0, 0, 0), 5.0f);
  KIV3DBagRep* other = w.AddPart(KIVMathPointf(30, 0, 0), 5.0f);
  NavViewerViewpointEditor editor("e", *w.viewer.GetMain3DViewpoint(), KIVBasic3DModeExamine, &w.viewer);
  w.viewer.SetViewpointEditor(&editor);
  const KIVMathPointf eye = w.viewer.GetMain3DViewpoint()->GetOrigin();

  // Armed by examine but not allowed: a drag turns the camera, not the part.
  w.viewer.UserMousePress(100, 100, KIVMouseEvent::ButtonLeft, 0);
  EXPECT_EQ(editor.GetMoveState(), 0u);
  w.viewer.UserMouseRelease(100, 100, KIVMouseEvent::ButtonLeft, 0);

  editor.SetAnimateObjectMode(1);
  w.viewer.UserMousePress(100, 100, KIVMouseEvent::ButtonLeft, 0);
  ASSERT_EQ(editor.GetMoveState(), 1u);
  EXPECT_EQ(editor.GetMovedRep(), picked);
  EXPECT_EQ(editor.GetAxisRep()->GetShowMode(), 0);
  // Four cycles come back to no constraint; stop at the first axis.
  for (int i = 1; i <= 4; ++i) w.viewer.UserMouseMove(100 + 4 * i, 100, KIVMouseEvent::ButtonLeft, 2);
  EXPECT_EQ(editor.GetMoveState(), 1u);
  EXPECT_EQ(editor.GetAxisRep()->SetHighlightAxe(-1), 1);
  w.viewer.UserMouseMove(120, 100, KIVMouseEvent::ButtonLeft, 2);
  EXPECT_EQ(editor.GetMoveState(), 1u | 2u);
  // Within 5 pixels of the press nothing turns; the first two drives are dropped.
  for (int x : {122, 140, 160, 180}) w.viewer.UserMouseMove(x, 100, KIVMouseEvent::ButtonLeft, 0);
  w.viewer.UserMouseRelease(180, 100, KIVMouseEvent::ButtonLeft, 0);
  ASSERT_NE(picked->GetMatrix(), nullptr);
  EXPECT_EQ(other->GetMatrix(), nullptr);
  EXPECT_EQ(w.viewer.GetMain3DViewpoint()->GetOrigin(), eye);
  EXPECT_EQ(editor.GetAxisRep()->GetShowMode(), 1);
  EXPECT_EQ(w.info.applied, std::vector<KIV3DBagRep*>{picked});
  // The turn is about the first axis through the picked point: x stays, the box turns.
  const KIVMathPointf c = picked->GetMatrix()->TransformPoint(KIVMathPointf(0, 0, 0));
  EXPECT_NEAR(c.x, 0.0f, 1e-4f);
}

}  // namespace
