#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/visu/view/KIV2DViewpoint.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPathList.h"
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

// A viewer whose picks may list an overlay path (a 2D marker, say) ahead of the scene's.
class OverlayViewer : public NavViewerExtand {
 public:
  using NavViewerExtand::NavViewerExtand;
  int Pick(int x, int y, KIVPickPathList& paths) override {
    KIVPickPathList scene;
    const int found = NavViewerExtand::Pick(x, y, scene);
    paths.Clear();
    if (overlay) {
      auto* path = new KIVPickPath(&overlayViewpoint);
      path->AddRep(overlay);
      paths.AddPath(path);
    }
    for (int i = 0; i < scene.GetSize(); ++i) paths.AddPath(new KIVPickPath(*scene.GetPath(i)));
    return found || overlay;
  }
  KIV2DViewpoint overlayViewpoint;
  KIV3DBagRep* overlay = nullptr;
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
  OverlayViewer viewer;
};

KIV4x4Matrix Frame(KIVMathVectorf d1, KIVMathVectorf d2, KIVMathVectorf d3, KIVMathPointf o) {
  return KIV4x4Matrix(d1, d2, d3, o);
}

// World placement of a bag's content: its own matrix first, then its parents' (row vectors).
KIV4x4Matrix WorldOf(KIVRep* rep) {
  KIV4x4Matrix m;
  for (; rep; rep = rep->GetParents().empty() ? nullptr : rep->GetParents().front())
    if (auto* bag = dynamic_cast<KIV3DBagRep*>(rep); bag && bag->GetMatrix()) m = m * *bag->GetMatrix();
  return m;
}

KIVMathVectorf Axis(const KIV4x4Matrix& m, int i) {
  KIVMathVectorf d[3];
  KIVMathPointf o;
  m.GetComponents(d[0], d[1], d[2], o);
  return d[i];
}

KIVMathPointf Origin(const KIV4x4Matrix& m) {
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf o;
  m.GetComponents(d1, d2, d3, o);
  return o;
}

void ExpectNear(KIVMathPointf a, KIVMathPointf b, float tolerance, const char* what) {
  EXPECT_NEAR(a.x, b.x, tolerance) << what;
  EXPECT_NEAR(a.y, b.y, tolerance) << what;
  EXPECT_NEAR(a.z, b.z, tolerance) << what;
}

// Where the scene itself is hit under a pixel (near the view's axis for the centre pixel).
KIVMathPointf SceneHit(World& w, int x, int y) {
  KIVPickPathList paths;
  w.viewer.NavViewerExtand::Pick(x, y, paths);
  return paths.GetSize() ? paths.GetPath(0)->GetGlobalIntersection() : KIVMathPointf(0, 0, 0);
}

// Presses at the centre, cycles the constraint `cycles` times (Alt) once the drag is under
// way at (108, 108), drags through `to` with the same buttons and modifiers, and releases.
void ConstrainedDrag(World& w, int buttons, int modifiers, int cycles, std::vector<std::pair<int, int>> to) {
  w.viewer.UserMousePress(100, 100, buttons, modifiers);
  for (int i = 0; i < cycles; ++i) w.viewer.UserMouseMove(108, 108, buttons, KIVMouseEvent::ModAlt);
  for (auto [x, y] : to) w.viewer.UserMouseMove(x, y, buttons, modifiers);
  w.viewer.UserMouseRelease(to.back().first, to.back().second, buttons, modifiers);
}

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

// Turning about the marker's axis keeps the line through the picked point where it is,
// drive after drive, whatever the bags above the moved one do.
TEST(ViewerEditor, ObjectTurnsAboutTheMarkerAxisThroughThePickedPoint) {
  const KIVMathVectorf X(1, 0, 0), Y(0, 1, 0), Z(0, 0, 1);
  struct Case {
    const char* name;
    bool nested;
    int buttons;
    std::vector<std::pair<int, int>> drags;
  };
  const Case cases[] = {
      {"left drag turns", false, KIVMouseEvent::ButtonLeft, {{118, 108}, {128, 108}, {138, 108}, {148, 108}, {158, 108}}},
      {"middle drag turns and slides", false, KIVMouseEvent::ButtonMiddle, {{118, 118}, {128, 128}, {138, 138}, {148, 153}, {158, 158}}},
      {"nested bags", true, KIVMouseEvent::ButtonLeft, {{118, 108}, {128, 108}, {138, 108}, {148, 108}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    World w;
    KIV3DBagRep* part = new KIV3DBagRep;
    part->AddChild(Box(KIVMathPointf(0, 0, 0), 5.0f));
    if (c.nested) {
      // Three turned bags, none about the same axis: their order matters. The box's
      // centre lands at (0, -2, 0), its near face at y = -7.
      auto* outer = new KIV3DBagRep;
      auto* middle = new KIV3DBagRep;
      outer->SetMatrix(Frame(Z, Y, -X, KIVMathPointf(0, 0, 0)));     // a quarter turn about y
      middle->SetMatrix(Frame(X, Z, -Y, KIVMathPointf(0, 0, 0)));    // a quarter turn about x
      part->SetMatrix(Frame(Y, -X, Z, KIVMathPointf(0, 0, 2)));      // a quarter turn about z, raised
      middle->AddChild(part);
      outer->AddChild(middle);
      w.viewer.AddRep(outer, 14);
    } else {
      w.viewer.AddRep(part, 14);
    }
    NavViewerViewpointEditor editor("e", *w.viewer.GetMain3DViewpoint(), KIVBasic3DModeExamine, &w.viewer);
    w.viewer.SetViewpointEditor(&editor);
    editor.SetAnimateObjectMode(1);

    const KIV4x4Matrix before = WorldOf(part);
    // On the near face: y = -7 nested and -5 otherwise.
    const KIVMathPointf P = SceneHit(w, 100, 100);
    ASSERT_NEAR(P.y, c.nested ? -7.0f : -5.0f, 1e-4f);
    ConstrainedDrag(w, c.buttons, 0, 1, c.drags);
    ASSERT_EQ(editor.GetMoveState(), 1u | 2u);
    ASSERT_EQ(editor.GetMovedRep(), part);
    ASSERT_GE(editor.GetDragCount(), 4);

    // The marker stays on the picked point, along the bag's first axis as seen in the world.
    const KIV4x4Matrix marker = editor.GetAxisRep()->GetCurrentMatrix();
    const KIVMathVectorf A = Axis(before, 0) * (1.0f / Axis(before, 0).Norm());
    const KIVMathVectorf a = Axis(marker, 0);
    EXPECT_NEAR(a * A, 1.0f, 1e-4f);
    const KIV4x4Matrix after = WorldOf(part);
    const KIV4x4Matrix back = before.Inverse();
    // Every point of the part on the axis line stays on it; a point off the line moves.
    for (float t : {0.0f, 3.0f}) {
      const KIVMathPointf onLine = P + A * t;
      const KIVMathPointf moved = after.TransformPoint(back.TransformPoint(onLine));
      const KIVMathVectorf off = moved - P;
      const KIVMathVectorf across = off - A * (off * A);
      EXPECT_NEAR(across.Norm(), 0.0f, 1e-3f) << "t = " << t;
      if (c.buttons == KIVMouseEvent::ButtonLeft) ExpectNear(moved, onLine, 1e-3f, "turning alone keeps it");
    }
    ExpectNear(Origin(marker) - A * ((Origin(marker) - P) * A), P, 1e-3f, "marker on the line");
    const KIVMathPointf offLine = P + Z * 4.0f;
    EXPECT_GT(after.TransformPoint(back.TransformPoint(offLine)).DistanceTo(offLine), 0.5f);
    w.viewer.SetViewpointEditor(nullptr);
  }
}

// Sliding follows the marker's axes once, in the world: on a bag turned a quarter turn
// about z, a first-axis drag to the right moves the part to the right on screen.
TEST(ViewerEditor, ObjectSlidesAcrossTheMarkerAxisOnTheScreen) {
  World w;
  KIV3DBagRep* part = w.AddPart(KIVMathPointf(0, 0, 0), 5.0f);
  part->SetMatrix(Frame(KIVMathVectorf(0, 1, 0), KIVMathVectorf(-1, 0, 0), KIVMathVectorf(0, 0, 1), KIVMathPointf(0, 0, 0)));
  NavViewerViewpointEditor editor("e", *w.viewer.GetMain3DViewpoint(), KIVBasic3DModeExamine, &w.viewer);
  w.viewer.SetViewpointEditor(&editor);
  editor.SetAnimateObjectMode(1);
  const KIVMathPointf P = SceneHit(w, 100, 100);
  ConstrainedDrag(w, KIVMouseEvent::ButtonLeft, KIVMouseEvent::ModShift, 1, {{118, 108}, {128, 108}, {138, 108}, {148, 108}});
  ASSERT_EQ(editor.GetMoveState(), 1u | 2u);
  ASSERT_EQ(editor.GetMovedRep(), part);
  const KIVMathPointf centre = part->GetMatrix()->TransformPoint(KIVMathPointf(0, 0, 0));
  // Two applied drives of 10 pixels, each 10 / (0.1 * 200) * 0.6 of the part's radius.
  const float R = part->GetBoundingElement().GetRadius();
  EXPECT_NEAR(centre.x, 2 * 0.5f * 0.6f * R, 1e-3f);
  EXPECT_NEAR(centre.y, 0.0f, 1e-4f);
  EXPECT_NEAR(centre.z, 0.0f, 1e-4f);
  // The part keeps its turn, and the marker went with it.
  EXPECT_NEAR(Axis(*part->GetMatrix(), 0).y, 1.0f, 1e-5f);
  ExpectNear(Origin(editor.GetAxisRep()->GetCurrentMatrix()), P + (centre - KIVMathPointf(0, 0, 0)), 1e-3f, "marker");
  w.viewer.SetViewpointEditor(nullptr);
}

// The move starts from the first path of the main 3D viewpoint, not from whatever the host
// lists first.
TEST(ViewerEditor, ObjectPickSkipsPathsOfOtherViewpoints) {
  World w;
  KIV3DBagRep* part = w.AddPart(KIVMathPointf(0, 0, 0), 5.0f);
  KIV3DBagRep overlay;
  w.viewer.overlay = &overlay;
  NavViewerViewpointEditor editor("e", *w.viewer.GetMain3DViewpoint(), KIVBasic3DModeExamine, &w.viewer);
  w.viewer.SetViewpointEditor(&editor);
  editor.SetAnimateObjectMode(1);
  w.viewer.UserMousePress(100, 100, KIVMouseEvent::ButtonLeft, 0);
  EXPECT_EQ(editor.GetMoveState(), 1u);
  EXPECT_EQ(editor.GetMovedRep(), part);
  ExpectNear(Origin(editor.GetAxisRep()->GetCurrentMatrix()), SceneHit(w, 100, 100), 1e-5f, "marker");
  w.viewer.UserMouseRelease(100, 100, KIVMouseEvent::ButtonLeft, 0);
  // Nothing of the main viewpoint under the mouse: no move, the camera is in charge.
  w.viewer.UserMousePress(2, 2, KIVMouseEvent::ButtonLeft, 0);
  EXPECT_EQ(editor.GetMoveState(), 0u);
  EXPECT_EQ(editor.GetMovedRep(), nullptr);
  w.viewer.UserMouseRelease(2, 2, KIVMouseEvent::ButtonLeft, 0);
  w.viewer.overlay = nullptr;
  w.viewer.SetViewpointEditor(nullptr);
}

}  // namespace
