// The viewpoint palette driven as its user drives it: steps that speed up while held,
// standard views, turns about the eye or the target, typed coordinates, the number field
// formatting, and its setting.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "foundation/NavPaletteViewerSetting.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "navigation/NavToolsVisu.h"
#include "navigation/NavViewpointManipulate.h"
#include "navigation/NavViewpointManipulatePanel.h"
#include "viewer/NavViewerExtand.h"

namespace {

using P = NavViewpointManipulatePanel;

void ExpectNear(const KIVMathVectorf& a, const KIVMathVectorf& b, float eps = 1e-3f) {
  EXPECT_NEAR(a.x, b.x, eps);
  EXPECT_NEAR(a.y, b.y, eps);
  EXPECT_NEAR(a.z, b.z, eps);
}
void ExpectNear(const KIVMathPointf& a, const KIVMathPointf& b, float eps = 1e-3f) {
  ExpectNear(a.AsVector(), b.AsVector(), eps);
}

class PaletteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    object = std::make_unique<NavViewpointManipulate>(&viewer, nullptr, nullptr, KIVUnicodeString("cam"), 0);
    panel = std::make_unique<P>(&viewer, nullptr, &viewer);
    panel->SetCurrentManadgeObject(object.get());
    panel->AffichePanel(1);
    Reset();
  }
  void TearDown() override {
    panel.reset();
    object.reset();
  }
  // Eye at the origin looking along +x, up +z (right is -y), target at 100.
  void Reset() {
    KIV3DViewpoint* cam = camera();
    cam->BeginModification();
    cam->SetPosition(KIVMathPointf(0, 0, 0), KIVMathDirectionf(1, 0, 0), KIVMathDirectionf(0, 0, 1));
    cam->SetFocusDistance(100.0f);
    cam->SetAngle(30.0f);
    cam->EndModification(1);
  }
  template <class W>
  W* Find(const char* tag) {
    return dynamic_cast<W*>(panel->LookupChild(tag));
  }
  KIVDlgPushButton* Button(const char* tag) { return Find<KIVDlgPushButton>(tag); }
  KIVDlgCheckButton* Check(const char* tag) { return Find<KIVDlgCheckButton>(tag); }
  KIVDlgSpinner* Field(const char* tag) { return Find<KIVDlgSpinner>(tag); }
  KIV3DViewpoint* camera() { return object->GetPointerCameraVP(); }

  NavViewerExtand viewer{nullptr, KIVString("v"), 0, 0, 300, 300};
  std::unique_ptr<NavViewpointManipulate> object;
  std::unique_ptr<P> panel;
};

TEST(PaletteFormat, DecimalsAndStepsFollowTheMagnitude) {
  KIVDlgSpinner field(nullptr, "f");
  float min, max, steps;
  ASSERT_EQ(P::FormatSpinner(&field, 0.5f, 0.1f, 180.0f, 1, -1), 1);
  field.GetRange(min, max, steps);
  EXPECT_FLOAT_EQ(steps, (180.0f - 0.1f) * 10.0f);
  EXPECT_STREQ(field.GetFormat().CastToCharPtr(), "%.5f");
  EXPECT_FLOAT_EQ(field.GetCurrentValue(), 0.5f);
  P::FormatSpinner(&field, 2500.0f, 0.1f, 1e6f, 0, -1);
  EXPECT_STREQ(field.GetFormat().CastToCharPtr(), "%.1f");
  P::FormatSpinner(&field, 2500.0f, 0.1f, 1e6f, 0, 0);
  EXPECT_STREQ(field.GetFormat().CastToCharPtr(), "%.f");
  P::FormatSpinner(&field, 0.05f, 0.0f, 1.0f, 0, -1);
  field.GetRange(min, max, steps);
  EXPECT_FLOAT_EQ(steps, 10.0f);
  EXPECT_STREQ(field.GetFormat().CastToCharPtr(), "%.5f");
  EXPECT_EQ(P::FormatSpinner(nullptr, 1.0f, 0.0f, 1.0f, 1, -1), 0);
  EXPECT_EQ(P::FormatSpinner(&field, NAN, 0.0f, 1.0f, 1, -1), 0);
}

TEST_F(PaletteTest, OneClickIsOneStepAndHoldingAccelerates) {
  KIVDlgPushButton* right = Button("RightTranslationButton");
  ASSERT_NE(right, nullptr);
  ASSERT_EQ(right->UserActivate(), 1);
  ExpectNear(camera()->GetOrigin(), KIVMathPointf(0, -1, 0));  // +R, one step of 1
  // Held: repeats 1 to 4 step by 1, the fifth by 2.
  for (int i = 0; i < 4; ++i) right->UserRepeat();
  ExpectNear(camera()->GetOrigin(), KIVMathPointf(0, -5, 0));
  EXPECT_EQ(panel->GetRepeatFactor(), 1);
  right->UserRepeat();
  EXPECT_EQ(panel->GetRepeatFactor(), 2);
  ExpectNear(camera()->GetOrigin(), KIVMathPointf(0, -7, 0));
  for (int i = 0; i < 5; ++i) right->UserRepeat();
  EXPECT_EQ(panel->GetRepeatFactor(), 5);
  for (int i = 0; i < 10; ++i) right->UserRepeat();
  EXPECT_EQ(panel->GetRepeatFactor(), 10);
  // Released and clicked again: the plain step.
  Reset();
  right->UserActivate();
  EXPECT_EQ(panel->GetRepeatFactor(), 1);
  ExpectNear(camera()->GetOrigin(), KIVMathPointf(0, -1, 0));

  // The other directions, with the step typed in: sight, up and focus stay.
  Field("TranslationFactSpinner")->UserSetValue(10.0f);
  const char* tags[5] = {"LeftTranslationButton", "TopTranslationButton", "BottomTranslationButton",
                         "FrontTranslationButton", "BackTranslationButton"};
  const KIVMathVectorf moves[5] = {{0, 10, 0}, {0, 0, 10}, {0, 0, -10}, {10, 0, 0}, {-10, 0, 0}};
  for (int i = 0; i < 5; ++i) {
    Reset();
    Button(tags[i])->UserActivate();
    ExpectNear(camera()->GetOrigin(), KIVMathPointf(0, 0, 0) + moves[i]);
    ExpectNear(camera()->GetSightDirection(), KIVMathVectorf(1, 0, 0));
    EXPECT_EQ(camera()->GetFocusDistance(), 100.0f);
  }
}

TEST_F(PaletteTest, StandardViewButtonsChooseViews) {
  Check("ChangeViewButton")->UserSetState(KIVDialog::StateSet);
  auto expectCode = [&](const char* tag, int code) {
    Reset();
    KIV3DViewpoint expected;
    expected.SetPosition(KIVMathPointf(0, 0, 0), KIVMathDirectionf(1, 0, 0), KIVMathDirectionf(0, 0, 1));
    expected.SetFocusDistance(100.0f);
    expected.SetAngle(30.0f);
    NavToolsVisu::ViewpointGetOtherView(&expected, viewer.GetNorth(), viewer.GetVertical(), code, 1, 0);
    Button(tag)->UserActivate();
    ExpectNear(camera()->GetOrigin(), expected.GetOrigin());
    ExpectNear(camera()->GetSightDirection(), expected.GetSightDirection());
  };
  expectCode("FrontTranslationButton", 2);
  expectCode("BackTranslationButton", 1);
  expectCode("LeftTranslationButton", 3);
}

TEST_F(PaletteTest, RotationsTurnAboutTheEyeOrTheTarget) {
  Field("RotateFactSpinner")->UserSetValue(90.0f);
  Check("TargetFixeButton")->UserSetState(KIVDialog::StateCleared);
  // Yaw left about the eye: the sight turns towards -R (+y).
  Button("LeftRotateButton")->UserActivate();
  ExpectNear(camera()->GetOrigin(), KIVMathPointf(0, 0, 0));
  ExpectNear(camera()->GetSightDirection(), KIVMathVectorf(0, 1, 0));
  // Pitch up: the sight rises, the up tilts back.
  Reset();
  Button("TopRotateButton")->UserActivate();
  ExpectNear(camera()->GetSightDirection(), KIVMathVectorf(0, 0, 1));
  ExpectNear(camera()->GetUpDirection(), KIVMathVectorf(-1, 0, 0));
  // Roll: the up only.
  Reset();
  Button("BackRotateButton")->UserActivate();
  ExpectNear(camera()->GetSightDirection(), KIVMathVectorf(1, 0, 0));
  ExpectNear(camera()->GetUpDirection(), KIVMathVectorf(0, -1, 0));

  // About the target, in the opposite sense: the target stays, the eye goes round it.
  Reset();
  Check("TargetFixeButton")->UserSetState(KIVDialog::StateSet);
  EXPECT_STREQ(Check("TargetFixeButton")->GetIconName().CastToCharPtr(), "cbtargmv");
  Button("LeftRotateButton")->UserActivate();
  ExpectNear(camera()->GetTarget(), KIVMathPointf(100, 0, 0), 0.01f);
  ExpectNear(camera()->GetSightDirection(), KIVMathVectorf(0, -1, 0));
  ExpectNear(camera()->GetOrigin(), KIVMathPointf(100, 100, 0), 0.01f);
}

TEST_F(PaletteTest, AnimateItemTurnsContinuously) {
  auto* item = dynamic_cast<KIVDlgCheckItem*>(Button("LeftRotateButton")->LookupChild("AnimateContext"));
  ASSERT_NE(item, nullptr);
  item->SetState(KIVDialog::StateSet, 1);
  ASSERT_NE(object->GetCurrentAnimationViewpoint(), nullptr);
  EXPECT_EQ(object->GetCurrentAnimationViewpoint()->kind, 20);  // "Fixe Target" is set by default
  item->SetState(KIVDialog::StateCleared, 1);
  EXPECT_EQ(object->GetCurrentAnimationViewpoint(), nullptr);
}

TEST_F(PaletteTest, TypedCoordinatesRewriteTheCamera) {
  // The fields show the camera.
  EXPECT_FLOAT_EQ(Field("TargetXSpinner")->GetCurrentValue(), 100.0f);
  EXPECT_FLOAT_EQ(Field("TargetDistSpinner")->GetCurrentValue(), 100.0f);
  EXPECT_STREQ(Field("EyeXSpinner")->GetFormat().CastToCharPtr(), "%.2f");
  Field("EyeYSpinner")->UserSetValue(5.0f);
  ExpectNear(camera()->GetOrigin(), KIVMathPointf(0, 5, 0));
  Field("TargetZSpinner")->UserSetValue(100.0f);
  ExpectNear(camera()->GetTarget(), KIVMathPointf(100, 0, 100), 0.01f);
  EXPECT_NEAR(camera()->GetFocusDistance(), std::sqrt(100.0f * 100 + 5 * 5 + 100 * 100), 0.01f);
  Field("TargetDistSpinner")->UserSetValue(50.0f);
  EXPECT_FLOAT_EQ(camera()->GetFocusDistance(), 50.0f);
  EXPECT_NEAR(Field("TargetZSpinner")->GetCurrentValue(), camera()->GetTarget().z, 0.01f);
  // The view angle stays between 2 and 90.
  Field("ViewAngleSpinner")->UserSetValue(150.0f);
  EXPECT_FLOAT_EQ(camera()->GetAngle(), 90.0f);
  Field("ViewAngleSpinner")->UserSetValue(0.5f);
  EXPECT_FLOAT_EQ(camera()->GetAngle(), 2.0f);
  // The target typed onto the eye leaves no sight: refused, the fields come back.
  Reset();
  Field("TargetXSpinner")->UserSetValue(0.0f);
  ExpectNear(camera()->GetSightDirection(), KIVMathVectorf(1, 0, 0));
  EXPECT_FLOAT_EQ(Field("TargetXSpinner")->GetCurrentValue(), 100.0f);
  // Without an object the fields change nothing.
  panel->SetCurrentManadgeObject(nullptr);
  Field("EyeXSpinner")->UserSetValue(7.0f);
  Button("RightTranslationButton")->UserActivate();
  ExpectNear(camera()->GetOrigin(), KIVMathPointf(0, 0, 0));
}

TEST_F(PaletteTest, SettingRoundTripsAndUndefinedFieldsChangeNothing) {
  NavPaletteViewerSetting undefined;
  panel->SetCurrentSetting(undefined);
  NavPaletteViewerSetting after;
  panel->GetCurrentSetting(after);
  EXPECT_EQ(after.translationStep, 1.0f);
  EXPECT_EQ(after.rotationStep, 30.0f);
  EXPECT_EQ(after.interactiveState, 0);
  EXPECT_EQ(after.standardViewState, 0);
  EXPECT_EQ(after.targetFixedState, 1);
  EXPECT_EQ(Check("TargetFixeButton")->GetState(), KIVDialog::StateSet);

  NavPaletteViewerSetting wanted;
  wanted.translationStep = 2500.0f;
  wanted.rotationStep = 15.0f;
  wanted.interactiveState = 1;
  wanted.standardViewState = 1;
  wanted.targetFixedState = 0;
  panel->SetCurrentSetting(wanted);
  NavPaletteViewerSetting back;
  panel->GetCurrentSetting(back);
  EXPECT_EQ(back.translationStep, 2500.0f);
  EXPECT_EQ(back.rotationStep, 15.0f);
  EXPECT_EQ(back.interactiveState, 1);
  EXPECT_EQ(back.standardViewState, 1);
  EXPECT_EQ(back.targetFixedState, 0);
  EXPECT_EQ(Check("ChangeViewButton")->GetState(), KIVDialog::StateSet);
  EXPECT_EQ(Check("TargetFixeButton")->GetState(), KIVDialog::StateCleared);
  EXPECT_EQ(Check("ViewpointInteractifButton")->GetState(), KIVDialog::StateSet);
  EXPECT_FLOAT_EQ(Field("TranslationFactSpinner")->GetCurrentValue(), 2500.0f);
  EXPECT_STREQ(Field("TranslationFactSpinner")->GetFormat().CastToCharPtr(), "%.1f");
  EXPECT_FLOAT_EQ(Field("RotateFactSpinner")->GetCurrentValue(), 15.0f);
}

TEST_F(PaletteTest, FollowsTheObjectAndItsEnd) {
  // The object's switches reach the buttons; the buttons reach the object.
  object->SetCameraInteractif(1);
  EXPECT_EQ(Check("ViewpointInteractifButton")->GetState(), KIVDialog::StateSet);
  Check("ViewpointInteractifButton")->UserSetState(KIVDialog::StateCleared);
  EXPECT_EQ(object->GetCameraInteractif(), 0);
  camera()->BeginModification();
  camera()->SetOrigin(KIVMathPointf(3, 4, 5));
  camera()->EndModification(1);
  EXPECT_FLOAT_EQ(Field("EyeZSpinner")->GetCurrentValue(), 5.0f);
  object.reset();
  EXPECT_EQ(panel->GetCurrentManadgeObject(), nullptr);
  Button("RightTranslationButton")->UserActivate();  // nothing to drive, nothing breaks
}

}  // namespace
