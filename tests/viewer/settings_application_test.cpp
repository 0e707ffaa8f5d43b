#include <gtest/gtest.h>

#include <vector>

#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIVGraphicMaterial.h"
#include "navigation/NavViewerViewpointEditor.h"
#include "viewer/NavViewerExtand.h"

namespace {

struct SettingListener {
  explicit SettingListener(NavViewerExtand& v) : viewer(v) {
    listener.AddCallback(&viewer, NavViewerExtand::VIEWER_SETTING_MODIFIED(),
                         KIVEventCallback([this](const char*, void*, KIVNotification*, void*, KIVCallback) {
                           actions.push_back(viewer.GetLastViewerSettingAction());
                         }),
                         nullptr);
  }
  NavViewerExtand& viewer;
  KIVEventSubscriber listener;
  std::vector<int> actions;
};

KIV3DCustomRep* Triangle() {
  const float v[9] = {-1, 0, -1, 1, 0, -1, 0, 0, 1};
  const int t[3] = {0, 1, 2};
  auto* rep = new KIV3DCustomRep;
  rep->AddGP(new KIV3DFaceGP(v, 9, nullptr, t, 1));
  return rep;
}

}  // namespace

TEST(SettingsApplication, QualityFieldsAppliedByOptionAndPublishedOnce) {
  NavViewerExtand viewer(nullptr, KIVString("q"), NavViewerExtand::kOptionQuality, 0, 200, 100);
  SettingListener heard(viewer);
  // Nothing given: nothing changes, nothing is published, but the view is redrawn.
  const NavQualitySpeedSetting before = viewer.GetCurrentSetting().qualitySpeed;
  const int draws = viewer.GetDrawCount();
  viewer.SetCurrentSetting(NavQualitySpeedSetting(), nullptr);
  EXPECT_EQ(viewer.GetDrawCount(), draws + 1);
  EXPECT_TRUE(heard.actions.empty());
  EXPECT_EQ(viewer.GetQualityModes(), before.modeBits);
  EXPECT_EQ(viewer.GetLastViewerSettingAction(), -1);

  // Edges on, mesh off, level of detail on, a still culling of 3.9 pixels (truncated).
  NavQualitySpeedSetting s;
  s.modeBits = 1 | 2;
  s.staticPixelCulling = 3.9f;
  viewer.SetCurrentSetting(s, nullptr);
  EXPECT_EQ(heard.actions, std::vector<int>{16});
  EXPECT_EQ(viewer.GetQualityModes(), 1 | 2);
  EXPECT_EQ(viewer.ViewMode(2), 1);
  EXPECT_EQ(viewer.ViewMode(1), 0);
  EXPECT_FLOAT_EQ(viewer.GetSupport().GetCullingPrecision(), 3.0f);
  EXPECT_EQ(viewer.GetLastViewerSettingAction(), -1);

  // Level of detail off: the precisions fall to zero at once.
  s = NavQualitySpeedSetting();
  s.modeBits = 8;
  viewer.SetCurrentSetting(s, nullptr);
  EXPECT_EQ(viewer.GetQualityModes(), 8);
  EXPECT_FLOAT_EQ(viewer.GetSupport().GetCullingPrecision(), 0.0f);
  EXPECT_FLOAT_EQ(viewer.GetSupport().GetSagPrecision(), 0.0f);

  // Without option 4 only the view modes are applied.
  NavViewerExtand plain(nullptr, KIVString("p"), 0, 0, 200, 100);
  const NavQualitySpeedSetting own = plain.GetCurrentSetting().qualitySpeed;
  s.modeBits = 1 | 128 | 16 | 2;
  s.staticSag = 7.0f;
  s.dynamicPixelCulling = 40.0f;
  plain.SetCurrentSetting(s, nullptr);
  EXPECT_EQ(plain.GetQualityModes() & (1 | 128), own.modeBits & (1 | 128));
  EXPECT_EQ(plain.GetQualityModes() & (16 | 2 | 8), 16 | 2);
  EXPECT_FLOAT_EQ(plain.GetCurrentSetting().qualitySpeed.staticSag, own.staticSag);
  EXPECT_FLOAT_EQ(plain.GetCurrentSetting().qualitySpeed.dynamicPixelCulling, own.dynamicPixelCulling);
}

TEST(SettingsApplication, AViewModeTheHostRefusesIsDroppedFromTheBits) {
  struct NoHiddenLines : KIVRender {
    using KIVRender::KIVRender;
    int AcceptsViewMode(int mode) const override { return mode != 16; }
  };
  NavViewerExtand viewer(nullptr, KIVString("r"), NavViewerExtand::kOptionQuality, 0, 100, 100);
  NoHiddenLines render(viewer.GetSupport());
  viewer.SetRender(&render);
  SettingListener heard(viewer);
  NavQualitySpeedSetting s;
  s.modeBits = 1 | 8 | 32 | 2;  // mesh, "HLR" and edges
  viewer.SetCurrentSetting(s, nullptr);
  EXPECT_EQ(viewer.GetQualityModes(), 1 | 8 | 2);
  EXPECT_EQ(viewer.ViewMode(16), 0);
  EXPECT_EQ(heard.actions, std::vector<int>{16});
  viewer.SetRender(nullptr);
}

TEST(SettingsApplication, LeavingOcclusionDrawingFreesTheClonesAndShowsTheScene) {
  NavViewerExtand viewer(nullptr, KIVString("o"), NavViewerExtand::kOptionQuality, 0, 64, 64);
  KIV3DCustomRep* model = Triangle();
  viewer.AddRep(model, NavViewerExtand::kOfficialRoot);
  KIV3DViewpoint* main = viewer.GetMain3DViewpoint();
  main->SetPosition(KIVMathPointf(0, -10, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  NavQualitySpeedSetting s;
  s.modeBits = viewer.GetQualityModes() | NavViewerExtand::kQualityOcclusion;
  viewer.SetCurrentSetting(s, nullptr);
  testing::internal::CaptureStdout();  // the occlusion drawing's statistics line
  viewer.Draw();
  testing::internal::GetCapturedStdout();
  ASSERT_FALSE(viewer.GetOcclusionBag()->GetChildren().empty());
  EXPECT_EQ(viewer.GetRootRep(NavViewerExtand::kOfficialRoot)->GetShowMode(), 1);

  SettingListener heard(viewer);
  s.modeBits &= ~NavViewerExtand::kQualityOcclusion;
  viewer.SetCurrentSetting(s, nullptr);
  EXPECT_TRUE(viewer.GetOcclusionBag()->GetChildren().empty());
  EXPECT_EQ(viewer.GetRootRep(NavViewerExtand::kOfficialRoot)->GetShowMode(), 0);
  EXPECT_EQ(heard.actions, std::vector<int>{16});
  viewer.RemoveRep(model, NavViewerExtand::kOfficialRoot);
  delete model;
}

TEST(SettingsApplication, ReferenceFrameKeepsTheCameraAndCollisionDistanceHasAFloor) {
  auto* window = new KIVDlgDialog(nullptr, "W");
  auto* viewer = new NavViewerExtand(window, KIVString("r"), NavViewerExtand::kOptionEditor, 0, 200, 100);
  window->SetVisibility(2);
  KIVApplication::MainApplication()->ProcessDeferred();
  ASSERT_NE(viewer->GetNavigationEditor(), nullptr);
  SettingListener heard(*viewer);
  KIV3DViewpoint* main = viewer->GetMain3DViewpoint();
  main->SetPosition(KIVMathPointf(3, -20, 4), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));

  NavReferenceViewSetting plane;
  plane.referencePlane = 2 + 16;
  viewer->SetCurrentSetting(plane, nullptr);
  EXPECT_EQ(viewer->GetVertical(), KIVMathDirectionf(0, -1, 0));
  EXPECT_EQ(viewer->GetNorth(), KIVMathDirectionf(0, 0, 1));
  EXPECT_EQ(main->GetOrigin(), KIVMathPointf(3, -20, 4));
  EXPECT_EQ(main->GetSightDirection(), KIVMathDirectionf(0, 1, 0));
  EXPECT_TRUE(heard.actions.empty());  // the plane alone is not a published change

  main->SetSize(5.0f / 2.1f);
  NavReferenceViewSetting collision;
  collision.collisionDistance = 1.0f;
  collision.collisionCheck = 1;
  collision.backgroundRed = 0.1f, collision.backgroundGreen = 0.2f, collision.backgroundBlue = 0.3f;
  viewer->SetCurrentSetting(collision, nullptr);
  EXPECT_NEAR(viewer->GetCurrentSetting().referenceView.collisionDistance, 5.0f, 1e-5f);
  EXPECT_NEAR(viewer->GetNavigationEditor()->GetCollisionDistance(), 5.0f, 1e-5f);
  EXPECT_EQ(viewer->GetNavigationEditor()->GetCollisionState(), 1);
  float rgb[3];
  viewer->GetBackgroundColor(rgb);
  EXPECT_FLOAT_EQ(rgb[2], 0.3f);
  EXPECT_EQ(heard.actions, std::vector<int>{4});

  // A distance above the floor is kept as given.
  collision = NavReferenceViewSetting();
  collision.collisionDistance = 9.0f;
  viewer->SetCurrentSetting(collision, nullptr);
  EXPECT_FLOAT_EQ(viewer->GetCurrentSetting().referenceView.collisionDistance, 9.0f);
  delete window;
}

TEST(SettingsApplication, AWholeRecordWaitsForTheWindowThenAppliesInOrder) {
  auto* window = new KIVDlgDialog(nullptr, "W");
  auto* viewer = new NavViewerExtand(window, KIVString("s"), NavViewerExtand::kOptionEditor |
                                                                 NavViewerExtand::kOptionQuality, 0, 200, 100);
  NavViewerSetting s;
  s.sectionMask = NavViewerSetting::kFogClipping | NavViewerSetting::kLights | NavViewerSetting::kDistance;
  s.fog = 1;
  s.clippingMode = 1;
  s.clippingNear = 0.5f, s.clippingFar = 900.0f;
  s.lights.lightCount = 2;
  s.ambientLight = 0.4f;
  s.distance.color = 12;
  s.navigationStyle = 8;
  viewer->SetCurrentSetting(s);
  NavViewerSetting read;
  viewer->GetCurrentSetting(read, -1);
  EXPECT_EQ(read.sectionMask, s.sectionMask);  // the pending record, as given
  EXPECT_EQ(viewer->IsFogOn(), 0);             // nothing applied yet

  window->SetVisibility(2);
  KIVApplication::MainApplication()->ProcessDeferred();
  EXPECT_EQ(viewer->GetPendingSetting(), nullptr);
  EXPECT_EQ(viewer->IsFogOn(), 1);
  float nearPlane = 0, farPlane = 0;
  viewer->GetMain3DViewpoint()->GetClippingValue(nearPlane, farPlane);
  EXPECT_FLOAT_EQ(farPlane, 900.0f);
  EXPECT_EQ(viewer->GetModelWindowSL().GetLightSourceCount(), 2);
  EXPECT_FLOAT_EQ(viewer->GetGlobalAmbientLight(), 0.4f);
  EXPECT_EQ(viewer->SetNavigationStyle(-1), 8);

  // The first distance setting stays; reading back gives every section and the distance.
  NavViewerSetting again;
  again.sectionMask = NavViewerSetting::kDistance;
  again.distance.color = 99;
  viewer->SetCurrentSetting(again);
  NavViewerSetting all;
  viewer->GetCurrentSetting(all, -1);
  EXPECT_EQ(all.sectionMask, 63 | NavViewerSetting::kDistance);
  EXPECT_EQ(all.distance.color, 12);
  EXPECT_EQ(all.fog, 1);
  EXPECT_EQ(all.clippingMode, 1);
  EXPECT_EQ(all.stereoMode, -1);
  EXPECT_EQ(all.navigationStyle, 8);
  EXPECT_EQ(all.groundState, 0);
  delete window;

  // Without palette or distance, all sections read back as 63.
  auto* other = new KIVDlgDialog(nullptr, "O");
  auto* plain = new NavViewerExtand(other, KIVString("p"), 0, 0, 100, 100);
  other->SetVisibility(2);
  KIVApplication::MainApplication()->ProcessDeferred();
  NavViewerSetting mine;
  plain->GetCurrentSetting(mine, -1);
  EXPECT_EQ(mine.sectionMask, 63);
  delete other;
}

TEST(SettingsApplication, TheLightSectionCarriesTheBackgroundTextureBothWays) {
  auto* window = new KIVDlgDialog(nullptr, "T");
  auto* viewer = new NavViewerExtand(window, KIVString("t"), 0, 0, 100, 100);
  window->SetVisibility(2);
  KIVApplication::MainApplication()->ProcessDeferred();
  KIVGraphicMaterial marble;
  NavViewerSetting s;
  s.sectionMask = NavViewerSetting::kLights;
  s.texture = &marble;
  viewer->SetCurrentSetting(s);
  EXPECT_EQ(viewer->GetTexture(), &marble);
  NavViewerSetting read;
  viewer->GetCurrentSetting(read, NavViewerSetting::kLights);
  EXPECT_EQ(read.texture, &marble);
  // A light section without a texture leaves the viewer's as it is.
  s.texture = nullptr;
  viewer->SetCurrentSetting(s);
  EXPECT_EQ(viewer->GetTexture(), &marble);
  // Only the lights section speaks of it.
  NavViewerSetting other;
  viewer->GetCurrentSetting(other, NavViewerSetting::kFogClipping);
  EXPECT_EQ(other.texture, nullptr);
  delete window;
}
