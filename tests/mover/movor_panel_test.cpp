// The mover palette driven as its user drives it: clicks and holds on the arrows, typed
// coordinates, the tool row; and the spinner formatting on its own.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "mover/NavMovorObject.h"
#include "mover/NavMovorPanel.h"

namespace {

using P = NavMovorPanel;

template <class W>
W* Find(const KIVDialog* in, const char* tag) {
  return in ? dynamic_cast<W*>(in->LookupChild(tag)) : nullptr;
}

void ExpectNear(const KIVMathVectorf& v, float x, float y, float z, float eps = 1e-4f) {
  EXPECT_NEAR(v.x, x, eps);
  EXPECT_NEAR(v.y, y, eps);
  EXPECT_NEAR(v.z, z, eps);
}
void ExpectNear(const KIVMathPointf& p, float x, float y, float z, float eps = 1e-4f) {
  ExpectNear(p.AsVector(), x, y, z, eps);
}

struct Father : KIVCommand {
  KIVNotification* closeOf = nullptr;
  KIVNotification* showOf = nullptr;
  int closes = 0, shows = 0;
  Father() {
    AddAnalyseNotificationCB(
        nullptr, nullptr, nullptr,
        [this](KIVCommand*, KIVNotification* n, void*) {
          closes += n == closeOf;
          shows += n == showOf;
        },
        nullptr);
  }
};

class MovorPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    KIV4x4Matrix identity;
    KIVUnicodeString name("Box");
    mover = std::make_unique<NavMovorObject>(&parent, name, nullptr, identity, nullptr, 0, 1, 0,
                                             NavMovorObject::kTrihedral, 0);
    panel = NavMovorObject::sxNavMovorPanel;
    ASSERT_NE(panel, nullptr);
    panel->SetCurrentMovorObject(mover.get());
    panel->AffichePanel(1);
    translate = Find<KIVDlgFrame>(panel, P::MovorTranslationFrameTag);
    rotate = Find<KIVDlgFrame>(panel, P::MovorRotationFrameTag);
    originRow = Find<KIVDlgFrame>(panel, P::MovorOrigineRowFrameTag);
    axisRow = Find<KIVDlgFrame>(panel, P::MovorAxisRowFrameTag);
    ASSERT_TRUE(translate && rotate && originRow && axisRow);
  }
  void TearDown() override {
    mover.reset();
    delete NavMovorObject::sxNavMovorPanel;  // the next test starts with a fresh palette
    EXPECT_EQ(NavMovorObject::sxNavMovorPanel, nullptr);
  }
  KIVDlgPushButton* Arrow(KIVDlgFrame* frame, int arrow) {
    return Find<KIVDlgPushButton>(frame, (frame == translate ? P::TranslationButtonTag : P::RotationButtonTag)[arrow]);
  }
  KIVDlgPushButton* Tool(const char* tag) { return Find<KIVDlgPushButton>(panel, tag); }
  KIVDlgSpinner* Editor(KIVDlgFrame* row, int i) { return Find<KIVDlgSpinner>(row, P::MovorCoordEditorTag[i]); }
  void SetFrame(KIVMathPointf o, KIVMathDirectionf d1, KIVMathDirectionf d2, KIVMathDirectionf d3) {
    mover->SetStatusMovor(o, d1, d2, d3, 1, 0, 1, 0, 1);
  }

  KIVCommand parent;
  std::unique_ptr<NavMovorObject> mover;
  NavMovorPanel* panel = nullptr;
  KIVDlgFrame *translate = nullptr, *rotate = nullptr, *originRow = nullptr, *axisRow = nullptr;
};

TEST(MovorPanelFormat, DecimalsFollowTheMagnitudeUnlessForced) {
  NavMovorPanel panel(nullptr, nullptr);
  auto* step = Find<KIVDlgSpinner>(&panel, P::MovorTransFactSpinnerTag);
  auto* angle = Find<KIVDlgSpinner>(&panel, P::MovorRotateFactSpinnerTag);
  ASSERT_TRUE(step && angle);
  EXPECT_EQ(step->GetFormat().str(), "%.5f");
  EXPECT_FLOAT_EQ(step->GetCurrentValue(), 1.0f);
  EXPECT_EQ(angle->GetFormat().str(), "%.3f");
  EXPECT_FLOAT_EQ(angle->GetCurrentValue(), 30.0f);
  EXPECT_NEAR(angle->GetStep(), 1.0f, 1e-4f);  // 30 has the scale 10: steps of a tenth of it

  KIVDlgSpinner s(nullptr, "probe");
  const struct {
    float value;
    int decimals;
    const char* format;
  } cases[] = {{20000.0f, 3, "%.f"}, {10000.0f, -1, "%.1f"}, {-2000.0f, -1, "%.1f"}, {150.0f, -1, "%.2f"},
               {50.0f, -1, "%.3f"},  {50.0f, 1, "%.1f"},     {5.0f, -1, "%.4f"},     {1.0f, -1, "%.5f"},
               {0.5f, 0, "%.f"},     {0.5f, 4, "%.4f"}};
  for (const auto& c : cases) {
    EXPECT_EQ(P::FormatSpinner(&s, c.value, -1.0e8f, 1.0e8f, 1, c.decimals), 1);
    EXPECT_EQ(s.GetFormat().str(), c.format) << c.value << " " << c.decimals;
    EXPECT_FLOAT_EQ(s.GetCurrentValue(), c.value);
  }
  // A narrow range steps in tenths of the magnitude down to 0.01; a wide one never below 0.1.
  P::FormatSpinner(&s, 0.05f, -1.0f, 1.0f, 0, -1);
  EXPECT_NEAR(s.GetStep(), 0.01f, 1e-6f);
  EXPECT_FLOAT_EQ(s.GetCurrentValue(), 0.5f);  // setValue 0 leaves the value
  P::FormatSpinner(&s, 250.0f, 0.0f, 1000.0f, 1, -1);
  EXPECT_NEAR(s.GetStep(), 10.0f, 1e-4f);
  P::FormatSpinner(&s, 0.05f, 0.0f, 1000.0f, 1, -1);
  EXPECT_NEAR(s.GetStep(), 0.1f, 1e-6f);
  // Refusals change nothing.
  EXPECT_EQ(P::FormatSpinner(nullptr, 1.0f, 0.0f, 1.0f, 1, -1), 0);
  EXPECT_EQ(P::FormatSpinner(&s, NAN, 0.0f, 1.0f, 1, -1), 0);
  EXPECT_EQ(P::FormatSpinner(&s, 1.0f, -INFINITY, 1.0f, 1, -1), 0);
  EXPECT_EQ(s.GetFormat().str(), "%.5f");
  EXPECT_FLOAT_EQ(s.GetCurrentValue(), 0.05f);
}

TEST(MovorPanelFormat, WithoutMoverTheFramesAreInsensitiveAndCallbacksIdle) {
  NavMovorPanel panel(nullptr, nullptr);
  panel.AffichePanel(1);
  for (const char* tag : {P::MovorTranslationFrameTag, P::MovorRotationFrameTag, P::MovorEditOrigineFrameTag,
                          P::MovorResetPositionButtonTag, P::MovorChooseRepComboTag})
    EXPECT_EQ(panel.LookupChild(tag)->GetSensitivity(), KIVDialog::SensitivityOff) << tag;
  auto* right = Find<KIVDlgPushButton>(&panel, P::TranslationButtonTag[P::ArrowRight]);
  EXPECT_EQ(right->UserActivate(), 0);  // not usable
  panel.TranslationCB(right, right->GetPushBActivateNotification(), nullptr);
  panel.RotationCB(right, right->GetPushBActivateNotification(), nullptr);
  panel.ToolsBarreCB(panel.LookupChild(P::MovorResetPositionButtonTag), nullptr, nullptr);
  panel.UpdatePalette();
  EXPECT_EQ(panel.GetRegisterMovor(), nullptr);
  EXPECT_EQ(panel.GetTitle().GetUtf8(), "Mover Palette");
}

TEST_F(MovorPanelTest, ShowsTheMoverAndFollowsItsRegistration) {
  EXPECT_EQ(panel->GetTitle().GetUtf8(), "Mover Palette - Box");
  EXPECT_EQ(translate->GetSensitivity(), KIVDialog::SensitivityOn);
  // A palette of its own, so that its father is known whatever palette movers share.
  Father owner;
  NavMovorPanel own(&owner, nullptr);
  owner.closeOf = own.GetWindCloseNotification();
  owner.showOf = own.GetWindShowNotification();
  own.SetCurrentMovorObject(mover.get());
  EXPECT_EQ(own.GetTitle().GetUtf8(), "Mover Palette");  // hidden: not refreshed
  own.AffichePanel(1);
  EXPECT_EQ(own.GetTitle().GetUtf8(), "Mover Palette - Box");
  EXPECT_EQ(owner.shows, 1);
  EXPECT_EQ(own.GetPaletteStatusHide(), 0);
  EXPECT_EQ(own.UserClose(), 1);
  EXPECT_EQ(own.GetPaletteStatusHide(), 1);
  EXPECT_EQ(owner.closes, 1);
  own.AffichePanel(7);  // ignored
  EXPECT_EQ(own.GetPaletteStatusHide(), 1);
  own.AffichePanel(1);
  own.SetCurrentMovorObject(nullptr);
  EXPECT_EQ(Find<KIVDlgFrame>(&own, P::MovorTranslationFrameTag)->GetSensitivity(), KIVDialog::SensitivityOff);
  EXPECT_EQ(own.GetTitle().GetUtf8(), "Mover Palette");
  // A mover that goes while registered is forgotten, not used.
  own.SetCurrentMovorObject(mover.get());
  mover.reset();
  EXPECT_EQ(own.GetRegisterMovor(), nullptr);
  auto* right = Find<KIVDlgPushButton>(&own, P::TranslationButtonTag[P::ArrowRight]);
  own.TranslationCB(right, right->GetPushBActivateNotification(), nullptr);
}

TEST_F(MovorPanelTest, EachArrowStepsAlongItsOwnDirection) {
  // A turned frame: first direction +y, second -x, third +z.
  SetFrame({5, 5, 5}, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1});
  auto* step = Find<KIVDlgSpinner>(translate, P::MovorTransFactSpinnerTag);
  ASSERT_EQ(step->UserSetValue(2.0f), 1);
  const KIVMathVectorf expected[P::ArrowCount] = {{0, 2, 0}, {0, -2, 0}, {0, 0, 2}, {0, 0, -2}, {-2, 0, 0}, {2, 0, 0}};
  for (int arrow = 0; arrow < P::ArrowCount; ++arrow) {
    const KIVMathPointf before = mover->GetMovorOrigine();
    ASSERT_EQ(Arrow(translate, arrow)->UserActivate(), 1);
    ExpectNear(mover->GetMovorOrigine() - before, expected[arrow].x, expected[arrow].y, expected[arrow].z);
  }
  // The palette shows the new origin.
  EXPECT_NEAR(Editor(originRow, 0)->GetCurrentValue(), mover->GetMovorOrigine().x, 1e-2f);
}

TEST_F(MovorPanelTest, HoldingAnArrowAccelerates) {
  auto* right = Arrow(translate, P::ArrowRight);
  right->UserActivate();
  EXPECT_FLOAT_EQ(mover->GetMovorOrigine().x, 1.0f);
  for (int repeat = 1; repeat <= 25; ++repeat) {
    const float before = mover->GetMovorOrigine().x;
    right->UserRepeat();
    const float factor = repeat >= 20 ? 10.0f : repeat >= 10 ? 5.0f : repeat >= 5 ? 2.0f : 1.0f;
    EXPECT_FLOAT_EQ(mover->GetMovorOrigine().x - before, factor) << "repeat " << repeat;
  }
  // A new click starts again at one step, whichever cross it is on.
  Arrow(rotate, P::ArrowRight)->UserActivate();
  EXPECT_EQ(panel->GetRepeatFactor(), 1);
  const KIVMathPointf before = mover->GetMovorOrigine();
  right->UserActivate();
  EXPECT_NEAR(mover->GetMovorOrigine().DistanceTo(before), 1.0f, 1e-4f);
}

TEST_F(MovorPanelTest, RotationTurnsDegreesAboutTheRotationCentre) {
  Arrow(rotate, P::ArrowRight)->UserActivate();  // +30 degrees about the third direction
  const float c = std::cos(30.0f * 3.14159265f / 180.0f), s = 0.5f;
  ExpectNear(mover->GetDirection(0), c, s, 0);
  ExpectNear(mover->GetDirection(1), -s, c, 0);
  ExpectNear(mover->GetDirection(2), 0, 0, 1);
  ExpectNear(mover->GetMovorOrigine(), 0, 0, 0);
  Arrow(rotate, P::ArrowLeft)->UserActivate();
  ExpectNear(mover->GetDirection(0), 1, 0, 0);
  // Top turns the other way about the first direction; the origin turns about the centre.
  KIVMathPointf centre(10, 0, 0);
  mover->SetRotationPoint(centre);
  Arrow(rotate, P::ArrowTop)->UserActivate();
  ExpectNear(mover->GetDirection(2), 0, s, c);
  ExpectNear(mover->GetMovorOrigine(), 0, 0, 0);  // on the axis through the centre
  Arrow(rotate, P::ArrowBottom)->UserActivate();
  Arrow(rotate, P::ArrowRight)->UserActivate();
  ExpectNear(mover->GetMovorOrigine(), 10.0f - 10.0f * c, -10.0f * s, 0, 1e-3f);
}

TEST_F(MovorPanelTest, TypedCoordinatesChangeOnlyTheirComponent) {
  SetFrame({1, 2, 3}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
  ASSERT_EQ(Editor(originRow, 2)->UserSetValue(7.5f), 1);
  ExpectNear(mover->GetMovorOrigine(), 1, 2, 7.5f);
  ExpectNear(mover->GetDirection(0), 1, 0, 0);

  // The z of the first direction: it tilts, and the other two follow it.
  auto* axis = Find<KIVDlgCombo>(axisRow, P::MovorChooseAxeComboTag);
  ASSERT_EQ(axis->GetSelect(), 0);
  ASSERT_EQ(Editor(axisRow, 2)->UserSetValue(1.0f), 1);
  const float h = std::sqrt(0.5f);
  ExpectNear(mover->GetDirection(0), h, 0, h);
  for (int i = 0; i < 3; ++i)
    for (int j = i + 1; j < 3; ++j) EXPECT_NEAR(mover->GetDirection(i) * mover->GetDirection(j), 0.0f, 1e-5f);
  ExpectNear(mover->GetDirection(0) ^ mover->GetDirection(1), mover->GetDirection(2).x, mover->GetDirection(2).y,
             mover->GetDirection(2).z);
  ExpectNear(mover->GetMovorOrigine(), 1, 2, 7.5f);
  EXPECT_NEAR(Editor(axisRow, 0)->GetCurrentValue(), h, 1e-4f);  // shown normalised

  // Choosing another axis only shows it.
  const int history = mover->GetHistoryIndex();
  ASSERT_EQ(axis->UserSelect(2), 1);
  EXPECT_EQ(mover->GetHistoryIndex(), history);
  EXPECT_NEAR(Editor(axisRow, 0)->GetCurrentValue(), mover->GetDirection(2).x, 1e-4f);

  // A direction that vanishes is refused and the editors show the frame again.
  SetFrame({1, 2, 3}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
  const int before = mover->GetHistoryIndex();
  ASSERT_EQ(Editor(axisRow, 2)->UserSetValue(0.0f), 1);  // third direction becomes null
  EXPECT_EQ(mover->GetHistoryIndex(), before);
  ExpectNear(mover->GetDirection(2), 0, 0, 1);
  EXPECT_FLOAT_EQ(Editor(axisRow, 2)->GetCurrentValue(), 1.0f);
}

TEST_F(MovorPanelTest, ToolRowDrivesTheMover) {
  auto* undo = Tool(P::MovorUndoPositionButtonTag);
  auto* redo = Tool(P::MovorRedoPositionButtonTag);
  EXPECT_EQ(undo->GetSensitivity(), KIVDialog::SensitivityOff);
  EXPECT_EQ(redo->GetSensitivity(), KIVDialog::SensitivityOff);
  Arrow(translate, P::ArrowRight)->UserActivate();
  EXPECT_EQ(undo->GetSensitivity(), KIVDialog::SensitivityOn);
  EXPECT_EQ(redo->GetSensitivity(), KIVDialog::SensitivityOff);
  ASSERT_EQ(undo->UserActivate(), 1);
  EXPECT_FLOAT_EQ(mover->GetMovorOrigine().x, 0.0f);
  EXPECT_EQ(undo->GetSensitivity(), KIVDialog::SensitivityOff);
  EXPECT_EQ(redo->GetSensitivity(), KIVDialog::SensitivityOn);
  ASSERT_EQ(redo->UserActivate(), 1);
  EXPECT_FLOAT_EQ(mover->GetMovorOrigine().x, 1.0f);
  ASSERT_EQ(Tool(P::MovorResetPositionButtonTag)->UserActivate(), 1);
  EXPECT_FLOAT_EQ(mover->GetMovorOrigine().x, 0.0f);
  EXPECT_EQ(undo->GetSensitivity(), KIVDialog::SensitivityOn);  // a reset can be undone

  auto* kind = Find<KIVDlgCombo>(panel, P::MovorChooseRepComboTag);
  ASSERT_EQ(kind->UserSelect(0), 1);
  EXPECT_EQ(mover->GetKind(), NavMovorObject::kCube);
  ASSERT_EQ(kind->UserSelect(1), 1);
  EXPECT_EQ(mover->GetKind(), NavMovorObject::kTrihedral);
  mover->ChangeTypeRepresentation(NavMovorObject::kSphere);
  panel->UpdatePalette();
  EXPECT_EQ(kind->GetSelect(), 2);

  auto* plane = Find<KIVDlgCheckButton>(panel, P::MovorActivePlanButtonTag);
  ASSERT_EQ(plane->UserSetState(KIVDialog::StateSet), 1);
  EXPECT_EQ(mover->ShowPlan(-1), 1);
  const int centre = mover->GetRotationPointIndex();
  ASSERT_EQ(Tool(P::MovorRotateNextPointButtonTag)->UserActivate(), 1);
  EXPECT_NE(mover->GetRotationPointIndex(), centre);
}

TEST_F(MovorPanelTest, StepFieldsReformatAndRefreshesCanBeSuspended) {
  auto* step = Find<KIVDlgSpinner>(translate, P::MovorTransFactSpinnerTag);
  ASSERT_EQ(step->UserSetValue(12000.0f), 1);
  EXPECT_EQ(step->GetFormat().str(), "%.f");
  ASSERT_EQ(step->UserSetValue(50.0f), 1);
  EXPECT_EQ(step->GetFormat().str(), "%.3f");

  panel->ActivateUpdate(0);
  KIVMathPointf p(0, 0, 42);
  mover->SetMovorOrigine(p, 1, 0);
  EXPECT_FLOAT_EQ(Editor(originRow, 2)->GetCurrentValue(), 0.0f);
  panel->ActivateUpdate(1);
  EXPECT_FLOAT_EQ(Editor(originRow, 2)->GetCurrentValue(), 42.0f);
}

}  // namespace
