// What a frame takes from the viewer as it is when drawn: its size, precisions and ground.
#include "host/visu/scene/KIV3DCylinderGP.h"
#include "tests/gl/GLTestScene.h"

namespace {

using GLFrame = GLScene;

TEST_F(GLFrame, FollowsTheViewersSizeChanges) {
  root->AddChild(Leaf(Square(0, 0, 1), Rgba(255, 0, 0)));
  Frame();
  viewer.SetGraphicSize(80, 30);
  Frame();
  EXPECT_EQ(width, 80);
  EXPECT_EQ(height, 30);
  EXPECT_GT(Centre()[0], 200);
  EXPECT_EQ(At(0, 0)[0], 0);
}

TEST_F(GLFrame, CylindersTakeTheLevelThatTheirDistanceAndTheSagPrecisionAllow) {
  auto* cylinder = new KIV3DCylinderGP;  // 24, 12 and 6 segments
  root->AddChild(Leaf(cylinder, Rgba(0, 255, 0)));
  KIV3DViewpoint* camera = viewer.GetMain3DViewpoint();
  camera->SetOrigin(KIVMathPointf(0, -3, 0.5f));
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().triangles, cylinder->GetTriangleCount(0));
  camera->SetOrigin(KIVMathPointf(0, -30, 0.5f));
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().triangles, cylinder->GetTriangleCount(2));
  EXPECT_GT(Centre()[1], 100);
  // A finer precision set on the viewer reaches the next frame.
  viewer.GetSupport().SetSagPrecision(0.01f);
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().triangles, cylinder->GetTriangleCount(0));
  EXPECT_EQ(render->GetCachedBufferCount(), 2) << "one buffer per level drawn";
}

TEST_F(GLFrame, TheCullingPrecisionOfTheViewerDropsSmallObjects) {
  root->AddChild(Leaf(Square(0, 0, 0.2f), Rgba(255, 255, 255)));  // about 1.2 pixels across
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().primitives, 1);
  viewer.GetSupport().SetCullingPrecision(4.0f);
  Frame();
  EXPECT_EQ(render->GetLastFrameStats().primitives, 0);
  EXPECT_EQ(render->GetCulledCount(), 1);
}

TEST_F(GLFrame, TheGroundIsAGridBelowTheHorizon) {
  viewer.SetGround(1, -2.0f);
  Frame();
  int above = 0, below = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (At(x, y) != At(0, 0)) (y < height / 2 ? above : below)++;
  EXPECT_EQ(above, 0);
  EXPECT_GT(below, width);
  // Drawn again unchanged, from what was uploaded; moved, the grid moves on screen.
  const std::vector<unsigned char> first = pixels;
  Frame();
  EXPECT_EQ(pixels, first);
  viewer.SetGround(1, -3.0f);
  Frame();
  EXPECT_NE(pixels, first);
  viewer.SetGround(0, -2.0f);
  Frame();
  EXPECT_EQ(At(width / 2, height - 1), At(0, 0));
}

}  // namespace
