// Circles, texts and triangles of the scene: the geometry they build, and the bags that
// hold them following their changes.
#include <gtest/gtest.h>

#include <cmath>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DPlanarFaceGP.h"
#include "host/visu/scene/KIV3DPolylineGP.h"
#include "primitives/KIV3DCircleRep.h"
#include "primitives/KIV3DTextRep.h"
#include "primitives/KIV3DTriangleRep.h"

namespace {

TEST(Circle, PointsTurnFromTheRadiusAndMirrorAboutIt) {
  const KIVMathPointf m(1, 2, 3);
  KIV3DCircleRep circle(m, KIVMathVectorf(2, 0, 0), KIVMathDirectionf(0, 0, 1), 8);
  const std::vector<float>& v = circle.GetPolyline()->GetVertices();
  ASSERT_EQ(circle.GetPolyline()->GetVertexCount(), 8);
  EXPECT_TRUE(circle.GetPolyline()->IsClosed());
  // Points 0 to 3 turn from M + R by 45° steps; points 7 to 4 are their mirror images
  // about R, so that the polyline closes on itself exactly.
  for (int i = 0; i < 4; ++i) {
    const double a = i * 3.141592653589793 / 4;
    EXPECT_NEAR(v[3 * i], 1 + 2 * std::cos(a), 1e-5) << i;
    EXPECT_NEAR(v[3 * i + 1], 2 + 2 * std::sin(a), 1e-5) << i;
    EXPECT_FLOAT_EQ(v[3 * i + 2], 3.0f);
    EXPECT_EQ(v[3 * (7 - i)], v[3 * i]);
    EXPECT_NEAR(v[3 * (7 - i) + 1] - 2, -(v[3 * i + 1] - 2), 1e-6);
  }
  EXPECT_EQ(circle.GetBoundingElement().GetCenter(), m);
  EXPECT_FLOAT_EQ(circle.GetBoundingElement().GetRadius(), 2.0f);

  KIV3DCircleRep odd(m, KIVMathVectorf(1, 0, 0), KIVMathDirectionf(0, 0, 1), 7);
  EXPECT_EQ(odd.GetSegmentCount(), 6);
  KIV3DCircleRep none(m, KIVMathVectorf(1, 0, 0), KIVMathDirectionf(0, 0, 1), 1);
  EXPECT_EQ(none.GetPolyline()->GetVertexCount(), 0);
  KIV3DCircleRep negative(m, KIVMathVectorf(1, 0, 0), KIVMathDirectionf(0, 0, 1), -5);
  EXPECT_EQ(negative.GetPolyline()->GetVertexCount(), 0);
}

TEST(Text, ModifyMovesAndKeepsTheStringWhenGivenNone) {
  KIV3DTextRep text(KIVMathPointf(0, 0, 0), "valve", KIV3DAnnotationTextGP::MiddleLeft);
  EXPECT_STREQ(text.GetText(), "valve");
  EXPECT_TRUE(text.GetBoundingElement().IsInfinite());
  text.Modify(KIVMathPointf(1, 2, 3), nullptr);
  EXPECT_STREQ(text.GetText(), "valve");
  EXPECT_EQ(text.GetCurrentPosition(), KIVMathPointf(1, 2, 3));
  EXPECT_EQ(text.GetTextGP()->GetAnchor(), KIVMathPointf(1, 2, 3));
  EXPECT_EQ(text.GetTextGP()->GetAlignment(), KIV3DAnnotationTextGP::Left | KIV3DAnnotationTextGP::Middle);
  text.Modify(KIVMathPointf(1, 2, 3), "pump");
  EXPECT_STREQ(text.GetText(), "pump");
  KIV3DTextRep empty(KIVMathPointf(0, 0, 0), nullptr, KIV3DAnnotationTextGP::TopRight);
  EXPECT_STREQ(empty.GetText(), "");
  EXPECT_EQ(empty.GetTextGP()->GetAlignment(), KIV3DAnnotationTextGP::Right | KIV3DAnnotationTextGP::Top);
}

TEST(Triangle, FaceNormalAndSphereAndTheBagFollowsAModify) {
  auto* bag = new KIV3DBagRep;
  auto* triangle = new KIV3DTriangleRep(KIVMathPointf(0, 0, 0), KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0));
  bag->AddChild(triangle);
  const KIVMathDirectionf& n = triangle->GetFace()->GetNormal();
  EXPECT_FLOAT_EQ(n.z, 1.0f);
  EXPECT_EQ(triangle->GetFace()->GetVertexCount(), 3);
  EXPECT_EQ(triangle->GetBoundingElement().GetCenter(), KIVMathPointf(0.25f, 0.25f, 0));
  EXPECT_NEAR(triangle->GetBoundingElement().GetRadius(), 0.25f * std::sqrt(2.0f), 1e-6f);
  triangle->Modify(KIVMathPointf(100, 0, 0), KIVMathVectorf(4, 0, 0), KIVMathVectorf(0, 4, 0));
  EXPECT_NEAR(bag->GetBoundingElement().GetCenter().x, 101.0f, 1e-4f) << "the bag's sphere moved with its child";
  float uv[6] = {0, 0, 1, 0, 0, 1};
  EXPECT_TRUE(triangle->SetTextureCoordinates(uv, 3));
  EXPECT_FALSE(triangle->SetTextureCoordinates(uv, 2));
  bag->Destroy();
}

}  // namespace
