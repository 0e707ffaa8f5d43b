// What faces and clouds look like on screen: textures (the right way up, with their wrap
// modes), vertex colours, point clouds, and a white face lit but not saturated.
#include <cstring>
#include <memory>

#include "host/visu/scene/KIV3DPointSetGP.h"
#include "host/visu/scene/KIVTextureImage.h"
#include "tests/gl/GLTestScene.h"

namespace {
using GLLook = GLScene;

// The default camera looks along +y with z up: a square in y = 0 from (−h, −h) to (h, h)
// in x and z, with u along x and v along z, fills the middle of the frame.
KIV3DFaceGP* UVSquare(float half, float repeat) {
  KIV3DFaceGP* face = Square(0, 0, half);
  const float uv[8] = {0, 0, repeat, 0, repeat, repeat, 0, repeat};
  face->SetTexCoords(uv, 4);
  return face;
}

bool Near(const std::array<int, 4>& c, int r, int g, int b, int tolerance = 60) {
  return std::abs(c[0] - r) < tolerance && std::abs(c[1] - g) < tolerance && std::abs(c[2] - b) < tolerance;
}

TEST_F(GLLook, TexturesShowTheRightWayUpTimesTheColourAndWrapAsAsked) {
  // Top row red, green; bottom row blue, white: the image's top row is the top of the
  // square (v = 1), as the files' coordinates expect.
  auto image = std::make_shared<KIVTextureImage>(
      2, 2, std::vector<unsigned char>{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255});
  KIV3DFaceGP* face = UVSquare(3.0f, 1.0f);
  ASSERT_EQ(face->SetTexture(image), 1);
  root->AddChild(Leaf(face, Rgba(255, 255, 255)));
  Frame();
  const int qx = width / 4, qy = height / 4;
  EXPECT_TRUE(Near(At(width / 2 - qx / 2, height / 2 - qy / 2), 217, 0, 0)) << "top left red";
  EXPECT_TRUE(Near(At(width / 2 + qx / 2, height / 2 - qy / 2), 0, 217, 0)) << "top right green";
  EXPECT_TRUE(Near(At(width / 2 - qx / 2, height / 2 + qy / 2), 0, 0, 217)) << "bottom left blue";
  // The material colour multiplies the texture: white under red is red.
  root->GetChildren()[0]->SetGraphicAttributeSet(Rgba(255, 0, 0));
  Frame();
  const auto whiteUnderRed = At(width / 2 + qx / 2, height / 2 + qy / 2);
  EXPECT_GT(whiteUnderRed[0], 150);
  EXPECT_LT(whiteUnderRed[1], 30);

  // Coordinates to 2 repeat the image twice; clamped, the last texels stretch instead.
  auto repeated = std::make_shared<KIVTextureImage>(
      2, 1, std::vector<unsigned char>{255, 0, 0, 255, 0, 0, 255, 255});
  KIV3DFaceGP* tiled = UVSquare(3.0f, 2.0f);
  tiled->SetTexture(repeated);
  root->GetChildren()[0]->SetGraphicAttributeSet(Rgba(255, 255, 255));
  static_cast<KIV3DCustomRep*>(root->GetChildren()[0])->RemoveGP(face);
  face->Destroy();
  static_cast<KIV3DCustomRep*>(root->GetChildren()[0])->AddGP(tiled);
  Frame();
  // Across the middle row, left to right: red, blue, red, blue when repeated.
  const int y = height / 2;
  auto red = [&](int x) { return At(x, y)[0] > At(x, y)[2]; };
  auto inside = [&](int x) { return At(x, y)[0] + At(x, y)[2] > 100; };  // not the background
  int changes = 0;
  for (int x = 1; x < width; ++x) changes += inside(x) && inside(x - 1) && red(x) != red(x - 1);
  EXPECT_GE(changes, 3);
  auto clamped = std::make_shared<KIVTextureImage>(2, 1, std::vector<unsigned char>{255, 0, 0, 255, 0, 0, 255, 255});
  clamped->SetWrap(KIVTextureImage::Clamp, KIVTextureImage::Clamp);
  tiled->SetTexture(clamped);
  Frame();
  changes = 0;
  for (int x = 1; x < width; ++x) changes += inside(x) && inside(x - 1) && red(x) != red(x - 1);
  EXPECT_EQ(changes, 1);
}

TEST_F(GLLook, VertexColoursBlendAcrossTheFace) {
  KIV3DFaceGP* face = Square(0, 0, 3.0f);
  // Left corners red, right corners blue.
  const unsigned char rgba[16] = {255, 0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 255, 255, 0, 0, 255};
  ASSERT_EQ(face->SetColors(rgba, 4), 1);
  root->AddChild(Leaf(face, Rgba(255, 255, 255)));
  Frame();
  const auto left = At(width / 2 - width / 6, height / 2), right = At(width / 2 + width / 6, height / 2);
  EXPECT_GT(left[0], left[2] + 50);
  EXPECT_GT(right[2], right[0] + 50);
  EXPECT_LT(left[1], 20);
}

// Textured and fogged faces take a fuller program than plain ones: switching between the
// two within a frame must leave every face where and how it is, and a plain face must look
// the same from either.
TEST_F(GLLook, PlainFacesLookTheSameBesideTexturedOnesAndUnderFarFog) {
  root->AddChild(Leaf(Square(-1.5f, 0, 0.6f), Rgba(40, 200, 90)));
  root->AddChild(Leaf(Square(1.5f, 0, 0.6f), Rgba(200, 120, 40)));
  Frame();
  const std::vector<unsigned char> plain = pixels;
  int shown = 0;
  for (size_t i = 0; i < plain.size(); i += 4) shown += plain[i] > 10;
  ASSERT_GT(shown, 20);

  KIV3DFaceGP* textured = Square(0, 0, 0.6f);
  const float uv[8] = {0, 0, 1, 0, 1, 1, 0, 1};
  textured->SetTexCoords(uv, 4);
  textured->SetTexture(std::make_shared<KIVTextureImage>(1, 1, std::vector<unsigned char>{255, 0, 255, 255}));
  root->AddChild(Leaf(textured, Rgba(255, 255, 255)));
  Frame();
  int magenta = 0, changed = 0;
  for (size_t i = 0; i < plain.size(); i += 4) {
    const bool isMagenta = pixels[i] > 120 && pixels[i + 2] > 120 && pixels[i + 1] < 40;
    magenta += isMagenta;
    changed += !isMagenta && std::memcmp(&pixels[i], &plain[i], 3) != 0;
  }
  EXPECT_GT(magenta, 10) << "the textured face shows";
  EXPECT_EQ(changed, 0) << "the plain faces are unchanged beside it";

  // Fog that starts far beyond the faces changes nothing on them.
  ASSERT_TRUE(viewer.SetFog(1, 1000.0f, 2000.0f));
  Frame();
  int apart = 0;
  for (size_t i = 0; i < plain.size(); i += 4)
    if (plain[i] > 10)
      for (int k = 0; k < 3; ++k) apart = std::max(apart, std::abs(pixels[i + k] - plain[i + k]));
  EXPECT_LE(apart, 2);
}

TEST_F(GLLook, PointCloudsDrawTheirPointsInTheirColoursAndSize) {
  const float points[6] = {-2, 0, 0, 2, 0, 0};
  const unsigned char rgba[8] = {255, 0, 0, 255, 0, 255, 0, 255};
  auto* cloud = new KIV3DPointSetGP(points, 6, rgba, 5.0f);
  root->AddChild(Leaf(cloud, Rgba(255, 255, 255)));
  Frame();
  int red = 0, green = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const auto c = At(x, y);
      red += c[0] > 200 && c[1] < 50;
      green += c[1] > 200 && c[0] < 50;
    }
  // Two 5 × 5 dots, one of each colour (rasterisation may round a row or column).
  EXPECT_GE(red, 16);
  EXPECT_LE(red, 36);
  EXPECT_GE(green, 16);
  EXPECT_LE(green, 36);
  EXPECT_EQ(render->GetLastFrameStats().primitives, 1);
}

TEST_F(GLLook, AWhiteFaceSeenStraightOnIsLitButNotSaturated) {
  root->AddChild(Leaf(Square(0, 0, 1), Rgba(255, 255, 255)));
  Frame();
  const auto straight = Centre();
  EXPECT_LT(straight[0], 245);
  EXPECT_GT(straight[0], 170);
  // The scene's lights add to the head light without saturating either.
  viewer.SetModelWindowSL(KIVLightSourceSet(KIVMathDirectionf(0, 1, 0)));  // shining along the sight
  Frame();
  EXPECT_LT(Centre()[0], 245);
  EXPECT_GT(Centre()[0], 170);
  // With every light off, the ambient light alone still shows the face, dimly.
  viewer.SetHeadLight(0);
  viewer.SetLightSourceCount(0);
  Frame();
  EXPECT_GT(Centre()[0], 30);
}
}  // namespace

#include <filesystem>

#include "host/io/KIVSceneImporter.h"

namespace {
TEST_F(GLLook, AScannedCloudFromAFileShows) {
  const char* path = "/usr/share/assimp/models/PLY/pond.0.ply";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "assimp-testmodels not installed (" << path << ")";
  KIVImportedScene pond = KIVSceneImporter().Import(path);
  ASSERT_NE(pond.GetTop(), nullptr) << pond.GetError();
  root->AddChild(pond.GetTop());
  KIV3DViewpoint* camera = viewer.GetMain3DViewpoint();
  const KIV3DBoundingSphere sphere = viewer.GetGlobalBoundingSphere();
  const KIVMathPointf eye = sphere.GetCenter() - KIVMathVectorf(0, 3.0f * sphere.GetRadius(), 0);
  camera->SetPosition(eye, KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  Frame();
  int drawn = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) drawn += At(x, y) != At(0, 0);
  EXPECT_GT(drawn, width * height / 20) << "radius " << sphere.GetRadius();
  root->RemoveChild(pond.GetTop());
}
}  // namespace
