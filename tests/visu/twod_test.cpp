#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/visu/scene/KIV2DBagRep.h"
#include "host/visu/scene/KIV2DRep.h"
#include "host/visu/view/KIV2DViewpoint.h"
#include "host/visu/math/KIV3x3Matrix.h"

namespace {

void ExpectNear(const KIVMathVectorf& a, const KIVMathVectorf& b, float eps) {
  EXPECT_NEAR(a.x, b.x, eps);
  EXPECT_NEAR(a.y, b.y, eps);
  EXPECT_NEAR(a.z, b.z, eps);
}

// A rotation by `degrees` followed by a translation, as (x, y, 1) times the matrix.
KIV3x3Matrix Placement(float degrees, float tx, float ty) {
  const float a = degrees * 0.017453292f, c = std::cos(a), s = std::sin(a);
  return KIV3x3Matrix(KIVMathVectorf(c, s, 0), KIVMathVectorf(-s, c, 0), KIVMathVectorf(tx, ty, 1));
}

struct Box {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int has = 0;
};
Box BoxOf(const KIV2DRep& rep) {
  Box b;
  b.has = rep.GetBoundingBox(b.x0, b.y0, b.x1, b.y1);
  return b;
}

TEST(TwoDMatrix, ComposesInOrderAndInvertsRoundTrip) {
  const KIV3x3Matrix a(KIVMathVectorf(2, 1, 0), KIVMathVectorf(0.5f, 3, -1), KIVMathVectorf(1, 0, 4));
  const KIV3x3Matrix b = Placement(30, 5, -2);
  const KIVMathVectorf v(0.3f, -1.7f, 2.2f);
  // Row vectors: A * B applies A first.
  ExpectNear((a * b).Transform(v), b.Transform(a.Transform(v)), 1e-5f);
  EXPECT_NEAR((a * b).Determinant(), a.Determinant() * b.Determinant(), 1e-4f);

  int ok = -1;
  const KIV3x3Matrix inv = a.Inverse(&ok);
  ASSERT_EQ(ok, 1);
  ExpectNear(inv.Transform(a.Transform(v)), v, 1e-5f);
  const KIV3x3Matrix id = a * inv;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(id.Get(i, j), i == j ? 1.0f : 0.0f, 1e-5f) << i << j;

  // A tiny scale is not singular: the test is relative to the matrix's size.
  const KIV3x3Matrix tiny(KIVMathVectorf(1e-12f, 0, 0), KIVMathVectorf(0, 1e-12f, 0), KIVMathVectorf(0, 0, 1e-12f));
  const KIV3x3Matrix big = tiny.Inverse(&ok);
  ASSERT_EQ(ok, 1);
  EXPECT_NEAR(big.Get(1, 1), 1e12f, 1e6f);
}

TEST(TwoDMatrix, RefusesSingularMatricesAndBadIndices) {
  int ok = -1;
  // The third row is the sum of the others.
  const KIV3x3Matrix flat(KIVMathVectorf(1, 2, 3), KIVMathVectorf(4, 5, 6), KIVMathVectorf(5, 7, 9));
  EXPECT_TRUE(flat.Inverse(&ok).IsIdentity());
  EXPECT_EQ(ok, 0);
  KIV3x3Matrix nan;
  nan.Set(1, 1, std::numeric_limits<float>::quiet_NaN());
  nan.Inverse(&ok);
  EXPECT_EQ(ok, 0);
  EXPECT_TRUE(KIV3x3Matrix().Inverse().IsIdentity());

  KIV3x3Matrix m;
  EXPECT_EQ(m.Set(3, 0, 5.0f), 0);
  EXPECT_EQ(m.Set(0, -1, 5.0f), 0);
  EXPECT_TRUE(m.IsIdentity());
  EXPECT_EQ(m.Get(-1, 0), 0.0f);
  EXPECT_EQ(m.Get(0, 3), 0.0f);
  ExpectNear(m.GetRow(7), KIVMathVectorf(), 0.0f);
}

TEST(TwoDBag, BoxIsTheUnionOfShownChildrenCarriedByThePlacement) {
  KIV2DBagRep root, placed;
  KIV2DRep a, b;
  a.SetBoundingBox(0, 0, 1, 1);
  b.SetBoundingBox(2, 0, 4, 1);
  ASSERT_EQ(root.AddChild(&a), 1);
  ASSERT_EQ(root.AddChild(&placed), 1);
  ASSERT_EQ(placed.AddChild(&b), 1);
  EXPECT_EQ(placed.AddChild(&root), 0);  // a cycle
  Box box = BoxOf(root);
  ASSERT_EQ(box.has, 1);
  EXPECT_FLOAT_EQ(box.x0, 0);
  EXPECT_FLOAT_EQ(box.x1, 4);
  EXPECT_FLOAT_EQ(box.y1, 1);

  // A quarter turn then a move: b's box [2,4]×[0,1] becomes [9,10]×[2,4].
  ASSERT_EQ(placed.SetMatrix(Placement(90, 10, 0)), 1);
  box = BoxOf(root);
  EXPECT_NEAR(box.x0, 0, 1e-5f);
  EXPECT_NEAR(box.x1, 10, 1e-5f);
  EXPECT_NEAR(box.y1, 4, 1e-5f);
  const Box inner = BoxOf(placed);
  EXPECT_NEAR(inner.x0, 9, 1e-5f);
  EXPECT_NEAR(inner.y0, 2, 1e-5f);

  // A change deep down reaches the top; a hidden child counts for nothing.
  b.SetBoundingBox(2, 0, 4, 3);
  EXPECT_NEAR(BoxOf(placed).x0, 7, 1e-5f);  // b's y of 3 turns to x = 10 − 3
  a.SetShowMode(1, 0);
  box = BoxOf(root);
  EXPECT_NEAR(box.x0, 7, 1e-5f);
  EXPECT_NEAR(box.y0, 2, 1e-5f);
  placed.SetShowMode(1, 0);
  EXPECT_EQ(BoxOf(root).has, 0);

  // A projective matrix or a non-finite one is refused; null returns to the identity.
  KIV3x3Matrix projective;
  projective.Set(0, 2, 0.5f);
  EXPECT_EQ(placed.SetMatrix(projective), 0);
  KIV3x3Matrix nan;
  nan.Set(2, 0, std::nanf(""));
  EXPECT_EQ(placed.SetMatrix(nan), 0);
  ASSERT_NE(placed.GetMatrix(), nullptr);
  ASSERT_EQ(placed.SetMatrix(nullptr), 1);
  EXPECT_EQ(placed.GetMatrix(), nullptr);
  placed.SetShowMode(0, 0);
  a.SetShowMode(0, 0);
  EXPECT_NEAR(BoxOf(root).x1, 4, 1e-5f);
  ASSERT_EQ(root.RemoveChild(&placed), 1);
  EXPECT_NEAR(BoxOf(root).x1, 1, 1e-5f);
  EXPECT_EQ(root.RemoveChild(&placed), 0);
  placed.RemoveChild(&b);
  root.RemoveChild(&a);
}

TEST(TwoDBag, ChildChangedWhileHiddenIsSeenWhenShown) {
  KIV2DBagRep root, inner;
  KIV2DRep leaf;
  leaf.SetBoundingBox(0, 0, 1, 1);
  inner.AddChild(&leaf);
  root.AddChild(&inner);
  EXPECT_FLOAT_EQ(BoxOf(root).x1, 1);
  inner.SetShowMode(1, 0);
  EXPECT_EQ(BoxOf(root).has, 0);  // root no longer asks inner for its box
  leaf.SetBoundingBox(0, 0, 5, 1);
  inner.SetShowMode(0, 0);
  EXPECT_FLOAT_EQ(BoxOf(root).x1, 5);
  inner.RemoveChild(&leaf);
  root.RemoveChild(&inner);
}

TEST(TwoDViewpoint, ZoomAboutKeepsThePointOnItsPixel) {
  KIV2DViewpoint vp;
  ASSERT_EQ(vp.SetCenter(3, -4), 1);
  ASSERT_EQ(vp.SetZoom(0.5f), 1);
  float px0, py0, px1, py1;
  vp.ToPixels(7, 2, px0, py0);
  EXPECT_FLOAT_EQ(px0, 8);
  EXPECT_FLOAT_EQ(py0, 12);
  for (float factor : {2.0f, 0.1f, 1.7f}) {
    ASSERT_EQ(vp.ZoomAbout(7, 2, factor), 1);
    vp.ToPixels(7, 2, px1, py1);
    EXPECT_NEAR(px1, px0, 1e-3f);
    EXPECT_NEAR(py1, py0, 1e-3f);
  }
  EXPECT_NEAR(vp.GetZoom(), 0.5f * 2.0f * 0.1f * 1.7f, 1e-6f);
  float x, y;
  vp.FromPixels(px0, py0, x, y);
  EXPECT_NEAR(x, 7, 1e-4f);
  EXPECT_NEAR(y, 2, 1e-4f);

  // Zooming about the centre leaves it; panning moves it by scene units.
  float cx, cy;
  vp.GetCenter(cx, cy);
  ASSERT_EQ(vp.ZoomAbout(cx, cy, 3.0f), 1);
  float cx2, cy2;
  vp.GetCenter(cx2, cy2);
  EXPECT_FLOAT_EQ(cx2, cx);
  EXPECT_FLOAT_EQ(cy2, cy);
  ASSERT_EQ(vp.Pan(1, -2), 1);
  vp.GetCenter(cx2, cy2);
  EXPECT_FLOAT_EQ(cx2, cx + 1);
  EXPECT_FLOAT_EQ(cy2, cy - 2);
}

}  // namespace
