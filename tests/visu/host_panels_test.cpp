// The host panels that edit a viewer (clipping, lights, stereo, capture) and the viewer
// state they edit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgEditor.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgSlider.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/panels/KIV3DLightSourceEditPanel.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/panels/KIVEditPanelPopup.h"
#include "host/visu/panels/KIVNavElement.h"
#include "host/visu/panels/KIVPrintCaptureDialog.h"
#include "host/visu/panels/KIVStereoEditPanel.h"
#include "host/visu/panels/KIVVisibilityPanel.h"

namespace {

// A host window holding a viewer, as the library's viewer sits in its application window.
struct Host {
  KIVDlgDialog window{nullptr, "Host"};
  KIV3DViewer* viewer = new KIV3DViewer(&window, "Viewer", 0, 640, 480);
  std::vector<std::string> heard;  // "sender tag:notification class" reaching the window
  void Listen(const char* notificationClass) {
    window.AddAnalyseNotificationCB(nullptr, nullptr, notificationClass,
                                    [this](KIVCommand* sender, KIVNotification* n, void*) {
                                      auto* d = dynamic_cast<KIVDialog*>(sender);
                                      heard.push_back(std::string(d ? d->GetTag().CastToCharPtr() : "?") + ":" +
                                                      n->IsA());
                                    },
                                    nullptr);
  }
};

// What the panels set must reach what the drawing back end reads, and nonsense is refused.
TEST(HostViewerState, PanelStateReachesTheBackEndAndNonsenseIsRefused) {
  KIV3DViewer viewer(100, 100);
  KIVLightSourceSet two(KIVMathDirectionf(0, 0, -1), KIVMathDirectionf());  // a null second keeps its default
  EXPECT_FALSE(two.GetDirection(1).IsNull());
  EXPECT_EQ(two.SetLightSourceCount(3), 0);
  EXPECT_EQ(two.SetDirection(0, KIVMathDirectionf(NAN, 0, 0)), 0);
  viewer.SetModelWindowSL(two);
  EXPECT_EQ(viewer.GetLightSourceCount(), 2);

  EXPECT_EQ(viewer.SetGlobalAmbientLight(2.0f, 0.5f, -1.0f), 1);  // clamped to [0, 1]
  float rgb[3];
  viewer.GetGlobalAmbientLight(rgb);
  EXPECT_EQ(rgb[0], 1.0f);
  EXPECT_EQ(rgb[2], 0.0f);
  EXPECT_EQ(viewer.SetGlobalAmbientLight(NAN, 0, 0), 0);

  EXPECT_EQ(viewer.ActivateStereoMode(7, 0.1f), 0);
  EXPECT_EQ(viewer.ActivateStereoMode(KIV3DViewer::StereoSideBySide, -1.0f), 0);
  EXPECT_EQ(viewer.ActivateStereoMode(KIV3DViewer::StereoSideBySide, 0.1f), 1);
  float value = 0;
  EXPECT_EQ(viewer.GetStereo(&value), 1);
  EXPECT_EQ(value, 0.1f);
  viewer.DeactivateStereoMode();
  EXPECT_EQ(viewer.GetStereo(), 0);
}

TEST(HostNavElement, SessionUnitAndDefaultDirectory) {
  EXPECT_EQ(KIVNavElement::GetSessionUnit(), 1.0f);
  for (float bad : {0.0f, -1.0f, NAN, INFINITY}) EXPECT_EQ(KIVNavElement::SetSessionUnit(bad), 0);
  EXPECT_EQ(KIVNavElement::SetSessionUnit(25.4f), 1);
  EXPECT_EQ(KIVNavElement::GetSessionUnit(), 25.4f);
  KIVNavElement::SetSessionUnit(1.0f);

  const char* home = std::getenv("HOME");
  const std::string saved = home ? home : "";
  setenv("KIVT3X_DEFAULT", "/data/models", 1);
  EXPECT_EQ(KIVNavElement::GetDefaultDirectory(), KIVUnicodeString("/data/models"));
  unsetenv("KIVT3X_DEFAULT");
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(KIVNavElement::GetDefaultDirectory(), KIVUnicodeString("/home/someone"));
  unsetenv("HOME");
  EXPECT_TRUE(KIVNavElement::GetDefaultDirectory().IsEmpty());
  if (home) setenv("HOME", saved.c_str(), 1);
}

TEST(HostVisibilityPanel, EditsApplyAtOnceAndCancelRestores) {
  Host host;
  KIV3DViewpoint* vp = host.viewer->GetMain3DViewpoint();
  ASSERT_EQ(vp->SetClippingValue(0.5f, 800.0f), 1);
  host.Listen(KIVDlgDiaCANCELNotification::ClassName());
  auto* panel = new KIVVisibilityPanel(host.viewer, "VisibilitySettings", host.viewer);
  EXPECT_EQ(panel->GetTitle(), KIVUnicodeString("Visibility settings"));
  EXPECT_EQ(panel->GetModeCombo()->GetSelect(), 0);
  EXPECT_EQ(panel->GetNearSpinner()->GetCurrentValue(), 0.5f);
  EXPECT_EQ(panel->GetFarSpinner()->GetCurrentValue(), 800.0f);

  const int draws = host.viewer->GetDrawCount();
  EXPECT_EQ(panel->GetModeCombo()->UserSelect(1), 1);
  EXPECT_EQ(vp->GetClippingMode(), KIV3DViewpoint::ClippingManual);
  panel->GetNearSpinner()->UserSetValue(2.0f);
  panel->GetFarSpinner()->UserSetValue(300.0f);
  float nearPlane = 0, farPlane = 0;
  vp->GetClippingValue(nearPlane, farPlane);
  EXPECT_EQ(nearPlane, 2.0f);
  EXPECT_EQ(farPlane, 300.0f);
  EXPECT_GE(host.viewer->GetDrawCount(), draws + 3);  // every edit redraws

  panel->GetFarSpinner()->UserSetValue(1.0f);  // behind the near plane: refused
  vp->GetClippingValue(nearPlane, farPlane);
  EXPECT_EQ(farPlane, 300.0f);
  EXPECT_EQ(panel->GetFarSpinner()->GetCurrentValue(), 300.0f);

  panel->GetModeCombo()->UserSelect(0);
  panel->GetNearSpinner()->UserSetValue(3.0f);  // a typed distance means manual planes
  EXPECT_EQ(vp->GetClippingMode(), KIV3DViewpoint::ClippingManual);
  EXPECT_EQ(panel->GetModeCombo()->GetSelect(), 1);

  // The father hears Cancel (as the library does) and calls CANCEL.
  panel->SetVisibility(KIVDialog::VisibilityShown);
  EXPECT_EQ(panel->UserCancel(), 1);
  EXPECT_EQ(host.heard, (std::vector<std::string>{"VisibilitySettings:KIVDlgDiaCANCELNotification"}));
  panel->CANCEL();
  EXPECT_EQ(vp->GetClippingMode(), KIV3DViewpoint::ClippingAutomatic);
  vp->GetClippingValue(nearPlane, farPlane);
  EXPECT_EQ(nearPlane, 0.5f);
  EXPECT_EQ(farPlane, 800.0f);
  EXPECT_EQ(panel->GetNearSpinner()->GetCurrentValue(), 0.5f);
  delete panel;

  KIVVisibilityPanel orphan(nullptr, "Orphan", nullptr);  // nothing to edit, nothing breaks
  orphan.CANCEL();
  EXPECT_EQ(orphan.GetModeCombo()->UserSelect(1), 0);
}

TEST(HostLightPanel, EditsTheViewerLightsAndTheCancelOfItsPopupRestoresThem) {
  Host host;
  host.Listen(KIVDlgDiaCANCELNotification::ClassName());
  host.Listen(KIVDlgWindCloseNotification::ClassName());
  auto* popup = new KIVEditPanelPopup(&host.window, "PopupEditor");
  auto* panel = new KIV3DLightSourceEditPanel(popup, "LightSourceSettings", host.viewer);
  EXPECT_EQ(popup->GetPanel(), panel);
  int published = 0;
  KIVEventSubscriber owner;
  owner.AddCallback(popup, KIVEditPanelPopup::EDIT_PANEL_POPUP_DESTROYED,
                    [&](const char*, void* data, KIVNotification*, void*, KIVCallback) {
                      ++published;
                      EXPECT_EQ(data, popup);
                    },
                    nullptr);

  EXPECT_EQ(panel->GetCountCombo()->GetSelect(), 0);
  EXPECT_EQ(panel->GetAzimuthSpinner(1)->IsUsable(), 0);  // one light: the second is greyed
  EXPECT_NEAR(panel->GetAzimuthSpinner(0)->GetCurrentValue(), 45.0f, 1e-3f);
  EXPECT_NEAR(panel->GetElevationSpinner(0)->GetCurrentValue(), 54.7356f, 1e-3f);

  ASSERT_EQ(panel->GetCountCombo()->UserSelect(1), 1);
  EXPECT_EQ(host.viewer->GetModelWindowSL().GetLightSourceCount(), 2);
  EXPECT_EQ(host.viewer->GetLightSourceCount(), 2);
  EXPECT_EQ(panel->GetAzimuthSpinner(1)->IsUsable(), 1);
  panel->GetAzimuthSpinner(1)->UserSetValue(90.0f);
  panel->GetElevationSpinner(1)->UserSetValue(0.0f);
  const KIVMathDirectionf second = host.viewer->GetModelWindowSL().GetDirection(1);
  EXPECT_NEAR(second.x, 0.0f, 1e-6f);
  EXPECT_NEAR(second.y, -1.0f, 1e-6f);  // coming from +y, travelling along −y
  EXPECT_NEAR(second.z, 0.0f, 1e-6f);
  panel->GetElevationSpinner(0)->UserSetValue(90.0f);
  EXPECT_NEAR(host.viewer->GetModelWindowSL().GetDirection(0).z, -1.0f, 1e-6f);  // straight down
  panel->GetAmbientSlider()->UserDragValue(0.5f);
  EXPECT_FLOAT_EQ(host.viewer->GetGlobalAmbientLight(), 0.5f);

  // Cancel: the panel restores, the popup publishes once, the notification goes on.
  popup->SetVisibility(KIVDialog::VisibilityShown);
  EXPECT_EQ(popup->UserCancel(), 1);
  EXPECT_EQ(host.viewer->GetModelWindowSL(), KIVLightSourceSet());
  EXPECT_FLOAT_EQ(host.viewer->GetGlobalAmbientLight(), 0.2f);
  EXPECT_EQ(published, 1);
  EXPECT_EQ(popup->UserClose(), 1);
  EXPECT_EQ(published, 1);
  EXPECT_EQ(host.heard, (std::vector<std::string>{"PopupEditor:KIVDlgDiaCANCELNotification",
                                                  "PopupEditor:KIVDlgWindCloseNotification"}));
  delete popup;  // takes the panel along
}

TEST(HostLightPanel, OwnerMayDestroyThePopupFromTheEvent) {
  Host host;
  auto* popup = new KIVEditPanelPopup(&host.window, "PopupEditor");
  new KIV3DLightSourceEditPanel(popup, "LightSourceSettings", host.viewer);
  KIVEventSubscriber owner;
  owner.AddCallback(popup, KIVEditPanelPopup::EDIT_PANEL_POPUP_DESTROYED,
                    [&](const char*, void*, KIVNotification*, void*, KIVCallback) { popup->RequestDelayedDestruction(); },
                    nullptr);
  popup->SetVisibility(KIVDialog::VisibilityShown);
  EXPECT_EQ(popup->UserClose(), 1);
  KIVApplication::MainApplication()->ProcessDeferred();
  EXPECT_TRUE(host.window.GetDialogChildren().size() == 1u);  // only the viewer is left

  // Deleted at once from the event: nothing runs after on the dead popup.
  popup = new KIVEditPanelPopup(&host.window, "PopupEditor");
  new KIV3DLightSourceEditPanel(popup, "LightSourceSettings", host.viewer);
  owner.AddCallback(popup, KIVEditPanelPopup::EDIT_PANEL_POPUP_DESTROYED,
                    [&](const char*, void*, KIVNotification*, void*, KIVCallback) { delete popup; }, nullptr);
  popup->SetVisibility(KIVDialog::VisibilityShown);
  EXPECT_EQ(popup->UserCancel(), 1);
  EXPECT_EQ(host.window.GetDialogChildren().size(), 1u);
}

TEST(HostStereoPanel, OkKeepsTheEditsAndCancelRestores) {
  Host host;
  host.Listen(KIVDlgDiaOKNotification::ClassName());
  host.Listen(KIVDlgDiaCANCELNotification::ClassName());
  KIV3DViewer& viewer = *host.viewer;
  auto* panel = new KIVStereoEditPanel(&viewer, "Stereo", &viewer);
  EXPECT_EQ(panel->GetStereoButton()->GetState(), KIVDialog::StateCleared);
  EXPECT_EQ(panel->GetEyeSpinner()->GetCurrentValue(), 0.065f);
  panel->GetStereoButton()->UserSetState(KIVDialog::StateSet);
  panel->GetKindCombo()->UserSelect(KIV3DViewer::StereoQuadBuffer);
  panel->GetEyeSpinner()->UserSetValue(0.08f);
  int mode = -1;
  float eye = 0;
  EXPECT_EQ(viewer.IsStereoActivate(&mode, &eye), 1);
  EXPECT_EQ(mode, KIV3DViewer::StereoQuadBuffer);
  EXPECT_FLOAT_EQ(eye, 0.08f);
  panel->SetVisibility(KIVDialog::VisibilityShown);
  EXPECT_EQ(panel->UserCancel(), 1);
  EXPECT_EQ(viewer.IsStereoActivate(&mode, &eye), 0);
  EXPECT_EQ(mode, KIV3DViewer::StereoAnaglyph);
  EXPECT_FLOAT_EQ(eye, 0.065f);
  EXPECT_EQ(panel->GetStereoButton()->GetState(), KIVDialog::StateCleared);
  delete panel;

  // OK keeps; the father, hearing it, deletes the panel at once.
  panel = new KIVStereoEditPanel(&viewer, "Stereo", &viewer);
  panel->GetStereoButton()->UserSetState(KIVDialog::StateSet);
  panel->GetEyeSpinner()->UserSetValue(0.07f);
  viewer.AddAnalyseNotificationCB(panel, panel->GetDiaOKNotification(), nullptr,
                                  [&panel](KIVCommand*, KIVNotification*, void*) {
                                    delete panel;
                                    panel = nullptr;
                                  },
                                  nullptr);
  panel->SetVisibility(KIVDialog::VisibilityShown);
  EXPECT_EQ(panel->UserOK(), 1);
  EXPECT_EQ(panel, nullptr);
  EXPECT_EQ(viewer.IsStereoActivate(&mode, &eye), 1);
  EXPECT_FLOAT_EQ(eye, 0.07f);
  // The cancel went up to the host window, the panel as its sender; the OK stopped at the
  // viewer, which took it.
  EXPECT_EQ(host.heard, (std::vector<std::string>{"Stereo:KIVDlgDiaCANCELNotification"}));
}

TEST(HostCaptureDialog, WithoutAndWithAHandler) {
  setenv("KIVT3X_DEFAULT", "/tmp/captures", 1);
  Host host;
  KIVPrintCaptureDialog dialog(&host.window, "Capture", host.viewer);
  unsetenv("KIVT3X_DEFAULT");
  EXPECT_EQ(dialog.GetFileEditor()->GetText(), KIVUnicodeString("/tmp/captures/capture.png"));
  EXPECT_EQ(dialog.GetWidthSpinner()->GetCurrentValue(), 640.0f);
  EXPECT_EQ(dialog.GetHeightSpinner()->GetCurrentValue(), 480.0f);

  KIVPrintCaptureDialog::SetCaptureHandler(nullptr);
  EXPECT_EQ(dialog.Capture(), 0);
  EXPECT_EQ(dialog.GetStatus(), KIVUnicodeString("Capture needs an OpenGL back end"));

  struct Call {
    KIVViewer* viewer;
    std::string path;
    int w, h;
  };
  std::vector<Call> calls;
  KIVPrintCaptureDialog::SetCaptureHandler([&](KIVViewer& v, const std::string& path, int w, int h, std::string* error) {
    calls.push_back({&v, path, w, h});
    if (path.find("denied") != std::string::npos) {
      *error = "Permission denied: " + path;
      return 0;
    }
    return 1;
  });
  dialog.GetFileEditor()->UserSetText("/tmp/out.png");
  dialog.GetWidthSpinner()->UserSetValue(1920.4f);
  dialog.GetHeightSpinner()->UserSetValue(0.0f);  // clamped to one pixel
  EXPECT_EQ(dialog.GetCaptureButton()->UserActivate(), 1);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].viewer, host.viewer);
  EXPECT_EQ(calls[0].path, "/tmp/out.png");
  EXPECT_EQ(calls[0].w, 1920);
  EXPECT_EQ(calls[0].h, 1);
  EXPECT_EQ(dialog.GetStatus(), KIVUnicodeString("Wrote /tmp/out.png"));

  dialog.GetFileEditor()->UserSetText("/denied/out.png");
  EXPECT_EQ(dialog.Capture(), 0);
  EXPECT_EQ(dialog.GetStatus(), KIVUnicodeString("Permission denied: /denied/out.png"));
  dialog.GetFileEditor()->UserSetText("  ");
  EXPECT_EQ(dialog.Capture(), 0);
  EXPECT_EQ(calls.size(), 2u);  // no file name: the handler is not called
  KIVPrintCaptureDialog::SetCaptureHandler(nullptr);

  KIVPrintCaptureDialog orphan(nullptr, "Orphan", nullptr);
  EXPECT_EQ(orphan.Capture(), 0);
}

}  // namespace
