#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "dialogs/NavSimpleColorChooser.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/interact/KIV3DIndicator.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/interfere/KIVInterfereEngine.h"
#include "host/visu/interfere/KIVSiInInterfereModel.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "measure/KIVNavMarker3DGageRep.h"
#include "measure/NavDistanceViewerUI.h"
#include "viewer/NavInterfaceInfoRep.h"
#include "viewer/NavViewerExtand.h"
#include "tests/support/TestBox.h"
#include "tests/support/ViewerPixels.h"

namespace {

constexpr int kW = 200, kH = 200;
constexpr int kSet = KIVDialog::StateSet, kCleared = KIVDialog::StateCleared;

// Answers every request with one configured pair, and remembers what it was asked.
class FakeEngine : public KIVInterfereEngine {
 public:
  int Compute(const Request& request, std::vector<Pair>& pairs) override {
    requests.push_back(request);
    leavesA.push_back(request.a.empty() ? nullptr : request.a.front()->GetLeafRep());  // the paths die with the model
    Pair pair;
    pair.kind = request.kind, pair.a = pair.b = 0;
    for (int i = 0; i < 3; ++i) pair.pointA[i] = a[i], pair.pointB[i] = b[i];
    pair.distance = request.kind == KIVSiInInterfereModel::kDirectional ? directional : distance;
    pairs.push_back(pair);
    return 1;
  }
  float a[3] = {-15, 0, 0}, b[3] = {15, 0, 0};
  double distance = 30.0, directional = 30.0;
  std::vector<Request> requests;
  std::vector<KIVRep*> leavesA;
};

// The model of a pick is the bag holding its leaf.
class Info : public NavInterfaceInfoRep {
 public:
  KIVRep* GetRepOfModel(KIVRepPath* path) override { return models ? path->GetRep(path->GetSize() - 2) : nullptr; }
  const char* GetNameOfRep(KIVRep*) override { return "rep"; }
  const char* GetNameOfRep(KIVRepPath*) override { return "path"; }
  int IsSectionningContext() override { return section; }
  const KIV4x4Matrix* GetMatrix() override { return frame.get(); }
  int models = 1, section = 0;
  std::unique_ptr<KIV4x4Matrix> frame;
};

// Two boxes seen from the front: A about (-20, 0, 0), B about (20, 0, 0), half size 5.
struct World {
  explicit World(int options = NavViewerExtand::kOptionAnnotation)
      : viewer(nullptr, KIVString("v"), options, 0, kW, kH) {
    KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
    vp->SetPosition(KIVMathPointf(0, -100, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
    vp->SetAngle(45.0f);
    viewer.SetInterfaceInfoRep(&info, 0);
    for (int i = 0; i < 2; ++i) {
      bags[i] = new KIV3DBagRep;
      bags[i]->AddChild(Box(KIVMathPointf(i == 0 ? -20.0f : 20.0f, 0, 0), 5));
      viewer.AddRep(bags[i], NavViewerExtand::kOfficialRoot);
    }
    KIVSiInInterfereModel::SetEngine(engine);
    viewer.SetDistanceEditorState(1);
    tool = viewer.GetDistanceTool();
  }
  ~World() {
    viewer.SetDistanceEditorState(0);
    KIVSiInInterfereModel::SetEngine(nullptr);
  }
  void Click(const KIVMathPointf& p) {
    float fx, fy;
    PixelOf(*viewer.GetMain3DViewpoint(), kW, kH, p, fx, fy);
    x = static_cast<int>(std::lround(fx));
    y = static_cast<int>(std::lround(fy));
    viewer.UserMousePress(x, y, KIVMouseEvent::ButtonLeft, 0);
    viewer.UserMouseRelease(x, y, KIVMouseEvent::ButtonLeft, 0);
  }
  // Picks the front faces of A (first point) and B (second point).
  void PickBoth() {
    tool->GetPointButton(1)->UserSetState(kSet);
    Click(KIVMathPointf(-20, -5, 0));
    tool->GetPointButton(2)->UserSetState(kSet);
    Click(KIVMathPointf(20, -5, 0));
  }
  KIVMathPointf P(int which) const { return tool->GetGaugeRep()->GetCoordonnePoint(which); }
  std::string Label() const { return tool->GetInfoLabel()->GetTitle().GetUtf8(); }
  void SetX(int which, float value) { tool->GetPointEditor(which, 0)->UserSetValue(value); }

  Info info;
  std::shared_ptr<FakeEngine> engine = std::make_shared<FakeEngine>();
  NavViewerExtand viewer;
  KIV3DBagRep* bags[2] = {};
  NavDistanceViewerUI* tool = nullptr;
  int x = 0, y = 0;
};

TEST(DistanceTool, TheViewerStateOpensItAndItsCloseBoxEndsTheState) {
  World w;
  int published = 0;
  auto count = [&](const char*, void*, KIVNotification*, void*, long) { ++published; };
  w.viewer.AddCallback(&w.viewer, NavViewerExtand::NAVIGATION_DISTANCE_STATE(), KIVEventCallback(count), nullptr);
  ASSERT_NE(w.tool, nullptr);
  EXPECT_EQ(w.viewer.SetDistanceEditorState(1), 1);  // a second switch keeps the same tool
  EXPECT_EQ(w.tool->GetTitle().GetUtf8(), "Check Distance");
  EXPECT_EQ(w.tool->GetVisibility(), KIVDialog::VisibilityShown);
  EXPECT_EQ(w.Label(), "Point / Point");
  EXPECT_NE(w.tool->LookupChild("AnnotationPaletTextButton"), nullptr);
  KIVNavMarker3DGageRep* gauge = w.tool->GetGaugeRep();
  EXPECT_EQ(gauge->GetParents().front(), w.viewer.GetRootRep(NavViewerExtand::kTemporyRoot));
  EXPECT_EQ(gauge->GetShowMode(), 0);
  // Shown: points editable, nothing to measure against yet.
  EXPECT_EQ(w.tool->GetPointFrame()->GetSensitivity(), KIVDialog::SensitivityOn);
  EXPECT_EQ(w.tool->GetMinimalButton(0)->GetSensitivity(), KIVDialog::SensitivityOff);

  // The gauge's look is kept by the viewer across openings.
  w.tool->GetWidthEditor()->UserSetValue(0.5f);
  w.tool->GetShowTextButton()->UserSetState(kCleared);
  EXPECT_FLOAT_EQ(gauge->GetWidth(), 0.5f);
  EXPECT_EQ(gauge->ShowText(-1), 0);
  EXPECT_EQ(w.tool->UserClose(), 1);
  EXPECT_EQ(w.viewer.SetDistanceEditorState(-1), 0);
  KIVApplication::MainApplication()->ProcessDeferred();
  EXPECT_TRUE(w.viewer.GetRootRep(NavViewerExtand::kTemporyRoot)->GetChildren().empty());
  EXPECT_FLOAT_EQ(w.viewer.GetCurrentSetting().distance.width, 0.5f);
  EXPECT_EQ(w.viewer.SetDistanceEditorState(1), 1);
  EXPECT_FLOAT_EQ(w.viewer.GetDistanceTool()->GetGaugeRep()->GetWidth(), 0.5f);
  EXPECT_EQ(w.viewer.GetDistanceTool()->GetShowTextButton()->GetState(), kCleared);
  EXPECT_EQ(published, 2);  // closed, opened again

  World plain(0);  // no annotation root, no annotation button
  EXPECT_EQ(plain.tool->LookupChild("AnnotationPaletTextButton"), nullptr);
}

TEST(DistanceTool, PicksGoThroughTheIndicatorOfTheCheckedPointButton) {
  World w;
  w.tool->GetPointButton(1)->UserSetState(kSet);
  EXPECT_EQ(w.viewer.GetForegroundIndicator(), w.tool->GetIndicator());
  EXPECT_EQ(w.tool->GetPickButton()->GetState(), kCleared);
  w.Click(KIVMathPointf(-20, -5, 0));
  EXPECT_LT(w.P(1).DistanceTo(KIVMathPointf(-20, -5, 0)), 0.6f);
  EXPECT_EQ(w.tool->GetPickedFlags(), 1);

  // The second button takes over from the first; a press dragged across the scene leaves
  // the point where the release is.
  w.tool->GetPointButton(2)->UserSetState(kSet);
  EXPECT_EQ(w.tool->GetPointButton(1)->GetState(), kCleared);
  w.Click(KIVMathPointf(-20, -5, 2));
  const int x0 = w.x, y0 = w.y;
  w.Click(KIVMathPointf(20, -5, 0));
  w.viewer.UserMousePress(x0, y0, KIVMouseEvent::ButtonLeft, 0);
  EXPECT_LT(w.P(2).DistanceTo(KIVMathPointf(-20, -5, 2)), 0.6f);
  w.viewer.UserMouseMove(w.x, w.y, KIVMouseEvent::ButtonLeft, 0);
  EXPECT_LT(w.P(2).DistanceTo(KIVMathPointf(20, -5, 0)), 0.6f);  // follows while dragging
  w.viewer.UserMouseMove(2, 2, KIVMouseEvent::ButtonLeft, 0);   // off the scene: stays
  w.viewer.UserMouseRelease(2, 2, KIVMouseEvent::ButtonLeft, 0);
  EXPECT_LT(w.P(2).DistanceTo(KIVMathPointf(20, -5, 0)), 0.6f);
  EXPECT_EQ(w.tool->GetPick(2).GetLeafRep(), w.bags[1]->GetChildren().front());
  EXPECT_NEAR(w.tool->GetDistanceEditor()->GetCurrentValue(), w.P(1).DistanceTo(w.P(2)), 1e-3f);
  EXPECT_EQ(w.tool->GetDistanceEditor()->GetFormat().str(), "%.3f");
  EXPECT_EQ(w.tool->GetMinimalButton(2)->GetSensitivity(), KIVDialog::SensitivityOn);

  // Another navigation on top clears the point buttons; its end brings the point back.
  KIV3DIndicator other(nullptr, "other", &w.viewer);
  w.viewer.SetForegroundIndicator(&other);
  EXPECT_EQ(w.tool->GetPointButton(2)->GetState(), kCleared);
  EXPECT_EQ(w.tool->GetPickButton()->GetState(), kCleared);
  w.viewer.UnsetForegroundIndicator(&other);
  EXPECT_EQ(w.tool->GetPointButton(2)->GetState(), kSet);

  // "Select" leaves picking and stays set.
  w.tool->GetPickButton()->UserSetState(kSet);
  EXPECT_EQ(w.tool->GetPickButton()->GetState(), kSet);
  EXPECT_EQ(w.viewer.IsForegroundIndicatorReferenced(w.tool->GetIndicator()), -1);
  EXPECT_EQ(w.tool->GetPointButton(2)->GetState(), kCleared);
}

TEST(DistanceTool, MinimalCyclesElementModelAndBackToThePickedPoints) {
  World w;
  w.PickBoth();
  const KIVMathPointf picked[2] = {w.P(1), w.P(2)};
  w.tool->GetMinimalButton(0)->UserActivate();
  EXPECT_EQ(w.Label(), "Element / Element");
  EXPECT_EQ(w.P(1), KIVMathPointf(-15, 0, 0));
  ASSERT_EQ(w.engine->requests.size(), 1u);
  EXPECT_EQ(w.engine->requests.back().kind, KIVSiInInterfereModel::kMinimalDistance);
  EXPECT_EQ(w.engine->requests.back().geometry, KIVSiInInterfereModel::kSurface);
  EXPECT_EQ(w.engine->leavesA.back(), w.bags[0]->GetChildren().front());

  w.engine->a[0] = -14;
  w.tool->GetMinimalButton(0)->UserActivate();
  EXPECT_EQ(w.Label(), "Model / Model");
  EXPECT_EQ(w.P(1), KIVMathPointf(-14, 0, 0));
  EXPECT_EQ(w.tool->GetGaugeRep()->GetHighlightMode(), 1);
  EXPECT_EQ(w.engine->leavesA.back(), w.viewer.GetRootRep(14));  // the model's parent stands for it

  w.tool->GetMinimalButton(0)->UserActivate();
  EXPECT_EQ(w.Label(), "Point / Point");
  EXPECT_EQ(w.P(1), picked[0]);
  EXPECT_EQ(w.P(2), picked[1]);
  EXPECT_EQ(w.engine->requests.size(), 2u);  // nothing to compute between points

  // Without model reps the model step falls back to points; no answer moves nothing.
  w.info.models = 0;
  w.tool->GetMinimalButton(0)->UserActivate();
  w.tool->GetMinimalButton(0)->UserActivate();
  EXPECT_EQ(w.Label(), "Point / Point");
  EXPECT_EQ(w.P(1), picked[0]);
  w.engine->distance = 0.0;
  w.tool->GetMinimalButton(0)->UserActivate();
  EXPECT_EQ(w.Label(), "Element / Element");
  EXPECT_EQ(w.P(1), picked[0]);

  const float line[6] = {0, 0, 0, 1, 0, 0};
  auto* wire = new KIV3DCustomRep;
  wire->AddGP(new KIV3DLineGP(line, 6));
  w.bags[0]->AddChild(wire);  // a leaf made only of lines
  KIVPickPath path(w.viewer.GetMain3DViewpoint());
  for (KIVRep* rep : std::vector<KIVRep*>{w.viewer.GetRootRep(13), w.viewer.GetRootRep(14), w.bags[0], wire})
    path.AddRep(rep);
  w.tool->SetGraphicPicking(&path);  // the second point is being chosen
  w.tool->GetPointButton(1)->UserSetState(kSet);
  w.tool->SetGraphicPicking(&path);
  w.tool->GetMinimalButton(0)->UserActivate();
  EXPECT_EQ(w.engine->requests.back().geometry, KIVSiInInterfereModel::kWire);
}

TEST(DistanceTool, DirectionalDistancesFollowTheSectionFrame) {
  World w;
  w.PickBoth();
  const KIVMathPointf picked = w.P(1);
  w.tool->GetMinimalButton(1)->UserActivate();  // outside a section: nothing is asked
  EXPECT_TRUE(w.engine->requests.empty());
  w.info.section = 1;
  w.engine->directional = -1.0;
  w.tool->GetMinimalButton(1)->UserActivate();
  ASSERT_EQ(w.engine->requests.size(), 1u);
  EXPECT_EQ(w.engine->requests.back().direction[1], 1.0);  // default axes: the second one
  EXPECT_EQ(w.engine->leavesA.back(), w.bags[0]);  // in a section the model itself is measured
  EXPECT_EQ(w.Label(), "Impossible.");
  EXPECT_EQ(w.P(1), picked);

  w.info.frame = std::make_unique<KIV4x4Matrix>(KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1),
                                                KIVMathVectorf(1, 0, 0), KIVMathPointf(0, 0, 0));
  w.engine->directional = 30.0;
  w.tool->GetMinimalButton(2)->UserActivate();  // back to the points, then elements
  w.tool->GetMinimalButton(2)->UserActivate();
  EXPECT_EQ(w.engine->requests.back().direction[0], 1.0);  // the frame's third direction
  EXPECT_EQ(w.P(1), KIVMathPointf(-15, 0, 0));
}

TEST(DistanceTool, TypingAndNudgingMoveThePointAlongTheLine) {
  World w;
  w.PickBoth();
  for (int i = 0; i < 3; ++i) w.tool->GetPointEditor(1, i)->UserSetValue(0.0f);
  for (int i = 0; i < 3; ++i) w.tool->GetPointEditor(2, i)->UserSetValue(i == 0 ? 2.0f : 0.0f);
  EXPECT_EQ(w.P(2), KIVMathPointf(2, 0, 0));
  EXPECT_EQ(w.tool->GetPickedFlags(), 3);  // coordinates alone keep the picks

  // Neither point button: the typed value is only put back.
  w.tool->GetPickButton()->UserSetState(kSet);
  w.tool->GetDistanceEditor()->UserSetValue(5.0f);
  EXPECT_EQ(w.P(1), KIVMathPointf(0, 0, 0));
  EXPECT_EQ(w.P(2), KIVMathPointf(2, 0, 0));
  EXPECT_FLOAT_EQ(w.tool->GetDistanceEditor()->GetCurrentValue(), 2.0f);

  w.tool->GetPointButton(1)->UserSetState(kSet);
  w.tool->GetDistanceEditor()->UserSetValue(5.0f);
  EXPECT_LT(w.P(1).DistanceTo(KIVMathPointf(-3, 0, 0)), 1e-5f);
  EXPECT_EQ(w.tool->GetPickedFlags(), 0);
  EXPECT_EQ(w.tool->GetMinimalButton(0)->GetSensitivity(), KIVDialog::SensitivityOff);

  w.tool->GetMoreButton(1)->UserActivate();
  EXPECT_LT(w.P(1).DistanceTo(KIVMathPointf(-4, 0, 0)), 1e-5f);
  w.SetX(2, -3.5f);
  w.tool->GetLessButton(2)->UserActivate();  // 0.5 less 1: beyond the first point
  EXPECT_LT(w.P(2).DistanceTo(KIVMathPointf(-4.5f, 0, 0)), 1e-5f);
  EXPECT_EQ(w.P(1), KIVMathPointf(-4, 0, 0));

  w.SetX(2, -4);
  EXPECT_EQ(w.tool->GetLessButton(1)->GetSensitivity(), KIVDialog::SensitivityOff);
  EXPECT_EQ(w.tool->GetMoreButton(2)->GetSensitivity(), KIVDialog::SensitivityOff);
  w.tool->GetDistanceEditor()->UserSetValue(3.0f);  // no line to follow
  EXPECT_EQ(w.P(1), w.P(2));
}

TEST(DistanceTool, AnnotationCopyColourChooserAndReframe) {
  World w;
  w.SetX(2, 10);
  w.tool->GetColorButton()->UserSetState(kSet);
  NavSimpleColorChooser* chooser = w.tool->GetColorChooser();
  ASSERT_NE(chooser, nullptr);
  static_cast<KIVDlgRadioButton*>(chooser->LookupChild("ColorRedButton"))->UserSetState(kSet);
  EXPECT_EQ(w.tool->GetGaugeRep()->GetColor(), 248u);
  NavDistanceSetting setting;
  w.tool->GetCurrentSetting(setting);
  EXPECT_EQ(setting.color, 248);
  chooser->UserClose();
  EXPECT_EQ(w.tool->GetColorChooser(), nullptr);
  EXPECT_EQ(w.tool->GetColorButton()->GetState(), kCleared);
  KIVApplication::MainApplication()->ProcessDeferred();
  w.tool->GetColorButton()->UserSetState(kSet);
  EXPECT_EQ(w.tool->GetColorChooser()->GetColorIndex(1), 248);
  w.tool->GetColorButton()->UserSetState(kCleared);
  EXPECT_EQ(w.tool->GetColorChooser(), nullptr);

  w.tool->GetAnnotationButton()->UserActivate();
  const auto& notes = w.viewer.GetRootRep(NavViewerExtand::kAnnotationRoot)->GetChildren();
  ASSERT_EQ(notes.size(), 1u);
  auto* copy = static_cast<KIVNavMarker3DGageRep*>(notes.front());
  EXPECT_EQ(copy->GetColor(), 248u);
  EXPECT_EQ(copy->GetCoordonnePoint(2), KIVMathPointf(10, 0, 0));

  EXPECT_EQ(w.tool->GetReframeButton()->UserActivate(), 1);
  KIV3DViewpoint* vp = w.viewer.GetMain3DViewpoint();
  const KIVMathPointf target = vp->GetOrigin() + vp->GetSightDirection() * vp->GetFocusDistance();
  EXPECT_LT(target.DistanceTo(KIVMathPointf(5, 0, 0)), 1e-3f);  // on the middle of the measure
  EXPECT_LT(vp->GetFocusDistance(), 100.0f);
}

TEST(DistanceTool, BadInputAndPicksOutsideTheSceneChangeNothing) {
  World w;
  w.PickBoth();
  const KIVMathPointf p1 = w.P(1);
  w.tool->GetPointEditor(1, 0)->UserSetValue(NAN);
  w.tool->GetDistanceEditor()->UserSetValue(NAN);
  w.tool->GetWidthEditor()->UserSetValue(NAN);
  KIVMathPointf bad(NAN, 0, 0);
  EXPECT_EQ(w.tool->SetPointCoordonne(bad, 1, 1), 0);
  w.tool->SetGraphicPicking(nullptr);
  EXPECT_EQ(w.P(1), p1);
  EXPECT_FLOAT_EQ(w.tool->GetGaugeRep()->GetWidth(), 0.01f);
  NavDistanceSetting wild;
  wild.color = 999, wild.width = -5.0f, wild.showText = 7;
  w.tool->SetCurrentSetting(wild);
  NavDistanceSetting kept;
  w.tool->GetCurrentSetting(kept);
  EXPECT_EQ(kept.color, 246);
  EXPECT_EQ(kept.showText, 1);
  EXPECT_FLOAT_EQ(kept.width, 0.01f);

  // The first picked object leaves the scene: nothing to measure against any more.
  w.viewer.RemoveRep(w.bags[0], NavViewerExtand::kOfficialRoot);
  w.tool->UpdatePalette();
  EXPECT_EQ(w.tool->GetMinimalButton(0)->GetSensitivity(), KIVDialog::SensitivityOff);
  w.tool->GetMinimalButton(0)->SetSensitivity(KIVDialog::SensitivityOn);
  w.tool->GetMinimalButton(0)->UserActivate();
  EXPECT_TRUE(w.engine->requests.empty());
  EXPECT_EQ(w.tool->GetMinimalButton(0)->GetSensitivity(), KIVDialog::SensitivityOff);
  w.bags[0]->Destroy();
}

}  // namespace
