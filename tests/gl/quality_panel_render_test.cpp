// What the quality and view-settings panels change, seen in the frames the GL back end draws.
#include "host/dialog/KIVDlgSlider.h"
#include "host/visu/scene/KIV3DCylinderGP.h"
#include "tests/gl/GLTestScene.h"
#include "tests/viewer/ShownViewer.h"
#include "viewer/NavQualitySpeedEditPanel.h"
#include "viewer/NavReferenceViewUI.h"

namespace {

struct PanelFrame : ::testing::Test {
  ShownViewer shown;
  NavViewerExtand& viewer = *shown.viewer;
  std::unique_ptr<KIVGLRender> render;
  std::vector<unsigned char> pixels;
  int width = 0, height = 0;

  void SetUp() override {
    std::string reason;
    if (!SharedContext(&reason)) GTEST_SKIP() << "no headless OpenGL: " << reason;
    render = AttachRender(viewer, reason);
    ASSERT_TRUE(render) << reason;
  }
  void TearDown() override {
    viewer.SetRender(nullptr);
    render.reset();
  }
  long long Triangles() {
    viewer.Draw();
    return render->GetLastFrameStats().triangles;
  }
  /// Sets the four sliders as given (-1 leaves one), then Apply.
  void Apply(float staticSag, float dynamicSag, float staticPixel, float dynamicPixel) {
    NavQualitySpeedEditPanel* panel = viewer.GetQualityPanel();
    const float values[2][2] = {{staticSag, dynamicSag}, {staticPixel, dynamicPixel}};
    for (int p = 0; p < 2; ++p)
      for (int m = 0; m < 2; ++m)
        if (values[p][m] >= 0.0f) panel->GetSlider(p, m)->UserSetValue(values[p][m]);
    panel->UserApply();
  }
};

// Squares of 0.05 to 1.6 wide in front of the default camera, and one big one behind.
void FillScene(NavViewerExtand& viewer) {
  int i = 0;
  for (float half = 0.025f; half < 1.0f; half *= 2.0f, ++i)
    for (int k = 0; k < 4; ++k)
      viewer.AddRep(Leaf(Square(-6.0f + 3.0f * k, -4.0f + 1.5f * i, half), Rgba(255, 255, 255)),
                    NavViewerExtand::kOfficialRoot);
  viewer.AddRep(Leaf(Square(0, 0, 20.0f, 30.0f), Rgba(0, 128, 0)), NavViewerExtand::kOfficialRoot);
}

TEST_F(PanelFrame, PixelCullingDropsSmallObjectsAsItRisesAndBringsThemBackAsItFalls) {
  FillScene(viewer);
  KIV3DViewpoint* camera = viewer.GetMain3DViewpoint();
  camera->SetPosition(KIVMathPointf(0, -25, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  ASSERT_EQ(viewer.SetQualityLodEditorState(1), 1);
  Apply(-1, -1, 0.0f, 0.0f);
  const long long all = Triangles();
  EXPECT_EQ(all, 2 * (4 * 6 + 1));
  long long last = all;
  std::vector<long long> seen;
  for (float pixels : {2.0f, 6.0f, 15.0f, 40.0f}) {
    Apply(-1, -1, pixels, -1);
    const long long now = Triangles();
    EXPECT_LE(now, last) << pixels << " px";
    seen.push_back(now);
    last = now;
  }
  EXPECT_LT(seen.back(), all);
  EXPECT_GE(seen.back(), 2) << "the big square stays";
  // Still: 0.5 px is below a whole pixel, nothing is culled.
  Apply(-1, -1, 0.5f, -1);
  EXPECT_EQ(Triangles(), all);
  // While the view moves the moving value applies, and the still one comes back after.
  Apply(-1, -1, -1, 40.0f);
  camera->BeginAnimation();
  EXPECT_EQ(Triangles(), seen.back());
  camera->EndAnimation();
  EXPECT_EQ(Triangles(), all);
  viewer.SetQualityLodEditorState(0);
}

TEST_F(PanelFrame, TheSagPrecisionPicksTheCylindersLevelStillAndMoving) {
  auto* cylinder = new KIV3DCylinderGP;  // 24, 12 and 6 segments
  viewer.AddRep(Leaf(cylinder, Rgba(0, 255, 0)), NavViewerExtand::kOfficialRoot);
  KIV3DViewpoint* camera = viewer.GetMain3DViewpoint();
  camera->SetPosition(KIVMathPointf(0, -12, 0.5f), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  viewer.SetQualityLodEditorState(1);
  Apply(0.1f, 40.0f, 0.0f, 0.0f);
  EXPECT_EQ(Triangles(), cylinder->GetTriangleCount(0));
  camera->BeginAnimation();
  EXPECT_EQ(Triangles(), cylinder->GetTriangleCount(2));
  camera->EndAnimation();
  EXPECT_EQ(Triangles(), cylinder->GetTriangleCount(0));
  viewer.SetQualityLodEditorState(0);
}

TEST_F(PanelFrame, TheIntensitySliderDarkensTheWindowsBackground) {
  viewer.SetBackgroundColor(0.2f, 0.2f, 0.6f);
  viewer.SetReferenceEditorState(1);
  NavReferenceViewUI* panel = viewer.GetReferencePanel();
  ASSERT_NE(panel, nullptr);
  panel->GetIntensitySlider()->UserSetValue(0.1f);
  std::string error;
  ASSERT_TRUE(KIVGLCapture::ReadPixels(*render, pixels, width, height, &error)) << error;
  ASSERT_GT(width, 0);
  const unsigned char* corner = &pixels[0];
  EXPECT_LT(corner[2], 60);       // a dark blue
  EXPECT_GT(corner[2], corner[0]);
  panel->UserCancel();  // the opening colour comes back
  viewer.Draw();
  ASSERT_TRUE(KIVGLCapture::ReadPixels(*render, pixels, width, height, &error)) << error;
  EXPECT_NEAR(pixels[2], 153, 2);
  EXPECT_NEAR(pixels[0], 51, 2);
}

}  // namespace
