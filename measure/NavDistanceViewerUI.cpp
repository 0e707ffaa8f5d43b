#include "measure/NavDistanceViewerUI.h"

#include <cmath>

#include "dialogs/NavSimpleColorChooser.h"
#include "foundation/NavSpinnerFormat.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/interact/KIV3DIndicator.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/interact/KIVViewerEvent.h"
#include "host/visu/interfere/KIVSiInInterfereModel.h"
#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/scene/KIV3DBoundingSphere.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "measure/KIVNavMarker3DGageRep.h"
#include "navigation/NavToolsVisu.h"
#include "viewer/NavInterfaceInfoRep.h"
#include "viewer/NavViewerExtand.h"

namespace {
constexpr int kFill = KIVDialog::AttachLeft | KIVDialog::AttachRight | KIVDialog::AttachTop;
constexpr int kSet = KIVDialog::StateSet, kCleared = KIVDialog::StateCleared;
constexpr float kDefaultWidth = 0.01f, kWidthMax = 10000.0f;
constexpr int kDefaultColor = 246;

template <class W>
W* Make(KIVDialog* parent, const char* tag, const char* title, const char* icon, int row, int column,
        int columnSpan = 1) {
  auto* widget = new W(parent, tag, 0);
  if (title) widget->SetTitle(KIVUnicodeString(title));
  if (icon) widget->SetIconName(icon);
  widget->SetGridConstraints(row, column, 1, columnSpan, kFill);
  return widget;
}

KIVDlgSpinner* MakeSpinner(KIVDialog* parent, const char* tag, int row, int column, int width, float min, float max) {
  auto* spinner = Make<KIVDlgSpinner>(parent, tag, nullptr, nullptr, row, column);
  spinner->SetVisibleTextWidth(width);
  spinner->SetRange(min, max, 0.0f);
  spinner->SetFormat("%.2f");
  return spinner;
}

bool Finite(const KIVMathPointf& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Wire geometry (a leaf made only of lines) is measured as polylines, not as surfaces.
bool IsWire(KIVRep* leaf) {
  auto* custom = dynamic_cast<KIV3DCustomRep*>(leaf);
  if (!custom || custom->GetGPCount() == 0) return false;
  for (int i = 0; i < custom->GetGPCount(); ++i)
    if (!dynamic_cast<KIV3DLineGP*>(custom->GetGP(i))) return false;
  return true;
}

// The path of a pick copied from the top down; with a model rep, the copy stops above it
// and takes it only in a sectioning context. Null when the model is not on the pick.
KIVRepPath* CopyPath(const KIVPickPath& pick, KIVRep* model, int section) {
  auto* path = new KIVRepPath(pick.GetViewpoint());
  bool reached = model == nullptr;
  for (KIVRep* rep : pick.GetReps()) {
    if (model && rep == model) {
      reached = true;
      break;
    }
    path->AddRep(rep);
  }
  if (!reached) {
    delete path;
    return nullptr;
  }
  if (model && section) path->AddRep(model);
  return path;
}
}  // namespace

NavDistanceViewerUI::NavDistanceViewerUI(NavViewerExtand* viewer)
    : KIVDlgDialog(viewer, PanelIdTag, KIVDlgWindow::StyleNoButtons),
      mViewer(viewer),
      mViewerLife(viewer ? viewer->GetLifeToken() : std::weak_ptr<int>()),
      mRelay(std::make_unique<KIVCommand>(viewer, "NavDistanceUIRelay")) {
  SetTitle(KIVUnicodeString(PanelIdTitle));
  mSetting.color = kDefaultColor;
  mSetting.showText = 1;
  mSetting.width = kDefaultWidth;

  auto* distance = Make<KIVDlgFrame>(this, DistanceFrameTag, DistanceFrameTitle, nullptr, 0, 0);
  mPickButton = Make<KIVDlgCheckButton>(distance, PickButtonTag, PickButtonTitle, PickButtonIconName, 0, 0);
  mPickButton->SetState(kSet, 0);  // nothing is being picked
  int column = 1;
  if (viewer && viewer->GetRootRep(NavViewerExtand::kAnnotationRoot))
    mAnnotationButton = Make<KIVDlgPushButton>(distance, AnnotationButtonTag, AnnotationButtonTitle,
                                               AnnotationButtonIconName, 0, column++);
  mReframeButton =
      Make<KIVDlgPushButton>(distance, ReframeButtonTag, ReframeButtonTitle, ReframeButtonIconName, 0, column++);
  mDistanceEditor = MakeSpinner(distance, DistanceEditorTag, 0, column, 12, -mCoordinateBound, mCoordinateBound);
  mMinimal[kMinimal] = Make<KIVDlgPushButton>(distance, DistMiniButtonTag, DistMiniButtonTitle, nullptr, 1, 0);
  mInfoLabel = Make<KIVDlgLabel>(distance, DistInfoLabelTag, ElementModeTitle[0], nullptr, 1, 1, 2);
  mMinimal[kHorizontal] =
      Make<KIVDlgPushButton>(distance, DistMiniHoriButtonTag, DistMiniHoriButtonTitle, nullptr, 2, 0);
  mMinimal[kVertical] = Make<KIVDlgPushButton>(distance, DistMiniVertButtonTag, DistMiniVertButtonTitle, nullptr, 2, 1);

  mPointFrame = Make<KIVDlgFrame>(this, PointPosFrameTag, PointPosFrameTitle, nullptr, 1, 0);
  for (int p = 0; p < 2; ++p) {
    mLess[p] = Make<KIVDlgPushButton>(mPointFrame, PointLessButtonTag, PointLessButtonTitle, PointLessButtonIconName,
                                      p, 0);
    mMore[p] = Make<KIVDlgPushButton>(mPointFrame, PointMoreButtonTag, PointMoreButtonTitle, PointMoreButtonIconName,
                                      p, 1);
    mPointSet[p] = Make<KIVDlgCheckButton>(mPointFrame, PointSetTag[p], PointSetTitle[p], PointSetIconName[p], p, 2);
    for (int i = 0; i < 3; ++i)
      mPointEditor[p][i] =
          MakeSpinner(mPointFrame, PointEditorTag[p][i], p, 3 + i, 12, -mCoordinateBound, mCoordinateBound);
  }

  auto* setting = Make<KIVDlgFrame>(this, SettingGageFrameTag, SettingGageFrameTitle, nullptr, 2, 0);
  mColorButton = Make<KIVDlgCheckButton>(setting, ColorGageTag, ColorGageTitle, ColorGageIconName, 0, 0);
  mShowTextButton = Make<KIVDlgCheckButton>(setting, ShowTextTag, ShowTextTitle, nullptr, 0, 1);
  mShowTextButton->SetState(kSet, 0);
  Make<KIVDlgLabel>(setting, WidthLabelTag, WidthLabelTitle, nullptr, 0, 2);
  mWidthEditor = MakeSpinner(setting, WidthValueTag, 0, 3, 6, kDefaultWidth, kWidthMax);
  mWidthEditor->SetRange(kDefaultWidth, kWidthMax, (kWidthMax - kDefaultWidth) / kDefaultWidth);
  mWidthEditor->SetCurrentValue(kDefaultWidth, 0);

  mPointFrame->SetSensitivity(SensitivityOff);
  mDistanceEditor->SetSensitivity(SensitivityOff);
  for (KIVDlgPushButton* button : mMinimal) button->SetSensitivity(SensitivityOff);

  for (KIVDlgPushButton* button : {mAnnotationButton, mReframeButton, mMinimal[0], mMinimal[1], mMinimal[2], mLess[0],
                                   mLess[1], mMore[0], mMore[1]})
    if (button) Listen(button, button->GetPushBActivateNotification());
  for (KIVDlgCheckButton* button : {mPickButton, mPointSet[0], mPointSet[1], mColorButton, mShowTextButton})
    Listen(button, button->GetChkBModifyNotification());
  for (KIVDlgSpinner* spinner : {mDistanceEditor, mPointEditor[0][0], mPointEditor[0][1], mPointEditor[0][2],
                                 mPointEditor[1][0], mPointEditor[1][1], mPointEditor[1][2], mWidthEditor})
    Listen(spinner, spinner->GetSpinModifyNotification());

  KIVUnicodeString name(GaugeName);
  KIVMathPointf origin(0, 0, 0);
  mGauge = new KIVNavMarker3DGageRep(name, origin, origin, kDefaultWidth, 1);
  mGauge->SetColor(kDefaultColor);
  KIVGraphicAttributeSet attributes = mGauge->GetGraphicAttributeSet();
  attributes.SetFlag(KIVGraphicAttributeSet::Hidden, 1);
  attributes.SetFlag(KIVGraphicAttributeSet::NotPickable, 1);  // picks go through it to the scene
  mGauge->SetGraphicAttributeSet(attributes);
  mGaugeLife = mGauge->GetLifeToken();
  if (viewer) viewer->AddRep(mGauge, NavViewerExtand::kTemporyRoot);
  mIndicator = std::make_unique<KIV3DIndicator>(this, IndicatorName, viewer);

  // The window tells its father that it closes; the relay stands in as father so that the
  // dialog hears it first and tells the viewer itself.
  mRelay->AddAnalyseNotificationCB(
      this, GetWindCloseNotification(), nullptr,
      [this](KIVCommand* sender, KIVNotification* notification, void* data) {
        ActionPanelCB(sender, notification, data);
      },
      nullptr);
  SetFather(mRelay.get());
}

NavDistanceViewerUI::~NavDistanceViewerUI() {
  Retire();
  for (KIVCallback id : mCallbacks) RemoveAnalyseNotificationCB(id);
  for (KIVCallback id : mIndicatorCBs) RemoveAnalyseNotificationCB(id);
  for (KIVCallback id : mChooserCBs) RemoveAnalyseNotificationCB(id);
  mColorChooser = nullptr;  // a dialog child: gone with the children
  // A gauge already gone means that the viewer is being torn down around this dialog (its
  // roots went first): it is then left alone.
  const bool gauge = !mGaugeLife.expired();
  NavViewerExtand* viewer = gauge ? Viewer() : nullptr;
  if (viewer) {
    if (mForegroundCB) RemoveCallback(viewer, mForegroundCB);
    viewer->UnsetForegroundIndicator(mIndicator.get());
    viewer->RemoveRep(mGauge, NavViewerExtand::kTemporyRoot);
  }
  mIndicator.reset();
  if (gauge) delete mGauge;
  SetFather(nullptr);
}

NavViewerExtand* NavDistanceViewerUI::Viewer() const { return mViewerLife.expired() ? nullptr : mViewer; }

void NavDistanceViewerUI::Listen(KIVCommand* sender, KIVNotification* notification) {
  mCallbacks.push_back(AddAnalyseNotificationCB(sender, notification, &NavDistanceViewerUI::ActionPanelCB, nullptr));
}

int NavDistanceViewerUI::FormatSpinner(KIVDlgSpinner* spinner, float value, float min, float max, int setValue) {
  return NavSpinnerFormat::Apply(spinner, value, min, max, setValue);
}

void NavDistanceViewerUI::SetLabel(const char* text) { mInfoLabel->SetTitle(KIVUnicodeString(text)); }

void NavDistanceViewerUI::SetVisibility(unsigned long visibility) {
  NavViewerExtand* viewer = Viewer();
  if (visibility == static_cast<unsigned long>(VisibilityShown)) {
    if (mIndicatorCBs.empty()) {
      for (const char* kind : {KIVBeginManipulateNotification::ClassName(), KIVManipulateNotification::ClassName(),
                               KIVEndManipulateNotification::ClassName()})
        mIndicatorCBs.push_back(
            AddAnalyseNotificationCB(mIndicator.get(), kind, &NavDistanceViewerUI::MouseMoveCB, nullptr));
    }
    if (viewer && !mForegroundCB)
      mForegroundCB = AddCallback(viewer, NavViewerExtand::VIEWER_FOREGROUND_CHANGE(),
                                  &NavDistanceViewerUI::ForegroundIndicatorChangeCB, nullptr);
    if (viewer) SendNotification(viewer, &mShow);
    KIVDlgDialog::SetVisibility(VisibilityShown);
    mGauge->SetShowMode(0, 0);
    UpdatePalette();
    if (viewer) viewer->Draw();
  } else if (visibility == static_cast<unsigned long>(VisibilityHidden)) {
    CloseColorChooser(0);
    StopPicking();
    if (viewer && mForegroundCB) RemoveCallback(viewer, mForegroundCB);
    mForegroundCB = 0;
    if (viewer) SendNotification(viewer, GetWindCloseNotification());
    KIVDlgDialog::SetVisibility(VisibilityHidden);
    for (KIVCallback id : mIndicatorCBs) RemoveAnalyseNotificationCB(id);
    mIndicatorCBs.clear();
    mGauge->SetShowMode(1, 0);
    if (viewer) viewer->Draw();
  }
}

void NavDistanceViewerUI::UpdatePalette() {
  if (GetVisibility() != VisibilityShown) return;
  mPointFrame->SetSensitivity(SensitivityOn);
  mDistanceEditor->SetSensitivity(SensitivityOn);
  const KIVMathPointf p[2] = {mGauge->GetCoordonnePoint(1), mGauge->GetCoordonnePoint(2)};
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < 3; ++i)
      if (mPointEditor[k][i]->GetCurrentValue() != p[k][i])
        FormatSpinner(mPointEditor[k][i], p[k][i], -mCoordinateBound, mCoordinateBound, 1);
  const float distance = p[0].DistanceTo(p[1]);
  if (mDistanceEditor->GetCurrentValue() != distance)
    FormatSpinner(mDistanceEditor, distance, -mCoordinateBound, mCoordinateBound, 1);
  const int nudge = distance > 0.0f ? SensitivityOn : SensitivityOff;
  for (int k = 0; k < 2; ++k) {
    mLess[k]->SetSensitivity(nudge);
    mMore[k]->SetSensitivity(nudge);
  }
  mShowTextButton->SetState(mGauge->ShowText(-1) ? kSet : kCleared, 0);
  mWidthEditor->SetCurrentValue(mGauge->GetWidth(), 0);
  // A pick whose object has left the scene can no longer be measured against.
  const int minimal = mPicked == 3 && InScene(mFirstPick) && InScene(mSecondPick) ? SensitivityOn : SensitivityOff;
  for (KIVDlgPushButton* button : mMinimal) button->SetSensitivity(minimal);
}

int NavDistanceViewerUI::SetPointCoordonne(KIVMathPointf& p, int which, int refresh) {
  if (!Finite(p)) return 0;
  mGauge->Modify(p, which);
  mGauge->SetHighlightMode(0, 0);
  if (refresh == 1) UpdatePalette();
  return 1;
}

void NavDistanceViewerUI::SetGraphicPicking(KIVPickPath* path) {
  if (!path) return;
  KIVMathPointf p = path->GetGlobalIntersection();
  if (!Finite(p)) return;
  if (mCurrentPoint == 1) {
    mFirstPick = *path;
    mPicked |= 1;
    SetPointCoordonne(p, 1, 0);
  } else {
    mSecondPick = *path;
    mPicked |= 2;
    SetPointCoordonne(p, 2, 0);
  }
  mElementMode = 0;
  SetLabel(ElementModeTitle[0]);
  UpdatePalette();
}

void NavDistanceViewerUI::SetCurrentSetting(const NavDistanceSetting& setting) {
  NavDistanceSetting wanted = mSetting;
  wanted = setting;  // only the defined fields
  if (wanted.color < 0 || wanted.color > 255) wanted.color = mSetting.color;
  if (wanted.showText != 0 && wanted.showText != 1) wanted.showText = mSetting.showText;
  if (!std::isfinite(wanted.width) || wanted.width < kDefaultWidth || wanted.width > kWidthMax)
    wanted.width = mSetting.width;
  mSetting.color = wanted.color;
  mSetting.showText = wanted.showText;
  mSetting.width = wanted.width;
  mGauge->SetColor(static_cast<unsigned int>(mSetting.color));
  mGauge->ShowText(mSetting.showText);
  mGauge->SetWidth(mSetting.width);
  if (mColorChooser) mColorChooser->SetColorIndex(mSetting.color);
  UpdatePalette();
  if (NavViewerExtand* viewer = Viewer()) viewer->Draw();
}

// ---------------------------------------------------------------------------------------
// Picking

void NavDistanceViewerUI::StopPicking() {
  mCurrentPoint = 0;
  if (NavViewerExtand* viewer = Viewer()) viewer->UnsetForegroundIndicator(mIndicator.get());
  for (KIVDlgCheckButton* button : mPointSet) button->SetState(kCleared, 0);
}

void NavDistanceViewerUI::PointButtonChanged(int which) {
  KIVDlgCheckButton* button = mPointSet[which - 1];
  NavViewerExtand* viewer = Viewer();
  if (button->GetState() == kSet) {
    mPointSet[2 - which]->SetState(kCleared, 0);
    mCurrentPoint = which;
    if (viewer) viewer->SetForegroundIndicator(mIndicator.get());
  } else {
    mCurrentPoint = 0;
    if (viewer) viewer->UnsetForegroundIndicator(mIndicator.get());
  }
}

void NavDistanceViewerUI::ForegroundIndicatorChangeCB(const char*, void*, KIVNotification*, void*, long) {
  NavViewerExtand* viewer = Viewer();
  if (!viewer) return;
  KIVIndicator* top = viewer->GetForegroundIndicator();
  if (top != mIndicator.get()) {
    for (KIVDlgCheckButton* button : mPointSet) button->SetState(kCleared, 0);
    mPickButton->SetState(top ? kCleared : kSet, 0);
  } else {
    if (Point(mCurrentPoint)) mPointSet[mCurrentPoint - 1]->SetState(kSet, 0);
    mPickButton->SetState(kCleared, 0);
  }
  if (viewer->IsForegroundIndicatorReferenced(mIndicator.get()) < 0) mCurrentPoint = 0;
}

void NavDistanceViewerUI::MouseMoveCB(KIVCommand* sender, KIVNotification* notification, void*) {
  NavViewerExtand* viewer = Viewer();
  if (!viewer || sender != mIndicator.get() || !notification) return;
  const bool end = notification->IsAKindOf(KIVEndManipulateNotification::ClassName());
  KIVViewerEvent* event = nullptr;
  if (auto* begin = dynamic_cast<KIVBeginManipulateNotification*>(notification)) {
    event = begin->GetViewerEvent();
    mDragging = 1;
    mDragFound = -1;
  } else if (auto* drag = dynamic_cast<KIVManipulateNotification*>(notification)) {
    event = drag->GetViewerEvent();
  } else if (auto* release = dynamic_cast<KIVEndManipulateNotification*>(notification)) {
    event = release->GetViewerEvent();
  }
  if (!end) {
    auto* mouse = event ? dynamic_cast<KIVMouseEvent*>(event->GetDeviceEvent()) : nullptr;
    if (!mouse) return;
    KIVPickPathList paths;
    viewer->Pick(mouse->GetX(), mouse->GetY(), paths);
    for (int i = 0; i < paths.GetSize(); ++i) {
      KIVPickPath* path = paths.GetPath(i);
      if (path->GetViewpoint() != viewer->GetMain3DViewpoint()) continue;
      mDragPick = *path;
      mDragFound = 1;
      SetGraphicPicking(path);
      viewer->Draw();
      break;
    }
    return;
  }
  // The release commits what the press last met; a press that met nothing changes nothing.
  if (mDragging && mDragFound == 1) SetGraphicPicking(&mDragPick);
  mDragging = 0;
  mDragFound = -1;
  UpdatePalette();
  viewer->Draw();
}

// ---------------------------------------------------------------------------------------
// Editing

void NavDistanceViewerUI::ForgetPicks() {
  mPicked = 0;
  mElementMode = 0;
  SetLabel(ElementModeTitle[0]);
}

int NavDistanceViewerUI::SetDistance(float d, int which) {
  if (!std::isfinite(d)) return 0;
  const KIVMathPointf p1 = mGauge->GetCoordonnePoint(1), p2 = mGauge->GetCoordonnePoint(2);
  KIVMathVectorf u = p2 - p1;
  if (u.Normalize() <= 0.0f) return 0;  // coincident points: no line to measure along
  KIVMathPointf moved = which == 1 ? p2 - u * d : p1 + u * d;
  return SetPointCoordonne(moved, which, 0);
}

void NavDistanceViewerUI::ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (!sender) return;
  NavViewerExtand* viewer = Viewer();
  if (sender == this) {
    if (notification == GetWindCloseNotification()) SetVisibility(VisibilityHidden);
    return;
  }
  if (mColorChooser && sender == mColorChooser) {
    if (notification == mColorChooser->ColorModifyNotification()) {
      const int color = mColorChooser->GetColorIndex(1);
      if (color < 0 || color > 255) return;  // "None" is no colour for a gauge
      mSetting.color = color;
      mGauge->SetColor(static_cast<unsigned int>(color));
      if (viewer) viewer->Draw();
    } else if (notification == mColorChooser->GetWindCloseNotification()) {
      CloseColorChooser(1);
    }
    return;
  }
  if (sender == mPickButton) {
    StopPicking();
    mPickButton->SetState(kSet, 0);
  } else if (sender == mPointSet[0] || sender == mPointSet[1]) {
    PointButtonChanged(sender == mPointSet[0] ? 1 : 2);
  } else if (sender == mAnnotationButton) {
    Annotate();
  } else if (sender == mReframeButton) {
    Reframe();
  } else if (sender == mMinimal[kMinimal] || sender == mMinimal[kHorizontal] || sender == mMinimal[kVertical]) {
    ComputeMinimal(sender == mMinimal[kMinimal] ? kMinimal : sender == mMinimal[kHorizontal] ? kHorizontal : kVertical);
  } else if (sender == mDistanceEditor) {
    const int which = mPointSet[0]->GetState() == kSet ? 1 : mPointSet[1]->GetState() == kSet ? 2 : 0;
    // Without a point to move the typed value is only put back to the measured one.
    if (which && SetDistance(mDistanceEditor->GetCurrentValue(), which)) ForgetPicks();
    UpdatePalette();
  } else if (sender == mLess[0] || sender == mLess[1] || sender == mMore[0] || sender == mMore[1]) {
    const int which = sender == mLess[0] || sender == mMore[0] ? 1 : 2;
    const float step = sender == mMore[0] || sender == mMore[1] ? 1.0f : -1.0f;
    const float current = mGauge->GetCoordonnePoint(1).DistanceTo(mGauge->GetCoordonnePoint(2));
    if (SetDistance(current + step, which)) ForgetPicks();
    UpdatePalette();
  } else if (sender == mColorButton) {
    if (mColorButton->GetState() == kSet)
      OpenColorChooser();
    else
      CloseColorChooser(0);
    return;
  } else if (sender == mShowTextButton) {
    mSetting.showText = mShowTextButton->GetState() == kSet ? 1 : 0;
    mGauge->ShowText(mSetting.showText);
  } else if (sender == mWidthEditor) {
    const float width = mWidthEditor->GetCurrentValue();
    if (std::isfinite(width) && width > 0.0f) {
      mSetting.width = width;
      mGauge->SetWidth(width);
    }
    UpdatePalette();
  } else {
    for (int k = 0; k < 2; ++k)
      for (int i = 0; i < 3; ++i)
        if (sender == mPointEditor[k][i]) {
          KIVMathPointf p = mGauge->GetCoordonnePoint(k + 1);
          p[i] = mPointEditor[k][i]->GetCurrentValue();
          if (!SetPointCoordonne(p, k + 1, 1)) UpdatePalette();
        }
  }
  if (viewer) viewer->Draw();
}

// ---------------------------------------------------------------------------------------
// Minimal distance

bool NavDistanceViewerUI::InScene(const KIVPickPath& pick) const {
  NavViewerExtand* viewer = Viewer();
  auto* root = viewer ? dynamic_cast<KIV3DBagRep*>(viewer->GetRootRep(NavViewerExtand::kMasterRoot)) : nullptr;
  if (!root || pick.GetSize() < 2) return false;
  // Only pointers are compared here, so a pick whose reps have been deleted since is
  // recognised without being touched.
  int position = -1;
  return NavToolsVisu::IsRepExist(root, pick.GetRep(pick.GetSize() - 2), position, -1, 0) != -1 &&
         NavToolsVisu::IsRepExist(root, pick.GetLeafRep(), position, -1, 0) != -1;
}

void NavDistanceViewerUI::ComputeMinimal(int kind) {
  NavViewerExtand* viewer = Viewer();
  if (!viewer) return;
  if (mPicked != 3 || !InScene(mFirstPick) || !InScene(mSecondPick)) {
    mElementMode = 0;
    SetLabel(ElementModeTitle[0]);
    for (KIVDlgPushButton* button : mMinimal) button->SetSensitivity(SensitivityOff);
    return;
  }
  mElementMode = (mElementMode + 1) % 3;
  NavInterfaceInfoRep* info = viewer->GetInterfaceInfoRep();
  KIVRep* models[2] = {nullptr, nullptr};
  if (mElementMode == 2) {
    if (info) {
      models[0] = info->GetRepOfModel(&mFirstPick);
      models[1] = info->GetRepOfModel(&mSecondPick);
    }
    if (!models[0] || !models[1]) mElementMode = 0;
  }
  const int section = info && info->IsSectionningContext() ? 1 : 0;
  std::unique_ptr<KIVRepPath> paths[2];
  if (mElementMode != 0) {
    paths[0].reset(CopyPath(mFirstPick, models[0], section));
    paths[1].reset(CopyPath(mSecondPick, models[1], section));
    if (!paths[0] || !paths[1]) mElementMode = 0;  // a model rep that is not on its pick
  }
  SetLabel(ElementModeTitle[mElementMode]);
  if (mElementMode == 0) {
    KIVMathPointf p1 = mFirstPick.GetGlobalIntersection(), p2 = mSecondPick.GetGlobalIntersection();
    SetPointCoordonne(p1, 1, 0);
    SetPointCoordonne(p2, 2, 0);
    UpdatePalette();
    viewer->Draw();
    return;
  }

  double distance = 0.0;
  int count = 0;
  KIV3DBagRep** bags = nullptr;
  {
    KIVSiInInterfereModel model;
    KIVRepPath* a = paths[0].get();
    KIVRepPath* b = paths[1].get();
    int query = -1;
    if (kind == kMinimal) {
      const int geometry = IsWire(mFirstPick.GetLeafRep()) && IsWire(mSecondPick.GetLeafRep())
                               ? KIVSiInInterfereModel::kWire
                               : KIVSiInInterfereModel::kSurface;
      query = model.AddSpec(&a, 1, &b, 1, geometry, KIVSiInInterfereModel::kMinimalDistance, 0.0);
    } else if (section) {
      KIVMathVectorf d[3] = {KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1)};
      KIVMathPointf origin;
      if (const KIV4x4Matrix* frame = info->GetMatrix()) frame->GetComponents(d[0], d[1], d[2], origin);
      const KIVMathVectorf& along = d[kind == kHorizontal ? 1 : 2];
      query = model.AddSpec(&a, 1, &b, 1, KIVSiInInterfereModel::kDirectional, along.x, along.y, along.z);
    }
    if (query >= 0) {
      model.Compute();
      model.GetResult(query, &distance, &count, &bags, 0);
    }
  }
  const bool impossible = kind != kMinimal && section && distance < 0.0;
  if (impossible) {
    SetLabel(ImpossibleTitle);
  } else if (count > 0 && distance > 0.0 && bags && bags[0]) {
    int found = 0;
    for (KIVRep* child : bags[0]->GetChildren()) {
      auto* point = dynamic_cast<KIV3DPointRep*>(child);
      if (!point) continue;
      KIVMathPointf p = point->GetPoint();
      SetPointCoordonne(p, found == 0 ? 1 : 2, 0);
      if (++found == 2) break;
    }
    if (mElementMode == 2) mGauge->SetHighlightMode(1, 0);
  }
  for (int i = 0; bags && i < count; ++i)
    if (bags[i]) bags[i]->Destroy();
  delete[] bags;
  UpdatePalette();
  viewer->Draw();
}

// ---------------------------------------------------------------------------------------
// Colour, annotation, reframing

void NavDistanceViewerUI::OpenColorChooser() {
  if (mColorChooser) return;
  mColorChooser = new NavSimpleColorChooser(this, NavSimpleColorChooser::kPreview | NavSimpleColorChooser::kFineDefine |
                                                      NavSimpleColorChooser::kBasic);
  if (NavViewerExtand* viewer = Viewer()) mColorChooser->SetColorMap(&viewer->GetKIVColormap());
  for (KIVNotification* notification : {static_cast<KIVNotification*>(mColorChooser->ColorModifyNotification()),
                                        static_cast<KIVNotification*>(mColorChooser->GetWindCloseNotification())})
    mChooserCBs.push_back(
        AddAnalyseNotificationCB(mColorChooser, notification, &NavDistanceViewerUI::ActionPanelCB, nullptr));
  mColorChooser->SetColorIndex(mSetting.color);
  mColorChooser->SetVisibility(VisibilityShown);
}

void NavDistanceViewerUI::CloseColorChooser(int later) {
  for (KIVCallback id : mChooserCBs) RemoveAnalyseNotificationCB(id);
  mChooserCBs.clear();
  if (mColorChooser) {
    if (later)
      mColorChooser->RequestDelayedDestruction();
    else
      delete mColorChooser;
  }
  mColorChooser = nullptr;
  mColorButton->SetState(kCleared, 0);
}

void NavDistanceViewerUI::Annotate() {
  NavViewerExtand* viewer = Viewer();
  if (!viewer || !viewer->GetRootRep(NavViewerExtand::kAnnotationRoot)) return;
  auto* copy = new KIVNavMarker3DGageRep(*mGauge);
  copy->SetColor(static_cast<unsigned int>(mSetting.color));
  viewer->AddRep(copy, NavViewerExtand::kAnnotationRoot);
}

void NavDistanceViewerUI::Reframe() {
  NavViewerExtand* viewer = Viewer();
  if (!viewer) return;
  KIV3DViewpoint* main = viewer->GetMain3DViewpoint();
  // The measured segment, not the gauge's own bounds: its label is sized on screen and
  // bounds nothing in the scene.
  const KIVMathPointf p1 = mGauge->GetCoordonnePoint(1), p2 = mGauge->GetCoordonnePoint(2);
  const KIVMathPointf centre = p1 + (p2 - p1) * 0.5f;
  const KIV3DBoundingSphere sphere(centre, 0.5f * p1.DistanceTo(p2) + 0.5f * mGauge->GetWidth());
  main->BeginModification();
  NavToolsVisu::ViewpointReframeWithBounding(viewer, main, sphere);
  main->EndModification(1);
  viewer->Draw();
}
