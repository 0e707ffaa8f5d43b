#include "host/visu/panels/KIV3DLightSourceEditPanel.h"

#include <cmath>

#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgSlider.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/panels/KIVEditPanelPopup.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DLightSourceEditPanel, KIVDlgFrame)

namespace {
constexpr float kDegrees = 57.29577951f;

KIVDlgSpinner* Angle(KIVDialog* parent, const char* tag, const char* title, int row, int column, float limit) {
  auto* label = new KIVDlgLabel(parent, nullptr);
  label->SetTitle(title);
  label->SetGridConstraints(row, column, 1, 1, KIVDialog::AttachLeft);
  auto* spinner = new KIVDlgSpinner(parent, tag);
  spinner->SetRange(-limit, limit, 2.0f * limit);  // whole degrees
  spinner->SetFormat("%.0f");
  spinner->SetGridConstraints(row, column + 1, 1, 1, KIVDialog::AttachLeft | KIVDialog::AttachRight);
  return spinner;
}
}  // namespace

const char* KIV3DLightSourceEditPanel::AzimuthTag(int light) { return light == 1 ? "Azimuth2" : "Azimuth1"; }
const char* KIV3DLightSourceEditPanel::ElevationTag(int light) { return light == 1 ? "Elevation2" : "Elevation1"; }

KIV3DLightSourceEditPanel::KIV3DLightSourceEditPanel(KIVDialog* parent, const char* tag, KIV3DViewer* viewer)
    : KIVDlgFrame(parent, tag), mViewer(viewer) {
  SetTitle("Light sources");
  if (viewer) {
    mViewerLife = viewer->GetLifeToken();
    mOpenLights = viewer->GetModelWindowSL();
    viewer->GetGlobalAmbientLight(mOpenAmbient);
  }
  auto* countLabel = new KIVDlgLabel(this, nullptr);
  countLabel->SetTitle("Lights");
  countLabel->SetGridConstraints(0, 0, 1, 1, AttachLeft);
  mCount = new KIVDlgCombo(this, CountTag);
  mCount->SetLine("One light");
  mCount->SetLine("Two lights");
  mCount->SetGridConstraints(0, 1, 1, 3, AttachLeft | AttachRight);
  for (int light = 0; light < 2; ++light) {
    mAzimuth[light] = Angle(this, AzimuthTag(light), light ? "Light 2 azimuth" : "Light 1 azimuth", 1 + light, 0, 180.0f);
    mElevation[light] = Angle(this, ElevationTag(light), "elevation", 1 + light, 2, 90.0f);
  }
  auto* ambientLabel = new KIVDlgLabel(this, nullptr);
  ambientLabel->SetTitle("Ambient");
  ambientLabel->SetGridConstraints(3, 0, 1, 1, AttachLeft);
  mAmbient = new KIVDlgSlider(this, AmbientTag);
  mAmbient->SetRange(0.0f, 1.0f, 100.0f);
  mAmbient->SetDecimals(2);
  mAmbient->SetGridConstraints(3, 1, 1, 3, AttachLeft | AttachRight);
  auto apply = [this](KIVCommand*, KIVNotification*, void*) { Apply(); };
  AddAnalyseNotificationCB(mCount, mCount->GetCmbSelectNotification(), nullptr, apply, nullptr);
  for (int light = 0; light < 2; ++light) {
    AddAnalyseNotificationCB(mAzimuth[light], mAzimuth[light]->GetSpinModifyNotification(), nullptr, apply, nullptr);
    AddAnalyseNotificationCB(mElevation[light], mElevation[light]->GetSpinModifyNotification(), nullptr, apply,
                             nullptr);
  }
  AddAnalyseNotificationCB(mAmbient, mAmbient->GetSliderModifyNotification(), nullptr, apply, nullptr);
  AddAnalyseNotificationCB(mAmbient, mAmbient->GetSliderDragNotification(), nullptr, apply, nullptr);
  ShowViewer();
  if (!viewer) SetSensitivity(SensitivityOff);
  if (auto* popup = dynamic_cast<KIVEditPanelPopup*>(parent)) {
    mPopupLife = popup->GetLifeToken();
    popup->SetCancelAction([this] { CANCEL(); });
  }
}

KIV3DLightSourceEditPanel::~KIV3DLightSourceEditPanel() {
  Retire();
  // The popup outlives its children only while it retires; it must not call back here.
  if (!mPopupLife.expired())
    if (auto* popup = dynamic_cast<KIVEditPanelPopup*>(GetDialogParent())) popup->SetCancelAction(nullptr);
}

KIV3DViewer* KIV3DLightSourceEditPanel::Viewer() const { return mViewerLife.expired() ? nullptr : mViewer; }

KIVMathDirectionf KIV3DLightSourceEditPanel::DirectionFrom(float azimuthDegrees, float elevationDegrees) {
  const float az = azimuthDegrees / kDegrees, el = elevationDegrees / kDegrees;
  return KIVMathDirectionf(-std::cos(el) * std::cos(az), -std::cos(el) * std::sin(az), -std::sin(el));
}

void KIV3DLightSourceEditPanel::AnglesOf(const KIVMathDirectionf& direction, float& azimuthDegrees,
                                         float& elevationDegrees) {
  const KIVMathVectorf from = -direction;
  azimuthDegrees = std::atan2(from.y, from.x) * kDegrees;
  elevationDegrees = std::asin(std::fmax(-1.0f, std::fmin(1.0f, from.z))) * kDegrees;
}

void KIV3DLightSourceEditPanel::ShowViewer() {
  KIV3DViewer* viewer = Viewer();
  if (!viewer) return;
  const KIVLightSourceSet& lights = viewer->GetModelWindowSL();
  mCount->SetSelect(lights.GetLightSourceCount() - 1, 0);
  for (int light = 0; light < 2; ++light) {
    float az = 0.0f, el = 0.0f;
    AnglesOf(lights.GetDirection(light), az, el);
    mAzimuth[light]->SetCurrentValue(az, 0);
    mElevation[light]->SetCurrentValue(el, 0);
    const int used = light < lights.GetLightSourceCount();
    mAzimuth[light]->SetSensitivity(used ? SensitivityOn : SensitivityOff);
    mElevation[light]->SetSensitivity(used ? SensitivityOn : SensitivityOff);
  }
  mAmbient->SetCurrentValue(viewer->GetGlobalAmbientLight(), 0);
}

void KIV3DLightSourceEditPanel::Apply() {
  KIV3DViewer* viewer = Viewer();
  if (!viewer) return;
  KIVLightSourceSet lights = viewer->GetModelWindowSL();
  lights.SetLightSourceCount(mCount->GetSelect() == 1 ? 2 : 1);
  for (int light = 0; light < 2; ++light)
    lights.SetDirection(light, DirectionFrom(mAzimuth[light]->GetCurrentValue(), mElevation[light]->GetCurrentValue()));
  viewer->SetModelWindowSL(lights);
  const float a = mAmbient->GetCurrentValue();
  viewer->SetGlobalAmbientLight(a, a, a);
  ShowViewer();
  viewer->Draw();
}

void KIV3DLightSourceEditPanel::CANCEL() {
  KIV3DViewer* viewer = Viewer();
  if (!viewer) return;
  viewer->SetModelWindowSL(mOpenLights);
  viewer->SetGlobalAmbientLight(mOpenAmbient[0], mOpenAmbient[1], mOpenAmbient[2]);
  ShowViewer();
  viewer->Draw();
}
