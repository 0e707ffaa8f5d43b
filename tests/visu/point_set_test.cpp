// Point clouds, vertex colours and textures on faces, the ground at the scene's lowest
// point, and a gauge whose bars never cover its texts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "host/visu/scene/KIV3DAnnotationTextGP.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DPointSetGP.h"
#include "host/visu/reps/KIVGaugeRep.h"
#include "host/visu/reps/KIVGroundRep.h"
#include "host/visu/view/KIVRender.h"
#include "host/visu/scene/KIVTextureImage.h"
#include "host/visu/pick/KIVTriangleBVH.h"
#include "host/visu/math/KIVMathVectorf.h"

namespace {
const float kNaN = std::numeric_limits<float>::quiet_NaN();
}

TEST(PointSet, RefusesBadInputAndKeepsWhatItHad) {
  const float p[7] = {0, 0, 0, 1, 2, 3, 9};  // a trailing partial point
  const unsigned char rgba[8] = {255, 0, 0, 255, 0, 0, 255, 255};
  KIV3DPointSetGP cloud(p, 7, rgba, 3.0f);
  EXPECT_EQ(cloud.GetPointCount(), 2);
  EXPECT_EQ(cloud.GetColors().size(), 8u);
  EXPECT_EQ(cloud.GetSize(), 3.0f);
  const unsigned long version = cloud.GetGeometryVersion();
  const float bad[3] = {0, kNaN, 0};
  EXPECT_EQ(cloud.SetPoints(bad, 3), 0);
  EXPECT_EQ(cloud.SetPoints(nullptr, 3), 0);
  EXPECT_EQ(cloud.SetPoints(p, -3), 0);
  EXPECT_EQ(cloud.SetColors(rgba, 1), 0);
  EXPECT_EQ(cloud.SetSize(0.0f), 0);
  EXPECT_EQ(cloud.SetSize(INFINITY), 0);
  EXPECT_EQ(cloud.SetPickRadius(-1.0f), 0);
  EXPECT_EQ(cloud.GetPointCount(), 2);
  EXPECT_EQ(cloud.GetGeometryVersion(), version);
  // New points drop colours that no longer match them.
  ASSERT_EQ(cloud.SetPoints(p, 3), 1);
  EXPECT_TRUE(cloud.GetColors().empty());
  EXPECT_EQ(cloud.GetTriangleCount(), 0);  // points are not counted as triangles
}

TEST(PointSet, ARayPassingCloseToAPointPicksItAndAFartherOneDoesNot) {
  // A 10 × 10 grid of points 1 apart in z = 0: spacing 1, pick radius a third of it.
  std::vector<float> grid;
  for (int i = 0; i < 10; ++i)
    for (int j = 0; j < 10; ++j) grid.insert(grid.end(), {float(i), float(j), 0.0f});
  KIV3DPointSetGP cloud(grid.data(), int(grid.size()));
  const float r = cloud.GetPickRadius();
  EXPECT_NEAR(r, std::sqrt(2.0f) * 9.0f / 10.0f / 3.0f, 1e-5f);
  std::vector<float> vertices;
  std::vector<int> indices;
  ASSERT_EQ(cloud.GetPickTriangles(vertices, indices), 800);
  KIVTriangleBVH bvh;
  bvh.Build(vertices.data(), int(vertices.size() / 3), indices.data(), int(indices.size() / 3));
  KIVTriangleBVH::Hit hit;
  const KIVMathVectorf down(0, 0, -1);
  // Straight down, a little off the point (3, 4): hit near it; halfway between points: miss.
  ASSERT_TRUE(bvh.Intersect(KIVMathPointf(3.1f, 4.05f, 10), down, 100.0f, hit));
  EXPECT_NEAR(hit.t, 10.0f, r);
  EXPECT_EQ(hit.triangle / 8, 34);  // the octahedron of point 3 × 10 + 4
  EXPECT_FALSE(bvh.Intersect(KIVMathPointf(3.5f, 4.5f, 10), down, 100.0f, hit));
  // A given radius wins over the spacing's.
  ASSERT_EQ(cloud.SetPickRadius(0.6f), 1);
  EXPECT_EQ(cloud.GetPickRadius(), 0.6f);
  // A single point still has something to hit.
  const float one[3] = {5, 5, 5};
  EXPECT_GT(KIV3DPointSetGP(one, 3).GetPickRadius(), 0.0f);
}

TEST(FaceAttributes, ColoursAndTexCoordsMatchTheVerticesOrAreRefused) {
  const float v[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  const int t[3] = {0, 1, 2};
  KIV3DFaceGP face(v, 9, nullptr, t, 1);
  const unsigned char rgba[12] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255};
  const float uv[6] = {0, 0, 1, 0, 0, 1};
  EXPECT_EQ(face.SetColors(rgba, 2), 0);
  EXPECT_EQ(face.SetColors(rgba, 3), 1);
  const float badUV[6] = {0, 0, kNaN, 0, 0, 1};
  EXPECT_EQ(face.SetTexCoords(badUV, 3), 0);
  EXPECT_EQ(face.SetTexCoords(uv, 4), 0);
  EXPECT_EQ(face.SetTexCoords(uv, 3), 1);
  EXPECT_FALSE(face.IsTextured());  // coordinates without an image
  auto image = std::make_shared<KIVTextureImage>(1, 1, std::vector<unsigned char>{1, 2, 3, 255});
  EXPECT_EQ(face.SetTexture(std::make_shared<KIVTextureImage>(2, 2, std::vector<unsigned char>(3))), 0);
  ASSERT_EQ(face.SetTexture(image), 1);
  EXPECT_TRUE(face.IsTextured());
  // The same vertex count keeps them; another one drops them.
  ASSERT_EQ(face.SetVertices(v, 9), 1);
  EXPECT_EQ(face.GetColors().size(), 12u);
  const float more[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
  ASSERT_EQ(face.SetVertices(more, 12), 1);
  EXPECT_TRUE(face.GetColors().empty());
  EXPECT_FALSE(face.IsTextured());
}

TEST(TextureImage, SizesMustMatchThePixelsAndWrapModesAreKnown) {
  EXPECT_TRUE(KIVTextureImage(2, 2, std::vector<unsigned char>(15)).IsEmpty());
  EXPECT_TRUE(KIVTextureImage(0, 4, {}).IsEmpty());
  EXPECT_TRUE(KIVTextureImage(-1, -4, std::vector<unsigned char>(16)).IsEmpty());
  KIVTextureImage image(2, 1, std::vector<unsigned char>{0, 0, 0, 255, 9, 9, 9, 255});
  EXPECT_FALSE(image.IsEmpty());
  EXPECT_EQ(image.HasAlpha(), 0);
  EXPECT_EQ(image.SetWrap(KIVTextureImage::Mirror, 7), 0);
  EXPECT_EQ(image.GetWrapU(), KIVTextureImage::Repeat);
  EXPECT_EQ(image.SetWrap(KIVTextureImage::Mirror, KIVTextureImage::Clamp), 1);
  EXPECT_EQ(image.GetWrapV(), KIVTextureImage::Clamp);
  EXPECT_NE(image.GetSerial(), KIVTextureImage(1, 1, std::vector<unsigned char>(4)).GetSerial());
}

TEST(GroundPlacement, TheGroundStandsAtTheScenesLowestPoint) {
  // A flat slab from z = 2 to z = 3, raised by its bag's matrix by 10: lowest at 12.
  auto* root = new KIV3DBagRep;
  auto* bag = new KIV3DBagRep;
  KIV4x4Matrix raise;
  raise.Set(3, 2, 10.0f);
  bag->SetMatrix(raise);
  const float v[12] = {-50, -50, 2, 50, -50, 2, 50, 50, 3, -50, 50, 3};
  const int t[6] = {0, 1, 2, 0, 2, 3};
  auto* leaf = new KIV3DCustomRep;
  leaf->AddGP(new KIV3DFaceGP(v, 12, nullptr, t, 2));
  bag->AddChild(leaf);
  root->AddChild(bag);
  float height = -1.0f;
  ASSERT_EQ(KIVGroundRep::LowestHeight(root, KIVMathDirectionf(0, 0, 1), height), 1);
  EXPECT_FLOAT_EQ(height, 12.0f);
  // Along another vertical the lowest point is another one.
  ASSERT_EQ(KIVGroundRep::LowestHeight(root, KIVMathDirectionf(1, 0, 0), height), 1);
  EXPECT_FLOAT_EQ(height, -50.0f);
  // The sphere's bottom is far below a wide flat scene; the lowest point is where it sits.
  KIVGroundRep ground(KIVMathPointf(0, 0, 12.5f), KIVMathDirectionf(0, 0, 1), 70.0f, 1, 0, 0, 0, 1);
  EXPECT_FLOAT_EQ(ground.GetOrigin().z, 12.5f - 70.0f);
  ASSERT_EQ(ground.SetBottomHeight(12.0f), 1);
  EXPECT_FLOAT_EQ(ground.GetOrigin().z, 12.0f);
  EXPECT_FLOAT_EQ(ground.GetOrigin().x, 0.0f);
  EXPECT_EQ(ground.SetBottomHeight(kNaN), 0);
  // A ground placed before stays where it was put.
  KIVGroundRep placed(KIVMathPointf(0, 0, 5), KIVMathDirectionf(0, 0, 1), 70.0f, 1, 1, 0, 0, 1);
  EXPECT_EQ(placed.SetBottomHeight(12.0f), 0);
  EXPECT_FLOAT_EQ(placed.GetOrigin().z, 5.0f);
  // Nothing shown, nothing found.
  bag->SetGraphicAttributeSet([] {
    KIVGraphicAttributeSet hidden;
    hidden.SetFlag(KIVGraphicAttributeSet::Hidden, 1);
    return hidden;
  }());
  height = 7.0f;
  EXPECT_EQ(KIVGroundRep::LowestHeight(root, KIVMathDirectionf(0, 0, 1), height), 0);
  EXPECT_EQ(height, 7.0f);
  EXPECT_EQ(KIVGroundRep::LowestHeight(nullptr, KIVMathDirectionf(0, 0, 1), height), 0);
  root->Destroy();
}

namespace {
// Boxes of what the gauge draws, in the overlay's pixel frame: each text as the renders
// lay it out (left-aligned on its anchor, centred vertically), each bar as its corners.
struct Box {
  float x0, y0, x1, y1;
};
class LayoutRender : public KIVRender {
 public:
  using KIVRender::KIVRender;
  void Draw3DAnnotationText(KIV3DAnnotationTextGP& gp) override {
    const KIVMathPointf a = GetCurrentMatrix().TransformPoint(gp.GetAnchor());
    const float w = KIVGaugeRep::kAdvance * gp.GetHeight() * static_cast<float>(gp.GetText().size());
    texts.push_back({a.x, a.y - 0.5f * gp.GetHeight(), a.x + w, a.y + 0.5f * gp.GetHeight()});
  }
  void Draw3DFace(KIV3DFaceGP& gp) override {
    const std::vector<float>& v = gp.GetVertices();
    for (size_t i = 0; i + 11 < v.size(); i += 12) {
      const KIVMathPointf lo = GetCurrentMatrix().TransformPoint(KIVMathPointf(v[i], v[i + 1], 0));
      const KIVMathPointf hi = GetCurrentMatrix().TransformPoint(KIVMathPointf(v[i + 6], v[i + 7], 0));
      bars.push_back({lo.x, lo.y, hi.x, hi.y});
    }
  }
  std::vector<Box> texts, bars;
};
bool Overlap(const Box& a, const Box& b) { return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1; }
}  // namespace

TEST(GaugeLayout, FullBarsAndLongTextsNeverOverlapAtAnyWindowSize) {
  KIVGaugeRep gauge;
  const float slow[3] = {0.2830f, 0.1f, 39.1237f};  // "max 283.0 ms", "interval 39123.7 ms"
  gauge.SetDuration(slow);
  for (const auto& size : {std::pair{800, 600}, std::pair{200, 120}, std::pair{3840, 2160}}) {
    LayoutRender render(KIVSupport(size.first, size.second));
    render.Traverse(gauge);
    ASSERT_EQ(render.texts.size(), 3u);
    ASSERT_EQ(render.bars.size(), 3u);  // every bar full
    const float left = -0.5f * size.first + KIVGaugeRep::kMargin, top = 0.5f * size.second - KIVGaugeRep::kMargin;
    for (const Box& text : render.texts) {
      for (const Box& bar : render.bars) EXPECT_FALSE(Overlap(text, bar)) << size.first;
      // Inside the frame, which widens for the longest text.
      EXPECT_LE(text.x1, left + gauge.GetWidth());
      EXPECT_GE(text.y0, top - KIVGaugeRep::kHeight);
      EXPECT_LE(text.y1, top);
    }
    for (size_t i = 0; i + 1 < render.texts.size(); ++i)
      EXPECT_FALSE(Overlap(render.texts[i], render.texts[i + 1]));
  }
  EXPECT_NE(gauge.GetText(2).find("interval 39123.7 ms"), std::string::npos);
  // A duration of hours widens the frame instead of running out of it.
  const float idle[3] = {0.01f, 0.01f, 36000.0f};
  gauge.SetDuration(idle);
  EXPECT_GE(gauge.GetWidth(), KIVGaugeRep::kAdvance * KIVGaugeRep::kTextHeight * gauge.GetText(2).size());
}
