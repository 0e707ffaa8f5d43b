#include "viewer/NavReferenceViewUI.h"

#include <cmath>

#include "dialogs/NavSimpleColorChooser.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/dialog/KIVDlgSlider.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "viewer/NavViewerExtand.h"

namespace {
constexpr int kFill = KIVDialog::AttachLeft | KIVDialog::AttachRight | KIVDialog::AttachTop;
constexpr int kSet = KIVDialog::StateSet, kCleared = KIVDialog::StateCleared;

template <class W>
W* Make(KIVDialog* parent, const char* tag, const char* title, int row, int column, int columnSpan = 1,
        int style = 0) {
  auto* widget = new W(parent, tag, style);
  if (title) widget->SetTitle(KIVUnicodeString(title));
  widget->SetGridConstraints(row, column, 1, columnSpan, kFill);
  return widget;
}

bool Defined(const NavReferenceViewSetting& s) {
  return s.backgroundRed != -1.0f && s.backgroundGreen != -1.0f && s.backgroundBlue != -1.0f;
}
}  // namespace

NavReferenceViewUI::NavReferenceViewUI(NavViewerExtand* viewer, int frames)
    : KIVDlgDialog(viewer, PanelIdTag, 0),
      mViewer(viewer),
      mViewerLife(viewer ? viewer->GetLifeToken() : std::weak_ptr<int>()),
      mFrames(frames),
      mRelay(std::make_unique<KIVCommand>(viewer, "ViewSettingRelay")) {
  SetTitle(KIVUnicodeString(PanelIdTitle));
  SetRectDimensions(0, 0, 150, 450);
  if (viewer) {
    viewer->GetCurrentSetting(mOpening);
    // What the window shows is the background to come back to, whoever set it.
    float rgb[3];
    viewer->GetBackgroundColor(rgb);
    mOpening.backgroundRed = rgb[0], mOpening.backgroundGreen = rgb[1], mOpening.backgroundBlue = rgb[2];
  }
  int row = 0;
  if (frames & kReferenceFrame) {
    auto* frame = Make<KIVDlgFrame>(this, RefFrameTag, RefFrameTitle, row++, 0);
    for (int i = 0; i < 3; ++i) mPlanes[i] = Make<KIVDlgRadioButton>(frame, PlaneTag[i], PlaneTitle[i], i, 0);
    mReverse = Make<KIVDlgCheckButton>(frame, ReverseTag, ReverseTitle, 3, 0);
  }
  if (frames & kGravityFrame) {
    auto* frame = Make<KIVDlgFrame>(this, GravityFrameTag, GravityFrameTitle, row++, 0);
    for (int i = 0; i < 3; ++i) mGravity[i] = Make<KIVDlgRadioButton>(frame, GravityTag[i], GravityTitle[i], i, 0);
  }
  if (frames & kCollisionFrame) {
    auto* frame = Make<KIVDlgFrame>(this, CollisionFrameTag, CollisionFrameTitle, row++, 0);
    mCollision = Make<KIVDlgCheckButton>(frame, CollisionButtonTag, CollisionButtonTitle, 0, 0);
    mCollisionEditor = Make<KIVDlgSpinner>(frame, CollisionEditorTag, nullptr, 1, 0);
    mCollisionEditor->SetVisibleTextWidth(8);
    mCollisionEditor->SetRange(kCollisionMin, kCollisionMax, 0.0f);
    mCollisionEditor->SetFormat("%.2f");
  }
  if (frames & kBackgroundFrame) {
    auto* frame = Make<KIVDlgFrame>(this, BkgFrameTag, BkgFrameTitle, row++, 0);
    Make<KIVDlgLabel>(frame, BkgIntensTag, BkgIntensTitle, 0, 0);
    mColorButton = Make<KIVDlgCheckButton>(frame, BkgColorTag, BkgColorTitle, 0, 1);
    mColorButton->SetIconName(BkgColorIconName);
    mIntensity = Make<KIVDlgSlider>(frame, BkgSliderTag, nullptr, 1, 0, 2, 0x40000);
    mIntensity->SetRange(0.0f, 1.0f, 100.0f);
    mIntensity->SetDecimals(2);
  }

  for (KIVNotification* n : {static_cast<KIVNotification*>(GetDiaOKNotification()),
                             static_cast<KIVNotification*>(GetDiaCANCELNotification()),
                             static_cast<KIVNotification*>(GetWindCloseNotification())})
    mRelay->AddAnalyseNotificationCB(
        this, n, nullptr, [this](KIVCommand* s, KIVNotification* m, void* d) { ActionPanelCB(s, m, d); }, nullptr);
  SetFather(mRelay.get());
  for (KIVDlgRadioButton* radio : {mPlanes[0], mPlanes[1], mPlanes[2], mGravity[0], mGravity[1], mGravity[2]})
    if (radio) Listen(radio, radio->GetRadBModifyNotification());
  for (KIVDlgCheckButton* check : {mReverse, mCollision, mColorButton})
    if (check) Listen(check, check->GetChkBModifyNotification());
  if (mCollisionEditor) Listen(mCollisionEditor, mCollisionEditor->GetSpinModifyNotification());
  if (mIntensity) {
    Listen(mIntensity, mIntensity->GetSliderModifyNotification());
    Listen(mIntensity, mIntensity->GetSliderDragNotification());
  }
  SetCurrentSetting(mOpening);
}

NavReferenceViewUI::~NavReferenceViewUI() {
  Retire();
  for (KIVCallback id : mCallbacks) RemoveAnalyseNotificationCB(id);
  for (KIVCallback id : mChooserCBs) RemoveAnalyseNotificationCB(id);
  mChooser = nullptr;  // a dialog child: gone with the children
  SetFather(nullptr);
}

NavViewerExtand* NavReferenceViewUI::Viewer() const { return mViewerLife.expired() ? nullptr : mViewer; }

void NavReferenceViewUI::Listen(KIVCommand* sender, KIVNotification* notification) {
  mCallbacks.push_back(AddAnalyseNotificationCB(sender, notification, &NavReferenceViewUI::ActionPanelCB, nullptr));
}

NavReferenceViewSetting NavReferenceViewUI::GetCurrentSetting() const {
  NavReferenceViewSetting s;
  if (mPlanes[0]) {
    for (int i = 0; i < 3; ++i)
      if (mPlanes[i]->GetState() == kSet) s.referencePlane = PlaneBit[i];
    if (s.referencePlane != 0 && mReverse->GetState() == kSet) s.referencePlane |= kReverseBit;
  }
  if (mGravity[0])
    for (int i = 0; i < 3; ++i)
      if (mGravity[i]->GetState() == kSet) s.gravity = i;
  if (mCollision) {
    s.collisionCheck = mCollision->GetState() == kSet ? 1 : 0;
    s.collisionDistance = mCollisionEditor->GetCurrentValue();
  }
  if (mIntensity) {
    NavViewerExtand* viewer = Viewer();
    float rgb[3] = {mOpening.backgroundRed, mOpening.backgroundGreen, mOpening.backgroundBlue};
    if (viewer) viewer->GetBackgroundColor(rgb);
    s.backgroundRed = rgb[0], s.backgroundGreen = rgb[1], s.backgroundBlue = rgb[2];
  }
  return s;
}

void NavReferenceViewUI::SetCurrentSetting(const NavReferenceViewSetting& s) {
  ++mShowing;
  if (mPlanes[0] && s.referencePlane != 0) {
    for (int i = 0; i < 3; ++i)
      if (s.referencePlane & PlaneBit[i]) {
        mPlanes[i]->SetState(kSet, 0);
        break;
      }
    mReverse->SetState((s.referencePlane & kReverseBit) ? kSet : kCleared, 0);
  }
  if (mGravity[0] && s.gravity >= 0 && s.gravity <= 2) mGravity[s.gravity]->SetState(kSet, 0);
  if (mCollision && s.collisionCheck != -1) {
    mCollision->SetState(s.collisionCheck == 1 ? kSet : kCleared, 0);
    mCollisionEditor->SetSensitivity(s.collisionCheck == 1 ? SensitivityOn : SensitivityOff);
  }
  if (mCollisionEditor && s.collisionDistance != -1.0f && std::isfinite(s.collisionDistance))
    mCollisionEditor->SetCurrentValue(s.collisionDistance, 0);
  if (mIntensity && Defined(s)) {
    float lightness = 0.0f;
    NavSimpleColorChooser::RGB_to_HLS(s.backgroundRed, s.backgroundGreen, s.backgroundBlue, nullptr, &lightness,
                                      nullptr);
    mIntensity->SetCurrentValue(lightness, 0);
    if (mChooser) mChooser->SetColor(s.backgroundRed, s.backgroundGreen, s.backgroundBlue, 1.0f, 1, 0);
  }
  --mShowing;
}

void NavReferenceViewUI::Apply(const NavReferenceViewSetting& s) {
  if (NavViewerExtand* viewer = Viewer()) viewer->SetCurrentSetting(s, this);
}

void NavReferenceViewUI::ApplyBackground(float r, float g, float b) {
  NavReferenceViewSetting s;
  s.backgroundRed = r, s.backgroundGreen = g, s.backgroundBlue = b;
  Apply(s);
}

void NavReferenceViewUI::OpenColorChooser() {
  if (mChooser) return;
  mChooser = new NavSimpleColorChooser(this, NavSimpleColorChooser::kPreview | NavSimpleColorChooser::kFineDefine |
                                                 NavSimpleColorChooser::kBasic);
  for (KIVNotification* n : {static_cast<KIVNotification*>(mChooser->ColorModifyNotification()),
                             static_cast<KIVNotification*>(mChooser->GetWindCloseNotification())})
    mChooserCBs.push_back(AddAnalyseNotificationCB(mChooser, n, &NavReferenceViewUI::ActionPanelCB, nullptr));
  float rgb[3] = {mOpening.backgroundRed, mOpening.backgroundGreen, mOpening.backgroundBlue};
  if (NavViewerExtand* viewer = Viewer()) viewer->GetBackgroundColor(rgb);
  mChooser->SetColor(rgb[0], rgb[1], rgb[2], 1.0f, 1, 1);
  mChooser->SetVisibility(VisibilityShown);
}

void NavReferenceViewUI::CloseColorChooser(int later) {
  for (KIVCallback id : mChooserCBs) RemoveAnalyseNotificationCB(id);
  mChooserCBs.clear();
  if (mChooser) {
    if (later)
      mChooser->RequestDelayedDestruction();
    else
      delete mChooser;
  }
  mChooser = nullptr;
}

void NavReferenceViewUI::Close(int restore) {
  CloseColorChooser(0);
  if (mColorButton) mColorButton->SetState(kCleared, 0);
  NavViewerExtand* viewer = Viewer();
  if (restore && viewer) viewer->SetCurrentSetting(mOpening, nullptr);
  SetVisibility(VisibilityHidden);
  if (viewer) SendNotification(viewer, GetWindCloseNotification());
}

void NavReferenceViewUI::ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (!sender || !notification || mShowing) return;
  NavViewerExtand* viewer = Viewer();
  if (sender == this) {
    Close(notification == GetDiaOKNotification() ? 0 : 1);
    return;
  }
  if (mChooser && sender == mChooser) {
    if (notification == mChooser->ColorModifyNotification()) {
      float r = 0, g = 0, b = 0, a = 1;
      mChooser->GetColor(r, g, b, a, 1);
      float lightness = 0.0f;
      NavSimpleColorChooser::RGB_to_HLS(r, g, b, nullptr, &lightness, nullptr);
      if (mIntensity) mIntensity->SetCurrentValue(lightness, 0);
      ApplyBackground(r, g, b);
    } else if (notification == mChooser->GetWindCloseNotification()) {
      CloseColorChooser(1);
      if (mColorButton) mColorButton->SetState(kCleared, 0);
    }
    return;
  }
  NavReferenceViewSetting s;
  if (sender == mColorButton) {
    if (mColorButton->GetState() == kSet)
      OpenColorChooser();
    else
      CloseColorChooser(0);
  } else if (sender == mIntensity) {
    float rgb[3] = {0, 0, 0};
    if (viewer) viewer->GetBackgroundColor(rgb);
    float h = 0, l = 0, sat = 0;
    NavSimpleColorChooser::RGB_to_HLS(rgb[0], rgb[1], rgb[2], &h, &l, &sat);
    NavSimpleColorChooser::HLS_to_RGB(h, mIntensity->GetCurrentValue(), sat, &rgb[0], &rgb[1], &rgb[2]);
    ApplyBackground(rgb[0], rgb[1], rgb[2]);
    if (mChooser) mChooser->SetColor(rgb[0], rgb[1], rgb[2], 1.0f, 1, 0);
  } else if (sender == mReverse) {
    NavReferenceViewSetting current;
    if (viewer) viewer->GetCurrentSetting(current);
    const int plane = current.referencePlane > 0 ? current.referencePlane : 1;
    s.referencePlane = mReverse->GetState() == kSet ? plane | kReverseBit : plane & ~kReverseBit;
    Apply(s);
  } else if (sender == mCollision) {
    s.collisionCheck = mCollision->GetState() == kSet ? 1 : 0;
    Apply(s);
    NavReferenceViewSetting current;
    if (viewer) viewer->GetCurrentSetting(current);
    mCollisionEditor->SetSensitivity(s.collisionCheck == 1 ? SensitivityOn : SensitivityOff);
    if (current.collisionDistance != -1.0f) mCollisionEditor->SetCurrentValue(current.collisionDistance, 0);
  } else if (sender == mCollisionEditor) {
    s.collisionDistance = mCollisionEditor->GetCurrentValue();
    Apply(s);
  } else {
    for (int i = 0; i < 3; ++i) {
      if (sender == mPlanes[i] && mPlanes[i]->GetState() == kSet) {
        s.referencePlane = PlaneBit[i] | (mReverse->GetState() == kSet ? kReverseBit : 0);
        Apply(s);
      } else if (sender == mGravity[i] && mGravity[i]->GetState() == kSet) {
        s.gravity = i;
        Apply(s);
      }
    }
  }
}
