#include "viewer/NavQualitySpeedEditPanel.h"

#include <cmath>

#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/dialog/KIVDlgSlider.h"
#include "host/dialog/KIVDlgTabContainer.h"
#include "host/dialog/KIVDlgTabPage.h"
#include "viewer/NavVersionning.h"
#include "viewer/NavViewerExtand.h"

namespace {
constexpr int kFill = KIVDialog::AttachLeft | KIVDialog::AttachRight | KIVDialog::AttachTop;
constexpr int kSet = KIVDialog::StateSet, kCleared = KIVDialog::StateCleared;
// The boxes that only the newer release offers start at this index.
constexpr int kFirstNewBox = 3;

template <class W>
W* Make(KIVDialog* parent, const char* tag, const char* title, int row, int column, int columnSpan = 1) {
  auto* widget = new W(parent, tag, 0);
  if (title) widget->SetTitle(KIVUnicodeString(title));
  widget->SetGridConstraints(row, column, 1, columnSpan, kFill);
  return widget;
}

// Slider values carry one decimal: a preset holds when the values agree to that precision.
bool Same(float a, float b) { return std::fabs(a - b) < 0.01f; }
}  // namespace

NavQualitySpeedEditPanel::NavQualitySpeedEditPanel(NavViewerExtand* viewer)
    : KIVDlgDialog(viewer, PanelIdTag, KIVDlgWindow::StyleApply),
      mViewer(viewer),
      mViewerLife(viewer ? viewer->GetLifeToken() : std::weak_ptr<int>()),
      mRelay(std::make_unique<KIVCommand>(viewer, "QualityAndSpeedRelay")) {
  SetTitle(KIVUnicodeString(PanelIdTitle));
  auto* graphic = Make<KIVDlgFrame>(this, GraphicFrameTag, GraphicFrameTitle, 0, 0);
  const int boxes = NavVersionning::NewReleaseFlag ? kBoxCount : kFirstNewBox;
  for (int i = 0; i < boxes; ++i) mBoxes[i] = Make<KIVDlgCheckButton>(graphic, BoxTag[i], BoxTitle[i], i / 4, i % 4);

  mTabs = Make<KIVDlgTabContainer>(this, TabTag, nullptr, 1, 0);
  const char* pageTags[2] = {LodPageTag, PixelPageTag};
  const char* pageTitles[2] = {LodPageTitle, PixelPageTitle};
  const char* sliderTags[2][2] = {{SagStaticTag, SagDynamicTag}, {PixelStaticTag, PixelDynamicTag}};
  const float ranges[2][3] = {{kSagMin, kSagMax, kSagSteps}, {kPixelMin, kPixelMax, kPixelSteps}};
  for (int p = 0; p < 2; ++p) {
    mPages[p] = Make<KIVDlgTabPage>(mTabs, pageTags[p], pageTitles[p], 0, 0);
    for (int m = 0; m < 2; ++m) {
      Make<KIVDlgLabel>(mPages[p], m == 0 ? StaticLabelTag : DynamicLabelTag,
                        m == 0 ? StaticLabelTitle : DynamicLabelTitle, m, 0);
      KIVDlgSlider* slider = Make<KIVDlgSlider>(mPages[p], sliderTags[p][m], nullptr, m, 1);
      slider->SetRange(ranges[p][0], ranges[p][1], ranges[p][2]);
      slider->SetDecimals(1);
      mSliders[p][m] = slider;
    }
  }

  auto* rules = Make<KIVDlgFrame>(this, RuleFrameTag, RuleFrameTitle, 2, 0);
  for (int r = 0; r < RuleCount; ++r) mRules[r] = Make<KIVDlgRadioButton>(rules, RuleTag[r], RuleTitle[r], r / 2, r % 2);

  // The dialog's own buttons reach the relay (its father); the widgets reach the dialog.
  for (KIVNotification* n : {static_cast<KIVNotification*>(GetDiaOKNotification()),
                             static_cast<KIVNotification*>(GetDiaCANCELNotification()),
                             static_cast<KIVNotification*>(GetDiaAPPLYNotification()),
                             static_cast<KIVNotification*>(GetWindCloseNotification())})
    mRelay->AddAnalyseNotificationCB(
        this, n, nullptr, [this](KIVCommand* s, KIVNotification* m, void* d) { ActionPanelCB(s, m, d); }, nullptr);
  SetFather(mRelay.get());
  Listen(mBoxes[0], mBoxes[0]->GetChkBModifyNotification());
  for (const char* kind : {KIVDlgRadBModifyNotification::ClassName(), KIVDlgSliderModifyNotification::ClassName(),
                           KIVDlgSliderDragNotification::ClassName()})
    mCallbacks.push_back(AddAnalyseNotificationCB(nullptr, kind, &NavQualitySpeedEditPanel::ActionPanelCB, nullptr));

  if (viewer) viewer->GetCurrentSetting(mOpening);
  const float* values[2][2] = {{&mOpening.staticSag, &mOpening.dynamicSag},
                               {&mOpening.staticPixelCulling, &mOpening.dynamicPixelCulling}};
  for (int p = 0; p < 2; ++p)
    for (int m = 0; m < 2; ++m)
      if (*values[p][m] != -1.0f) mSliders[p][m]->SetCurrentValue(*values[p][m], 0);
  const float ss = mOpening.staticSag, ds = mOpening.dynamicSag, sp = mOpening.staticPixelCulling,
              dp = mOpening.dynamicPixelCulling;
  Rule rule = RuleUser;
  if (Same(sp, 2.0f * ss) && Same(dp, 2.0f * ds))
    rule = RuleMechanical;
  else if (Same(sp, 1.0f) && Same(dp, 1.0f))
    rule = RuleHigh;
  else if (Same(sp, 0.5f * ss) && Same(dp, 0.5f * ds))
    rule = RuleAEC;
  mRules[rule]->SetState(kSet, 0);
  if (mOpening.modeBits != -1)
    for (int i = 0; i < kBoxCount; ++i)
      if (mBoxes[i]) mBoxes[i]->SetState((mOpening.modeBits & BoxBit[i]) ? kSet : kCleared, 0);
  mTabs->SetSensitivity(mBoxes[0]->GetState() == kSet ? SensitivityOn : SensitivityOff);
}

NavQualitySpeedEditPanel::~NavQualitySpeedEditPanel() {
  Retire();
  for (KIVCallback id : mCallbacks) RemoveAnalyseNotificationCB(id);
  SetFather(nullptr);
}

NavViewerExtand* NavQualitySpeedEditPanel::Viewer() const { return mViewerLife.expired() ? nullptr : mViewer; }

void NavQualitySpeedEditPanel::Listen(KIVCommand* sender, KIVNotification* notification) {
  mCallbacks.push_back(
      AddAnalyseNotificationCB(sender, notification, &NavQualitySpeedEditPanel::ActionPanelCB, nullptr));
}

NavQualitySpeedSetting NavQualitySpeedEditPanel::GetCurrentSetting() const {
  NavQualitySpeedSetting s;
  s.staticSag = mSliders[0][0]->GetCurrentValue();
  s.dynamicSag = mSliders[0][1]->GetCurrentValue();
  s.staticPixelCulling = mSliders[1][0]->GetCurrentValue();
  s.dynamicPixelCulling = mSliders[1][1]->GetCurrentValue();
  s.modeBits = 0;
  for (int i = 0; i < kBoxCount; ++i)
    if (mBoxes[i] && mBoxes[i]->GetState() == kSet) s.modeBits |= BoxBit[i];
  return s;
}

void NavQualitySpeedEditPanel::SetCurrentSetting(NavQualitySpeedSetting& s) {
  const float values[2][2] = {{s.staticSag, s.dynamicSag}, {s.staticPixelCulling, s.dynamicPixelCulling}};
  for (int p = 0; p < 2; ++p)
    for (int m = 0; m < 2; ++m)
      if (values[p][m] != -1.0f && std::isfinite(values[p][m])) mSliders[p][m]->SetCurrentValue(values[p][m], 0);
  if (s.modeBits != -1) {
    for (int i = 0; i < kBoxCount; ++i)
      if (mBoxes[i]) mBoxes[i]->SetState((s.modeBits & BoxBit[i]) ? kSet : kCleared, 0);
    mTabs->SetSensitivity(mBoxes[0]->GetState() == kSet ? SensitivityOn : SensitivityOff);
  }
}

NavQualitySpeedEditPanel::Rule NavQualitySpeedEditPanel::GetRule() const {
  for (int r = 0; r < RuleCount; ++r)
    if (mRules[r]->GetState() == kSet) return static_cast<Rule>(r);
  return RuleUser;
}

void NavQualitySpeedEditPanel::ApplyRule() {
  const Rule rule = GetRule();
  if (rule == RuleUser) return;
  ++mApplyingRule;
  if (rule == RuleHigh) {
    mSliders[1][0]->SetCurrentValue(1.0f, 0);
    mSliders[1][1]->SetCurrentValue(1.0f, 0);
  } else {
    // From the page on display to the other one.
    const bool fromSag = mTabs->GetSelectedPage() != mPages[1];
    const float ratio = rule == RuleMechanical ? 2.0f : 0.5f;  // pixel = ratio × sag
    for (int m = 0; m < 2; ++m) {
      if (fromSag)
        mSliders[1][m]->SetCurrentValue(ratio * mSliders[0][m]->GetCurrentValue(), 0);
      else
        mSliders[0][m]->SetCurrentValue(mSliders[1][m]->GetCurrentValue() / ratio, 0);
    }
  }
  --mApplyingRule;
}

void NavQualitySpeedEditPanel::Close(int restore) {
  NavViewerExtand* viewer = Viewer();
  if (restore && viewer) viewer->SetCurrentSetting(mOpening, nullptr);
  SetVisibility(VisibilityHidden);
  if (viewer) SendNotification(viewer, GetWindCloseNotification());
}

void NavQualitySpeedEditPanel::ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (!sender || !notification) return;
  if (sender == this) {
    if (notification == GetWindCloseNotification() || notification == GetDiaCANCELNotification()) {
      Close(1);
    } else if (notification == GetDiaOKNotification()) {
      Close(0);
    } else if (notification == GetDiaAPPLYNotification()) {
      if (NavViewerExtand* viewer = Viewer()) viewer->SetCurrentSetting(GetCurrentSetting(), this);
    }
    return;
  }
  if (sender == mBoxes[0]) {
    mTabs->SetSensitivity(mBoxes[0]->GetState() == kSet ? SensitivityOn : SensitivityOff);
    return;
  }
  if (mApplyingRule) return;
  for (int r = 0; r < RuleCount; ++r)
    if (sender == mRules[r]) {
      if (r != RuleUser && mRules[r]->GetState() == kSet) ApplyRule();
      return;
    }
  for (auto& row : mSliders)
    for (KIVDlgSlider* slider : row)
      if (sender == slider) {
        ApplyRule();
        return;
      }
}
