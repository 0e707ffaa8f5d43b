// The camera object: its wire frame from its viewpoint, drags of its handles through the
// viewer's mouse input, standard views, playing into the main viewer, the contextual
// options, animation, and the viewer states that own it.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "foundation/NavMenuGeneric.h"
#include "foundation/NavPaletteViewerSetting.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/visu/interact/KIV3DManipulator.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DLineRep.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "navigation/NavToolsVisu.h"
#include "navigation/NavViewpointManipulate.h"
#include "navigation/NavViewpointManipulatePanel.h"
#include "viewer/NavSimpleViewer3D.h"
#include "viewer/NavViewerExtand.h"
#include "tests/support/ViewerPixels.h"

namespace {

using VM = NavViewpointManipulate;
constexpr int kW = 400, kH = 400;

void ExpectNear(const KIVMathVectorf& a, const KIVMathVectorf& b, float eps = 1e-3f) {
  EXPECT_NEAR(a.x, b.x, eps);
  EXPECT_NEAR(a.y, b.y, eps);
  EXPECT_NEAR(a.z, b.z, eps);
}
void ExpectNear(const KIVMathPointf& a, const KIVMathPointf& b, float eps = 1e-3f) {
  ExpectNear(a.AsVector(), b.AsVector(), eps);
}

// A camera at the origin looking along +x, up +z: right is -y.
const KIV3DViewpoint& Camera(float focus = 100.0f, float angle = 20.0f, int fixed = 0) {
  static KIV3DViewpoint vp;
  vp.SetPosition(KIVMathPointf(0, 0, 0), KIVMathDirectionf(1, 0, 0), KIVMathDirectionf(0, 0, 1));
  vp.SetFocusDistance(focus);
  vp.SetAngle(angle);
  vp.SetFixedFocus(fixed);
  return vp;
}

struct World {
  explicit World(int w = kW, int h = kH) : viewer(nullptr, KIVString("v"), 0, 0, w, h), width(w), height(h) {
    KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
    // Oblique on the camera, so that no handle is seen edge on.
    const KIVMathPointf eye(-120, -260, 170);
    const KIVMathDirectionf sight(KIVMathPointf(50, 0, 0) - eye);
    const KIVMathDirectionf up = KIVMathDirectionf((sight ^ KIVMathVectorf(0, 0, 1)) ^ sight);
    vp->SetPosition(eye, sight, up);
    vp->SetAngle(45.0f);
  }
  void Project(const KIVMathPointf& p, float& x, float& y) {
    PixelOf(*viewer.GetMain3DViewpoint(), width, height, p, x, y);
  }
  void Drag(const KIVMathPointf& from, float dx, float dy, int steps = 4) {
    float x, y;
    Project(from, x, y);
    DragBy(viewer, static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), dx, dy, steps);
  }
  NavViewerExtand viewer;
  int width, height;
};

KIVMathPointf PointOf(const VM& m, int e) { return dynamic_cast<KIV3DPointRep*>(m.GetElement(e))->GetPoint(); }
void LineOf(const VM& m, int e, KIVMathPointf& a, KIVMathPointf& b) {
  dynamic_cast<KIV3DLineRep*>(m.GetElement(e))->GetPoints(a, b);
}
int ColourOf(const VM& m, int e) { return m.GetElement(e)->GetGraphicAttributeSet().bytes[0]; }

TEST(ViewpointObject, NewCameraHasItsDefaults) {
  World w;
  VM m(&w.viewer, nullptr, nullptr, KIVUnicodeString("cam"), 0);
  EXPECT_EQ(m.GetPointerCameraVP()->GetFocusDistance(), 100.0f);
  EXPECT_EQ(m.GetRatioPlane(), 1.0f);
  EXPECT_EQ(m.GetSceneRoot(), w.viewer.GetRootRep(NavViewerExtand::kOfficialRoot));
  EXPECT_EQ(m.GetContainer()->GetParents().front(), w.viewer.GetRootRep(NavViewerExtand::kTemporyRoot));
  EXPECT_EQ(m.GetManipulator(0), nullptr);  // handles only with option 0x400
  EXPECT_EQ(m.IsFree(), 1);
  for (int e = 0; e < VM::kElementCount; ++e) {
    ASSERT_NE(m.GetElement(e), nullptr) << e;
    EXPECT_EQ(ColourOf(m, e), 246);
  }
  // End pieces of the sight line: focus / 20.
  KIVMathPointf a, b;
  LineOf(m, 3, a, b);
  EXPECT_NEAR(b.DistanceTo(a), 5.0f, 1e-4f);
  LineOf(m, 4, a, b);
  EXPECT_NEAR(b.DistanceTo(a), 5.0f, 1e-4f);
  // Ratio 1: a square frame.
  EXPECT_NEAR(PointOf(m, 5).DistanceTo(PointOf(m, 6)), PointOf(m, 6).DistanceTo(PointOf(m, 7)), 1e-3f);
}

TEST(ViewpointObject, WireFrameFollowsTheCamera) {
  World w;
  VM m(&w.viewer, nullptr, nullptr, KIVUnicodeString("cam"), 0);
  ASSERT_EQ(m.SetCameraVP(Camera(), 1), 1);
  const float hw = 100.0f * std::tan(20.0f * 0.017453292519943295f);
  const KIVMathVectorf u(0, 0, 1), r(0, -1, 0);
  const KIVMathPointf o(0, 0, 0), t(100, 0, 0), c(50, 0, 0);
  ExpectNear(PointOf(m, 0), o);
  ExpectNear(PointOf(m, 1), t);
  KIVMathPointf a, b;
  LineOf(m, 3, a, b);
  ExpectNear(a, o), ExpectNear(b, KIVMathPointf(5, 0, 0));
  LineOf(m, 2, a, b);
  ExpectNear(a, KIVMathPointf(5, 0, 0)), ExpectNear(b, KIVMathPointf(95, 0, 0));
  LineOf(m, 4, a, b);
  ExpectNear(a, KIVMathPointf(95, 0, 0)), ExpectNear(b, t);
  const KIVMathPointf corner[4] = {c + u * hw + r * hw, c + u * hw - r * hw, c - u * hw - r * hw, c - u * hw + r * hw};
  for (int k = 0; k < 4; ++k) ExpectNear(PointOf(m, 5 + k), corner[k]);
  // Edge 0 (top, corner 0 to 1): d = unit(c0 - c1) = r.
  LineOf(m, 9, a, b);
  ExpectNear(a, corner[0] - r * 5.0f), ExpectNear(b, corner[1] + r * 5.0f);
  LineOf(m, 10, a, b);
  ExpectNear(a, corner[0]), ExpectNear(b, corner[0] - r * 5.0f);
  LineOf(m, 11, a, b);
  ExpectNear(a, corner[1]), ExpectNear(b, corner[1] + r * 5.0f);

  // Fixed focus: the frame stands on the target and the eye is joined to its corners.
  ASSERT_EQ(m.SetCameraVP(Camera(100.0f, 20.0f, 1), 1), 1);
  ExpectNear(PointOf(m, 5), t + u * hw + r * hw);
  const KIVMathPointf c2 = t - u * hw - r * hw;
  const KIVMathDirectionf d(o - c2);
  LineOf(m, 21 + 6, a, b);
  ExpectNear(a, c2 + d * 5.0f), ExpectNear(b, o - d * 5.0f);
  LineOf(m, 22 + 6, a, b);
  ExpectNear(a, c2), ExpectNear(b, c2 + d * 5.0f);
  LineOf(m, 23 + 6, a, b);
  ExpectNear(a, o), ExpectNear(b, o - d * 5.0f);

  // A move made on the camera itself redraws the frame too.
  KIV3DViewpoint* cam = m.GetPointerCameraVP();
  cam->BeginModification();
  cam->SetOrigin(KIVMathPointf(0, 0, 10));
  cam->EndModification(1);
  ExpectNear(PointOf(m, 0), KIVMathPointf(0, 0, 10));
}

TEST(ViewpointObject, FrameRatioComesFromTheWindowOnce) {
  World w(400, 300);
  VM m(&w.viewer, nullptr, nullptr, KIVUnicodeString("cam"), VM::kOptionActivate);
  m.SetCameraVP(Camera(), 1);
  EXPECT_NEAR(m.SetRatioPlane(-1.0f), 400.1f / 300.1f, 1e-5f);
  const float width = PointOf(m, 5).DistanceTo(PointOf(m, 6)), height = PointOf(m, 6).DistanceTo(PointOf(m, 7));
  EXPECT_NEAR(width / height, 400.1f / 300.1f, 1e-3f);
  EXPECT_EQ(m.GetManipulator(10)->GetRep(), m.GetElement(15));  // the handles were rebuilt with it
}

TEST(ViewpointObject, BadInputChangesNothing) {
  World w;
  VM m(&w.viewer, nullptr, nullptr, KIVUnicodeString("cam"), VM::kOptionActivate);
  m.SetCameraVP(Camera(), 1);
  const KIVMathPointf corner = PointOf(m, 5);
  int published = 0;
  KIVCommand listener;
  listener.AddCallback(&m, VM::VIEWPOINT_STATE_MODIFIED(),
                       [&](const char*, void*, KIVNotification*, void*, long) { ++published; }, nullptr);
  // Out-of-range angles are refused; so are ratios that leave no frame.
  EXPECT_EQ(m.SetCameraVP(Camera(100.0f, 120.0f), 1), 0);
  EXPECT_EQ(m.SetRatioPlane(0.0f), 1.0f);
  EXPECT_EQ(m.SetRatioPlane(-3.0f), 1.0f);
  EXPECT_EQ(m.SetRatioPlane(NAN), 1.0f);
  EXPECT_EQ(m.SetColorViewpoint(300), 246);
  EXPECT_EQ(m.SetColorViewpoint(-2), 246);
  m.ActiveOption(0, -1);
  m.ActiveOption(30, -1);
  m.DereferenceViewer(nullptr);
  EXPECT_EQ(published, 0);
  ExpectNear(m.GetPointerCameraVP()->GetOrigin(), KIVMathPointf(0, 0, 0));
  EXPECT_EQ(m.GetPointerCameraVP()->GetAngle(), 20.0f);
  // An angle set on the camera behind the object's back that leaves no frame keeps the
  // last drawing instead of a broken one.
  KIV3DViewpoint* cam = m.GetPointerCameraVP();
  cam->BeginModification();
  cam->SetAngle(95.0f);
  cam->EndModification(1);
  ExpectNear(PointOf(m, 5), corner);
  // Without a viewer, nothing is drawn anywhere and nothing breaks.
  VM lone(nullptr, nullptr, nullptr, KIVUnicodeString("lone"), VM::kOptionActivate | VM::kOptionListen);
  lone.ActiveOption(21, -1);
  lone.ChangeView(1, 1);
  EXPECT_EQ(lone.SetPaletteNavigation(1), 0);
  EXPECT_EQ(lone.SetRatioPlane(-1.0f), 1.0f);  // a 1 by 1 window
}

TEST(ViewpointObject, HandlesHaveTheirNamesStylesAndElements) {
  World w;
  VM m(&w.viewer, nullptr, nullptr, KIVUnicodeString("cam"), VM::kOptionActivate);
  // Handles of one kind share their name.
  const char* names[VM::kHandleCount] = {"Eye", "Target", "Focus", "Mire", "Mire", "Mire",
                                         "Mire", "Vert", "Vert", "Hori", "Hori"};
  const int elements[VM::kHandleCount] = {0, 1, 2, 5, 6, 7, 8, 12, 18, 9, 15};
  const int styles[VM::kHandleCount] = {5, 5, 1, 4, 4, 4, 4, 1, 1, 1, 1};
  for (int i = 0; i < VM::kHandleCount; ++i) {
    KIV3DManipulator* h = m.GetManipulator(i);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(std::string(h->GetName().CastToCharPtr()), std::string("ViewpointManipulator") + names[i]);
    EXPECT_EQ(h->GetRep(), m.GetElement(elements[i]));
    EXPECT_EQ(h->GetManipulationStyle(0), styles[i]);
    EXPECT_TRUE(h->IsAutomaticActivationInhibited());
  }
  EXPECT_EQ(m.SetActivateManipulator(0, 0), 0);
  EXPECT_EQ(m.GetManipulator(0), nullptr);
  EXPECT_EQ(m.SetActivateManipulator(-1, 0), 0);
}

TEST(ViewpointObject, HandleDragsMoveTheCameraAsTheirPlaceSuggests) {
  World w;
  VM m(&w.viewer, nullptr, nullptr, KIVUnicodeString("cam"), VM::kOptionActivate | VM::kOptionListen);
  KIVCommand receiver;
  int ends = 0;
  receiver.AddAnalyseNotificationCB(nullptr, nullptr, nullptr, [&](KIVCommand*, KIVNotification*, void*) { ++ends; },
                                    nullptr);
  m.SetRecepteurNotif(&receiver);
  KIV3DViewpoint* cam = m.GetPointerCameraVP();
  auto reset = [&] { ASSERT_EQ(m.SetCameraVP(Camera(), 1), 1); };

  // The sight line dollies the camera along its sight.
  reset();
  w.Drag(KIVMathPointf(30, 0, 0), 40, 0);
  EXPECT_GT(cam->GetOrigin().x, 5.0f);
  EXPECT_NEAR(cam->GetOrigin().y, 0.0f, 1e-3f);
  EXPECT_NEAR(cam->GetOrigin().z, 0.0f, 1e-3f);
  ExpectNear(cam->GetSightDirection(), KIVMathVectorf(1, 0, 0));
  ExpectNear(PointOf(m, 0), cam->GetOrigin());  // the drawing went with it

  // The eye orbits about the target: the target stays.
  reset();
  w.Drag(KIVMathPointf(0, 0, 0), 0, -40);
  EXPECT_GT(cam->GetOrigin().DistanceTo(KIVMathPointf(0, 0, 0)), 5.0f);
  ExpectNear(cam->GetTarget(), KIVMathPointf(100, 0, 0), 0.05f);

  // The target swings about the eye: the eye stays.
  reset();
  w.Drag(KIVMathPointf(100, 0, 0), 0, -40);
  ExpectNear(cam->GetOrigin(), KIVMathPointf(0, 0, 0));
  EXPECT_GT(cam->GetTarget().DistanceTo(KIVMathPointf(100, 0, 0)), 5.0f);

  // A vertical edge trucks sideways, a horizontal one raises: sight and up stay.
  reset();
  KIVMathPointf a, b;
  LineOf(m, 12, a, b);
  w.Drag(a + (b - a) * 0.3f, 40, 0);
  EXPECT_GT(std::fabs(cam->GetOrigin().y), 1.0f);
  EXPECT_NEAR(cam->GetOrigin().x, 0.0f, 1e-3f);
  EXPECT_NEAR(cam->GetOrigin().z, 0.0f, 1e-3f);
  ExpectNear(cam->GetSightDirection(), KIVMathVectorf(1, 0, 0));
  reset();
  LineOf(m, 9, a, b);
  w.Drag(a + (b - a) * 0.3f, 0, -40);
  EXPECT_GT(cam->GetOrigin().z, 1.0f);
  EXPECT_NEAR(cam->GetOrigin().y, 0.0f, 1e-3f);
  ExpectNear(cam->GetUpDirection(), KIVMathVectorf(0, 0, 1));

  // A corner rolls the camera about its sight.
  reset();
  w.Drag(PointOf(m, 5), 30, 30);
  ExpectNear(cam->GetOrigin(), KIVMathPointf(0, 0, 0));
  ExpectNear(cam->GetSightDirection(), KIVMathVectorf(1, 0, 0));
  EXPECT_LT(cam->GetUpDirection().z, 0.999f);
  EXPECT_EQ(ends, 6);  // each drag's end reached the receiver
}

TEST(ViewpointObject, StandardViewsColoursAndPlay) {
  World w;
  VM m(&w.viewer, nullptr, nullptr, KIVUnicodeString("cam"), 0);
  auto expectView = [&](int option, int view, const KIVMathDirectionf& s, const KIVMathDirectionf& u, int keep) {
    m.SetCameraVP(Camera(), 1);
    KIV3DViewpoint expected;
    const KIV3DViewpoint& c = Camera();
    expected.SetPosition(c.GetOrigin(), c.GetSightDirection(), c.GetUpDirection());
    expected.SetFocusDistance(c.GetFocusDistance());
    expected.SetAngle(c.GetAngle());
    NavToolsVisu::ViewpointGetOtherView(&expected, s, u, view, keep, 0);
    m.ActiveOption(option, -1);
    ExpectNear(m.GetPointerCameraVP()->GetOrigin(), expected.GetOrigin());
    ExpectNear(m.GetPointerCameraVP()->GetSightDirection(), expected.GetSightDirection());
  };
  // "Isometric" with the viewer's north and vertical; "Front" under "Change View" with the
  // camera's own axes and its keep-target flag.
  expectView(7, 0, w.viewer.GetNorth(), w.viewer.GetVertical(), 1);
  expectView(8, 7, w.viewer.GetNorth(), w.viewer.GetVertical(), 1);
  expectView(5, 5, w.viewer.GetNorth(), w.viewer.GetVertical(), 1);
  expectView(9, 1, KIVMathDirectionf(1, 0, 0), KIVMathDirectionf(0, 0, 1), 1);
  m.ActiveOption(22, 0);
  EXPECT_EQ(m.GetKeepTarget(), 0);
  expectView(12, 4, KIVMathDirectionf(1, 0, 0), KIVMathDirectionf(0, 0, 1), 0);

  const int colours[6] = {248, 247, 245, 246, 250, 249};
  for (int i = 0; i < 6; ++i) {
    m.ActiveOption(15 + i, -1);
    EXPECT_EQ(m.GetColorViewpoint(), colours[i]);
    EXPECT_EQ(ColourOf(m, 40), colours[i]);
  }

  m.SetCameraVP(Camera(), 1);
  m.ActiveOption(21, -1);
  KIV3DViewpoint* main = w.viewer.GetMain3DViewpoint();
  ExpectNear(main->GetOrigin(), KIVMathPointf(0, 0, 0));
  ExpectNear(main->GetSightDirection(), KIVMathVectorf(1, 0, 0));

  // Shown and hidden.
  EXPECT_EQ(m.SetCameraShow(0), 0);
  EXPECT_EQ(m.GetElement(0)->GetShowMode(), 1);
  EXPECT_EQ(m.SetCameraShow(1), 1);
  EXPECT_EQ(m.GetElement(0)->GetShowMode(), 0);
}

TEST(ViewpointObject, InteractiveLinksTheCameraAndTheMainViewer) {
  World w;
  VM m(&w.viewer, nullptr, nullptr, KIVUnicodeString("cam"), 0);
  m.SetCameraVP(Camera(), 1);
  m.ActiveOption(28, -1);
  EXPECT_EQ(m.GetCameraInteractif(), 1);
  KIV3DViewpoint* main = w.viewer.GetMain3DViewpoint();
  ExpectNear(main->GetOrigin(), KIVMathPointf(0, 0, 0));
  // The main viewer moves: the camera follows.
  main->BeginModification();
  main->SetOrigin(KIVMathPointf(0, 0, 20));
  main->EndModification(1);
  ExpectNear(m.GetPointerCameraVP()->GetOrigin(), KIVMathPointf(0, 0, 20));
  // The camera moves: the main viewer follows.
  KIV3DViewpoint* cam = m.GetPointerCameraVP();
  cam->BeginModification();
  cam->SetOrigin(KIVMathPointf(0, 30, 20));
  cam->EndModification(1);
  ExpectNear(main->GetOrigin(), KIVMathPointf(0, 30, 20));
  m.ActiveOption(28, -1);
  main->BeginModification();
  main->SetOrigin(KIVMathPointf(0, 0, 0));
  main->EndModification(1);
  ExpectNear(cam->GetOrigin(), KIVMathPointf(0, 30, 20));
}

TEST(ViewpointObject, AnimateStartsAndStops) {
  World w;
  VM m(&w.viewer, nullptr, nullptr, KIVUnicodeString("cam"), VM::kOptionAnimateMenu | VM::kOptionLockMenu);
  m.SetCameraVP(Camera(), 1);
  m.ActiveOption(26, -1);  // no kind chosen: nothing to start
  EXPECT_EQ(m.GetCurrentAnimationViewpoint(), nullptr);
  EXPECT_EQ(m.SetAnimationKind(9), -1);
  EXPECT_EQ(m.SetAnimationKind(2), 2);
  m.ActiveOption(24, -1);
  EXPECT_EQ(m.GetLockValue(2), 1);
  EXPECT_EQ(m.GetLockValue(3), -1);
  m.ActiveOption(26, -1);
  ASSERT_NE(m.GetCurrentAnimationViewpoint(), nullptr);
  EXPECT_EQ(m.GetCurrentAnimationViewpoint()->kind, 20);
  EXPECT_EQ(m.GetCurrentAnimationViewpoint()->axis, 1);
  // An orbit: each step moves the eye, never the target.
  KIVApplication::MainApplication()->ProcessDeferred();
  KIV3DViewpoint* cam = m.GetPointerCameraVP();
  EXPECT_GT(cam->GetOrigin().DistanceTo(KIVMathPointf(0, 0, 0)), 1.0f);
  ExpectNear(cam->GetTarget(), KIVMathPointf(100, 0, 0), 0.01f);
  EXPECT_TRUE(cam->IsAnimated());
  m.ActiveOption(26, -1);  // running: stops
  EXPECT_EQ(m.GetCurrentAnimationViewpoint(), nullptr);
  EXPECT_FALSE(cam->IsAnimated());
  KIVApplication::MainApplication()->ProcessDeferred();

  m.SetAnimationKind(4);
  m.ActiveOption(26, -1);
  EXPECT_EQ(m.GetCurrentAnimationViewpoint()->kind, 18);
  EXPECT_EQ(m.GetCurrentAnimationViewpoint()->axis, 0);
}

TEST(ViewpointObject, ContextMenuOffersItsItems) {
  World w;
  VM m(&w.viewer, nullptr, nullptr, KIVUnicodeString("cam"), VM::kOptionAnimateMenu);
  KIVDlgContextualMenu* menu = w.viewer.GetContextualMenu();
  m.BuildContextMenu();
  for (const char* tag : {"ViewpointPaletteItem", "ViewpointChangeItem", "ViewpointStdViewItem", "ViewpointColorItem",
                          "ViewpointPlayItem", "ViewpointInterItem", "ViewpointViewerItem", "ColorBlueItem"})
    EXPECT_NE(menu->LookupChild(tag), nullptr) << tag;
  EXPECT_EQ(menu->LookupChild("ViewpointAnimateItem"), nullptr);  // no kind yet
  EXPECT_EQ(m.GetContextMenu()->GetState(18), KIVDialog::StateSet);  // blue is current
  m.BuildContextMenu();  // again: no duplicates
  int colours = 0;
  for (KIVDialog* child : menu->GetDialogChildren()) colours += child->GetTag() == KIVString("ViewpointColorItem");
  EXPECT_EQ(colours, 1);
}

TEST(ViewpointObject, ViewerStatesCreateAndDestroyTheObjects) {
  World w;
  int external = 0, palette = 0;
  KIVCommand listener;
  listener.AddCallback(&w.viewer, NavViewerExtand::NAVIGATION_EXTERNAL_STATE(),
                       [&](const char*, void*, KIVNotification*, void*, long) { ++external; }, nullptr);
  listener.AddCallback(&w.viewer, NavViewerExtand::NAVIGATION_PALETTE_STATE(),
                       [&](const char*, void*, KIVNotification*, void*, long) { ++palette; }, nullptr);
  const KIVMathPointf start = w.viewer.GetMain3DViewpoint()->GetOrigin();
  ASSERT_EQ(w.viewer.SetViewpointExternalState(1), 1);
  VM* object = w.viewer.GetViewpointExternal();
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(w.viewer.SetViewpointExternalState(-1), 1);
  EXPECT_EQ(object->GetNameObject(), KIVUnicodeString("User View"));
  ExpectNear(object->GetPointerCameraVP()->GetOrigin(), start);
  EXPECT_NE(object->GetManipulator(0), nullptr);

  ASSERT_EQ(w.viewer.SetNavigationPaletteState(1), 1);
  NavViewpointManipulatePanel* panel = w.viewer.GetNavigationPalette();
  EXPECT_EQ(panel->GetCurrentManadgeObject(), object);
  EXPECT_EQ(panel->GetPaletteStatusHide(), 0);
  EXPECT_EQ(object->SetPaletteNavigation(-1), 1);

  // Closing the external camera hands its place to the main viewer.
  object->SetCameraVP(Camera(), 1);
  EXPECT_EQ(w.viewer.SetViewpointExternalState(0), 0);
  ExpectNear(w.viewer.GetMain3DViewpoint()->GetOrigin(), KIVMathPointf(0, 0, 0));
  EXPECT_EQ(panel->GetCurrentManadgeObject(), nullptr);

  // The palette's close box switches the state off; the viewer keeps its setting for the
  // next opening.
  NavPaletteViewerSetting changed;
  changed.rotationStep = 45.0f;
  changed.targetFixedState = 0;
  panel->SetCurrentSetting(changed);
  panel->UserClose();
  EXPECT_EQ(w.viewer.SetNavigationPaletteState(-1), 0);
  KIVApplication::MainApplication()->ProcessDeferred();
  ASSERT_EQ(w.viewer.SetNavigationPaletteState(1), 1);
  NavPaletteViewerSetting kept;
  w.viewer.GetNavigationPalette()->GetCurrentSetting(kept);
  EXPECT_EQ(kept.rotationStep, 45.0f);
  EXPECT_EQ(kept.targetFixedState, 0);
  EXPECT_EQ(kept.translationStep, 1.0f);
  EXPECT_EQ(w.viewer.SetNavigationPaletteState(0), 0);
  EXPECT_EQ(external, 2);
  EXPECT_EQ(palette, 4);
  // A viewer closed with both on takes them down with it.
  auto other = std::make_unique<World>();
  other->viewer.SetViewpointExternalState(1);
  other->viewer.SetNavigationPaletteState(1);
  other.reset();
  KIVApplication::MainApplication()->ProcessDeferred();
}

TEST(ViewpointObject, SecondaryViewersShowTheCamera) {
  World w;
  VM m(&w.viewer, nullptr, nullptr, KIVUnicodeString("cam"), 0);
  m.SetCameraVP(Camera(), 1);
  EXPECT_EQ(m.SetStatusViewer(1), 1);
  ASSERT_NE(m.GetOwnViewer(), nullptr);
  EXPECT_EQ(m.IsFree(), 0);
  ExpectNear(m.GetOwnViewer()->GetViewerViewpoint()->GetOrigin(), KIVMathPointf(0, 0, 0));
  EXPECT_EQ(m.SetStatusViewer(0), 0);
  EXPECT_EQ(m.IsFree(), 1);
  KIVApplication::MainApplication()->ProcessDeferred();

  NavSimpleViewer3D other(nullptr, nullptr, nullptr, 200, 200, 3, NavSimpleViewer3D::kOptionMaster);
  m.ReferenceViewer(&other);
  EXPECT_EQ(m.GetAssociateViewer(), &other);
  EXPECT_EQ(other.GetRootBagRepViewer(), m.GetSceneRoot());
  ExpectNear(other.GetViewerViewpoint()->GetOrigin(), KIVMathPointf(0, 0, 0));
  // A master window's navigation drives the camera.
  KIV3DViewpoint* seen = other.GetViewerViewpoint();
  seen->BeginModification();
  seen->SetOrigin(KIVMathPointf(0, 0, 40));
  seen->EndModification(1);
  ExpectNear(m.GetPointerCameraVP()->GetOrigin(), KIVMathPointf(0, 0, 40));
  // And the window follows the camera.
  KIV3DViewpoint* cam = m.GetPointerCameraVP();
  cam->BeginModification();
  cam->SetOrigin(KIVMathPointf(0, 10, 40));
  cam->EndModification(1);
  ExpectNear(seen->GetOrigin(), KIVMathPointf(0, 10, 40));
  NavSimpleViewer3D stranger(nullptr, nullptr, nullptr, 200, 200, 3, 0);
  m.DereferenceViewer(&stranger);  // not the referenced one: nothing
  EXPECT_EQ(m.GetAssociateViewer(), &other);
  m.DereferenceViewer(&other);
  EXPECT_EQ(m.GetAssociateViewer(), nullptr);
  EXPECT_EQ(other.GetRootBagRepViewer(), nullptr);
}

}  // namespace
