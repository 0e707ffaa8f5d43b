#include "host/visu/panels/KIVVisibilityPanel.h"

#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/view/KIV3DViewer.h"

KIV_IMPLEMENT_METAOBJECT(KIVVisibilityPanel, KIVDlgDialog)

namespace {
KIVDlgSpinner* Distance(KIVDialog* frame, const char* tag, const char* title, int row) {
  auto* label = new KIVDlgLabel(frame, nullptr);
  label->SetTitle(title);
  label->SetGridConstraints(row, 0, 1, 1, KIVDialog::AttachLeft);
  auto* spinner = new KIVDlgSpinner(frame, tag);
  spinner->SetRange(1e-6f, 1e9f, 0.0f);
  spinner->SetFormat("%.6g");
  spinner->SetVisibleTextWidth(10);
  spinner->SetGridConstraints(row, 1, 1, 1, KIVDialog::AttachLeft | KIVDialog::AttachRight);
  return spinner;
}
}  // namespace

KIVVisibilityPanel::KIVVisibilityPanel(KIVDialog* parent, const char* tag, KIV3DViewer* viewer)
    : KIVDlgDialog(parent, tag), mViewer(viewer) {
  SetTitle("Visibility settings");
  if (viewer) {
    mViewerLife = viewer->GetLifeToken();
    const KIV3DViewpoint* vp = viewer->GetMain3DViewpoint();
    mOpenMode = vp->GetClippingMode();
    vp->GetClippingValue(mOpenNear, mOpenFar);
  }
  auto* frame = new KIVDlgFrame(this, "ClippingFrame");
  frame->SetTitle("Clipping");
  frame->SetGridConstraints(0, 0, 1, 1, AttachLeft | AttachRight | AttachTop | AttachBottom);
  auto* label = new KIVDlgLabel(frame, nullptr);
  label->SetTitle("Mode");
  label->SetGridConstraints(0, 0, 1, 1, AttachLeft);
  mMode = new KIVDlgCombo(frame, ModeTag);
  mMode->SetLine("Automatic");
  mMode->SetLine("Manual");
  mMode->SetGridConstraints(0, 1, 1, 1, AttachLeft | AttachRight);
  mNear = Distance(frame, NearTag, "Near", 1);
  mFar = Distance(frame, FarTag, "Far", 2);
  // The widgets' father is the frame, whose father is this panel.
  auto mode = [this](KIVCommand*, KIVNotification*, void*) { ModeCB(); };
  auto distance = [this](KIVCommand*, KIVNotification*, void*) { DistanceCB(); };
  AddAnalyseNotificationCB(mMode, mMode->GetCmbSelectNotification(), nullptr, mode, nullptr);
  AddAnalyseNotificationCB(mNear, mNear->GetSpinModifyNotification(), nullptr, distance, nullptr);
  AddAnalyseNotificationCB(mFar, mFar->GetSpinModifyNotification(), nullptr, distance, nullptr);
  ShowViewpoint();
  if (!viewer) SetSensitivity(SensitivityOff);
}

KIVVisibilityPanel::~KIVVisibilityPanel() { Retire(); }

KIV3DViewer* KIVVisibilityPanel::Viewer() const { return mViewerLife.expired() ? nullptr : mViewer; }

void KIVVisibilityPanel::ShowViewpoint() {
  KIV3DViewer* viewer = Viewer();
  if (!viewer) return;
  const KIV3DViewpoint* vp = viewer->GetMain3DViewpoint();
  float nearPlane = 0.0f, farPlane = 0.0f;
  vp->GetClippingValue(nearPlane, farPlane);
  mMode->SetSelect(vp->GetClippingMode() == KIV3DViewpoint::ClippingManual ? 1 : 0, 0);
  mNear->SetCurrentValue(nearPlane, 0);
  mFar->SetCurrentValue(farPlane, 0);
}

void KIVVisibilityPanel::ModeCB() {
  KIV3DViewer* viewer = Viewer();
  if (!viewer) return;
  viewer->GetMain3DViewpoint()->SetClippingMode(mMode->GetSelect() == 1 ? KIV3DViewpoint::ClippingManual
                                                                         : KIV3DViewpoint::ClippingAutomatic);
  viewer->Draw();
}

void KIVVisibilityPanel::DistanceCB() {
  KIV3DViewer* viewer = Viewer();
  if (!viewer) return;
  KIV3DViewpoint* vp = viewer->GetMain3DViewpoint();
  if (vp->SetClippingValue(mNear->GetCurrentValue(), mFar->GetCurrentValue()))
    vp->SetClippingMode(KIV3DViewpoint::ClippingManual);  // a typed distance means manual planes
  ShowViewpoint();
  viewer->Draw();
}

void KIVVisibilityPanel::CANCEL() {
  KIV3DViewer* viewer = Viewer();
  if (!viewer) return;
  KIV3DViewpoint* vp = viewer->GetMain3DViewpoint();
  vp->SetClippingMode(mOpenMode);
  vp->SetClippingValue(mOpenNear, mOpenFar);
  ShowViewpoint();
  viewer->Draw();
}
