#include "browsing/NavGraphicAttribut.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <unordered_set>

#include "dialogs/NavSimpleColorChooser.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/view/KIVColorMap.h"
#include "viewer/NavVersionning.h"
#include "host/visu/scene/KIVRep.h"

namespace {
using Flag = KIVGraphicAttributeSet;

int EffectiveStyle(int style) {
  return (style & NavGraphicAttribut::kStyleMask) ? style : NavGraphicAttribut::kDefaultStyle;
}

template <class W>
W* Make(KIVDialog* parent, const char* tag, const char* title, int row, int column, int columnSpan = 1) {
  auto* widget = new W(parent, tag, 0);
  if (title) widget->SetTitle(KIVUnicodeString(title));
  widget->SetGridConstraints(row, column, 1, columnSpan, KIVDialog::AttachLeft);
  return widget;
}

// Every rep from `rep` down, each once even where sub-trees are shared.
template <class F>
void ForSubtree(KIVRep* rep, F&& visit) {
  if (!rep) return;
  std::vector<KIVRep*> stack{rep};
  std::unordered_set<KIVRep*> seen;
  while (!stack.empty()) {
    KIVRep* r = stack.back();
    stack.pop_back();
    if (!seen.insert(r).second) continue;
    visit(r);
    for (KIVRep* child : r->GetChildren()) stack.push_back(child);
  }
}

void WriteFlag(KIVRep* rep, unsigned char flag, int on) {
  KIVGraphicAttributeSet set = rep->GetGraphicAttributeSet();
  if (set.GetFlag(flag) == (on ? 1 : 0)) return;
  set.SetFlag(flag, on);
  rep->SetGraphicAttributeSet(set);
}
}  // namespace

NavGraphicAttribut::NavGraphicAttribut(KIVCommand* father, KIVDialog* parent, int style)
    : KIVDlgFrame(parent, PanelIdTag, EffectiveStyle(style)),
      mFatherCommand(father),
      mFatherLife(father ? father->GetLifeToken() : std::weak_ptr<int>()) {
  SetTitle(KIVUnicodeString(PanelIdTitle));
  if (father && father != parent) SetFather(father);
  const int s = GetStyle();
  mReps.reserve(5);

  int row = 0;
  if (s & (kTransparency | kShow | kLowLight | kHighLight | kColor)) {
    auto* switches = Make<KIVDlgFrame>(this, NoReferenceTag, nullptr, row++, 0);
    int column = 0;
    if (s & kTransparency)
      mTransparent =
          Make<KIVDlgCheckButton>(switches, SwapTranparencyButtonTag, SwapTranparencyButtonTitle, 0, column++);
    if (s & kShow) mShowButton = Make<KIVDlgCheckButton>(switches, SwapShowButtonTag, SwapShowButtonTitle, 0, column++);
    if (s & kLowLight)
      mLowLight = Make<KIVDlgCheckButton>(switches, SwapLowLightButtonTag, SwapLowLightButtonTitle, 0, column++);
    if (s & kHighLight)
      mHighLight = Make<KIVDlgCheckButton>(switches, SwapHighLightButtonTag, SwapHighLightButtonTitle, 0, column++);
    if (s & kColor) mEditColor = Make<KIVDlgCheckButton>(switches, EditColorButtonTag, EditColorButtonTitle, 0, column++);
  }
  if (s & kPick) {
    auto* pick = Make<KIVDlgFrame>(this, NoReferenceTag, PickFrameTitle, row++, 0);
    mPickable = Make<KIVDlgCheckButton>(pick, PickableButtonTag, PickableButtonTitle, 0, 0);
  }
  if (s & kThickness) {
    auto* line = Make<KIVDlgFrame>(this, NoReferenceTag, nullptr, row++, 0);
    Make<KIVDlgLabel>(line, ThicknessLabelTag, ThicknessLabelTitle, 0, 0);
    mThicknessSpinner = Make<KIVDlgSpinner>(line, ThicknessSpinnerTag, nullptr, 0, 1);
    mThicknessSpinner->SetRange(1.0f, 6.0f, 5.0f);
    mThicknessSpinner->SetFormat("%1.0f");
    mThicknessSpinner->SetCurrentValue(1.0f, 0);
    Make<KIVDlgLabel>(line, LineTypeLabelTag, LineTypeLabelTitle, 1, 0);
    mLineType = Make<KIVDlgCombo>(line, LineTypeComboTag, nullptr, 1, 1);
    for (const char* title : LineTypeTitle) mLineType->SetLine(KIVUnicodeString(title));
  }
  if (s & kObjectType) {
    auto* outer = Make<KIVDlgFrame>(this, NoReferenceTag, nullptr, row++, 0);
    auto* type = Make<KIVDlgFrame>(outer, NoReferenceFrameTag, nullptr, 0, 0);
    Make<KIVDlgLabel>(type, GraphicalTypeLabelTag, GraphicalTypeLabelTitle, 0, 0);
    mObjectType = Make<KIVDlgCombo>(type, GraphicalTypeComboTag, nullptr, 0, 1);
    for (const char* title : GraphicalTypeTitle) mObjectType->SetLine(KIVUnicodeString(title));
  }
  if (s & kUndo) {
    auto* undo = Make<KIVDlgFrame>(this, NoReferenceTag, nullptr, row++, 0);
    mUndoButton = Make<KIVDlgPushButton>(undo, GraphicUndoButtonTag, GraphicUndoButtonTitle, 0, 0);
  }
  if (s & kBound) {
    auto* bound = Make<KIVDlgFrame>(this, NoReferenceTag, nullptr, row++, 0);
    static constexpr int kCell[kBoundLabelCount][2] = {{0, 0}, {1, 0}, {1, 1}, {1, 2}, {1, 3}, {2, 0}, {2, 1}};
    for (int i = 0; i < kBoundLabelCount; ++i)
      mBoundLabels[i] =
          Make<KIVDlgLabel>(bound, BoundLabelTag[i], BoundLabelTitle[i], kCell[i][0], kCell[i][1], i == 0 ? 4 : 1);
  }

  for (KIVDlgCheckButton* button : {mTransparent, mShowButton, mLowLight, mHighLight, mPickable, mEditColor})
    if (button) Listen(button, button->GetChkBModifyNotification());
  if (mThicknessSpinner) Listen(mThicknessSpinner, mThicknessSpinner->GetSpinModifyNotification());
  for (KIVDlgCombo* combo : {mLineType, mObjectType})
    if (combo) Listen(combo, combo->GetCmbSelectNotification());
  if (mUndoButton) Listen(mUndoButton, mUndoButton->GetPushBActivateNotification());
  ResetPanel(1);
}

NavGraphicAttribut::~NavGraphicAttribut() {
  Retire();
  for (KIVCallback id : mCallbacks) RemoveAnalyseNotificationCB(id);
  for (KIVCallback id : mChooserCBs) RemoveAnalyseNotificationCB(id);
  mColorChooser = nullptr;  // a dialog child: gone with the children
  SetFather(nullptr);
}

void NavGraphicAttribut::Listen(KIVCommand* sender, KIVNotification* notification) {
  mCallbacks.push_back(AddAnalyseNotificationCB(sender, notification, &NavGraphicAttribut::ActionCB, nullptr));
}

// ---------------------------------------------------------------------------------------
// The edited set

void NavGraphicAttribut::UpdateAttribut(int n, KIVRep** reps, KIV3DBoundingSphere* sphere, int mode, int resetUndo) {
  mReps.clear();
  if (reps && n > 0) {
    if (mReps.capacity() < static_cast<size_t>(n) * 2) mReps.reserve(static_cast<size_t>(n) * 2);
    for (int i = 0; i < n; ++i)
      if (reps[i]) mReps.push_back({reps[i], reps[i]->GetLifeToken()});
  }
  if (sphere && !mReps.empty())
    mSphere = *sphere;
  else
    mSphere.SetEmpty();
  if (mode == kModeDirect || mode == kModeSetter || mode == kModeOwner) mMode = mode;
  if (resetUndo == 1) {
    for (auto& step : mUndo) step.clear();
    mUndoIndex = -1;
    mUndoCount = 0;
  }
  ResetPanel(1);
}

void NavGraphicAttribut::PruneDead() {
  std::erase_if(mReps, [](const Edited& e) { return e.life.expired(); });
}

KIVRep** NavGraphicAttribut::GetCurrentRep(int& n) {
  PruneDead();
  mRepArray.clear();
  for (const Edited& e : mReps) mRepArray.push_back(e.rep);
  n = static_cast<int>(mRepArray.size());
  return mRepArray.empty() ? nullptr : mRepArray.data();
}

KIVGraphicAttributeSet* NavGraphicAttribut::GetCurrentAttribut(int& n) {
  PruneDead();
  mAttrArray.clear();
  for (const Edited& e : mReps) mAttrArray.push_back(e.rep->GetGraphicAttributeSet());
  n = static_cast<int>(mAttrArray.size());
  return mAttrArray.empty() ? nullptr : mAttrArray.data();
}

int* NavGraphicAttribut::GetCurrentColorInheritance(int& n) {
  PruneDead();
  mInheritArray.clear();
  for (const Edited& e : mReps) mInheritArray.push_back(e.rep->GetColorInheritanceMode());
  n = static_cast<int>(mInheritArray.size());
  return mInheritArray.empty() ? nullptr : mInheritArray.data();
}

void NavGraphicAttribut::GetLastAction(int& action, int& value) const {
  action = mLastAction;
  value = mLastValue;
}

void NavGraphicAttribut::GetRGBColor(int& r, int& g, int& b, int& a) const {
  r = mRGBA[0];
  g = mRGBA[1];
  b = mRGBA[2];
  a = mRGBA[3];
}

// ---------------------------------------------------------------------------------------
// The panel

void NavGraphicAttribut::SetCheck(KIVDlgCheckButton* button, int on) {
  if (button) button->SetState(on ? StateSet : StateCleared, 0);
}

void NavGraphicAttribut::ResetPanel(int) {
  PruneDead();
  ++mRefreshing;
  if (mReps.empty()) {
    UpdateSensitivity(0);
    for (int i = 0; i < kBoundLabelCount; ++i)
      if (mBoundLabels[i]) mBoundLabels[i]->SetTitle(KIVUnicodeString(BoundLabelTitle[i]));
    --mRefreshing;
    return;
  }
  UpdateSensitivity(1);
  const KIVRep* first = mReps.front().rep;
  const KIVGraphicAttributeSet& set = first->GetGraphicAttributeSet();
  SetCheck(mTransparent, set.GetFlag(Flag::Transparent));
  SetCheck(mShowButton, !set.GetFlag(Flag::Hidden));
  SetCheck(mLowLight, set.GetFlag(Flag::LowLighted));
  SetCheck(mHighLight, set.GetFlag(Flag::Selected));
  SetCheck(mPickable, !set.GetFlag(Flag::NotPickable));
  if (mColorChooser) {
    if (first->GetColorInheritanceMode() == 0) {
      mColorChooser->SetColorIndex(NavSimpleColorChooser::kNoColor);
    } else if (set.GetColorIndex() == Flag::ColorRGBA) {
      mColorChooser->SetColor(set.bytes[4] / 255.0f, set.bytes[5] / 255.0f, set.bytes[6] / 255.0f,
                              set.bytes[7] / 255.0f, 1, 0);
    } else {
      mColorChooser->SetColorIndex(set.GetColorIndex());
    }
  }
  if (mLineType) mLineType->SetSelect(set.bytes[1] < mLineType->GetLineCount() ? set.bytes[1] : -1, 0);
  if (mThicknessSpinner) mThicknessSpinner->SetCurrentValue(static_cast<float>(set.bytes[2]), 0);
  if (mObjectType) mObjectType->SetSelect(set.GetType(), 0);
  if (mBoundLabels[0] && !mSphere.IsEmpty()) {
    const KIVMathPointf& c = mSphere.GetCenter();
    const char* prefix[4] = {" x = ", " y = ", " z = ", " R = "};
    const float value[4] = {c.x, c.y, c.z, mSphere.GetRadius()};
    const int label[4] = {2, 3, 4, 6};
    for (int i = 0; i < 4; ++i) {
      char text[64];
      std::snprintf(text, sizeof text, "%s%.2f", prefix[i], static_cast<double>(value[i]));
      mBoundLabels[label[i]]->SetTitle(KIVUnicodeString(text));
    }
  } else {
    for (int i = 0; i < kBoundLabelCount; ++i)
      if (mBoundLabels[i]) mBoundLabels[i]->SetTitle(KIVUnicodeString(BoundLabelTitle[i]));
  }
  --mRefreshing;
}

void NavGraphicAttribut::UpdateSensitivity(int on) {
  const int sensitivity = on && !mReps.empty() ? SensitivityOn : SensitivityOff;
  for (KIVDialog* widget : std::initializer_list<KIVDialog*>{mTransparent, mShowButton, mLowLight, mHighLight,
                                                             mPickable, mEditColor, mThicknessSpinner, mLineType,
                                                             mObjectType})
    if (widget) widget->SetSensitivity(sensitivity);
  if (mUndoButton)
    mUndoButton->SetSensitivity(sensitivity == SensitivityOn && mUndoIndex >= 0 ? SensitivityOn : SensitivityOff);
}

// ---------------------------------------------------------------------------------------
// Applying changes

void NavGraphicAttribut::Show_Low(KIVRep* rep, int on) {
  ForSubtree(rep, [on](KIVRep* r) { WriteFlag(r, Flag::Hidden, on); });
}

void NavGraphicAttribut::Show_High(KIVRep* rep, int mode) {
  ForSubtree(rep, [mode](KIVRep* r) { r->SetShowMode(mode, 0); });
}

void NavGraphicAttribut::SetTransparency(KIVRep* rep, int on, int mode) {
  if (!(mode & (kModeDirect | kModeSetter))) return;
  // The setter of the transparent look is the attribute set's flag: both modes write it.
  ForSubtree(rep, [on](KIVRep* r) { WriteFlag(r, Flag::Transparent, on); });
}

int NavGraphicAttribut::ApplyAction(KIVRep* rep, int action, int value) {
  if (!rep) return 0;
  const int feature = action & ~kModeOwner;
  KIVGraphicAttributeSet set = rep->GetGraphicAttributeSet();
  switch (feature) {
    case kTransparency:
      WriteFlag(rep, Flag::Transparent, value != 0);
      return 1;
    case kShow:
      rep->SetShowMode(value ? 0 : 1, 0);
      return 1;
    case kLowLight:
      WriteFlag(rep, Flag::LowLighted, value != 0);
      return 1;
    case kHighLight:
      rep->SetHighlightMode(value != 0, 0);
      return 1;
    case kPick:
      WriteFlag(rep, Flag::NotPickable, value == 0);
      return 1;
    case kColor:
      if (value == kInheritedColor) {
        rep->SetColorInheritanceMode(0);
        return 1;
      }
      rep->SetColorInheritanceMode(1);
      if (value == Flag::ColorRGBA) return 1;  // the RGBA colour is the caller's to give
      set.SetColorIndex(value);
      break;
    case kLineTypeAction:
      if (value < 0 || value > 255) return 0;
      set.bytes[1] = static_cast<unsigned char>(value);
      break;
    case kThicknessAction:
      if (value < 1 || value > 255) return 0;
      set.bytes[2] = static_cast<unsigned char>(value);
      break;
    case kObjectType: {
      const int type = value >= 0 && value <= 3 ? value : 0;  // out of range clears the field
      set.bytes[3] = static_cast<unsigned char>((set.bytes[3] & ~Flag::TypeField) | (type << 4));
      break;
    }
    default:
      return 0;
  }
  if (!(set == rep->GetGraphicAttributeSet())) rep->SetGraphicAttributeSet(set);
  return 1;
}

void NavGraphicAttribut::ApplyOne(KIVRep* rep, int action, int value) const {
  if (action == kTransparency) {
    SetTransparency(rep, value, mMode);
    return;
  }
  if (action == kColor && value != kInheritedColor) {
    rep->SetColorInheritanceMode(1);
    const int index = value >= 0 && value < 255 ? value : -1;
    if (index >= 0) {
      ApplyAction(rep, kColor, index);
    } else {
      rep->SetRGBA(static_cast<unsigned char>(mRGBA[0]), static_cast<unsigned char>(mRGBA[1]),
                   static_cast<unsigned char>(mRGBA[2]), static_cast<unsigned char>(mRGBA[3]));
    }
    return;
  }
  ApplyAction(rep, action, value);
}

void NavGraphicAttribut::Report(int action, int value) {
  mLastAction = mMode == kModeOwner && action != kUndo ? action | kModeOwner : action;
  mLastValue = value;
  if (mFatherCommand && !mFatherLife.expired()) SendNotification(mFatherCommand, &mModify);
}

void NavGraphicAttribut::Apply(int action, int value) {
  PruneDead();
  if (mReps.empty()) return;
  if (GetStyle() & kUndo) StoreUndo();
  if (mMode != kModeOwner)
    for (const Edited& e : mReps) ApplyOne(e.rep, action, value);
  Report(action, value);
  UpdateSensitivity(1);
}

void NavGraphicAttribut::Show() {
  PruneDead();
  if (mReps.empty() || !mShowButton) return;
  const int shown = mShowButton->GetState() == StateSet ? 1 : 0;
  if (GetStyle() & kUndo) StoreUndo();
  if (mMode == kModeDirect)
    for (const Edited& e : mReps) Show_Low(e.rep, !shown);
  else if (mMode == kModeSetter)
    for (const Edited& e : mReps) Show_High(e.rep, !shown);
  Report(kShow, shown);
  UpdateSensitivity(1);
}

// ---------------------------------------------------------------------------------------
// Undo ring

void NavGraphicAttribut::StoreUndo() {
  PruneDead();
  ++mUndoIndex;
  std::vector<UndoEntry>& step = mUndo[mUndoIndex % kUndoDepth];
  step.clear();
  step.reserve(mReps.size());
  for (const Edited& e : mReps)
    step.push_back({e.rep, e.life, e.rep->GetGraphicAttributeSet(), e.rep->GetColorInheritanceMode()});
  if (mUndoCount < kUndoDepth) ++mUndoCount;
}

void NavGraphicAttribut::Undo() {
  if (mUndoIndex < 0 || mUndoCount == 0) return;
  std::vector<UndoEntry>& step = mUndo[mUndoIndex % kUndoDepth];
  for (const UndoEntry& e : step) {
    if (e.life.expired()) continue;  // the rep left the scene since
    if (!(e.rep->GetGraphicAttributeSet() == e.set)) e.rep->SetGraphicAttributeSet(e.set);
    e.rep->SetColorInheritanceMode(e.inheritance);
  }
  step.clear();
  --mUndoCount;
  mUndoIndex = mUndoCount == 0 ? -1 : mUndoIndex - 1;
  ResetPanel(1);
  Report(kUndo, 0);
}

// ---------------------------------------------------------------------------------------
// Colour chooser

void NavGraphicAttribut::AfficheColorChooser(int show, int, int) {
  if (!show) {
    CloseColorChooser(1);
    return;
  }
  if (mColorChooser) return;
  PruneDead();
  ++mRefreshing;  // filling the chooser is not a choice
  mColorChooser = new NavSimpleColorChooser(this, NavVersionning::BaseReleaseFlag ? 250 : 58);
  mColorChooser->SetFatherCommand(this);
  for (KIVNotification* notification : {static_cast<KIVNotification*>(mColorChooser->ColorModifyNotification()),
                                        static_cast<KIVNotification*>(mColorChooser->GetWindCloseNotification())})
    mChooserCBs.push_back(AddAnalyseNotificationCB(mColorChooser, notification, &NavGraphicAttribut::ActionCB, nullptr));
  if (!mReps.empty()) {
    const KIVRep* first = mReps.front().rep;
    const KIVGraphicAttributeSet& set = first->GetGraphicAttributeSet();
    if (first->GetColorInheritanceMode() == 0) {
      mColorChooser->SetColorIndex(NavSimpleColorChooser::kNoColor);
    } else {
      if (set.GetColorIndex() == Flag::ColorRGBA)
        mColorChooser->SetColor(set.bytes[4] / 255.0f, set.bytes[5] / 255.0f, set.bytes[6] / 255.0f,
                                set.bytes[7] / 255.0f, 1, 0);
      mColorChooser->SetColorIndex(set.GetColorIndex());
    }
  }
  mColorChooser->SetVisibility(VisibilityShown);
  SetCheck(mEditColor, 1);
  --mRefreshing;
}

void NavGraphicAttribut::CloseColorChooser(int later) {
  for (KIVCallback id : mChooserCBs) RemoveAnalyseNotificationCB(id);
  mChooserCBs.clear();
  const bool wasOpen = mColorChooser != nullptr;
  if (mColorChooser) {
    if (later)
      mColorChooser->RequestDelayedDestruction();
    else
      delete mColorChooser;
  }
  mColorChooser = nullptr;
  SetCheck(mEditColor, 0);
  if (wasOpen && mFatherCommand && !mFatherLife.expired()) SendNotification(mFatherCommand, &mShowColor);
}

void NavGraphicAttribut::ColorChosen() {
  int index = mColorChooser->GetColorIndex(1);
  if (index != kInheritedColor) {
    float r = 0, g = 0, b = 0, a = 1;
    mColorChooser->GetColor(r, g, b, a, 1);
    // A basic colour is a map index: its components are the map's, not the sliders'.
    static const KIVColorMap kMap;
    if (float rgb[3]; index >= 0 && index < 255 && kMap.GetColor(index, rgb)) r = rgb[0], g = rgb[1], b = rgb[2];
    const float c[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i) mRGBA[i] = static_cast<int>(std::lround(std::fmin(std::fmax(c[i], 0.0f), 1.0f) * 255));
    if (index < 0 || index > 255) index = Flag::ColorRGBA;
  }
  Apply(kColor, index);
}

// ---------------------------------------------------------------------------------------
// Widgets

void NavGraphicAttribut::ActionCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (mRefreshing) return;
  if (mColorChooser && sender == mColorChooser) {
    if (notification == mColorChooser->ColorModifyNotification())
      ColorChosen();
    else if (notification == mColorChooser->GetWindCloseNotification())
      CloseColorChooser(1);
    return;
  }
  auto checked = [](KIVDlgCheckButton* button) { return button->GetState() == StateSet ? 1 : 0; };
  if (sender == mShowButton && mShowButton) {
    Show();
  } else if (sender == mTransparent && mTransparent) {
    Apply(kTransparency, checked(mTransparent));
  } else if (sender == mLowLight && mLowLight) {
    Apply(kLowLight, checked(mLowLight));
  } else if (sender == mHighLight && mHighLight) {
    Apply(kHighLight, checked(mHighLight));
  } else if (sender == mPickable && mPickable) {
    Apply(kPick, checked(mPickable));
  } else if (sender == mEditColor && mEditColor) {
    AfficheColorChooser(checked(mEditColor), 0, 0);
  } else if (sender == mThicknessSpinner && mThicknessSpinner) {
    const float value = mThicknessSpinner->GetCurrentValue();
    Apply(kThicknessAction, static_cast<int>(value));
  } else if (sender == mLineType && mLineType) {
    if (mLineType->GetSelect() >= 0) Apply(kLineTypeAction, mLineType->GetSelect());
  } else if (sender == mObjectType && mObjectType) {
    if (mObjectType->GetSelect() >= 0) Apply(kObjectType, mObjectType->GetSelect());
  } else if (sender == mUndoButton && mUndoButton) {
    Undo();
  }
}
