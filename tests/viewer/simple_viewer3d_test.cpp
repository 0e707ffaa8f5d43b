#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/NavMenuGeneric.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "navigation/Nav3DViewpointLight.h"
#include "primitives/KIV3DTextRep.h"
#include "tests/support/TestBox.h"
#include "viewer/NavInterfaceInfoRep.h"
#include "viewer/NavSimpleViewer3D.h"
#include "viewer/NavViewerExtand.h"

namespace {

using V = NavSimpleViewer3D;

void Deferred() { KIVApplication::MainApplication()->ProcessDeferred(); }

void Place(KIV3DViewpoint& vp, KIVMathPointf o, KIVMathDirectionf s, KIVMathDirectionf u, float f) {
  vp.BeginModification();
  vp.SetPosition(o, s, u);
  vp.SetFocusDistance(f);
  vp.EndModification(1);
}

void ExpectNear(const KIVMathVectorf& a, const KIVMathVectorf& b) {
  EXPECT_LT((a - b).Norm(), 1e-4f) << a.x << " " << a.y << " " << a.z;
}
void ExpectNear(const KIVMathPointf& a, KIVMathPointf b) { ExpectNear(a - KIVMathPointf(), b - KIVMathPointf()); }

// A scene, and a master window over it, shown and realized.
struct Family {
  explicit Family(int options = V::kOptionMaster | V::kOptionOpenViewer) {
    scene = new KIV3DBagRep;
    scene->AddChild(Box(1.0f));
    master = new V(&host, nullptr, scene, 400, 300, 3, options);
    Deferred();
    Place(*master->GetViewerViewpoint(), {1, 2, 3}, {0, 1, 0}, {0, 0, 1}, 10.0f);
  }
  ~Family() {
    delete master;
    Deferred();
    scene->Destroy();
  }
  Family(const Family&) = delete;
  Family& operator=(const Family&) = delete;
  KIVCommand host;
  KIV3DBagRep* scene;
  V* master;
};

// Pops the window's contextual menu up and builds it, as a right click would.
KIVDlgContextualMenu* PopMenu(V& w) {
  KIVDlgContextualMenu* menu = w.GetSpecificViewer()->GetContextualMenu();
  menu->SetVisibility(KIVDialog::VisibilityShown);
  w.BuildContextMenu();
  return menu;
}

struct Names : NavInterfaceInfoRep {
  const char* GetNameOfRep(KIVRep*) override { return "box  of   test"; }
  const char* GetNameOfRep(KIVRepPath*) override { return "box  of   test"; }
  KIVRep* GetRepOfModel(KIVRepPath*) override { return nullptr; }
  int IsSectionningContext() override { return 0; }
  const KIV4x4Matrix* GetMatrix() override { return nullptr; }
};

}  // namespace

TEST(SimpleViewer3D, DerivedViewsTurnInPlaceOrAroundTheTarget) {
  KIV3DViewpoint ref;
  Place(ref, {1, 2, 3}, {0, 1, 0}, {0, 0, 1}, 10.0f);
  ref.SetAngle(40.0f);
  V w(nullptr, nullptr, nullptr, 200, 200, 0, V::kOptionOtherViews);
  struct Case {
    int view;
    KIVMathVectorf sight, up;
    KIVMathPointf fixedOrigin;
  };
  // O = (1, 2, 3), S = +y, U = +z, f = 10: the target is (1, 12, 3).
  const Case cases[] = {
      {V::kViewUser, {0, 1, 0}, {0, 0, 1}, {1, 2, 3}},    {V::kViewFront, {0, 1, 0}, {0, 0, 1}, {1, 2, 3}},
      {V::kViewBack, {0, -1, 0}, {0, 0, 1}, {1, 22, 3}},  {V::kViewLeft, {-1, 0, 0}, {0, 0, 1}, {-9, 12, 3}},
      {V::kViewRight, {1, 0, 0}, {0, 0, 1}, {11, 12, 3}}, {V::kViewTop, {0, 0, 1}, {0, 1, 0}, {1, 12, 13}},
      {V::kViewBottom, {0, 0, -1}, {0, -1, 0}, {1, 12, -7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view);
    w.SetLogicalView(c.view);
    w.SetTargetFixe(0);
    Nav3DViewpointLight* d = w.TransformViewpoint(&ref);
    ExpectNear(d->origin, KIVMathPointf(1, 2, 3));
    ExpectNear(d->sight, c.sight);
    ExpectNear(d->up, c.up);
    EXPECT_FLOAT_EQ(d->angle, 40.0f);
    w.SetTargetFixe(1);
    d = w.TransformViewpoint(&ref);
    ExpectNear(d->origin, c.fixedOrigin);
    // Around the target, the camera looks back at it (Front and User keep the master's).
    ExpectNear(d->sight, c.view == V::kViewBack || c.view <= V::kViewFront ? c.sight : -c.sight);
  }
  // Refusals change nothing.
  EXPECT_EQ(w.TransformViewpoint(nullptr), w.GetDerivedViewpoint());
  ExpectNear(w.GetDerivedViewpoint()->origin, KIVMathPointf(1, 12, -7));
  w.SetLogicalView(999);
  EXPECT_EQ(w.GetLogicalView(), V::kViewBottom);
  w.SetTargetFixe(7);
  EXPECT_EQ(w.GetTargetFixe(), 1);
}

TEST(SimpleViewer3D, OpenedViewersFollowTheMasterAndCloseCleanly) {
  Family f;
  V& m = *f.master;
  EXPECT_EQ(m.GetTitle(), KIVUnicodeString("Current View : Front - Master"));
  ASSERT_EQ(m.OpenViewer(V::kViewBack), 1);
  ASSERT_EQ(m.OpenViewer(V::kViewTop), 1);
  EXPECT_EQ(m.OpenViewer(12), 0);
  V* back = m.GetReferencedViewer(m.GetIndiceViewer(V::kViewBack));
  V* top = m.GetReferencedViewer(m.GetIndiceViewer(V::kViewTop));
  ASSERT_TRUE(back && top);
  EXPECT_EQ(back->GetTitle(), KIVUnicodeString("Current View : Back"));
  EXPECT_EQ(back->GetReferencedViewpoint(), m.GetViewerViewpoint());
  Deferred();

  // The master moves: each follower takes its derived view, and draws.
  m.SetTargetFixe(1);
  const int backDraws = back->GetSpecificViewer()->GetDrawCount();
  Place(*m.GetViewerViewpoint(), {0, 0, 0}, {1, 0, 0}, {0, 0, 1}, 5.0f);
  KIV3DViewpoint* bv = back->GetViewerViewpoint();
  ExpectNear(bv->GetOrigin(), KIVMathPointf(10, 0, 0));
  ExpectNear(bv->GetSightDirection(), KIVMathVectorf(-1, 0, 0));
  ExpectNear(top->GetViewerViewpoint()->GetOrigin(), KIVMathPointf(5, 0, 5));
  EXPECT_EQ(back->GetSpecificViewer()->GetDrawCount(), backDraws + 1);
  // Headless navigation: a wheel notch in the master's window moves the followers too,
  // however small the step.
  const unsigned long moves = bv->GetModificationCount();
  m.GetSpecificViewer()->UserMouseWheel(200, 150, 1, 0);
  Deferred();
  EXPECT_GT(bv->GetModificationCount(), moves);

  // Other views of the family are insensitive in the follower's menu; its own is checked.
  PopMenu(*back);
  NavMenuGeneric* menu = back->GetContextMenu();
  EXPECT_EQ(menu->IsSetSensitivity(V::kOptOtherViewFirst + 1), KIVDialog::SensitivityOff);  // Back: itself
  EXPECT_EQ(menu->IsSetSensitivity(V::kOptOtherViewFirst), KIVDialog::SensitivityOff);      // Front: master
  EXPECT_EQ(menu->IsSetSensitivity(V::kOptOtherViewFirst + 2), KIVDialog::SensitivityOn);   // Left: free
  EXPECT_EQ(menu->GetState(V::kOptOtherViewFirst + 1), KIVDialog::StateSet);
  back->ActiveOption(V::kOptOtherViewFirst + 2);
  EXPECT_EQ(back->GetTitle(), KIVUnicodeString("Current View : Left"));
  const KIV3DViewpoint* mv = m.GetViewerViewpoint();
  ExpectNear(bv->GetOrigin(), mv->GetTarget() + KIVMathVectorf(0, mv->GetFocusDistance(), 0));

  // "Close" in the follower: it hides at once, leaves the master, and goes later. Until
  // then, whatever reaches it changes nothing.
  back->ActiveOption(V::kOptClose);
  EXPECT_EQ(m.GetReferencedViewerCount(), 1);
  EXPECT_EQ(back->GetPaletteStatusHide(), 1);
  const KIVMathPointf frozen = bv->GetOrigin();
  const int draws = back->GetSpecificViewer()->GetDrawCount();
  Place(*m.GetViewerViewpoint(), {3, 3, 3}, {0, 0, 1}, {0, 1, 0}, 2.0f);
  back->ActiveOption(V::kOptOtherViewFirst + 4);
  back->AffichePanel(1);
  EXPECT_EQ(back->OpenViewer(V::kViewFront), 0);
  ExpectNear(bv->GetOrigin(), frozen);
  EXPECT_EQ(back->GetSpecificViewer()->GetDrawCount(), draws);
  Deferred();
  m.ActiveOption(V::kOptOpenViewerFirst + 4);  // "Open viewer" toggles: the top one closes
  EXPECT_EQ(m.GetReferencedViewerCount(), 0);
}

TEST(SimpleViewer3D, AMasterDrivesItsReferencedViewpointWithoutEcho) {
  Family f;
  V& m = *f.master;
  KIV3DViewpoint camera;
  m.ReferenceViewpoint(&camera);
  Place(camera, {5, -20, 0}, {0, 1, 0}, {0, 0, 1}, 20.0f);
  ExpectNear(m.GetViewerViewpoint()->GetOrigin(), KIVMathPointf(5, -20, 0));
  // Navigating in the master moves the camera, once.
  const unsigned long before = camera.GetModificationCount();
  Place(*m.GetViewerViewpoint(), {7, 7, 7}, {1, 0, 0}, {0, 0, 1}, 3.0f);
  ExpectNear(camera.GetOrigin(), KIVMathPointf(7, 7, 7));
  ExpectNear(camera.GetSightDirection(), KIVMathVectorf(1, 0, 0));
  EXPECT_FLOAT_EQ(camera.GetFocusDistance(), 3.0f);
  EXPECT_EQ(camera.GetModificationCount(), before + 1);
  m.GetViewerViewpoint()->BeginAnimation();
  EXPECT_EQ(camera.IsAnimated(), 1);
  m.GetViewerViewpoint()->EndAnimation();
  EXPECT_EQ(camera.IsAnimated(), 0);
  // A hidden master neither follows nor drives; shown again, it catches up.
  m.AffichePanel(0);
  Place(camera, {9, 9, 9}, {0, 1, 0}, {0, 0, 1}, 20.0f);
  ExpectNear(m.GetViewerViewpoint()->GetOrigin(), KIVMathPointf(7, 7, 7));
  m.AffichePanel(1);
  ExpectNear(m.GetViewerViewpoint()->GetOrigin(), KIVMathPointf(9, 9, 9));
  m.ReferenceViewpoint(nullptr);
}

TEST(SimpleViewer3D, MenuRowsFollowTheWindowKindAndActOnTheViewer) {
  unsetenv("KIVT3X_DEBUG_OPTION");
  Family f;
  V& m = *f.master;
  NavViewerExtand& viewer = *m.GetSpecificViewer();
  m.ActivateForeGroundOnViewer();
  // A right click on the indicator pops the menu up, built.
  viewer.UserMousePress(100, 100, KIVMouseEvent::ButtonRight, 0);
  viewer.UserMouseRelease(100, 100, KIVMouseEvent::ButtonRight, 0);
  KIVDlgContextualMenu* menu = viewer.GetContextualMenu();
  EXPECT_EQ(menu->GetVisibility(), KIVDialog::VisibilityShown);
  for (const char* tag : {"ManipTurnAroundRadioItem", "ReframePushItem", "FixeTargetItem", "OtherViewerItem",
                          "DashCheckItem", "DispatchConfItem", "ClosePushItem", "CapturePushItem"})
    EXPECT_NE(menu->LookupChild(tag), nullptr) << tag;
  for (const char* tag : {"OtherViewSubMenu", "DebugViewerItem", "ShortHelpNameItem"})
    EXPECT_EQ(menu->LookupChild(tag), nullptr) << tag;
  NavMenuGeneric* generic = m.GetContextMenu();
  EXPECT_EQ(generic->GetState(V::kOptExamine), KIVDialog::StateSet);
  EXPECT_EQ(generic->IsSetSensitivity(V::kOptOpenViewerFirst), KIVDialog::SensitivityOff);  // it shows Front
  // The indicator holds the mouse for the menu, yet a left drag still navigates.
  const unsigned long moves = m.GetViewerViewpoint()->GetModificationCount();
  viewer.UserMousePress(100, 100, KIVMouseEvent::ButtonLeft, 0);
  viewer.UserMouseMove(160, 120, KIVMouseEvent::ButtonLeft, 0);
  viewer.UserMouseRelease(160, 120, KIVMouseEvent::ButtonLeft, 0);
  EXPECT_GT(m.GetViewerViewpoint()->GetModificationCount(), moves);

  // A person's choices go through the menu to the viewer.
  static_cast<KIVDlgCheckItem*>(menu->LookupChild("AxisCheckItem"))->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(viewer.SetAxisState(-1), 1);
  static_cast<KIVDlgCheckItem*>(menu->LookupChild("StdV3PushItem"))->UserSetState(KIVDialog::StateSet);
  ASSERT_EQ(m.GetIndiceViewer(V::kViewBack), 0);
  m.ActiveOption(V::kOptWalk);
  EXPECT_EQ(viewer.SetNavigationStyle(-1), 8);

  // The opened window offers its own rows only.
  KIVDlgContextualMenu* backMenu = PopMenu(*m.GetReferencedViewer(0));
  for (const char* tag : {"FixeTargetItem", "OtherViewSubMenu", "ClosePushItem"})
    EXPECT_NE(backMenu->LookupChild(tag), nullptr) << tag;
  for (const char* tag :
       {"ManipTurnAroundRadioItem", "ReframePushItem", "DashCheckItem", "DispatchConfItem", "OtherViewerItem"})
    EXPECT_EQ(backMenu->LookupChild(tag), nullptr) << tag;
  PopMenu(m);
  EXPECT_EQ(generic->GetState(V::kOptOpenViewerFirst + 1), KIVDialog::StateSet);
  setenv("KIVT3X_DEBUG_OPTION", "1", 1);
  PopMenu(m);
  EXPECT_NE(menu->LookupChild("DebugViewerItem"), nullptr);
  unsetenv("KIVT3X_DEBUG_OPTION");
}

TEST(SimpleViewer3D, HostRowsStandWhereAskedAndReachTheFather) {
  Family f;
  V& m = *f.master;
  int heard = 0;
  f.host.AddAnalyseNotificationCB(&m, nullptr, NavActionOnMenuNotification::ClassName(),
                                  [&](KIVCommand*, KIVNotification*, void*) { ++heard; }, nullptr);
  TableauMenu row{900, 2, "HostCheck", "Host", KIVUnicodeChar(), 0, nullptr, 0, 1};
  TableauMenu* rows[] = {&row};
  m.AddItemInMenuContext(rows, 1, 0, 1);
  KIVDlgContextualMenu* menu = PopMenu(m);
  auto tags = [menu] {
    std::string all;
    for (KIVDialog* item : menu->GetDialogChildren()) all += std::string(item->GetTag().CastToCharPtr()) + " ";
    return all;
  };
  EXPECT_EQ(tags().rfind("HostCheck Separator ", 0), 0u) << tags();
  // Checking it sets the kept row's bit (the caller's row is a copy) and tells the father.
  static_cast<KIVDlgCheckItem*>(menu->LookupChild("HostCheck"))->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(row.state, 1);
  PopMenu(m);
  EXPECT_EQ(m.GetContextMenu()->GetState(900), KIVDialog::StateSet);
  // Position 0: between the separator after "Export Screen" and the one before "Close".
  m.AddItemInMenuContext(rows, 1, 1, 0);
  m.AddItemInMenuContext(nullptr, 3, 0, -1);  // nothing given: nothing changes
  EXPECT_EQ(m.GetHostItemCount(), 1);
  PopMenu(m);
  EXPECT_NE(tags().find("ViewerExportItem Separator HostCheck Separator ClosePushItem"), std::string::npos) << tags();
}

TEST(SimpleViewer3D, SettingsRoundTripAndDispatchCopiesOnlyTheChangedSection) {
  Family f;
  V& m = *f.master;
  m.SetRectDimensions(100, 50, 400, 300);
  m.SetRatioSizeView(2.0f);
  m.SetRatioSizeView(1.0f);  // a ratio is set once
  int x, y, w, h;
  m.GetSpecificViewer()->GetRectDimensions(x, y, w, h);
  EXPECT_EQ(std::vector<int>({x, y, w, h}), std::vector<int>({100, 50, 180, 360}));

  ASSERT_EQ(m.OpenViewer(V::kViewRight), 1);
  V* right = m.GetReferencedViewer(0);
  Deferred();
  m.ActiveOption(V::kOptDispatch);
  m.ActiveOption(V::kOptFixedTarget);
  m.ActiveOption(V::kOptShortHelpCoordinate);
  EXPECT_EQ(right->GetTargetFixe(), 1);
  // Dispatch: a quality change reaches the follower, its own background stays.
  NavReferenceViewSetting background;
  background.backgroundRed = background.backgroundGreen = background.backgroundBlue = 0.5f;
  right->GetSpecificViewer()->SetCurrentSetting(background, nullptr);
  NavQualitySpeedSetting quality;
  quality.staticSag = 2.5f;
  m.GetSpecificViewer()->SetCurrentSetting(quality, nullptr);
  EXPECT_FLOAT_EQ(right->GetSpecificViewer()->GetCurrentSetting().qualitySpeed.staticSag, 2.5f);
  EXPECT_FLOAT_EQ(right->GetSpecificViewer()->GetCurrentSetting().referenceView.backgroundRed, 0.5f);

  // Another window given that setting is the same window.
  NavSimpleViewer3DSetting s, back;
  m.GetCurrentSetting(s);
  s.logicalView = V::kViewTop;
  V other(nullptr, nullptr, f.scene, 300, 200, 3, V::kOptionMaster | V::kOptionOpenViewer);
  other.SetCurrentSetting(s);
  other.SetCurrentSetting(NavSimpleViewer3DSetting());  // undefined fields change nothing
  other.GetCurrentSetting(back);
  EXPECT_EQ(std::vector<int>({back.logicalView, back.targetFixed, back.dispatch, back.label}),
            std::vector<int>({V::kViewTop, 1, 1, V::kShortHelpCoordinate}));
  EXPECT_FLOAT_EQ(back.sizeRatio, 2.0f);
  EXPECT_FLOAT_EQ(back.viewer.qualitySpeed.staticSag, 2.5f);
  // A bad ratio is refused.
  V fresh(nullptr, nullptr, nullptr, 100, 100, 0, 0);
  fresh.SetRatioSizeView(0.0f);
  fresh.SetRatioSizeView(std::nanf(""));
  fresh.GetCurrentSetting(back);
  EXPECT_FLOAT_EQ(back.sizeRatio, -1.0f);
}

TEST(SimpleViewer3D, AHiddenWindowKeepsItsSettingWithItsToolsOff) {
  Family f(V::kOptionMaster);
  NavViewerExtand& viewer = *f.master->GetSpecificViewer();
  NavQualitySpeedSetting quality;
  quality.staticSag = 3.5f;
  viewer.SetCurrentSetting(quality, nullptr);
  f.master->ActiveOption(V::kOptAxis);
  ASSERT_EQ(viewer.SetAxisState(-1), 1);
  f.master->AffichePanel(0);
  EXPECT_EQ(viewer.SetAxisState(-1), 0);
  // Kind 3 stays: what it stored comes back when shown again, its tools still closed.
  quality.staticSag = 7.0f;
  viewer.SetCurrentSetting(quality, nullptr);
  f.master->AffichePanel(1);
  EXPECT_FLOAT_EQ(viewer.GetCurrentSetting().qualitySpeed.staticSag, 3.5f);
  EXPECT_EQ(viewer.SetAxisState(-1), 0);
}

TEST(SimpleViewer3D, ShortHelpNamesThePickedPointAndPinsIt) {
  Family f;
  V& m = *f.master;
  Names names;
  NavViewerExtand& viewer = *m.GetSpecificViewer();
  viewer.SetInterfaceInfoRep(&names, 0);
  viewer.Reframe(NavViewerExtand::kOfficialRoot);
  m.ActiveOption(V::kOptShortHelpName);
  m.ActiveOption(V::kOptShortHelpCoordinate);
  int w = 0, h = 0;
  viewer.GetGraphicSize(&w, &h);
  // Hovering the box (its selection manipulator reports the move).
  viewer.UserMouseMove(w / 2, h / 2, 0, 0);
  std::string text = m.GetShortHelpLabel()->GetText();
  EXPECT_EQ(text.rfind("box of test - X:", 0), 0u) << text;
  EXPECT_NE(text.find(" - Y:"), std::string::npos);
  // A left click pins a copy in the annotation root, in green (247).
  KIVRep* annotations = viewer.GetRootRep(NavViewerExtand::kAnnotationRoot);
  const size_t before = annotations->GetChildren().size();
  viewer.UserMousePress(w / 2, h / 2, KIVMouseEvent::ButtonLeft, 0);
  viewer.UserMouseRelease(w / 2, h / 2, KIVMouseEvent::ButtonLeft, 0);
  ASSERT_EQ(annotations->GetChildren().size(), before + 1);
  auto* pinned = dynamic_cast<KIV3DTextRep*>(annotations->GetChildren().back());
  ASSERT_NE(pinned, nullptr);
  EXPECT_EQ(std::string(pinned->GetText()), text);
  EXPECT_EQ(pinned->GetGraphicAttributeSet().GetColorIndex(), 247);
  // The same through the context indicator, once it holds the mouse.
  m.ActiveOption(V::kOptShortHelpName);
  m.ActivateForeGroundOnViewer();
  viewer.UserMouseMove(w / 2 + 1, h / 2, 0, 0);
  text = m.GetShortHelpLabel()->GetText();
  EXPECT_EQ(text.rfind("X:", 0), 0u) << text;
  // Both bits off: the label hides.
  m.ActiveOption(V::kOptShortHelpCoordinate);
  EXPECT_TRUE(m.GetShortHelpLabel()->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Hidden));
  viewer.SetInterfaceInfoRep(nullptr, 0);
}
