#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dialogs/NavSimpleColorChooser.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/dialog/KIVDlgSlider.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/dialog/KIVDlgTabContainer.h"
#include "host/dialog/KIVDlgTabPage.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "navigation/NavViewerViewpointEditor.h"
#include "tests/viewer/ShownViewer.h"
#include "viewer/NavQualitySpeedEditPanel.h"
#include "viewer/NavReferenceViewUI.h"
#include "viewer/NavVersionning.h"

namespace {
constexpr int kSet = KIVDialog::StateSet, kCleared = KIVDialog::StateCleared;
using Q = NavQualitySpeedEditPanel;

struct Actions {
  explicit Actions(NavViewerExtand& v) : viewer(v) {
    listener.AddCallback(&viewer, NavViewerExtand::VIEWER_SETTING_MODIFIED(),
                         KIVEventCallback([this](const char*, void*, KIVNotification*, void*, KIVCallback) {
                           seen.push_back(viewer.GetLastViewerSettingAction());
                         }),
                         nullptr);
  }
  NavViewerExtand& viewer;
  KIVEventSubscriber listener;
  std::vector<int> seen;
};

void Flush() { KIVApplication::MainApplication()->ProcessDeferred(); }

float Lightness(NavViewerExtand& viewer) {
  float rgb[3], l = 0.0f;
  viewer.GetBackgroundColor(rgb);
  NavSimpleColorChooser::RGB_to_HLS(rgb[0], rgb[1], rgb[2], nullptr, &l, nullptr);
  return l;
}
}  // namespace

TEST(QualityPanel, WidgetsRangesAndTheReleaseSwitch) {
  ShownViewer shown;
  NavViewerExtand& viewer = *shown.viewer;
  ASSERT_EQ(viewer.SetQualityLodEditorState(1), 1);
  Q* panel = viewer.GetQualityPanel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->GetTitle(), KIVUnicodeString("Quality & Speed"));
  for (const char* tag : {"ViewerGraphicSetting", "ViewerLODButton", "OclusionVisuButton", "HRDVisuButton",
                          "NoReferenceTag", "QualityLODPage", "QualityPixelPage", "LodStaticSlider",
                          "PixelDynamicLab", "PreSetFrame", "UserPreSetButton"})
    EXPECT_NE(panel->LookupChild(tag), nullptr) << tag;
  float lo, hi, steps;
  panel->GetSlider(0, 1)->GetRange(lo, hi, steps);
  EXPECT_EQ(std::vector<float>({lo, hi, steps}), std::vector<float>({0.1f, 40.0f, 400.0f}));
  panel->GetSlider(1, 0)->GetRange(lo, hi, steps);
  EXPECT_EQ(std::vector<float>({lo, hi, steps}), std::vector<float>({0.0f, 100.0f, 1000.0f}));
  // The viewer's first setting (1, 4, 0.5, 12) follows no preset; "Use LOD" and "Mesh" are on.
  EXPECT_EQ(panel->GetRule(), Q::RuleUser);
  EXPECT_FLOAT_EQ(panel->GetSlider(1, 1)->GetCurrentValue(), 12.0f);
  EXPECT_EQ(panel->GetBox(0)->GetState(), kSet);
  EXPECT_EQ(panel->GetBox(4)->GetState(), kSet);
  // Unticking "Use LOD" greys both pages out.
  panel->GetBox(0)->UserSetState(kCleared);
  EXPECT_EQ(panel->GetTabs()->GetSensitivity(), KIVDialog::SensitivityOff);
  EXPECT_EQ(panel->GetSlider(0, 0)->IsUsable(), 0);
  viewer.SetQualityLodEditorState(0);

  // Without the newer release the five boxes are absent and their bits never sent.
  NavVersionning::NewReleaseFlag = 0;
  viewer.SetQualityLodEditorState(1);
  panel = viewer.GetQualityPanel();
  EXPECT_EQ(panel->LookupChild("OclusionVisuButton"), nullptr);
  EXPECT_EQ(panel->LookupChild("MeshVisuButton"), nullptr);
  EXPECT_EQ(panel->GetCurrentSetting().modeBits & ~7, 0);
  panel->UserApply();
  EXPECT_EQ(viewer.GetQualityModes() & (8 | 16 | 32 | 64 | 128), 0);
  EXPECT_EQ(viewer.ViewMode(1), 0);  // "Mesh" (host shading) switched off with it
  viewer.SetQualityLodEditorState(0);
  NavVersionning::NewReleaseFlag = 1;
}

TEST(QualityPanel, PresetsCoupleThePixelAndSagSlidersFromThePageOnDisplay) {
  ShownViewer shown;
  NavViewerExtand& viewer = *shown.viewer;
  viewer.SetQualityLodEditorState(1);
  Q* panel = viewer.GetQualityPanel();
  KIVDlgSlider *sagStill = panel->GetSlider(0, 0), *sagMoving = panel->GetSlider(0, 1);
  KIVDlgSlider *pixStill = panel->GetSlider(1, 0), *pixMoving = panel->GetSlider(1, 1);

  panel->GetRuleButton(Q::RuleMechanical)->UserSetState(kSet);  // from the sag page: pixel = 2 × sag
  EXPECT_FLOAT_EQ(pixStill->GetCurrentValue(), 2.0f);
  EXPECT_FLOAT_EQ(pixMoving->GetCurrentValue(), 8.0f);
  sagStill->UserSetValue(3.0f);
  EXPECT_NEAR(pixStill->GetCurrentValue(), 6.0f, 1e-4f);
  sagMoving->UserDragValue(10.0f);
  EXPECT_NEAR(pixMoving->GetCurrentValue(), 20.0f, 1e-4f);

  panel->GetTabs()->UserSelectPage(panel->GetPage(1));  // from the pixel page: sag = pixel / 2
  pixMoving->UserSetValue(30.0f);
  EXPECT_NEAR(sagMoving->GetCurrentValue(), 15.0f, 1e-4f);

  panel->GetRuleButton(Q::RuleAEC)->UserSetState(kSet);  // sag = 2 × pixel, kept in range
  EXPECT_FLOAT_EQ(sagMoving->GetCurrentValue(), 40.0f);
  EXPECT_NEAR(sagStill->GetCurrentValue(), 12.0f, 1e-4f);

  panel->GetRuleButton(Q::RuleHigh)->UserSetState(kSet);
  EXPECT_FLOAT_EQ(pixStill->GetCurrentValue(), 1.0f);
  EXPECT_FLOAT_EQ(pixMoving->GetCurrentValue(), 1.0f);

  panel->GetRuleButton(Q::RuleUser)->UserSetState(kSet);  // no coupling
  pixStill->UserSetValue(7.0f);
  EXPECT_NEAR(sagStill->GetCurrentValue(), 12.0f, 1e-4f);

  // Nothing reached the viewer without Apply.
  NavQualitySpeedSetting now;
  viewer.GetCurrentSetting(now);
  EXPECT_FLOAT_EQ(now.staticSag, 1.0f);
  EXPECT_FLOAT_EQ(now.dynamicPixelCulling, 12.0f);

  // Typed values outside the range are clamped and rounded; NaN is refused.
  pixStill->UserSetValue(250.0f);
  EXPECT_FLOAT_EQ(pixStill->GetCurrentValue(), 100.0f);
  sagStill->UserSetValue(-3.0f);
  EXPECT_FLOAT_EQ(sagStill->GetCurrentValue(), 0.1f);
  EXPECT_EQ(sagStill->UserSetValue(std::nanf("")), 0);
  EXPECT_FLOAT_EQ(sagStill->GetCurrentValue(), 0.1f);
  viewer.SetQualityLodEditorState(0);
}

TEST(QualityPanel, ApplyPublishesOnceCancelRestoresOkKeepsWhatWasApplied) {
  ShownViewer shown;
  NavViewerExtand& viewer = *shown.viewer;
  KIVDlgCheckButton* button = nullptr;
  viewer.SetToolsBarreState(1, -1);
  button = static_cast<KIVDlgCheckButton*>(viewer.GetToolBarItem(19));
  ASSERT_NE(button, nullptr);
  button->UserSetState(kSet);  // the "Quality" button opens it
  Q* panel = viewer.GetQualityPanel();
  ASSERT_NE(panel, nullptr);
  Actions heard(viewer);

  panel->GetSlider(1, 1)->UserSetValue(10.0f);
  panel->GetSlider(0, 0)->UserSetValue(2.0f);
  panel->UserApply();
  EXPECT_EQ(heard.seen, std::vector<int>{16});
  NavQualitySpeedSetting now;
  viewer.GetCurrentSetting(now);
  EXPECT_FLOAT_EQ(now.dynamicPixelCulling, 10.0f);
  EXPECT_FLOAT_EQ(now.staticSag, 2.0f);
  EXPECT_FLOAT_EQ(viewer.GetSupport().GetSagPrecision(), 2.0f);  // still: the static sag
  // The panel keeps what it asked for: it is not rewritten by its own Apply.
  EXPECT_FLOAT_EQ(panel->GetSlider(1, 1)->GetCurrentValue(), 10.0f);

  // A change from elsewhere shows in the panel.
  NavQualitySpeedSetting other;
  other.dynamicSag = 9.0f;
  viewer.SetCurrentSetting(other, nullptr);
  EXPECT_FLOAT_EQ(panel->GetSlider(0, 1)->GetCurrentValue(), 9.0f);

  heard.seen.clear();
  panel->UserCancel();  // back to the opening setting; the state closes (after this cycle)
  viewer.GetCurrentSetting(now);
  EXPECT_FLOAT_EQ(now.dynamicPixelCulling, 12.0f);
  EXPECT_FLOAT_EQ(now.staticSag, 1.0f);
  EXPECT_FLOAT_EQ(now.dynamicSag, 4.0f);
  EXPECT_EQ(viewer.GetQualityPanel(), nullptr);
  EXPECT_EQ(button->GetState(), kCleared);
  EXPECT_EQ(heard.seen, (std::vector<int>{16, 16}));  // the restore, then the closing
  Flush();

  viewer.SetQualityLodEditorState(1);
  panel = viewer.GetQualityPanel();
  panel->GetSlider(1, 0)->UserSetValue(3.0f);
  panel->UserApply();
  panel->GetSlider(1, 0)->UserSetValue(50.0f);  // not applied: dropped by OK
  panel->UserOK();
  viewer.GetCurrentSetting(now);
  EXPECT_FLOAT_EQ(now.staticPixelCulling, 3.0f);
  EXPECT_EQ(viewer.GetQualityPanel(), nullptr);
  Flush();
  viewer.SetToolsBarreState(0, -1);
}

TEST(QualityPanel, TheMovingValuesApplyWhileTheViewMoves) {
  ShownViewer shown;
  NavViewerExtand& viewer = *shown.viewer;
  NavQualitySpeedSetting s;
  s.staticSag = 0.5f, s.dynamicSag = 6.0f, s.staticPixelCulling = 0.5f, s.dynamicPixelCulling = 10.7f;
  viewer.SetCurrentSetting(s, nullptr);
  EXPECT_FLOAT_EQ(viewer.GetSupport().GetSagPrecision(), 0.5f);
  viewer.GetMain3DViewpoint()->BeginAnimation();
  EXPECT_FLOAT_EQ(viewer.GetSupport().GetSagPrecision(), 6.0f);
  EXPECT_FLOAT_EQ(viewer.GetSupport().GetCullingPrecision(), 10.0f);
  viewer.GetMain3DViewpoint()->EndAnimation();
  EXPECT_FLOAT_EQ(viewer.GetSupport().GetSagPrecision(), 0.5f);
}

TEST(ReferencePanel, FramesByViewerKindAndEachWidgetAppliesAtOnce) {
  {
    ShownViewer plain(NavViewerExtand::kOptionQuality);  // no navigation editor
    plain.viewer->SetReferenceEditorState(1);
    NavReferenceViewUI* panel = plain.viewer->GetReferencePanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetFrames(), 5);
    EXPECT_NE(panel->LookupChild("RefFrame"), nullptr);
    EXPECT_NE(panel->LookupChild("BkgFrame"), nullptr);
    EXPECT_EQ(panel->LookupChild("GravityFrame"), nullptr);
    EXPECT_EQ(panel->LookupChild("CollisionFrame"), nullptr);
  }
  ShownViewer shown;
  NavViewerExtand& viewer = *shown.viewer;
  viewer.SetReferenceEditorState(1);
  NavReferenceViewUI* panel = viewer.GetReferencePanel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->GetFrames(), 15);
  EXPECT_EQ(panel->GetTitle(), KIVUnicodeString("View Settings"));
  EXPECT_EQ(panel->GetPlaneButton(0)->GetState(), kSet);    // the viewer starts on X-Y
  EXPECT_EQ(panel->GetGravityButton(2)->GetState(), kSet);  // and "Up or Down"
  Actions heard(viewer);
  NavReferenceViewSetting now;

  panel->GetReverseButton()->UserSetState(kSet);
  panel->GetPlaneButton(2)->UserSetState(kSet);
  viewer.GetCurrentSetting(now);
  EXPECT_EQ(now.referencePlane, 24);
  panel->GetGravityButton(1)->UserSetState(kSet);
  EXPECT_EQ(viewer.GetMain3DViewpoint()->GetGravity(), 1);
  EXPECT_EQ(heard.seen, std::vector<int>{4});  // the plane alone publishes nothing

  // Collision: the distance is editable only while checked; a value below the least is raised.
  NavViewerViewpointEditor* editor = viewer.GetNavigationEditor();
  ASSERT_NE(editor, nullptr);
  panel->GetCollisionButton()->UserSetState(kSet);
  EXPECT_EQ(editor->GetCollisionState(), 1);
  EXPECT_EQ(panel->GetCollisionEditor()->GetSensitivity(), KIVDialog::SensitivityOn);
  viewer.GetMain3DViewpoint()->SetSize(2.0f);
  panel->GetCollisionEditor()->UserSetValue(1.0f);
  EXPECT_NEAR(panel->GetCollisionEditor()->GetCurrentValue(), 4.2f, 1e-4f);
  EXPECT_NEAR(editor->GetCollisionDistance(), 4.2f, 1e-4f);
  panel->GetCollisionEditor()->UserSetValue(1e9f);  // typed far out: clamped to the range
  viewer.GetCurrentSetting(now);
  EXPECT_FLOAT_EQ(now.collisionDistance, 10000.0f);
  panel->GetCollisionButton()->UserSetState(kCleared);
  EXPECT_EQ(panel->GetCollisionEditor()->GetSensitivity(), KIVDialog::SensitivityOff);
  EXPECT_EQ(editor->GetCollisionState(), 0);

  // The intensity slider sets the background's lightness.
  viewer.SetBackgroundColor(0.2f, 0.4f, 0.8f);
  panel->GetIntensitySlider()->UserSetValue(0.9f);
  EXPECT_NEAR(Lightness(viewer), 0.9f, 0.01f);
  float rgb[3];
  viewer.GetBackgroundColor(rgb);
  EXPECT_LT(rgb[0], rgb[2]);  // still bluish

  // Cancel gives back the plane, gravity, collision and background of the opening.
  panel->UserCancel();
  viewer.GetCurrentSetting(now);
  EXPECT_EQ(now.referencePlane, 1);
  EXPECT_EQ(viewer.GetMain3DViewpoint()->GetGravity(), 2);
  EXPECT_EQ(editor->GetCollisionState(), 0);
  viewer.GetBackgroundColor(rgb);
  EXPECT_NEAR(rgb[0], panel->GetOpeningSetting().backgroundRed, 1e-6f);
  EXPECT_NEAR(rgb[2], panel->GetOpeningSetting().backgroundBlue, 1e-6f);
  EXPECT_EQ(viewer.GetReferencePanel(), nullptr);
  Flush();
}

TEST(ReferencePanel, TheColourChooserSetsTheBackgroundAndTheSlider) {
  ShownViewer shown;
  NavViewerExtand& viewer = *shown.viewer;
  viewer.SetReferenceEditorState(1);
  NavReferenceViewUI* panel = viewer.GetReferencePanel();
  panel->GetColorButton()->UserSetState(kSet);
  NavSimpleColorChooser* chooser = panel->GetColorChooser();
  ASSERT_NE(chooser, nullptr);
  // The chooser opens in RGB on the window's colour: its sliders are red, green, blue.
  const char* sliders[3] = {"XColorSlider", "YColorSlider", "ZColorSlider"};
  const float wanted[3] = {1.0f, 0.0f, 0.0f};
  for (int i = 0; i < 3; ++i) {
    auto* slider = static_cast<KIVDlgSlider*>(chooser->LookupChild(sliders[i]));
    ASSERT_NE(slider, nullptr);
    slider->UserSetValue(wanted[i]);
  }
  float rgb[3];
  viewer.GetBackgroundColor(rgb);
  EXPECT_FLOAT_EQ(rgb[0], 1.0f);
  EXPECT_FLOAT_EQ(rgb[1], 0.0f);
  EXPECT_NEAR(panel->GetIntensitySlider()->GetCurrentValue(), 0.5f, 0.01f);
  // Closing the chooser by its window unticks the button.
  chooser->UserClose();
  EXPECT_EQ(panel->GetColorChooser(), nullptr);
  EXPECT_EQ(panel->GetColorButton()->GetState(), kCleared);
  Flush();
  panel->UserOK();  // OK keeps the red
  viewer.GetBackgroundColor(rgb);
  EXPECT_FLOAT_EQ(rgb[0], 1.0f);
  Flush();
}

// A floor at z = 0 and a step at z = 1 farther along +y; walking along +y.
TEST(ReferencePanel, GravityChosenThereKeepsTheWalkersHeight) {
  ShownViewer shown;
  NavViewerExtand& viewer = *shown.viewer;
  auto floor = [](float y0, float y1, float z) {
    const float v[12] = {-50, y0, z, 50, y0, z, 50, y1, z, -50, y1, z};
    const int t[6] = {0, 1, 2, 0, 2, 3};
    auto* rep = new KIV3DCustomRep;
    rep->AddGP(new KIV3DFaceGP(v, 12, nullptr, t, 2));
    return rep;
  };
  viewer.AddRep(floor(-50, 10, 0.0f), NavViewerExtand::kOfficialRoot);
  viewer.AddRep(floor(10, 50, 1.0f), NavViewerExtand::kOfficialRoot);
  KIV3DViewpoint* eye = viewer.GetMain3DViewpoint();
  eye->SetPosition(KIVMathPointf(0, 0, 1.7f), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  ASSERT_EQ(viewer.SetNavigationStyle(8), 8);  // walk
  NavViewerViewpointEditor* editor = viewer.GetNavigationEditor();
  ASSERT_NE(editor, nullptr);
  viewer.SetReferenceEditorState(1);
  NavReferenceViewUI* panel = viewer.GetReferencePanel();
  panel->GetGravityButton(1)->UserSetState(kSet);  // "Down": never climbs
  editor->Jump(KIVMathVectorf(0, 0, -1), KIVMathVectorf(), 0);  // one metre forward, on the floor
  EXPECT_NEAR(editor->GetWalkHeight(), 1.7f, 1e-3f);
  editor->Jump(KIVMathVectorf(0, 0, -12), KIVMathVectorf(), 0);  // onto the step
  EXPECT_NEAR(eye->GetOrigin().z, 1.7f, 1e-3f);
  panel->GetGravityButton(2)->UserSetState(kSet);  // "Up or Down" climbs it
  editor->Jump(KIVMathVectorf(0, 0, -1), KIVMathVectorf(), 0);
  editor->Jump(KIVMathVectorf(0, 0, -1), KIVMathVectorf(), 0);
  EXPECT_NEAR(eye->GetOrigin().z - 1.0f, editor->GetWalkHeight(), 1e-3f);
  editor->Jump(KIVMathVectorf(0, 0, 15), KIVMathVectorf(), 0);  // back off the step: down again
  EXPECT_NEAR(eye->GetOrigin().z, editor->GetWalkHeight(), 1e-3f);
  panel->GetGravityButton(0)->UserSetState(kSet);  // "None": the eye flies level
  const float z = eye->GetOrigin().z;
  editor->Jump(KIVMathVectorf(0, 0, -15), KIVMathVectorf(), 0);
  EXPECT_FLOAT_EQ(eye->GetOrigin().z, z);
  viewer.SetReferenceEditorState(0);
}
