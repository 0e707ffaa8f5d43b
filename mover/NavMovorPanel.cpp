#include "mover/NavMovorPanel.h"

#include <algorithm>
#include <cmath>

#include "foundation/NavRepeatAcceleration.h"
#include "foundation/NavSpinnerFormat.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/math/KIVMathTransformation.h"
#include "mover/NavMovorObject.h"

namespace {
// What each arrow does: the direction it follows (0 to 2 the mover's directions, 3 the
// roll axis of the rotation frame) and the sign of the step.
struct Motion {
  int axis;
  int sign;
};
constexpr Motion kTranslate[NavMovorPanel::ArrowCount] = {{0, 1}, {0, -1}, {2, 1}, {2, -1}, {1, 1}, {1, -1}};
constexpr Motion kRotate[NavMovorPanel::ArrowCount] = {{2, 1}, {2, -1}, {0, -1}, {0, 1}, {3, -1}, {3, 1}};
// Cell (row, column) of each arrow in its cross; the "Object" button is the centre.
constexpr int kCell[NavMovorPanel::ArrowCount][2] = {{1, 2}, {1, 0}, {0, 1}, {2, 1}, {0, 2}, {2, 0}};
// The mover kind of each line of the kind combo.
constexpr int kKinds[3] = {NavMovorObject::kCube, NavMovorObject::kTrihedral, NavMovorObject::kSphere};
constexpr float kStepMin = 0.1f, kTranslationMax = 1.0e6f, kAngleMax = 180.0f;
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
constexpr int kFill = KIVDialog::AttachLeft | KIVDialog::AttachRight | KIVDialog::AttachTop;
}  // namespace

template <class W>
W* NavMovorPanel::Make(KIVDialog* parent, const char* tag, const char* title, const char* icon, int row, int column,
                       int columnSpan) {
  auto* widget = new W(parent, tag, 0);
  if (title) widget->SetTitle(KIVUnicodeString(title));
  if (icon) widget->SetIconName(icon);
  widget->SetGridConstraints(row, column, 1, columnSpan, kFill);
  return widget;
}

void NavMovorPanel::Listen(KIVCommand* sender, KIVNotification* notification,
                           void (NavMovorPanel::*method)(KIVCommand*, KIVNotification*, void*)) {
  mCallbacks.push_back(AddAnalyseNotificationCB(sender, notification, method, nullptr));
}

NavMovorPanel::NavMovorPanel(KIVCommand* father, KIVDialog* parent)
    : KIVDlgDialog(parent, PanelIdTag, KIVDlgWindow::StyleNoButtons),
      mFatherCommand(father),
      mFatherLife(father ? father->GetLifeToken() : std::weak_ptr<int>()),
      mRelay(std::make_unique<KIVCommand>(father, "NavMovorPanelRelay")) {
  SetTitle(KIVUnicodeString(PanelIdTitle));

  mReset = Make<KIVDlgPushButton>(this, MovorResetPositionButtonTag, MovorResetPositionButtonTitle,
                                  MovorResetPositionButtonIconName, 0, 0);
  mUndo = Make<KIVDlgPushButton>(this, MovorUndoPositionButtonTag, MovorUndoPositionButtonTitle,
                                 MovorUndoPositionButtonIconName, 0, 1);
  mRedo = Make<KIVDlgPushButton>(this, MovorRedoPositionButtonTag, MovorRedoPositionButtonTitle,
                                 MovorRedoPositionButtonIconName, 0, 2);
  mPlane = Make<KIVDlgCheckButton>(this, MovorActivePlanButtonTag, MovorActivePlanButtonTitle,
                                   MovorActivePlanButtonIconName, 0, 3);
  mNextCenter = Make<KIVDlgPushButton>(this, MovorRotateNextPointButtonTag, MovorRotateNextPointButtonTitle,
                                       MovorRotateNextPointButtonIconName, 0, 4);
  mKind = Make<KIVDlgCombo>(this, MovorChooseRepComboTag, nullptr, nullptr, 0, 5);
  for (const char* line : MovorChooseRepComboLine) mKind->SetLine(KIVUnicodeString(line));
  for (KIVDlgPushButton* button : {mReset, mUndo, mRedo, mNextCenter})
    Listen(button, button->GetPushBActivateNotification(), &NavMovorPanel::ToolsBarreCB);
  Listen(mPlane, mPlane->GetChkBModifyNotification(), &NavMovorPanel::ToolsBarreCB);
  Listen(mKind, mKind->GetCmbSelectNotification(), &NavMovorPanel::ToolsBarreCB);

  mTranslationFrame = MakeCross(0, MovorTranslationFrameTag, MovorTranslationFrameTitle, TranslationButtonTag,
                                TranslationButtonIconName, mTranslation, mTranslationStep, MovorTransFactSpinnerTag,
                                1.0f, kTranslationMax, &NavMovorPanel::TranslationCB);
  mRotationFrame =
      MakeCross(3, MovorRotationFrameTag, MovorRotationFrameTitle, RotationButtonTag, RotationButtonIconName, mRotation,
                mRotationStep, MovorRotateFactSpinnerTag, 30.0f, kAngleMax, &NavMovorPanel::RotationCB);

  // The origin row and the direction row share their editors' tags: one frame each keeps
  // a lookup by tag unambiguous.
  mEditFrame = Make<KIVDlgFrame>(this, MovorEditOrigineFrameTag, MovorEditOrigineFrameTitle, nullptr, 2, 0, 6);
  KIVDlgFrame* rows[2] = {Make<KIVDlgFrame>(mEditFrame, MovorOrigineRowFrameTag, nullptr, nullptr, 0, 0),
                          Make<KIVDlgFrame>(mEditFrame, MovorAxisRowFrameTag, nullptr, nullptr, 1, 0)};
  Make<KIVDlgLabel>(rows[0], MovorOrigineLabelTag, MovorOrigineLabelTitle, nullptr, 0, 0);
  mAxis = Make<KIVDlgCombo>(rows[1], MovorChooseAxeComboTag, nullptr, nullptr, 0, 0);
  for (const char* line : MovorChooseAxeComboLine) mAxis->SetLine(KIVUnicodeString(line));
  mAxis->SetSelect(0, 0);
  Listen(mAxis, mAxis->GetCmbSelectNotification(), &NavMovorPanel::CoordonneEditCB);
  for (int row = 0; row < 2; ++row) {
    KIVDlgSpinner** editors = row == 0 ? mOrigine : mDirection;
    const float bound = row == 0 ? mCoordinateBound : 1.0f;
    for (int i = 0; i < 3; ++i) {
      editors[i] = Make<KIVDlgSpinner>(rows[row], MovorCoordEditorTag[i], nullptr, nullptr, 0, i + 1);
      editors[i]->SetVisibleTextWidth(5);
      editors[i]->SetRange(-bound, bound, 0.0f);
      editors[i]->SetFormat("%.2f");
      Listen(editors[i], editors[i]->GetSpinModifyNotification(), &NavMovorPanel::CoordonneEditCB);
    }
  }

  // The window tells its father command that it closes; the relay stands in as father so
  // that the palette hears it first.
  mRelay->AddAnalyseNotificationCB(
      this, GetWindCloseNotification(), nullptr,
      [this](KIVCommand* sender, KIVNotification* notification, void* data) {
        ToolsBarreCB(sender, notification, data);
      },
      nullptr);
  SetFather(mRelay.get());
  SetSensitive(0);
  UpdatePaletteCoordonneEdit();
}

NavMovorPanel::~NavMovorPanel() {
  Retire();
  for (KIVCallback id : mCallbacks) RemoveAnalyseNotificationCB(id);
  SetFather(nullptr);
  if (NavMovorObject::sxNavMovorPanel == this) NavMovorObject::sxNavMovorPanel = nullptr;
}

KIVDlgFrame* NavMovorPanel::MakeCross(int column, const char* tag, const char* title, const char* const* tags,
                                      const char* const* icons, KIVDlgPushButton** buttons, KIVDlgSpinner*& step,
                                      const char* stepTag, float value, float max,
                                      void (NavMovorPanel::*method)(KIVCommand*, KIVNotification*, void*)) {
  auto* frame = Make<KIVDlgFrame>(this, tag, title, nullptr, 1, column, 3);
  Make<KIVDlgPushButton>(frame, MovorObjectButtonTag, MovorObjectButtonTitle, MovorObjectButtonIconName, 1, 1);
  for (int i = 0; i < ArrowCount; ++i) {
    buttons[i] = Make<KIVDlgPushButton>(frame, tags[i], ArrowButtonTitle[i], icons[i], kCell[i][0], kCell[i][1]);
    Listen(buttons[i], buttons[i]->GetPushBActivateNotification(), method);
    Listen(buttons[i], buttons[i]->GetPushBRepetitiveNotification(), method);
  }
  step = Make<KIVDlgSpinner>(frame, stepTag, nullptr, nullptr, 3, 0, 3);
  FormatSpinner(step, value, kStepMin, max, 1, -1);
  Listen(step, step->GetSpinModifyNotification(), &NavMovorPanel::ToolsBarreCB);
  return frame;
}

NavMovorObject* NavMovorPanel::Mover() const { return mMoverLife.expired() ? nullptr : mMover; }

int NavMovorPanel::ChosenAxis() const { return std::clamp(mAxis->GetSelect(), 0, 2); }

void NavMovorPanel::SetSensitive(int on) {
  const int sensitivity = on ? SensitivityOn : SensitivityOff;
  for (KIVDialog* widget : std::initializer_list<KIVDialog*>{mReset, mUndo, mRedo, mPlane, mNextCenter, mKind,
                                                             mTranslationFrame, mRotationFrame, mEditFrame})
    widget->SetSensitivity(sensitivity);
}

void NavMovorPanel::SetCurrentMovorObject(NavMovorObject* mover) {
  if (mover == Mover()) return;
  mMover = mover;
  mMoverLife = mover ? mover->GetLifeToken() : std::weak_ptr<int>();
  mRepeat = 0;
  SetSensitive(mover != nullptr);
  if (!mover) SetTitle(KIVUnicodeString(PanelIdTitle));
  UpdatePalette();
  UpdatePaletteCoordonneEdit();
}

void NavMovorPanel::AffichePanel(int show) {
  KIVCommand* father = mFatherLife.expired() ? nullptr : mFatherCommand;
  if (show == 1) {
    SetVisibility(VisibilityShown);
    UpdatePalette();
    if (father) SendNotification(father, &mShow);
  } else if (show == 0) {
    if (father) SendNotification(father, GetWindCloseNotification());
    SetVisibility(VisibilityHidden);
  }
}

int NavMovorPanel::GetPaletteStatusHide() const { return GetVisibility() == VisibilityShown ? 0 : 1; }

void NavMovorPanel::ActivateUpdate(int on) {
  if (on == mActiveUpdate) return;
  mActiveUpdate = on;
  UpdatePalette();
}

void NavMovorPanel::UpdatePalette() {
  NavMovorObject* mover = Mover();
  if (!mover || mActiveUpdate != 1 || GetVisibility() != VisibilityShown) return;
  SetTitle(KIVUnicodeString(PanelIdTitle) + KIVUnicodeString(" - ") + mover->GetNameObject());
  mUndo->SetSensitivity(mover->IsUndoRedoPossible(1) ? SensitivityOn : SensitivityOff);
  mRedo->SetSensitivity(mover->IsUndoRedoPossible(0) ? SensitivityOn : SensitivityOff);
  mPlane->SetState(mover->ShowPlan(-1) == 1 ? StateSet : StateCleared, 0);
  const int* kind = std::find(kKinds, kKinds + 3, mover->GetKind());
  if (kind != kKinds + 3) mKind->SetSelect(static_cast<int>(kind - kKinds), 0);
  UpdatePaletteCoordonneEdit();
}

void NavMovorPanel::UpdatePaletteCoordonneEdit() {
  KIVMathPointf origin;
  KIVMathVectorf d[3];
  if (NavMovorObject* mover = Mover()) mover->GetCurrentMatrice().GetComponents(d[0], d[1], d[2], origin);
  const KIVMathVectorf& chosen = d[ChosenAxis()];
  for (int i = 0; i < 3; ++i) {
    FormatSpinner(mOrigine[i], origin[i], -mCoordinateBound, mCoordinateBound, 1, -1);
    FormatSpinner(mDirection[i], chosen[i], -1.0f, 1.0f, 1, -1);
  }
}

int NavMovorPanel::FormatSpinner(KIVDlgSpinner* spinner, float value, float min, float max, int setValue,
                                 int decimals) {
  return NavSpinnerFormat::Apply(spinner, value, min, max, setValue, decimals);
}

int NavMovorPanel::GetRepeatFactor() const { return NavRepeatAcceleration::Factor(mRepeat); }

int NavMovorPanel::ArrowOf(KIVCommand* sender, KIVNotification* notification, KIVDlgPushButton* const* buttons) {
  KIVDlgPushButton* const* end = buttons + ArrowCount;
  KIVDlgPushButton* const* found = std::find(buttons, end, sender);
  if (found == end) return -1;
  if (notification == (*found)->GetPushBActivateNotification())
    mRepeat = 0;
  else if (notification == (*found)->GetPushBRepetitiveNotification())
    ++mRepeat;
  else
    return -1;
  return static_cast<int>(found - buttons);
}

void NavMovorPanel::ToolsBarreCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (sender == this) {
    if (notification == GetWindCloseNotification()) AffichePanel(0);
    return;
  }
  if (sender == mTranslationStep || sender == mRotationStep) {
    auto* step = static_cast<KIVDlgSpinner*>(sender);
    FormatSpinner(step, step->GetCurrentValue(), kStepMin, step == mTranslationStep ? kTranslationMax : kAngleMax, 1,
                  -1);
    return;
  }
  NavMovorObject* mover = Mover();
  if (!mover) return;
  if (sender == mReset) {
    mover->ResetChangePosition(1);
  } else if (sender == mUndo) {
    mover->UndoChangePosition(1);
  } else if (sender == mRedo) {
    mover->RedoChangePosition(1);
  } else if (sender == mNextCenter) {
    mover->SetLogiqueRotationPointNext();
  } else if (sender == mPlane) {
    mover->ShowPlan(mPlane->GetState() == StateSet ? 1 : 0);
  } else if (sender == mKind) {
    const int line = mKind->GetSelect();
    if (line < 0 || line > 2) return;
    mover->ChangeTypeRepresentation(kKinds[line]);
  } else {
    return;
  }
  UpdatePalette();
}

void NavMovorPanel::TranslationCB(KIVCommand* sender, KIVNotification* notification, void*) {
  NavMovorObject* mover = Mover();
  if (!mover) return;
  const int arrow = ArrowOf(sender, notification, mTranslation);
  if (arrow < 0) return;
  const float step =
      static_cast<float>(GetRepeatFactor() * kTranslate[arrow].sign) * mTranslationStep->GetCurrentValue();
  KIVMathPointf origin;
  KIVMathVectorf d[3];
  mover->GetCurrentMatrice().GetComponents(d[0], d[1], d[2], origin);
  KIVMathPointf moved = origin + d[kTranslate[arrow].axis] * step;
  mover->SetMovorOrigine(moved, 1, 1);
}

void NavMovorPanel::RotationCB(KIVCommand* sender, KIVNotification* notification, void*) {
  NavMovorObject* mover = Mover();
  if (!mover) return;
  const int arrow = ArrowOf(sender, notification, mRotation);
  if (arrow < 0) return;
  const double degrees =
      GetRepeatFactor() * kRotate[arrow].sign * static_cast<double>(mRotationStep->GetCurrentValue());
  KIVMathPointf origin;
  KIVMathVectorf d[3];
  mover->GetCurrentMatrice().GetComponents(d[0], d[1], d[2], origin);
  KIVMathPointf centre;
  KIVMathDirectionf roll(d[1]);  // stays the second direction when no rotation axis is chosen
  mover->GetRotationAxis(centre, roll);
  const KIVMathVectorf& axis = kRotate[arrow].axis == 3 ? roll : d[kRotate[arrow].axis];
  // The host turns by radians.
  const KIVMathTransformation turn(KIVMathAxis(KIVMathPoint(centre), KIVMathDirection(axis)),
                                   degrees * kRadiansPerDegree);
  KIVMathPointf o = turn.Apply(origin);
  KIVMathDirectionf d1 = turn.Apply(d[0]), d2 = turn.Apply(d[1]), d3 = turn.Apply(d[2]);
  mover->SetStatusMovor(o, d1, d2, d3, 1, 1, 1, 1, 1);
}

void NavMovorPanel::CoordonneEditCB(KIVCommand* sender, KIVNotification*, void*) {
  NavMovorObject* mover = Mover();
  if (!mover) return;
  if (sender == mAxis) {
    UpdatePaletteCoordonneEdit();
    return;
  }
  KIVMathPointf origin;
  KIVMathDirectionf d[3];
  mover->GetCurrentMatrice().GetComponents(d[0], d[1], d[2], origin);
  const int chosen = ChosenAxis();
  const auto isSender = [sender](KIVDlgSpinner* editor) { return editor == sender; };
  if (KIVDlgSpinner** editor = std::find_if(mOrigine, mOrigine + 3, isSender); editor != mOrigine + 3) {
    origin[static_cast<int>(editor - mOrigine)] = (*editor)->GetCurrentValue();
  } else if (editor = std::find_if(mDirection, mDirection + 3, isSender); editor != mDirection + 3) {
    // The component is written as typed, then the direction made unit again: it is the
    // one the orthogonalisation keeps.
    d[chosen][static_cast<int>(editor - mDirection)] = (*editor)->GetCurrentValue();
    d[chosen].Normalize();
    NavMovorObject::OrthogonalizeMovor(d[0], d[1], d[2], chosen);
    const auto degenerate = [](const KIVMathDirectionf& v) {
      return v.IsNull() || !std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z);
    };
    if (std::any_of(d, d + 3, degenerate)) {  // a null or parallel direction: refused
      UpdatePaletteCoordonneEdit();
      return;
    }
  } else {
    return;
  }
  mover->SetStatusMovor(origin, d[0], d[1], d[2], 1, 1, 1, 1, 1);
}
