// Cameras placed in the scene and secondary viewers through navview's script: a camera is
// placed where the main view stands and plays back into it; a "Current View" window looks
// from its side and follows the main view as it moves.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/apps/NavviewScriptFixture.h"
#include "apps/navview/NavviewSession.h"
#include "host/io/KIVPngImage.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "navigation/NavViewpointManipulate.h"
#include "viewer/NavSimpleViewer3D.h"
#include "viewer/NavViewerExtand.h"

namespace {

struct NavviewCamerasTest : NavviewScriptFixture {
  void SetUp() override {
    std::string error;
    session.StartGraphics(&error);  // without a device the captures are skipped
    session.LoadBuiltin(1);
    bool failed = false;
    run("reframe", failed);
  }
};

TEST_F(NavviewCamerasTest, ACameraKeepsItsPlaceAndPlaysItBack) {
  bool failed = false;
  KIV3DViewpoint* main = session.GetViewer().GetMain3DViewpoint();
  const KIVMathPointf placed = main->GetOrigin();
  EXPECT_EQ(run("camera add north gate", failed), "camera north gate placed");
  NavViewpointManipulate* camera = script.GetCameras().Find("north gate");
  ASSERT_NE(camera, nullptr);
  EXPECT_LT(camera->GetPointerCameraVP()->GetOrigin().DistanceTo(placed), 1e-3f);
  run("view top", failed);
  EXPECT_GT(main->GetOrigin().DistanceTo(placed), 1.0f);
  EXPECT_EQ(run("camera play north gate", failed), "playing north gate");
  EXPECT_LT(main->GetOrigin().DistanceTo(placed), 1e-2f);
  EXPECT_EQ(run("camera view north gate top", failed), "camera north gate looks top");
  EXPECT_NEAR(camera->GetPointerCameraVP()->GetSightDirection().z, -1.0f, 1e-3f);
  for (const char* bad : {"camera add north gate", "camera play nobody", "camera view north gate sideways", "camera add"}) {
    run(bad, failed);
    EXPECT_TRUE(failed) << bad;
  }
  EXPECT_EQ(run("camera remove north gate", failed), "camera north gate removed");
  EXPECT_EQ(run("camera list", failed), "0 cameras");
  // The main camera's own command still stands.
  EXPECT_EQ(run("camera", failed).rfind("eye ", 0), 0u);
}

TEST_F(NavviewCamerasTest, ASecondaryViewerLooksFromItsSideAndFollows) {
  bool failed = false;
  EXPECT_EQ(run("viewer open top", failed), "viewer open looking top");
  ASSERT_EQ(script.GetCameras().GetViewers().size(), 1u);
  NavViewerExtand* secondary = script.GetCameras().GetViewers()[0]->GetSpecificViewer();
  ASSERT_NE(secondary, nullptr);
  KIV3DViewpoint* main = session.GetViewer().GetMain3DViewpoint();
  KIV3DViewpoint* follower = secondary->GetMain3DViewpoint();
  EXPECT_NEAR(follower->GetSightDirection().z, -1.0f, 1e-3f) << "it looks down";
  // The main view moves (its subscribers told): the follower moves with it and keeps
  // looking down at what the main view looks at.
  const KIVMathPointf before = follower->GetOrigin();
  KIV3DViewpoint moved;
  moved.SetPosition(main->GetOrigin() + KIVMathVectorf(10, 0, 0), main->GetSightDirection(), main->GetUpDirection());
  moved.SetAngle(main->GetAngle());
  moved.SetFocusDistance(main->GetFocusDistance());
  session.GetViewer().SetViewpoint(&moved, 1);
  EXPECT_GT(follower->GetOrigin().DistanceTo(before), 1e-3f);
  EXPECT_NEAR(follower->GetSightDirection().z, -1.0f, 1e-3f);
  const KIVMathPointf target = main->GetOrigin() + main->GetSightDirection() * main->GetFocusDistance();
  const KIVMathPointf seen = follower->GetOrigin() + follower->GetSightDirection() * follower->GetFocusDistance();
  EXPECT_LT(seen.DistanceTo(target), 1e-2f * main->GetFocusDistance());
  run("viewer open sideways", failed);
  EXPECT_TRUE(failed);
  // What it shows, headless: drawn through its own render over the main one's buffers.
  for (const char* bad : {"viewer capture 2 /tmp/x.png", "viewer capture 1 /tmp/x.jpg", "viewer capture one /tmp/x.png"}) {
    run(bad, failed);
    EXPECT_TRUE(failed) << bad;
  }
  if (session.GetGraphics().IsStarted()) {
    const std::string path = (std::filesystem::temp_directory_path() / "navview_secondary_test.png").string();
    EXPECT_EQ(run("viewer capture 1 " + path + " 96 64", failed), "wrote " + path);
    int w = 0, h = 0;
    std::vector<unsigned char> rgba;
    std::string error;
    ASSERT_EQ(KIVPngImage::Read(path.c_str(), w, h, rgba, &error), 1) << error;
    EXPECT_EQ(w, 96);
    std::set<unsigned> colours;
    for (size_t i = 0; i < rgba.size(); i += 4) colours.insert(rgba[i] << 16 | rgba[i + 1] << 8 | rgba[i + 2]);
    EXPECT_GT(colours.size(), 4u) << "the plant is drawn from above";
    std::filesystem::remove(path);
  }
  EXPECT_EQ(run("viewer close", failed), "1 viewer closed");
}

}  // namespace
