#include "dialogs/NavSimpleColorChooser.h"

#include <algorithm>
#include <iostream>

#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/dialog/KIVDlgSlider.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/view/KIV2DViewpoint.h"
#include "host/visu/view/KIVViewer.h"

const char* NavSimpleColorChooser::PanelIdTag = "ColorChooserPanel";
const char* NavSimpleColorChooser::PanelIdTitle = "Color Chooser";
const int NavSimpleColorChooser::saBasicColor[7] = {249, 250, 248, 247, 246, 245, kNoColor};

namespace {
constexpr int kSet = KIVDialog::StateSet;
constexpr int kCleared = KIVDialog::StateCleared;

float Clamp01(float v) { return v != v ? 0.0f : std::clamp(v, 0.0f, 1.0f); }  // NaN gives 0

const KIVColorMap& DefaultMap() {
  static const KIVColorMap map;
  return map;
}

struct ButtonRow {
  const char* tag;
  const char* title;
  const char* icon;
};
const ButtonRow kBasicRows[7] = {{"ColorWhiteButton", "White", "cbwhite"}, {"ColorBlackButton", "Black", "cbblack"},
                                 {"ColorRedButton", "Red", "cbred"},       {"ColorGreenButton", "Green", "cbgreen"},
                                 {"ColorBlueButton", "Blue", "cbblue"},    {"ColorYellowButton", "Yellow", "cbyellow"},
                                 {"NoColorButton", "None", "cbnone"}};
const ButtonRow kThickRows[4] = {{"ThickFineButton", "Fine", "cbthcks"},
                                 {"ThickMediumButton", "Medium", "cbthckm"},
                                 {"ThickLargeButton", "Large", "cbthckl"},
                                 {"ThickXlargeButton", "XLarge", "cbthckxl"}};
const char* const kSliderTags[3] = {"XColorSlider", "YColorSlider", "ZColorSlider"};
const char* const kLabelTags[3] = {"XColorLab", "YColorLab", "ZColorLab"};

int WindowStyle(int options) {
  if (options & (NavSimpleColorChooser::kOkCancel | NavSimpleColorChooser::kApplyMode)) return 0;
  return KIVDlgWindow::StyleNoButtons;
}

float V(float p, float q, float x) {
  if (x > 360.0f) x -= 360.0f;
  if (x < 0.0f) x += 360.0f;
  if (x < 60.0f) return p + (q - p) * x / 60.0f;
  if (x < 180.0f) return q;
  if (x < 240.0f) return p + (q - p) * (240.0f - x) / 60.0f;
  return p;
}
}  // namespace

// ---------------------------------------------------------------------------------------
// Conversions

float NavSimpleColorChooser::ColMax(float a, float b, float c) { return std::max(a, std::max(b, c)); }
float NavSimpleColorChooser::ColMin(float a, float b, float c) { return std::min(a, std::min(b, c)); }

void NavSimpleColorChooser::RGB_to_HLS(float r, float g, float b, float* h, float* l, float* s) {
  r = Clamp01(r);
  g = Clamp01(g);
  b = Clamp01(b);
  const float max = ColMax(r, g, b), min = ColMin(r, g, b);
  const float light = (max + min) * 0.5f;
  float hue = 0.0f, saturation = 0.0f;
  if (max != min) {
    const float d = max - min;
    saturation = light <= 0.5f ? d / (max + min) : d / (2.0f - (max + min));
    if (r == max) hue = (g - b) / d;
    else if (g == max) hue = 2.0f + (b - r) / d;
    else hue = 4.0f + (r - g) / d;
    hue /= 6.0f;
    if (hue < 0.0f) hue += 1.0f;
  }
  if (h) *h = Clamp01(hue);
  if (l) *l = Clamp01(light);
  if (s) *s = Clamp01(saturation);
}

void NavSimpleColorChooser::HLS_to_RGB(float h, float l, float s, float* r, float* g, float* b) {
  h = Clamp01(h);
  l = Clamp01(l);
  s = Clamp01(s);
  const float a = h * 360.0f;
  float red = l, green = l, blue = l;
  if (s != 0.0f) {
    const float m2 = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
    const float m1 = 2.0f * l - m2;
    red = V(m1, m2, a + 120.0f);
    green = V(m1, m2, a);
    blue = V(m1, m2, a - 120.0f);
  }
  if (r) *r = Clamp01(red);
  if (g) *g = Clamp01(green);
  if (b) *b = Clamp01(blue);
}

// ---------------------------------------------------------------------------------------
// Construction

NavSimpleColorChooser::NavSimpleColorChooser(KIVDialog* parent, int options)
    : KIVDlgDialog(parent, PanelIdTag, WindowStyle(options)),
      mReceiver(parent),
      mRelay(std::make_unique<KIVCommand>(parent, "NavSimpleColorChooserRelay")),
      mMap(&DefaultMap()),
      mOptions(options) {
  SetTitle(KIVUnicodeString(PanelIdTitle));
  SetRectDimensions(0, 0, 450, 450);
  if (options & kApplyMode) {
    SetOKTitle(KIVUnicodeString("Apply"));
    SetApplyTitle(KIVUnicodeString("Apply"));
    SetCancelTitle(KIVUnicodeString("Close"));
  } else if (options & kOkCancel) {
    SetOKTitle(KIVUnicodeString("OK"));
    SetCancelTitle(KIVUnicodeString("Cancel"));
  }
  int row = 0;
  auto* systemFrame = new KIVDlgFrame(this, "ColorSystemFrame", 0);
  systemFrame->SetGridConstraints(row++, 0, 1, 2, AttachLeft | AttachRight);
  const char* systemTags[2] = {"RGBButton", "HLSButton"};
  const char* systemTitles[2] = {"RGB", "HLS"};
  for (int i = 0; i < 2; ++i) {
    mSystemButtons[i] = new KIVDlgRadioButton(systemFrame, systemTags[i], 0);
    mSystemButtons[i]->SetTitle(KIVUnicodeString(systemTitles[i]));
    mSystemButtons[i]->SetGridConstraints(0, i);
    AddAnalyseNotificationCB(mSystemButtons[i], mSystemButtons[i]->GetRadBModifyNotification(),
                             &NavSimpleColorChooser::ActionPanelCB, nullptr);
  }
  if (options & kPreview) {
    auto* previews = new KIVDlgFrame(this, "ColorViewerFrame", 0);
    previews->SetGridConstraints(row++, 0, 1, 2, AttachLeft | AttachRight);
    const char* tags[2] = {"ColorViewerOld", "ColorViewerNew"};
    for (int i = 0; i < 2; ++i) {
      KIVViewer* viewer = new KIVViewer(previews, tags[i], 0, 40, 30);
      viewer->SetGridConstraints(0, i);
      mViewpoints[i] = new KIV2DViewpoint;
      viewer->AddViewpoint(mViewpoints[i]);
      (i == 0 ? mViewerOld : mViewerNew) = viewer;
    }
  }
  mSliderFrame = new KIVDlgFrame(this, "ColorSliderFrame", 0);
  mSliderFrame->SetTitle(KIVUnicodeString("Fine Define"));
  mSliderFrame->SetGridConstraints(row++, 0, 1, 2, AttachLeft | AttachRight);
  mSliderFrame->SetSensitivity((options & kFineDefine) ? SensitivityOn : SensitivityOff);
  for (int i = 0; i < 3; ++i) {
    mLabels[i] = new KIVDlgLabel(mSliderFrame, kLabelTags[i], 0);
    mLabels[i]->SetGridConstraints(i, 0);
    mSliders[i] = new KIVDlgSlider(mSliderFrame, kSliderTags[i], 0);
    mSliders[i]->SetRange(0.0f, 1.0f, 100.0f);
    mSliders[i]->SetDecimals(2);
    mSliders[i]->SetGridConstraints(i, 1, 1, 1, AttachLeft | AttachRight);
    AddAnalyseNotificationCB(mSliders[i], mSliders[i]->GetSliderModifyNotification(),
                             &NavSimpleColorChooser::ActionPanelCB, nullptr);
    AddAnalyseNotificationCB(mSliders[i], mSliders[i]->GetSliderDragNotification(),
                             &NavSimpleColorChooser::ActionPanelCB, nullptr);
  }
  if (options & (kBasic | kNone)) {
    auto* basic = new KIVDlgFrame(this, "ColorButtonFrame", 0);
    basic->SetTitle(KIVUnicodeString("Basic"));
    basic->SetGridConstraints(row, 0, 1, 1, AttachLeft | AttachRight | AttachTop);
    for (int i = 0; i < 7; ++i) {
      if (i < 6 && !(options & kBasic)) continue;
      if (i == 6 && !(options & kNone)) continue;
      mBasicButtons[i] = new KIVDlgRadioButton(basic, kBasicRows[i].tag, 0);
      mBasicButtons[i]->SetTitle(KIVUnicodeString(kBasicRows[i].title));
      mBasicButtons[i]->SetIconName(kBasicRows[i].icon);
      mBasicButtons[i]->SetGridConstraints(i, 0, 1, 1, AttachLeft);
      AddAnalyseNotificationCB(mBasicButtons[i], mBasicButtons[i]->GetRadBModifyNotification(),
                               &NavSimpleColorChooser::ActionPanelCB, nullptr);
    }
  }
  if (options & kThickness) {
    auto* thick = new KIVDlgFrame(this, "ThickFrame", 0);
    thick->SetTitle(KIVUnicodeString("Thickness"));
    thick->SetGridConstraints(row, 1, 1, 1, AttachLeft | AttachRight | AttachTop);
    for (int i = 0; i < 4; ++i) {
      mThickButtons[i] = new KIVDlgRadioButton(thick, kThickRows[i].tag, 0);
      mThickButtons[i]->SetTitle(KIVUnicodeString(kThickRows[i].title));
      mThickButtons[i]->SetIconName(kThickRows[i].icon);
      mThickButtons[i]->SetGridConstraints(i, 0, 1, 1, AttachLeft);
      AddAnalyseNotificationCB(mThickButtons[i], mThickButtons[i]->GetRadBModifyNotification(),
                               &NavSimpleColorChooser::ActionPanelCB, nullptr);
    }
  }
  ++row;
  if (options & kIndexEditor) {
    mIndexEditor = new KIVDlgSpinner(this, "ColorIndexEditor", 0);
    mIndexEditor->SetTitle(KIVUnicodeString("Index"));
    mIndexEditor->SetRange(0.0f, 255.0f, 255.0f);
    mIndexEditor->SetFormat("%0.f");
    mIndexEditor->SetGridConstraints(row++, 0, 1, 2, AttachLeft);
    AddAnalyseNotificationCB(mIndexEditor, mIndexEditor->GetSpinModifyNotification(),
                             &NavSimpleColorChooser::ActionPanelCB, nullptr);
  }
  SetFather(mRelay.get());
  mRelay->AddAnalyseNotificationCB(
      this, nullptr, nullptr, [this](KIVCommand*, KIVNotification* n, void*) { DialogButton(n); }, nullptr);
  Refresh();
}

NavSimpleColorChooser::~NavSimpleColorChooser() {
  Retire();
  SetFather(nullptr);
  for (KIV2DViewpoint* viewpoint : mViewpoints) delete viewpoint;
}

void NavSimpleColorChooser::SetColorMap(const KIVColorMap* map) { mMap = map ? map : &DefaultMap(); }

// ---------------------------------------------------------------------------------------
// Colour

int NavSimpleColorChooser::NearestIndex() const {
  int best = 0;
  float bestDistance = 4.0f;
  for (int i = 0; i < 256; ++i) {
    float rgb[3];
    if (!mMap->GetColor(i, rgb)) continue;
    const float d = (rgb[0] - mR) * (rgb[0] - mR) + (rgb[1] - mG) * (rgb[1] - mG) + (rgb[2] - mB) * (rgb[2] - mB);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

void NavSimpleColorChooser::SetColorIndex(int index) {
  mColorIndex = index;
  mBasic = -1;
  for (int i = 0; i < 7; ++i)
    if (saBasicColor[i] == index) mBasic = i;
  if (mBasic == -1) {
    float rgb[3];
    if (mMap->GetColor(index, rgb)) {
      mR = rgb[0];
      mG = rgb[1];
      mB = rgb[2];
      RGB_to_HLS(mR, mG, mB, &mH, &mL, &mS);
    }
  }
  Refresh();
}

int NavSimpleColorChooser::GetColorIndex(int useBasic) const {
  if (mIndexEditor && mColorIndex != -1) return mColorIndex;
  if (useBasic == 1 && mBasic >= 0 && mBasic < 7) return saBasicColor[mBasic];
  return NearestIndex();
}

void NavSimpleColorChooser::SetColor(const float c1, const float c2, const float c3, const float alpha, int system,
                                     int switchSystem) {
  if (system == 1) {
    mR = Clamp01(c1);
    mG = Clamp01(c2);
    mB = Clamp01(c3);
    RGB_to_HLS(mR, mG, mB, &mH, &mL, &mS);
  } else {
    mH = Clamp01(c1);
    mL = Clamp01(c2);
    mS = Clamp01(c3);
    HLS_to_RGB(mH, mL, mS, &mR, &mG, &mB);
  }
  mAlpha = Clamp01(alpha);
  mBasic = -1;
  mColorIndex = -1;
  if (switchSystem == 1) mSystem = system == 1 ? 1 : 0;
  Refresh();
}

void NavSimpleColorChooser::GetColor(float& c1, float& c2, float& c3, float& alpha, int system) const {
  if (system == 1) {
    c1 = mR;
    c2 = mG;
    c3 = mB;
  } else {
    c1 = mH;
    c2 = mL;
    c3 = mS;
  }
  alpha = mAlpha;
}

// ---------------------------------------------------------------------------------------
// Thickness

void NavSimpleColorChooser::SetThickMode(int mode, int notify) {
  if (mode < 0 || mode > 3) {
    std::cout << "ATTENTION ERREUR: ColorChooser - SetThickMode n'accepte que 0 1 2 ou 3 (Choix des boutons)"
              << std::endl;
    return;
  }
  if (mode == mThickMode) return;
  mThickMode = mode;
  if (mThickButtons[mode]) mThickButtons[mode]->SetState(kSet, 0);
  if (notify == 1) Report();
}

void NavSimpleColorChooser::SetThickValue(const int* four) {
  if (!four) return;
  for (int i = 0; i < 4; ++i)
    if (four[i] != -1) mThick[i] = four[i];
}

int NavSimpleColorChooser::GetThickCurrent() const { return mThickMode < 0 ? -1 : mThick[mThickMode]; }

// ---------------------------------------------------------------------------------------
// Showing and refreshing

void NavSimpleColorChooser::Save() {
  mSavedR = mR;
  mSavedG = mG;
  mSavedB = mB;
  mSavedAlpha = mAlpha;
  mSavedSystem = mSystem;
  mSavedBasic = mBasic;
  mSavedColorIndex = mColorIndex;
  mSavedThickMode = mThickMode;
}

void NavSimpleColorChooser::Restore() {
  mR = mSavedR;
  mG = mSavedG;
  mB = mSavedB;
  RGB_to_HLS(mR, mG, mB, &mH, &mL, &mS);
  mAlpha = mSavedAlpha;
  mSystem = mSavedSystem;
  mBasic = mSavedBasic;
  mColorIndex = mSavedColorIndex;
  mThickMode = mSavedThickMode;
  Refresh();
}

void NavSimpleColorChooser::SetVisibility(unsigned long visibility) {
  if (visibility == static_cast<unsigned long>(VisibilityShown)) {
    if (mOptions & kOkCancel) Save();
    KIVDlgDialog::SetVisibility(VisibilityShown);
    Refresh();
    if (mViewerOld) mViewerOld->SetBackgroundColor(mR, mG, mB);
    if (mViewerNew) mViewerNew->SetBackgroundColor(mR, mG, mB);
  } else {
    KIVDlgDialog::SetVisibility(static_cast<int>(visibility));
  }
}

void NavSimpleColorChooser::UpdatePalette(int basic, int thick, int system, int index) {
  if (basic != -1) mBasic = basic;
  if (thick != -1) mThickMode = thick;
  if (system != -1) mSystem = system == 1 ? 1 : 0;
  if (index != -1) mColorIndex = index;
  Refresh();
}

void NavSimpleColorChooser::Refresh() {
  ++mRefreshing;  // the widgets are set without reports
  if (mBasic >= 0 && mBasic < 7) {
    if (saBasicColor[mBasic] == kNoColor) {
      mR = mG = mB = 0.0f;
    } else {
      float rgb[3];
      if (mMap->GetColor(saBasicColor[mBasic], rgb)) {
        mR = rgb[0];
        mG = rgb[1];
        mB = rgb[2];
      }
    }
    RGB_to_HLS(mR, mG, mB, &mH, &mL, &mS);
  }
  for (int i = 0; i < 7; ++i)
    if (mBasicButtons[i]) mBasicButtons[i]->SetState(i == mBasic ? kSet : kCleared, 0);
  if (mIndexEditor) mIndexEditor->SetCurrentValue(static_cast<float>(GetColorIndex(1) < 0 ? 0 : GetColorIndex(1)), 0);
  for (int i = 0; i < 4; ++i)
    if (mThickButtons[i]) mThickButtons[i]->SetState(i == mThickMode ? kSet : kCleared, 0);
  mSystemButtons[0]->SetState(mSystem == 1 ? kSet : kCleared, 0);
  mSystemButtons[1]->SetState(mSystem == 1 ? kCleared : kSet, 0);
  const char* rgbTitles[3] = {"R", "G", "B"};
  const char* hlsTitles[3] = {"H", "L", "S"};
  const float values[2][3] = {{mH, mL, mS}, {mR, mG, mB}};
  for (int i = 0; i < 3; ++i) {
    mLabels[i]->SetTitle(KIVUnicodeString(mSystem == 1 ? rgbTitles[i] : hlsTitles[i]));
    mSliders[i]->SetCurrentValue(values[mSystem == 1 ? 1 : 0][i], 0);
  }
  --mRefreshing;
  RefreshPreview();
}

void NavSimpleColorChooser::RefreshPreview() {
  if (mViewerNew && GetVisibility() == VisibilityShown) mViewerNew->SetBackgroundColor(mR, mG, mB);
}

void NavSimpleColorChooser::Report() {
  if (mOptions & kApplyMode) return;
  KIVCommand* target = mFatherCommand ? mFatherCommand : mReceiver;
  if (target) SendNotification(target, &mModify);
}

void NavSimpleColorChooser::DumpColor() const {
  std::cout << "----- DumpColor -----" << std::endl;
  std::cout << " Color System : " << (mSystem == 1 ? "RGB" : "HLS") << std::endl;
  std::cout << " R = " << mR << " G = " << mG << " B = " << mB << std::endl;
  std::cout << " H = " << mH << " L = " << mL << " S = " << mS << std::endl;
  std::cout << "----- DumpColor: Fin -----" << std::endl;
}

// ---------------------------------------------------------------------------------------
// Interaction

void NavSimpleColorChooser::ReadSliders() {
  const float a = mSliders[0]->GetCurrentValue(), b = mSliders[1]->GetCurrentValue(),
              c = mSliders[2]->GetCurrentValue();
  if (mSystem == 1) {
    mR = Clamp01(a);
    mG = Clamp01(b);
    mB = Clamp01(c);
    RGB_to_HLS(mR, mG, mB, &mH, &mL, &mS);
  } else {
    mH = Clamp01(a);
    mL = Clamp01(b);
    mS = Clamp01(c);
    HLS_to_RGB(mH, mL, mS, &mR, &mG, &mB);
  }
}

void NavSimpleColorChooser::ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (mRefreshing) return;
  for (KIVDlgSlider* slider : mSliders)
    if (sender == slider) {
      ReadSliders();
      RefreshPreview();
      if (mBasic != -1 || mColorIndex != -1) {
        mBasic = -1;
        mColorIndex = -1;
        // The sliders keep what the person set: refresh everything else.
        ++mRefreshing;
        for (KIVDlgRadioButton* button : mBasicButtons)
          if (button) button->SetState(kCleared, 0);
        --mRefreshing;
      }
      if (mIndexEditor) {
        ++mRefreshing;
        mIndexEditor->SetCurrentValue(static_cast<float>(GetColorIndex(1)), 0);
        --mRefreshing;
      }
      Report();
      return;
    }
  for (int i = 0; i < 7; ++i)
    if (mBasicButtons[i] && sender == mBasicButtons[i]) {
      if (mBasicButtons[i]->GetState() != kSet) return;  // the sibling being cleared
      mBasic = i;
      mColorIndex = -1;
      Refresh();
      Report();
      return;
    }
  if (mIndexEditor && sender == mIndexEditor) {
    SetColorIndex(static_cast<int>(mIndexEditor->GetCurrentValue()));
    Report();
    return;
  }
  for (int i = 0; i < 4; ++i)
    if (mThickButtons[i] && sender == mThickButtons[i]) {
      if (mThickButtons[i]->GetState() != kSet) return;
      mThickMode = i;
      Report();
      return;
    }
  for (int i = 0; i < 2; ++i)
    if (sender == mSystemButtons[i]) {
      if (mSystemButtons[i]->GetState() != kSet) return;
      mSystem = i == 0 ? 1 : 0;
      Refresh();
      return;
    }
  (void)notification;
}

void NavSimpleColorChooser::DialogButton(KIVNotification* notification) {
  const bool ok = notification == GetDiaOKNotification();
  const bool apply = notification == GetDiaAPPLYNotification();
  if (!ok && !apply && notification != GetDiaCANCELNotification() && notification != GetWindCloseNotification())
    return;
  if ((mOptions & kOkCancel) && !ok) Restore();
  if ((mOptions & kApplyMode) && (ok || apply)) {
    mOptions &= ~kApplyMode;  // reports once, as any change does outside Apply mode
    Report();
    mOptions |= kApplyMode;
  }
  KIVDlgDialog::SetVisibility(VisibilityHidden);
  KIVCommand* target = mFatherCommand ? mFatherCommand : mReceiver;
  if (target) SendNotification(target, GetWindCloseNotification());
}
