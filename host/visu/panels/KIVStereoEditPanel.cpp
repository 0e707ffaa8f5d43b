#include "host/visu/panels/KIVStereoEditPanel.h"

#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/view/KIV3DViewer.h"

KIV_IMPLEMENT_METAOBJECT(KIVStereoEditPanel, KIVDlgDialog)

KIVStereoEditPanel::KIVStereoEditPanel(KIVDialog* parent, const char* tag, KIV3DViewer* viewer)
    : KIVDlgDialog(parent, tag), mViewer(viewer) {
  SetTitle("Stereo Settings");
  if (viewer) {
    mViewerLife = viewer->GetLifeToken();
    mOpenOn = viewer->IsStereoActivate(&mOpenMode, &mOpenEye);
  }
  mOn = new KIVDlgCheckButton(this, StereoTag);
  mOn->SetTitle("Stereo");
  mOn->SetGridConstraints(0, 0, 1, 2, AttachLeft);
  auto* kindLabel = new KIVDlgLabel(this, nullptr);
  kindLabel->SetTitle("Kind");
  kindLabel->SetGridConstraints(1, 0, 1, 1, AttachLeft);
  mKind = new KIVDlgCombo(this, KindTag);
  mKind->SetLine("Anaglyph");
  mKind->SetLine("Quad buffer");
  mKind->SetLine("Side by side");
  mKind->SetGridConstraints(1, 1, 1, 1, AttachLeft | AttachRight);
  auto* eyeLabel = new KIVDlgLabel(this, nullptr);
  eyeLabel->SetTitle("Eye distance");
  eyeLabel->SetGridConstraints(2, 0, 1, 1, AttachLeft);
  mEye = new KIVDlgSpinner(this, EyeTag);
  mEye->SetRange(1e-6f, 1e6f, 0.0f);
  mEye->SetFormat("%.4g");
  mEye->SetGridConstraints(2, 1, 1, 1, AttachLeft | AttachRight);
  auto apply = [this](KIVCommand*, KIVNotification*, void*) { OK(); };
  AddAnalyseNotificationCB(mOn, mOn->GetChkBModifyNotification(), nullptr, apply, nullptr);
  AddAnalyseNotificationCB(mKind, mKind->GetCmbSelectNotification(), nullptr, apply, nullptr);
  AddAnalyseNotificationCB(mEye, mEye->GetSpinModifyNotification(), nullptr, apply, nullptr);
  ShowViewer();
  if (!viewer) SetSensitivity(SensitivityOff);

  // The window's own buttons notify the father only: a relay put in between lets the
  // panel act first, then passes the notification on with the panel as its sender.
  mRelay = std::make_unique<KIVCommand>(GetFather(), "StereoRelay");
  SetFather(mRelay.get());
  auto button = [this](KIVCommand*, KIVNotification* n, void*) {
    const std::weak_ptr<int> life = GetLifeToken();
    if (n == GetDiaCANCELNotification())
      CANCEL();
    else
      OK();
    if (!life.expired()) SendNotification(mRelay->GetFather(), n);
  };
  mRelay->AddAnalyseNotificationCB(this, GetDiaOKNotification(), nullptr, button, nullptr);
  mRelay->AddAnalyseNotificationCB(this, GetDiaCANCELNotification(), nullptr, button, nullptr);
}

KIVStereoEditPanel::~KIVStereoEditPanel() {
  Retire();
  if (GetFather() == mRelay.get()) SetFather(mRelay->GetFather());
}

KIV3DViewer* KIVStereoEditPanel::Viewer() const { return mViewerLife.expired() ? nullptr : mViewer; }

void KIVStereoEditPanel::ShowViewer() {
  KIV3DViewer* viewer = Viewer();
  if (!viewer) return;
  int mode = 0;
  float eye = 0.0f;
  const int on = viewer->IsStereoActivate(&mode, &eye);
  mOn->SetState(on ? StateSet : StateCleared, 0);
  mKind->SetSelect(mode, 0);
  mEye->SetCurrentValue(eye, 0);
}

void KIVStereoEditPanel::OK() {
  KIV3DViewer* viewer = Viewer();
  if (!viewer) return;
  const int mode = mKind->GetSelect() < 0 ? 0 : mKind->GetSelect();
  if (mOn->GetState() == StateSet) {
    viewer->ActivateStereoMode(mode, mEye->GetCurrentValue());
  } else {
    viewer->SetStereo(0, mEye->GetCurrentValue());  // keeps the distance for the next time
  }
  ShowViewer();
  viewer->Draw();
}

void KIVStereoEditPanel::CANCEL() {
  KIV3DViewer* viewer = Viewer();
  if (!viewer) return;
  viewer->ActivateStereoMode(mOpenMode, mOpenEye);
  if (!mOpenOn) viewer->DeactivateStereoMode();
  ShowViewer();
  viewer->Draw();
}
