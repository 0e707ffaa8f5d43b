// The view modes as a person sees them: textures on and off, hidden lines removed or shown
// faintly, silhouettes outlined. The default camera looks along +y with z up.
#include <algorithm>
#include <memory>

#include "host/visu/scene/KIVTextureImage.h"
#include "tests/gl/GLTestScene.h"

namespace {
using GLViewModes = GLScene;

// A cube of side 2 × half centred at (0, depth, 0), its triangles wound outwards.
KIV3DFaceGP* Cube(float half, float depth) {
  float v[24];
  for (int i = 0; i < 8; ++i) {
    v[3 * i] = (i & 1) ? half : -half;
    v[3 * i + 1] = depth + ((i & 2) ? half : -half);
    v[3 * i + 2] = (i & 4) ? half : -half;
  }
  const int t[36] = {0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5, 0, 1, 5, 0, 5, 4,
                     2, 6, 7, 2, 7, 3, 0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6};
  return new KIV3DFaceGP(v, 24, nullptr, t, 12);
}

// The brightest and darkest red channel in the 3 × 3 pixels around (x, y).
struct Spread {
  int lo = 255, hi = 0;
};
Spread RedAround(const GLScene& s, int x, int y) {
  Spread out;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const int r = s.At(x + dx, y + dy)[0];
      out.lo = std::min(out.lo, r), out.hi = std::max(out.hi, r);
    }
  return out;
}

TEST_F(GLViewModes, EveryModeIsAcceptedAndTexturesFollowTheirs) {
  for (int mode = 1; mode <= 32; mode *= 2) EXPECT_EQ(viewer.SetViewMode(mode, 1), 1) << mode;
  viewer.SetViewMode(KIVViewer::Shading | KIVViewer::Texture);
  auto image = std::make_shared<KIVTextureImage>(1, 1, std::vector<unsigned char>{255, 0, 0, 255});
  KIV3DFaceGP* face = Square(0, 0, 3.0f);
  const float uv[8] = {0, 0, 1, 0, 1, 1, 0, 1};
  face->SetTexCoords(uv, 4);
  ASSERT_EQ(face->SetTexture(image), 1);
  root->AddChild(Leaf(face, Rgba(255, 255, 255)));
  Frame();
  EXPECT_GT(Centre()[0], 150);
  EXPECT_LT(Centre()[1], 30) << "the red texture on the white face";
  viewer.SetViewMode(KIVViewer::Texture, 0);
  Frame();
  EXPECT_GT(Centre()[1], 150) << "without textures the face shows its own white";
  EXPECT_NEAR(Centre()[0], Centre()[1], 10);
}

TEST_F(GLViewModes, HiddenLinesAreRemovedOrShownFaintly) {
  // A large green square behind, its diagonal from lower right to upper left; a small red
  // one in front, its diagonal from lower left to upper right.
  const float v[12] = {-3, 2, -3, 3, 2, -3, 3, 2, 3, -3, 2, 3};
  const int t[6] = {0, 1, 3, 1, 2, 3};
  root->AddChild(Leaf(new KIV3DFaceGP(v, 12, nullptr, t, 2), Rgba(0, 255, 0)));
  root->AddChild(Leaf(Square(0, 0, 1.0f), Rgba(255, 0, 0)));
  Frame();
  // (cx + d, cy − d) lies on the front diagonal, (cx + d, cy + d) on the hidden one.
  const int cx = width / 2, cy = height / 2, d = 3;
  EXPECT_GT(RedAround(*this, cx + d, cy + d).lo, 100) << "shaded: the red square hides the green one";

  viewer.SetViewMode(KIVViewer::HiddenLine);
  Frame();
  EXPECT_GT(RedAround(*this, cx + d, cy - d).hi, 200) << "the front diagonal in white over the dark blue";
  EXPECT_LT(RedAround(*this, cx + d, cy + d).hi, 30) << "the hidden diagonal removed";
  EXPECT_LT(At(cx, cy - d)[0], 30) << "faces in the background colour";
  EXPECT_LT(At(cx, cy - d)[1], 30);

  viewer.SetViewMode(KIVViewer::HiddenDashed);
  Frame();
  const Spread faint = RedAround(*this, cx + d, cy + d);
  EXPECT_GT(faint.hi, 40) << "the hidden diagonal shown";
  EXPECT_LT(faint.hi, 150) << "but faintly";
  EXPECT_GT(RedAround(*this, cx + d, cy - d).hi, 200);
}

TEST_F(GLViewModes, OutlineDrawsTheSilhouetteOfClosedSolids) {
  root->AddChild(Leaf(Square(0, 0, 4.0f, 4.0f), Rgba(0, 255, 0)));
  root->AddChild(Leaf(Cube(1.0f, 0.0f), Rgba(255, 0, 0)));
  auto whiteOnRow = [&] {
    int n = 0;
    for (int x = 0; x < width; ++x) {
      const auto c = At(x, height / 2);
      n += c[0] > 180 && c[1] > 180 && c[2] > 180;
    }
    return n;
  };
  Frame();
  EXPECT_EQ(whiteOnRow(), 0);
  const auto inside = Centre();
  viewer.SetViewMode(KIVViewer::Shading | KIVViewer::Outline);
  Frame();
  EXPECT_GE(whiteOnRow(), 2) << "the left and right sides of the cube";
  EXPECT_EQ(Centre(), inside) << "the cube's own edges stay hidden inside its silhouette";
}
}  // namespace
