#include "navigation/NavViewpointManipulatePanel.h"

#include <algorithm>
#include <cmath>

#include "foundation/NavRepeatAcceleration.h"
#include "foundation/NavSimpleViewer3DSetting.h"
#include "foundation/NavSpinnerFormat.h"
#include "foundation/NavViewpointAnimation.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/math/KIVMathTransformation.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "navigation/NavToolsVisu.h"
#include "navigation/NavViewpointManipulate.h"
#include "viewer/NavSimpleViewer3D.h"
#include "viewer/NavViewerExtand.h"

namespace {
constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
constexpr int kFill = KIVDialog::AttachLeft | KIVDialog::AttachRight | KIVDialog::AttachTop;
// Cell (row, column) of each step button in its frame; the switch of the frame is the centre.
constexpr int kCell[NavViewpointManipulatePanel::ArrowCount][2] = {{1, 0}, {1, 2}, {0, 1}, {2, 1}, {0, 2}, {2, 0}};
}  // namespace

template <class W>
W* NavViewpointManipulatePanel::Make(KIVDialog* parent, const char* tag, const char* title, const char* icon, int row,
                                     int column, int columnSpan) {
  auto* widget = new W(parent, tag, 0);
  if (title) widget->SetTitle(KIVUnicodeString(title));
  if (icon) widget->SetIconName(icon);
  widget->SetGridConstraints(row, column, 1, columnSpan, kFill);
  return widget;
}

void NavViewpointManipulatePanel::Listen(KIVCommand* sender, KIVNotification* notification,
                                         void (NavViewpointManipulatePanel::*method)(KIVCommand*, KIVNotification*,
                                                                                     void*)) {
  mCallbacks.push_back(AddAnalyseNotificationCB(sender, notification, method, nullptr));
}

NavViewpointManipulatePanel::NavViewpointManipulatePanel(KIVCommand* parent, KIVDialog* dialogParent,
                                                         NavViewerExtand* viewer)
    : KIVDlgDialog(dialogParent, PanelIdTag, KIVDlgWindow::StyleNoButtons),
      mParentCommand(parent),
      mParentLife(parent ? parent->GetLifeToken() : std::weak_ptr<int>()),
      mViewer(viewer),
      mViewerLife(viewer ? viewer->GetLifeToken() : std::weak_ptr<int>()) {
  if (parent && parent != dialogParent) SetFather(parent);
  SetTitle(KIVUnicodeString(PanelIdTitle));
  mSetting.translationStep = 1.0f;
  mSetting.rotationStep = 30.0f;
  mSetting.interactiveState = 0;
  mSetting.standardViewState = 0;
  mSetting.targetFixedState = 1;

  mInteractive = Make<KIVDlgCheckButton>(this, ViewpointInteractifButtonTag, ViewpointInteractifButtonTitle, nullptr,
                                         0, 0);
  mOpenViewer =
      Make<KIVDlgCheckButton>(this, OpenViewerButtonTag, OpenViewerButtonTitle, OpenViewerButtonIconName, 0, 1);
  for (KIVDlgCheckButton* button : {mInteractive, mOpenViewer})
    Listen(button, button->GetChkBModifyNotification(), &NavViewpointManipulatePanel::SwitchCB);

  auto* translate = Make<KIVDlgFrame>(this, TranslationFrameTag, TranslationFrameTitle, nullptr, 1, 0);
  mChangeView =
      Make<KIVDlgCheckButton>(translate, ChangeViewButtonTag, ChangeViewButtonTitle, ChangeViewButtonIconName, 1, 1);
  auto* rotate = Make<KIVDlgFrame>(this, RotationFrameTag, RotationFrameTitle, nullptr, 1, 1);
  mTargetFixed = Make<KIVDlgCheckButton>(rotate, TargetFixeButtonTag, TargetFixeButtonTitle, TargetFixeButtonIconName,
                                         1, 1);
  for (KIVDlgCheckButton* button : {mChangeView, mTargetFixed})
    Listen(button, button->GetChkBModifyNotification(), &NavViewpointManipulatePanel::SwitchCB);
  for (int i = 0; i < ArrowCount; ++i) {
    mTranslation[i] = Make<KIVDlgPushButton>(translate, TranslationButtonTag[i], ArrowButtonTitle[i],
                                             TranslationButtonIconName[i], kCell[i][0], kCell[i][1]);
    mRotation[i] = Make<KIVDlgPushButton>(rotate, RotationButtonTag[i], ArrowButtonTitle[i], RotationButtonIconName[i],
                                          kCell[i][0], kCell[i][1]);
    for (KIVDlgPushButton* button : {mTranslation[i], mRotation[i]}) {
      auto method = button == mTranslation[i] ? &NavViewpointManipulatePanel::TranslationCB
                                              : &NavViewpointManipulatePanel::RotationCB;
      Listen(button, button->GetPushBActivateNotification(), method);
      Listen(button, button->GetPushBRepetitiveNotification(), method);
    }
    auto* menu = new KIVDlgContextualMenu(mRotation[i], "NoReferencedTag", 0);
    mAnimate[i] = new KIVDlgCheckItem(menu, AnimateContextTag, 0);
    mAnimate[i]->SetTitle(KIVUnicodeString(AnimateContextTitle));
    Listen(mAnimate[i], mAnimate[i]->GetChkIModifyNotification(), &NavViewpointManipulatePanel::AnimateCB);
  }
  mTranslationStep = Make<KIVDlgSpinner>(translate, TranslationFactSpinnerTag, nullptr, nullptr, 3, 0, 3);
  FormatSpinner(mTranslationStep, mSetting.translationStep, kStepMin, kTranslationMax, 1, -1);
  mRotationStep = Make<KIVDlgSpinner>(rotate, RotateFactSpinnerTag, nullptr, nullptr, 3, 0, 3);
  FormatSpinner(mRotationStep, mSetting.rotationStep, kStepMin, kRotationMax, 1, -1);
  for (KIVDlgSpinner* step : {mTranslationStep, mRotationStep})
    Listen(step, step->GetSpinModifyNotification(), &NavViewpointManipulatePanel::SwitchCB);
  SetCheck(mTargetFixed, mSetting.targetFixedState);
  UpdateTargetIcon();

  auto* coordinates = Make<KIVDlgFrame>(this, NoReferenceTag, nullptr, nullptr, 2, 0, 2);
  auto spinner = [&](const char* tag, int row, int column, float min, float max, float steps) {
    auto* field = Make<KIVDlgSpinner>(coordinates, tag, nullptr, nullptr, row, column);
    field->SetVisibleTextWidth(7);
    field->SetRange(min, max, steps);
    field->SetFormat("%.2f");
    Listen(field, field->GetSpinModifyNotification(), &NavViewpointManipulatePanel::CoordonneEditCB);
    return field;
  };
  Make<KIVDlgLabel>(coordinates, EyePositionLabelTag, EyePositionLabelTitle, nullptr, 0, 0);
  Make<KIVDlgLabel>(coordinates, TargetPositionLabelTag, TargetPositionLabelTitle, nullptr, 1, 0);
  for (int i = 0; i < 3; ++i) {
    mEye[i] = spinner(EyeSpinnerTag[i], 0, i + 1, -mCoordinateBound, mCoordinateBound, 10.0f);
    mTarget[i] = spinner(TargetSpinnerTag[i], 1, i + 1, 0.0f, 1.0f, 10.0f);
  }
  Make<KIVDlgLabel>(coordinates, TargetDistButtonTag, TargetDistButtonTitle, nullptr, 2, 0);
  mDistance = spinner(TargetDistSpinnerTag, 2, 1, kDistanceMin, mCoordinateBound, 10.0f);
  Make<KIVDlgLabel>(coordinates, ViewAngleLabelTag, ViewAngleLabelTitle, nullptr, 3, 0);
  mAngle = spinner(ViewAngleSpinnerTag, 3, 1, kAngleMin, kAngleMax, 86.0f);
}

NavViewpointManipulatePanel::~NavViewpointManipulatePanel() {
  Retire();
  Unsubscribe();
  for (KIVCallback id : mCallbacks) RemoveAnalyseNotificationCB(id);
  delete mSetting.secondaryViewer;
  mSetting.secondaryViewer = nullptr;
}

// The shared formatting, except that the palette's magnitude is computed in single
// precision: its floor of 0.1 is the float nearest 0.1, whose truncated logarithm is 0, so
// narrow fields never step by less than a tenth of a unit.
int NavViewpointManipulatePanel::FormatSpinner(KIVDlgSpinner* spinner, float value, float min, float max,
                                               int setValue, int precision) {
  if (!NavSpinnerFormat::Apply(spinner, value, min, max, setValue, precision)) return 0;
  const float floor = std::fabs(min) + std::fabs(max) > 10.0f ? 1.0f : 0.1f;
  const float magnitude = std::max(std::fabs(value), floor);
  const auto e = static_cast<float>(std::exp(std::log(10.0) * std::trunc(std::log10(static_cast<double>(magnitude)))));
  spinner->SetRange(min, max, (max - min) * 10.0f / e);
  return 1;
}

void NavViewpointManipulatePanel::AffichePanel(int show) {
  KIVCommand* parent = mParentLife.expired() ? nullptr : mParentCommand;
  if (show == 1) {
    SetVisibility(VisibilityShown);
    UpdatePalette();
    if (parent) SendNotification(parent, &mShow);
  } else if (show == 0) {
    if (parent) SendNotification(parent, GetWindCloseNotification());
    SetVisibility(VisibilityHidden);
  }
}

int NavViewpointManipulatePanel::GetPaletteStatusHide() const { return GetVisibility() == VisibilityShown ? 0 : 1; }

NavViewpointManipulate* NavViewpointManipulatePanel::GetCurrentManadgeObject() const {
  return mObjectLife.expired() || (mObject && mObject->IsInDelete()) ? nullptr : mObject;
}

void NavViewpointManipulatePanel::Unsubscribe() {
  if (!mObjectLife.expired() && mObject) {
    if (mObjectCB) RemoveCallback(mObject, mObjectCB);
    if (mCameraCB) RemoveCallback(mObject->GetPointerCameraVP(), mCameraCB);
  }
  mObjectCB = mCameraCB = 0;
  mObject = nullptr;
  mObjectLife.reset();
}

void NavViewpointManipulatePanel::SetCurrentManadgeObject(NavViewpointManipulate* object) {
  if (object && object->IsInDelete()) object = nullptr;
  if (object == GetCurrentManadgeObject() && (object || !mObject)) return;
  Unsubscribe();
  mRepeat = 0;
  if (object) {
    mObject = object;
    mObjectLife = object->GetLifeToken();
    mObjectCB = AddCallback(object, NavViewpointManipulate::VIEWPOINT_STATE_MODIFIED(),
                            &NavViewpointManipulatePanel::ViewpointModifiedCB, nullptr);
    mCameraCB = AddCallback(object->GetPointerCameraVP(), KIVViewpoint::VIEWPOINT_MODIFIED,
                            &NavViewpointManipulatePanel::ViewpointModifiedCB, nullptr);
  } else {
    SetTitle(KIVUnicodeString(PanelIdTitle));
  }
  UpdatePalette();
}

void NavViewpointManipulatePanel::ViewpointModifiedCB(const char*, void*, KIVNotification*, void*, long) {
  if (mObject && !mObjectLife.expired() && mObject->IsInDelete()) {
    // The object is going: its managers go with it, so there is nothing to unsubscribe.
    mObjectCB = mCameraCB = 0;
    mObject = nullptr;
    mObjectLife.reset();
    SetTitle(KIVUnicodeString(PanelIdTitle));
    return;
  }
  UpdatePalette();
}

void NavViewpointManipulatePanel::SetCheck(KIVDlgCheckButton* button, int on) {
  button->SetState(on == 1 ? StateSet : StateCleared, 0);
}

void NavViewpointManipulatePanel::UpdateTargetIcon() {
  mTargetFixed->SetIconName(mTargetFixed->GetState() == StateSet ? TargetFixeButtonSetIconName
                                                                 : TargetFixeButtonIconName);
}

void NavViewpointManipulatePanel::UpdatePalette() {
  NavViewpointManipulate* object = GetCurrentManadgeObject();
  if (!object) return;
  ++mUpdating;
  SetTitle(KIVUnicodeString(PanelIdTitle) + KIVUnicodeString(" - ") + object->GetNameObject());
  SetCheck(mInteractive, object->SetCameraInteractif(-1));
  SetCheck(mOpenViewer, object->SetStatusViewer(-1));
  const KIV3DViewpoint* camera = object->GetPointerCameraVP();
  const KIVMathPointf eye = camera->GetOrigin(), target = camera->GetTarget();
  for (int i = 0; i < 3; ++i) {
    mEye[i]->SetCurrentValue(eye[i], 0);
    // The target fields start narrow and take the whole coordinate range once filled.
    mTarget[i]->SetRange(-mCoordinateBound, mCoordinateBound, 10.0f);
    mTarget[i]->SetCurrentValue(target[i], 0);
  }
  mDistance->SetCurrentValue(camera->GetFocusDistance(), 0);
  mAngle->SetCurrentValue(camera->GetAngle(), 0);
  --mUpdating;
}

int NavViewpointManipulatePanel::GetRepeatFactor() const {
  return NavRepeatAcceleration::Factor(mRepeat);
}

int NavViewpointManipulatePanel::ArrowOf(KIVCommand* sender, KIVNotification* notification,
                                         KIVDlgPushButton* const* buttons) {
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

void NavViewpointManipulatePanel::TranslationCB(KIVCommand* sender, KIVNotification* notification, void*) {
  NavViewpointManipulate* object = GetCurrentManadgeObject();
  if (!object) return;
  const int arrow = ArrowOf(sender, notification, mTranslation);
  if (arrow < 0) return;
  KIV3DViewpoint* camera = object->GetPointerCameraVP();
  if (mChangeView->GetState() == StateSet) {
    NavViewerExtand* viewer = mViewerLife.expired() ? nullptr : mViewer;
    const KIVMathDirectionf north = viewer ? viewer->GetNorth() : KIVMathDirectionf(0, 1, 0);
    const KIVMathDirectionf vertical = viewer ? viewer->GetVertical() : KIVMathDirectionf(0, 0, 1);
    NavToolsVisu::ViewpointGetOtherView(camera, north, vertical, kStandardViewCode[arrow], 1, 1);
    return;
  }
  const float step = static_cast<float>(GetRepeatFactor()) * mTranslationStep->GetCurrentValue();
  const KIVMathDirectionf s = camera->GetSightDirection(), u = camera->GetUpDirection();
  const KIVMathDirectionf r(s ^ u);
  static constexpr int kAxis[ArrowCount] = {0, 0, 1, 1, 2, 2};  // R, U, S
  static constexpr float kSign[ArrowCount] = {-1, 1, 1, -1, 1, -1};
  const KIVMathVectorf& along = kAxis[arrow] == 0 ? r : kAxis[arrow] == 1 ? u : s;
  camera->BeginModification();
  camera->SetOrigin(camera->GetOrigin() + along * (kSign[arrow] * step));
  camera->EndModification(1);
}

void NavViewpointManipulatePanel::RotationCB(KIVCommand* sender, KIVNotification* notification, void*) {
  NavViewpointManipulate* object = GetCurrentManadgeObject();
  if (!object) return;
  const int arrow = ArrowOf(sender, notification, mRotation);
  if (arrow < 0) return;
  KIV3DViewpoint* camera = object->GetPointerCameraVP();
  const double a = GetRepeatFactor() * static_cast<double>(mRotationStep->GetCurrentValue());
  const bool fixed = mTargetFixed->GetState() == StateSet;
  const double sigma = fixed ? -1.0 : 1.0;
  const KIVMathPointf o = camera->GetOrigin();
  const KIVMathDirectionf s = camera->GetSightDirection(), u = camera->GetUpDirection();
  const KIVMathDirectionf r(s ^ u);
  const KIVMathPointf pivot = fixed ? camera->GetTarget() : o;
  double angle = 0.0;
  const KIVMathVectorf* axis = &u;
  switch (arrow) {
    case ArrowLeft: angle = sigma * a; break;
    case ArrowRight: angle = -sigma * a; break;
    case ArrowTop: angle = sigma * a, axis = &r; break;
    case ArrowBottom: angle = -sigma * a, axis = &r; break;
    case ArrowFront: angle = -a, axis = &s; break;
    default: angle = a, axis = &s; break;
  }
  // The step is in degrees; the host turns by radians.
  const KIVMathTransformation turn(KIVMathAxis(KIVMathPoint(pivot), KIVMathDirection(*axis)), angle * kRadiansPerDegree);
  camera->BeginModification();
  if (arrow == ArrowFront || arrow == ArrowBack) {
    camera->SetUpDirection(KIVMathDirectionf(turn.Apply(KIVMathVectorf(u))));
  } else {
    const KIVMathDirectionf up = axis == &r ? KIVMathDirectionf(turn.Apply(KIVMathVectorf(u))) : u;
    camera->SetPosition(turn.Apply(o), KIVMathDirectionf(turn.Apply(KIVMathVectorf(s))), up);
  }
  camera->EndModification(1);
}

void NavViewpointManipulatePanel::CoordonneEditCB(KIVCommand* sender, KIVNotification*, void*) {
  NavViewpointManipulate* object = GetCurrentManadgeObject();
  if (!object || mUpdating) return;
  KIV3DViewpoint* camera = object->GetPointerCameraVP();
  const KIVMathPointf eye(mEye[0]->GetCurrentValue(), mEye[1]->GetCurrentValue(), mEye[2]->GetCurrentValue());
  const KIVMathPointf target(mTarget[0]->GetCurrentValue(), mTarget[1]->GetCurrentValue(),
                             mTarget[2]->GetCurrentValue());
  const auto isSender = [sender](KIVDlgSpinner* field) { return field == sender; };
  const bool point = std::any_of(mEye, mEye + 3, isSender) || std::any_of(mTarget, mTarget + 3, isSender);
  camera->BeginModification();
  if (point) {
    // Eye and target typed: the sight runs from one to the other; the same point twice
    // gives no sight and is refused.
    const KIVMathVectorf sight = target - eye;
    if (sight.Norm() > 0.0f) {
      camera->SetOrigin(eye);
      camera->SetSightDirection(KIVMathDirectionf(sight));
      camera->SetFocusDistance(sight.Norm());
    }
  } else if (sender == mDistance) {
    camera->SetFocusDistance(std::max(kDistanceMin, mDistance->GetCurrentValue()));
  } else if (sender == mAngle) {
    camera->SetAngle(std::clamp(mAngle->GetCurrentValue(), kAngleMin, kAngleMax));
  }
  camera->EndModification(1);
  UpdatePalette();  // a refused edit shows the camera as it stayed
}

void NavViewpointManipulatePanel::SwitchCB(KIVCommand* sender, KIVNotification*, void*) {
  if (sender == mTranslationStep || sender == mRotationStep) {
    auto* step = static_cast<KIVDlgSpinner*>(sender);
    const float value = step->GetCurrentValue();
    (step == mTranslationStep ? mSetting.translationStep : mSetting.rotationStep) = value;
    FormatSpinner(step, value, kStepMin, step == mTranslationStep ? kTranslationMax : kRotationMax, 0, -1);
    return;
  }
  const int on = static_cast<KIVDlgCheckButton*>(sender)->GetState() == StateSet ? 1 : 0;
  if (sender == mChangeView) {
    mSetting.standardViewState = on;
  } else if (sender == mTargetFixed) {
    mSetting.targetFixedState = on;
    UpdateTargetIcon();
  } else if (sender == mInteractive) {
    mSetting.interactiveState = on;
    if (NavViewpointManipulate* object = GetCurrentManadgeObject()) object->SetCameraInteractif(on);
  } else if (sender == mOpenViewer) {
    NavViewpointManipulate* object = GetCurrentManadgeObject();
    if (!object) {
      SetCheck(mOpenViewer, 0);
      return;
    }
    object->SetStatusViewer(on);
    if (on && mSetting.secondaryViewer && object->GetOwnViewer())
      object->GetOwnViewer()->SetCurrentSetting(*mSetting.secondaryViewer);
    UpdatePalette();
  }
}

// A rotation button's "Animate" turns the camera the way that button steps, continuously,
// until it is unchecked or another one is checked.
void NavViewpointManipulatePanel::AnimateCB(KIVCommand* sender, KIVNotification*, void*) {
  KIVDlgCheckItem* const* found = std::find(mAnimate, mAnimate + ArrowCount, sender);
  if (found == mAnimate + ArrowCount) return;
  const int arrow = static_cast<int>(found - mAnimate);
  NavViewpointManipulate* object = GetCurrentManadgeObject();
  const bool on = (*found)->GetState() == StateSet;
  if (!object) {
    if (on) (*found)->SetState(StateCleared, 0);
    return;
  }
  object->SetAnimationViewpointState(0, nullptr);
  if (!on) return;
  for (KIVDlgCheckItem* other : mAnimate)
    if (other != *found) other->SetState(StateCleared, 0);
  const bool fixed = mTargetFixed->GetState() == StateSet;
  NavViewpointAnimation animation;
  animation.stepsPerTurn = 50;
  if (arrow == ArrowFront || arrow == ArrowBack) {
    animation.kind = 18;
    animation.axis = 0;
    animation.direction = arrow == ArrowBack ? 1 : 0;
  } else {
    animation.kind = fixed ? 20 : 19;
    animation.axis = arrow == ArrowLeft || arrow == ArrowRight ? 1 : 0;
    const bool positive = arrow == ArrowLeft || arrow == ArrowTop;
    animation.direction = positive != fixed ? 1 : 0;
  }
  object->SetAnimationViewpointState(1, &animation);
}

void NavViewpointManipulatePanel::GetCurrentSetting(NavPaletteViewerSetting& setting) {
  NavViewpointManipulate* object = GetCurrentManadgeObject();
  if (object && object->GetOwnViewer()) {
    if (!mSetting.secondaryViewer) mSetting.secondaryViewer = new NavSimpleViewer3DSetting;
    object->GetOwnViewer()->GetCurrentSetting(*mSetting.secondaryViewer);
  }
  setting = mSetting;
}

void NavViewpointManipulatePanel::SetCurrentSetting(const NavPaletteViewerSetting& s) {
  if (s.rotationStep != -1.0f && s.rotationStep != mSetting.rotationStep && std::isfinite(s.rotationStep)) {
    mSetting.rotationStep = std::clamp(s.rotationStep, kStepMin, kRotationMax);
    FormatSpinner(mRotationStep, mSetting.rotationStep, kStepMin, kRotationMax, 1, -1);
  }
  if (s.translationStep != -1.0f && s.translationStep != mSetting.translationStep &&
      std::isfinite(s.translationStep)) {
    mSetting.translationStep = std::clamp(s.translationStep, kStepMin, kTranslationMax);
    FormatSpinner(mTranslationStep, mSetting.translationStep, kStepMin, kTranslationMax, 1, -1);
  }
  if (s.standardViewState != -1 && s.standardViewState != mSetting.standardViewState) {
    mSetting.standardViewState = s.standardViewState;
    SetCheck(mChangeView, s.standardViewState);
  }
  if (s.targetFixedState != -1 && s.targetFixedState != mSetting.targetFixedState) {
    mSetting.targetFixedState = s.targetFixedState;
    SetCheck(mTargetFixed, s.targetFixedState);
    UpdateTargetIcon();
  }
  if (s.interactiveState != -1 && s.interactiveState != mSetting.interactiveState) {
    mSetting.interactiveState = s.interactiveState;
    SetCheck(mInteractive, s.interactiveState);
  }
  if (s.secondaryViewer) {
    if (mSetting.secondaryViewer)
      *mSetting.secondaryViewer = *s.secondaryViewer;
    else
      mSetting.secondaryViewer = new NavSimpleViewer3DSetting(*s.secondaryViewer);
    NavViewpointManipulate* object = GetCurrentManadgeObject();
    if (object && object->GetOwnViewer()) object->GetOwnViewer()->SetCurrentSetting(*mSetting.secondaryViewer);
  }
}
