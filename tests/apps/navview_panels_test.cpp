// The quality and view settings through navview's script: values reach the viewer through
// its panels, bad words change nothing.
#include <gtest/gtest.h>

#include <string>

#include "tests/apps/NavviewScriptFixture.h"
#include "apps/navview/NavviewSession.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "navigation/NavViewerViewpointEditor.h"
#include "viewer/NavViewerExtand.h"

namespace {

struct NavviewPanelsTest : NavviewScriptFixture {};

TEST_F(NavviewPanelsTest, QualityTakesThePanelsValuesAndRefusesBadOnes) {
  bool failed = false;
  NavViewerExtand& viewer = session.GetViewer();
  EXPECT_EQ(run("quality static-sag 2 dynamic-pixel 10.5 edges on", failed),
            "quality modes 15 static-sag 2.0 dynamic-sag 4.0 static-pixel 0.5 dynamic-pixel 10.5");
  EXPECT_FALSE(failed);
  EXPECT_EQ(viewer.GetQualityPanel(), nullptr);  // opened, applied, closed
  EXPECT_EQ(viewer.ViewMode(2), 1);
  for (const char* bad : {"quality static-sag 50", "quality dynamic-pixel -1", "quality lod maybe", "quality sag 2",
                          "quality static-sag"}) {
    run(bad, failed);
    EXPECT_TRUE(failed) << bad;
  }
  EXPECT_EQ(run("quality", failed),
            "quality modes 15 static-sag 2.0 dynamic-sag 4.0 static-pixel 0.5 dynamic-pixel 10.5");
  // The panel's view-mode boxes: hidden lines removed, textures off.
  EXPECT_EQ(run("quality hlr on texture off", failed).substr(0, 16), "quality modes 43");
  EXPECT_EQ(viewer.ViewMode(16), 1);
  EXPECT_EQ(viewer.ViewMode(8), 0);
  EXPECT_EQ(run("state quality on", failed), "quality on");
  EXPECT_NE(viewer.GetQualityPanel(), nullptr);
}

TEST_F(NavviewPanelsTest, BackgroundGravityCollisionAndPlane) {
  bool failed = false;
  NavViewerExtand& viewer = session.GetViewer();
  run("background 1 0.5 0", failed);
  EXPECT_FALSE(failed);
  float rgb[3];
  viewer.GetBackgroundColor(rgb);
  EXPECT_FLOAT_EQ(rgb[1], 0.5f);
  run("background 1 2 0", failed);
  EXPECT_TRUE(failed);
  viewer.GetBackgroundColor(rgb);
  EXPECT_FLOAT_EQ(rgb[1], 0.5f);

  run("gravity 1", failed);
  EXPECT_EQ(viewer.GetMain3DViewpoint()->GetGravity(), 1);
  run("gravity 3", failed);
  EXPECT_TRUE(failed);
  EXPECT_EQ(viewer.GetMain3DViewpoint()->GetGravity(), 1);

  if (NavViewerViewpointEditor* editor = viewer.GetNavigationEditor()) {
    run("collision on 5000", failed);
    EXPECT_FALSE(failed);
    EXPECT_EQ(editor->GetCollisionState(), 1);
    run("collision sometimes", failed);
    EXPECT_TRUE(failed);
    run("collision on 20000", failed);
    EXPECT_TRUE(failed);
  }
  const std::string said = run("reference yz reverse", failed);
  EXPECT_EQ(said.rfind("plane 24 ", 0), 0u) << said;
  run("reference xw", failed);
  EXPECT_TRUE(failed);
}

}  // namespace
