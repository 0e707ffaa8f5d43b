// The object mover: shapes, history, activation, the contextual menu, and drags through
// the viewer's mouse input checked against each handle's constraint.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "foundation/NavRepChangeNotification.h"
#include "foundation/NavRepMoveNotification.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/dialog/KIVDlgRadioItem.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DLineRep.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "mover/NavMovorObject.h"
#include "mover/NavMovorPanel.h"
#include "navigation/Nav3DManipulator.h"
#include "viewer/NavViewerExtand.h"
#include "tests/support/ViewerPixels.h"

namespace {

constexpr int kW = 400, kH = 400;

// The parent command: counts what the mover tells it.
struct Parent : KIVCommand {
  Parent() : KIVCommand(nullptr, "parent") {
    AddAnalyseNotificationCB(nullptr, nullptr, NavRepMoveNotification::ClassName(),
                             [this](KIVCommand*, KIVNotification*, void*) { ++moves; }, nullptr);
    AddAnalyseNotificationCB(nullptr, nullptr, NavRepChangeNotification::ClassName(),
                             [this](KIVCommand*, KIVNotification*, void*) { ++changes; }, nullptr);
  }
  int moves = 0, changes = 0;
};

struct World {
  World() : viewer(nullptr, KIVString("v"), 0, 0, kW, kH) {
    KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
    // Oblique, so that no handle is seen edge on.
    const KIVMathPointf eye(60, -40, 90);
    const KIVMathDirectionf sight(KIVMathPointf(10, 10, 10) - eye);
    const KIVMathDirectionf up = KIVMathDirectionf((sight ^ KIVMathVectorf(0, 0, 1)) ^ sight);
    vp->SetPosition(eye, sight, up);
    vp->SetAngle(45.0f);
  }
  ~World() {
    NavMovorObject::slSelectExclusif = 1;
    delete NavMovorObject::sxNavMovorPanel;  // no dialog tree holds it here
  }
  // The pixel of a world point.
  void Project(const KIVMathPointf& p, float& x, float& y) { PixelOf(*viewer.GetMain3DViewpoint(), kW, kH, p, x, y); }
  // Presses at a world point, moves by (dx, dy) pixels in steps, releases.
  void Drag(const KIVMathPointf& from, float dx, float dy, int steps = 4) {
    float x, y;
    Project(from, x, y);
    DragBy(viewer, static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), dx, dy, steps);
  }
  NavViewerExtand viewer;
  Parent parent;
};

NavMovorObject* Make(World& w, int kind, float size = 20.0f, int showPlane = 1) {
  KIVUnicodeString name("part");
  KIV4x4Matrix frame;
  float sizes[3] = {size, size, size};
  return new NavMovorObject(&w.parent, name, &w.viewer, frame, sizes, 0, 1, 0, kind, showPlane);
}

KIVMathPointf Origin(const KIV4x4Matrix& m) {
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf o;
  m.GetComponents(d1, d2, d3, o);
  return o;
}

void Translate(NavMovorObject& m, float dx) {
  KIVMathPointf p = m.GetMovorOrigine() + KIVMathVectorf(dx, 0, 0);
  m.SetMovorOrigine(p, 1, 1);
}

TEST(Mover, ShapesHaveTheirLayout) {
  World w;
  struct Expect {
    int kind, reps, manipulators;
  };
  for (Expect e : {Expect{203, 17, 10}, Expect{204, 51, 26}, Expect{205, 20, 13}}) {
    NavMovorObject* m = Make(w, e.kind);
    EXPECT_EQ(m->GetRepCount(), e.reps);
    EXPECT_EQ(m->GetManipulatorCount(), e.manipulators);
    // The rotation-centre marker is the last rep, under the rotation bag.
    EXPECT_EQ(m->GetRep(e.reps - 1)->GetParents().front(), m->GetRotationBag());
    EXPECT_EQ(m->GetRepColor(e.reps - 1), 247);
    delete m;
  }
  NavMovorObject* m = Make(w, 203);
  auto point = [&](int rep) { return dynamic_cast<KIV3DPointRep*>(m->GetRep(rep))->GetPoint(); };
  EXPECT_EQ(point(0), KIVMathPointf(0, 0, 0));
  EXPECT_EQ(point(1), KIVMathPointf(20, 0, 0));
  EXPECT_EQ(point(5), KIVMathPointf(0, 20, 0));
  EXPECT_EQ(point(9), KIVMathPointf(0, 0, 20));
  KIVMathPointf a, b;
  dynamic_cast<KIV3DLineRep*>(m->GetRep(2))->GetPoints(a, b);  // the X middle, inset by 20 / 10
  EXPECT_EQ(a, KIVMathPointf(2, 0, 0));
  EXPECT_EQ(b, KIVMathPointf(18, 0, 0));
  EXPECT_STREQ(m->GetManipulator(0)->GetName().CastToCharPtr(), "MovorManipulatorCoin");
  EXPECT_STREQ(m->GetManipulator(2)->GetName().CastToCharPtr(), "MovorTranslatioX");
  EXPECT_STREQ(m->GetManipulator(7)->GetName().CastToCharPtr(), "MovorManipulatorPlane");
  EXPECT_EQ(m->GetManipulator(0)->GetManipulatorStype(1), KIV3DManipulator::RotateAroundPoint);
  EXPECT_EQ(m->GetManipulator(7)->GetManipulatorStype(1), KIV3DManipulator::TranslateInPlane);
  EXPECT_EQ(m->GetRepColor(13), 252);
  delete m;
}

TEST(Mover, BadInputChangesNothing) {
  World w;
  KIVUnicodeString name("x");
  // Sizes null or not above 1 become 1; a singular matrix keeps its origin only.
  float zero[3] = {0.5f, -3.0f, NAN};
  KIV4x4Matrix singular(KIVMathVectorf(1, 0, 0), KIVMathVectorf(2, 0, 0), KIVMathVectorf(0, 0, 0),
                        KIVMathPointf(5, 6, 7));
  NavMovorObject a(&w.parent, name, &w.viewer, singular, zero, 0, 1, 0, 999, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(a.GetMovorSize(i), 1.0f);
  EXPECT_EQ(a.GetKind(), 203);
  EXPECT_EQ(a.GetMovorOrigine(), KIVMathPointf(5, 6, 7));
  EXPECT_EQ(a.GetDirection(1), KIVMathDirectionf(0, 1, 0));
  KIV4x4Matrix identity;
  NavMovorObject b(&w.parent, name, &w.viewer, identity, nullptr, 0, 1, 0, 204, 0);
  EXPECT_EQ(b.GetMovorSize(2), 1.0f);

  // Parallel directions, a non-finite origin, options and colours out of range: refused.
  const KIV4x4Matrix before = b.GetCurrentMatrice();
  KIVMathPointf o(1, 2, 3), bad(NAN, 0, 0);
  KIVMathDirectionf x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
  b.SetStatusMovor(o, x, x, z, 1, 1, 1, 1, 1);
  b.SetStatusMovor(bad, x, y, z, 1, 1, 1, 1, 1);
  b.SetStatusMovor(nullptr, 1, 1, 1, 1, 1);
  b.SetMovorOrigine(bad, 1, 1);
  b.ActiveOption(199);
  b.ActiveOption(212);
  b.SetColorMovor(3, 10);
  b.SetColorMovor(0, 300);
  b.SetColorMovor(nullptr);
  b.SetMovorSize(nullptr, 1, 1);
  b.SetMovorSize(0.5f, 0, 1, 1);
  b.SetMovorSize(5.0f, 7, 1, 1);
  EXPECT_EQ(b.GetCurrentMatrice(), before);
  EXPECT_EQ(b.GetHistoryIndex(), 0);
  EXPECT_EQ(b.GetColorMovor(0), 249);
  EXPECT_EQ(w.parent.changes, 0);
  EXPECT_EQ(b.ChangeTypeRepresentation(-1), 204);
  EXPECT_EQ(b.ChangeTypeRepresentation(42), 204);
}

TEST(Mover, HistoryKeepsNineteenStepsAndItsBranchRules) {
  World w;
  NavMovorObject* m = Make(w, 203);
  EXPECT_EQ(m->GetHistoryIndex(), 0);
  EXPECT_FALSE(m->IsUndoRedoPossible(1));
  EXPECT_FALSE(m->IsUndoRedoPossible(0));
  EXPECT_EQ(m->UndoChangePosition(1), 0);
  EXPECT_EQ(m->RedoChangePosition(1), 0);

  // A zero move writes nothing.
  KIVMathPointf same = m->GetMovorOrigine();
  m->SetMovorOrigine(same, 1, 1);
  EXPECT_EQ(m->GetHistoryIndex(), 0);

  Translate(*m, 1);
  EXPECT_EQ(w.parent.changes, 1);
  EXPECT_TRUE(m->IsUndoRedoPossible(1));
  EXPECT_EQ(m->UndoChangePosition(1), 1);
  EXPECT_EQ(m->GetMovorOrigine(), KIVMathPointf(0, 0, 0));
  EXPECT_EQ(m->UndoChangePosition(1), 0);
  EXPECT_EQ(m->RedoChangePosition(1), 1);
  EXPECT_EQ(m->GetMovorOrigine(), KIVMathPointf(1, 0, 0));

  // Undo, then a new move: the redo branch is gone.
  EXPECT_EQ(m->UndoChangePosition(1), 1);
  Translate(*m, 5);
  EXPECT_FALSE(m->IsUndoRedoPossible(0));
  EXPECT_EQ(m->GetMovorOrigine(), KIVMathPointf(5, 0, 0));

  // Reset is a position of its own: undoing it comes back here.
  m->ResetChangePosition(1);
  EXPECT_EQ(m->GetMovorOrigine(), KIVMathPointf(0, 0, 0));
  EXPECT_EQ(m->UndoChangePosition(1), 1);
  EXPECT_EQ(m->GetMovorOrigine(), KIVMathPointf(5, 0, 0));

  // After 25 more moves at most 19 undos, and as many redos back to the newest.
  for (int i = 0; i < 25; ++i) Translate(*m, 1);
  int undos = 0;
  while (m->UndoChangePosition(0)) ++undos;
  EXPECT_EQ(undos, 19);
  EXPECT_EQ(m->GetMovorOrigine(), KIVMathPointf(11, 0, 0));
  int redos = 0;
  while (m->RedoChangePosition(0)) ++redos;
  EXPECT_EQ(redos, 19);
  EXPECT_EQ(m->GetMovorOrigine(), KIVMathPointf(30, 0, 0));
  // The motion since creation follows the frame.
  EXPECT_EQ(Origin(m->GetTransfoMatrice()), KIVMathPointf(30, 0, 0));
  delete m;
}

TEST(Mover, ExclusiveActivationMovesTheTokenAndThePalette) {
  World w;
  NavMovorObject* a = Make(w, 203);
  NavMovorObject* b = Make(w, 204);
  ASSERT_NE(NavMovorObject::sxNavMovorPanel, nullptr);
  EXPECT_EQ(a->GetMovorPalette(), b->GetMovorPalette());
  a->SetMovorActif(1);
  EXPECT_EQ(NavMovorObject::sxNavMovorManipJeton, a);
  EXPECT_EQ(NavMovorObject::sxNavMovorPanel->GetRegisterMovor(), a);
  b->SetMovorActif(1);
  EXPECT_EQ(a->IsMovorActif(), 0);
  EXPECT_EQ(NavMovorObject::sxNavMovorManipJeton, b);
  EXPECT_EQ(NavMovorObject::sxNavMovorPanel->GetRegisterMovor(), b);
  // Not exclusive: the other stays active and gives up the token.
  NavMovorObject::slSelectExclusif = 0;
  a->SetMovorActif(1);
  EXPECT_EQ(b->IsMovorActif(), 1);
  EXPECT_EQ(NavMovorObject::sxNavMovorManipJeton, a);
  delete a;
  EXPECT_EQ(NavMovorObject::sxNavMovorManipJeton, nullptr);
  EXPECT_EQ(NavMovorObject::sxNavMovorPanel->GetRegisterMovor(), nullptr);
  delete b;
}

TEST(Mover, RotationCentresCycleAndHideTheirHandle) {
  World w;
  NavMovorObject* m = Make(w, 203);
  KIVMathPointf at(10, 0, 0);
  m->SetMovorOrigine(at, 1, 0);
  KIVMathPointf centre;
  KIVMathDirectionf dir(0, 0, 1);
  m->SetLogiqueRotationPointNext();  // -1 -> 0: the origin
  m->GetRotationAxis(centre, dir);
  EXPECT_EQ(centre, KIVMathPointf(10, 0, 0));
  EXPECT_EQ(dir, KIVMathDirectionf(0, 0, 1)) << "no axis chosen: untouched";
  EXPECT_TRUE(m->IsRepHidden(0));
  m->SetLogiqueRotationPointNext();  // the X end
  m->GetRotationAxis(centre, dir);
  EXPECT_EQ(centre, KIVMathPointf(30, 0, 0));
  EXPECT_FALSE(m->IsRepHidden(0));
  EXPECT_TRUE(m->IsRepHidden(1));
  // The centre follows the mover; the chosen axis comes from the rotation frame.
  Translate(*m, 1);
  m->SetLogiqueRotationAxe(1);
  m->GetRotationAxis(centre, dir);
  EXPECT_EQ(centre, KIVMathPointf(31, 0, 0));
  EXPECT_EQ(dir, KIVMathDirectionf(0, 1, 0));
  for (int i = 0; i < 3; ++i) m->SetLogiqueRotationPointNext();  // wraps to 0
  EXPECT_EQ(m->GetRotationPointIndex(), 0);
  // An explicit point forgets the index and shows the handle again.
  KIVMathPointf p(1, 2, 3);
  m->SetRotationPoint(p);
  EXPECT_EQ(m->GetRotationPointIndex(), -1);
  EXPECT_FALSE(m->IsRepHidden(0));
  Translate(*m, 1);
  m->GetRotationAxis(centre, dir);
  EXPECT_EQ(centre, p) << "an explicit centre stays where it was put";
  // The cube's last centre is its own centre, which hides no handle.
  m->ChangeTypeRepresentation(204);
  for (int i = 0; i < 9; ++i) m->SetLogiqueRotationPointNext();
  EXPECT_EQ(m->GetRotationPointIndex(), 8);
  m->GetRotationAxis(centre, dir);
  EXPECT_EQ(centre, m->GetMovorOrigine());
  for (int i = 0; i < m->GetRepCount() - 1; ++i) {
    const bool hiddenHandle = m->GetRepColor(i) != 252 && m->IsRepHidden(i);
    EXPECT_FALSE(hiddenHandle) << i;
  }
  delete m;
}

TEST(Mover, KindChangeKeepsTheFrameAndWritesNoHistory) {
  World w;
  NavMovorObject* m = Make(w, 203);
  Translate(*m, 4);
  const int index = m->GetHistoryIndex();
  EXPECT_EQ(m->ChangeTypeRepresentation(205), 205);
  EXPECT_EQ(m->GetRepCount(), 20);
  EXPECT_EQ(m->GetHistoryIndex(), index);
  EXPECT_EQ(m->GetMovorOrigine(), KIVMathPointf(4, 0, 0));
  EXPECT_EQ(Origin(*m->GetMoverBag()->GetMatrix()), KIVMathPointf(4, 0, 0));
  // Plane handles follow the flag.
  m->ChangeTypeRepresentation(204);
  EXPECT_EQ(m->ShowPlan(0), 0);
  EXPECT_TRUE(m->GetRep(44)->GetShowMode());
  EXPECT_EQ(m->ShowPlan(-1), 0);
  EXPECT_EQ(m->ShowPlan(1), 1);
  EXPECT_FALSE(m->GetRep(44)->GetShowMode());
  delete m;
}

// A right click on a handle rebuilds the viewer's menu with the mover's items; choosing
// one acts on the mover.
TEST(Mover, ContextualMenuReflectsAndDrivesTheMover) {
  World w;
  NavMovorObject* m = Make(w, 203);
  Translate(*m, 2);
  float x, y;
  w.Project(m->GetPointManipulate(m->GetManipulator(7)), x, y);  // the XY plane handle
  w.viewer.UserMousePress(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)),
                          KIVMouseEvent::ButtonRight, 0);
  w.viewer.UserMouseRelease(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)),
                            KIVMouseEvent::ButtonRight, 0);
  KIVDlgContextualMenu* menu = w.viewer.GetContextualMenu();
  EXPECT_EQ(menu->GetTitle().GetUtf8(), "Options");
  auto* undo = dynamic_cast<KIVDialog*>(menu->LookupChild("MovorUndoItem", 0));
  auto* redo = dynamic_cast<KIVDialog*>(menu->LookupChild("MovorRedoItem", 0));
  auto* cube = dynamic_cast<KIVDlgRadioItem*>(menu->LookupChild("MovorCubeItem", 0));
  auto* trihedral = dynamic_cast<KIVDlgRadioItem*>(menu->LookupChild("MovorTriedeItem", 0));
  ASSERT_TRUE(undo && redo && cube && trihedral);
  EXPECT_EQ(undo->GetSensitivity(), KIVDialog::SensitivityOn);
  EXPECT_NE(redo->GetSensitivity(), KIVDialog::SensitivityOn);
  EXPECT_EQ(trihedral->GetState(), KIVDialog::StateSet);
  EXPECT_EQ(m->GetHistoryIndex(), 1) << "a click is no move";
  cube->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(m->GetKind(), 204);
  // A second right click shows the items once, not twice.
  w.Project(m->GetPointManipulate(m->GetManipulator(20)), x, y);
  w.viewer.UserMousePress(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)),
                          KIVMouseEvent::ButtonRight, 0);
  w.viewer.UserMouseRelease(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)),
                            KIVMouseEvent::ButtonRight, 0);
  int undoItems = 0;
  for (KIVDialog* child : menu->GetDialogChildren()) undoItems += child->GetTag() == KIVString("MovorUndoItem");
  EXPECT_EQ(undoItems, 1);
  dynamic_cast<KIVDlgPushItem*>(menu->LookupChild("MovorUndoItem", 0))->UserActivate();
  EXPECT_EQ(m->GetMovorOrigine(), KIVMathPointf(0, 0, 0));
  delete m;
}

// Drags through the mouse: one history entry and one change at the end, moves during it,
// and the frame's motion obeys the handle's constraint.
TEST(Mover, PlaneDragStaysInItsPlaneAndWritesOneEntry) {
  World w;
  NavMovorObject* m = Make(w, 203);
  const KIVMathPointf handle = m->GetPointManipulate(m->GetManipulator(7));  // normal Z
  w.Drag(handle, 40, -25);
  EXPECT_EQ(m->IsMovorActif(), 1) << "a press activates the mover";
  EXPECT_EQ(NavMovorObject::sxNavMovorManipJeton, m);
  EXPECT_GE(w.parent.moves, 2);
  EXPECT_EQ(w.parent.changes, 1);
  EXPECT_EQ(m->GetHistoryIndex(), 1);
  const KIVMathPointf o = m->GetMovorOrigine();
  EXPECT_GT(o.DistanceTo(KIVMathPointf()), 1.0f);
  EXPECT_NEAR(o.z, 0.0f, 1e-4f * 20);
  // The point grabbed is under the cursor at the end.
  float x, y, hx, hy;
  w.Project(handle, hx, hy);
  w.Project(handle + (o - KIVMathPointf()), x, y);
  EXPECT_NEAR(x, std::lround(hx) + 40, 0.75f);
  EXPECT_NEAR(y, std::lround(hy) - 25, 0.75f);
  EXPECT_EQ(m->UndoChangePosition(1), 1);
  EXPECT_EQ(m->GetMovorOrigine(), KIVMathPointf(0, 0, 0));
  delete m;
}

TEST(Mover, AxisDragMovesAlongTheAxisOnly) {
  World w;
  NavMovorObject* m = Make(w, 203);
  // Turn the mover first, so that its axis is no world axis.
  KIVMathPointf o(5, 5, 0);
  KIVMathDirectionf d1(1, 1, 0), d2(-1, 1, 0), d3(0, 0, 1);
  m->SetStatusMovor(o, d1, d2, d3, 1, 0, 1, 1, 1);
  const KIVMathPointf handle = m->GetPointManipulate(m->GetManipulator(2));  // the X line
  w.Drag(handle, 30, 10);
  const KIVMathVectorf moved = m->GetMovorOrigine() - o;
  EXPECT_GT(moved.Norm(), 1.0f);
  EXPECT_LT((moved ^ KIVMathVectorf(d1)).Norm(), 1e-4f * 20 + 1e-5f * moved.Norm());
  EXPECT_LT((KIVMathVectorf(m->GetDirection(0)) - KIVMathVectorf(d1)).Norm(), 1e-6f) << "a translation turns nothing";
  delete m;
}

TEST(Mover, RingDragTurnsAboutItsAxis) {
  World w;
  NavMovorObject* m = Make(w, 205, 30.0f);
  KIVMathPointf o(10, 10, 10);
  m->SetMovorOrigine(o, 1, 0);
  // Ring 0 turns about Z; grab it at its start point (r along X).
  const KIVMathPointf handle = m->GetPointManipulate(m->GetManipulator(9));
  w.Drag(handle, 0, 30);
  EXPECT_LT(m->GetMovorOrigine().DistanceTo(o), 1e-4f * 30);
  const KIVMathDirectionf x = m->GetDirection(0), z = m->GetDirection(2);
  EXPECT_NEAR(z.z, 1.0f, 1e-4f);
  EXPECT_NEAR(x.z, 0.0f, 1e-4f);
  EXPECT_GT(std::fabs(x.y), 0.05f) << "it turned";
  delete m;
}

}  // namespace
