#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "host/visu/scene/KIV3DBoundingSphere.h"
#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/math/KIVMathDirectionf.h"
#include "host/visu/math/KIVMathTransformation.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

void ExpectNear(const KIVMathPointf& a, const KIVMathPointf& b, float eps) {
  EXPECT_NEAR(a.x, b.x, eps);
  EXPECT_NEAR(a.y, b.y, eps);
  EXPECT_NEAR(a.z, b.z, eps);
}

KIV4x4Matrix RandomPlacement(std::mt19937& rng, float maxScale) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  const KIVMathAxis axis(KIVMathPoint(u(rng) * 10, u(rng) * 10, u(rng) * 10), KIVMathDirection(u(rng), u(rng), u(rng) + 2.0));
  KIV4x4Matrix m = KIVMathTransformation(axis, u(rng) * kPi).GetMatrix();
  std::uniform_real_distribution<float> s(0.2f, maxScale);
  const KIV4x4Matrix scale(KIVMathVectorf(s(rng), 0, 0), KIVMathVectorf(0, s(rng), 0), KIVMathVectorf(0, 0, s(rng)),
                           KIVMathPointf());
  return scale * m;
}

TEST(Math, VectorsPointsAndDirections) {
  const KIVMathVectorf x(1, 0, 0), y(0, 1, 0);
  EXPECT_EQ(x ^ y, KIVMathVectorf(0, 0, 1));  // right-handed
  EXPECT_EQ((KIVMathVectorf(3, 4, 0)).Norm(), 5.0f);
  const KIVMathDirectionf d(0, 3, 4);
  EXPECT_FLOAT_EQ(d.Norm(), 1.0f);
  EXPECT_TRUE(KIVMathDirectionf(0, 0, 0).IsNull());
  const KIVMathPointf p(1, 2, 3);
  EXPECT_EQ(p + d * 5.0f - d * 5.0f, p);
  EXPECT_FLOAT_EQ(p.DistanceTo(KIVMathPointf(1, 5, 7)), 5.0f);
}

TEST(Math, MatrixComposesInTreeOrderAndInverts) {
  // A leaf translated by 1 along x under a parent turned a quarter about z: the leaf's
  // matrix applies first.
  const KIV4x4Matrix leaf(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1), KIVMathPointf(1, 0, 0));
  const KIV4x4Matrix parent = KIVMathTransformation(KIVMathAxis(KIVMathPoint(), KIVMathDirection(0, 0, 1)), kPi / 2).GetMatrix();
  ExpectNear((leaf * parent).TransformPoint(KIVMathPointf()), KIVMathPointf(0, 1, 0), 1e-6f);
  KIVMathVectorf d1, d2, d3;
  KIVMathPointf o;
  parent.GetComponents(d1, d2, d3, o);
  ExpectNear(KIVMathPointf() + d1, KIVMathPointf(0, 1, 0), 1e-6f);  // the image of x

  std::mt19937 rng(7);
  for (int i = 0; i < 200; ++i) {
    const KIV4x4Matrix m = RandomPlacement(rng, 3.0f);
    int ok = 0;
    const KIV4x4Matrix inv = m.Inverse(&ok);
    ASSERT_EQ(ok, 1);
    const KIVMathPointf p(1.5f, -2.0f, 0.25f);
    ExpectNear(inv.TransformPoint(m.TransformPoint(p)), p, 1e-4f);
  }
  int ok = 1;
  const KIV4x4Matrix flat(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 0), KIVMathPointf());
  EXPECT_EQ(flat.Inverse(&ok).IsIdentity(), 1);
  EXPECT_EQ(ok, 0);
}

TEST(Math, TransformationTurnsAboutItsLine) {
  const KIVMathAxis line(KIVMathPoint(5, 0, 0), KIVMathDirection(0, 0, 1));
  const KIVMathTransformation t(line, kPi / 2);
  ExpectNear(t.Apply(KIVMathPointf(5, 0, 7)), KIVMathPointf(5, 0, 7), 1e-6f);  // on the line: fixed
  ExpectNear(t.Apply(KIVMathPointf(6, 0, 0)), KIVMathPointf(5, 1, 0), 1e-6f);
  const KIVMathVectorf v = t.Apply(KIVMathVectorf(1, 0, 0));  // vectors turn, never translate
  ExpectNear(KIVMathPointf() + v, KIVMathPointf(0, 1, 0), 1e-6f);
  // Four quarter turns compose to the identity; the inverse undoes; the matrix agrees.
  const KIVMathTransformation full = t * t * t * t;
  ExpectNear(full.Apply(KIVMathPointf(2, 3, 4)), KIVMathPointf(2, 3, 4), 1e-5f);
  ExpectNear(t.Inverse().Apply(t.Apply(KIVMathPointf(2, 3, 4))), KIVMathPointf(2, 3, 4), 1e-5f);
  ExpectNear(t.GetMatrix().TransformPoint(KIVMathPointf(6, 0, 0)), KIVMathPointf(5, 1, 0), 1e-6f);
  const KIVMathTransformation none(KIVMathAxis(KIVMathPoint(), KIVMathDirection(0, 0, 0)), 1.0);
  EXPECT_EQ(none.Apply(KIVMathPointf(1, 2, 3)), KIVMathPointf(1, 2, 3));
}

TEST(BoundingSphere, EmptyInfiniteAndUnion) {
  KIV3DBoundingSphere s;
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_EQ(s.GetRadius(), 0.0f);
  EXPECT_EQ(s.IsInside(KIVMathPointf()), 0);
  s += KIV3DBoundingSphere();
  EXPECT_TRUE(s.IsEmpty());
  s += KIV3DBoundingSphere(KIVMathPointf(1, 0, 0), 1.0f, 3.0f);
  EXPECT_FALSE(s.IsEmpty());
  s += KIV3DBoundingSphere(KIVMathPointf(-1, 0, 0), 1.0f);
  ExpectNear(s.GetCenter(), KIVMathPointf(0, 0, 0), 1e-6f);
  EXPECT_NEAR(s.GetRadius(), 2.0f, 1e-5f);
  EXPECT_EQ(s.GetRadiusMM(), 3.0f);
  const KIV3DBoundingSphere inner(KIVMathPointf(0.5f, 0, 0), 0.5f);
  KIV3DBoundingSphere copy = s;
  copy += inner;  // already inside: unchanged
  EXPECT_EQ(copy.GetRadius(), s.GetRadius());
  KIV3DBoundingSphere small = inner;
  small += s;  // encloses the smaller: becomes the larger
  EXPECT_EQ(small.GetRadius(), s.GetRadius());
  KIV3DBoundingSphere inf;
  inf.SetInfinite();
  s += inf;
  EXPECT_TRUE(s.IsInfinite());
  EXPECT_EQ(s.IsInside(KIVMathPointf(1e30f, 0, 0)), 1);
  EXPECT_EQ(KIV3DBoundingSphere(KIVMathPointf(), -4.0f).GetRadius(), 0.0f);
  EXPECT_EQ(KIV3DBoundingSphere(KIVMathPointf(), NAN).GetRadius(), 0.0f);
}

TEST(BoundingSphere, UnionAndPlacementAlwaysEncloseRandomly) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> c(-1000.0f, 1000.0f), r(0.0f, 50.0f);
  for (int round = 0; round < 300; ++round) {
    KIV3DBoundingSphere acc;
    std::vector<KIV3DBoundingSphere> parts;
    for (int i = 0; i < 8; ++i) {
      parts.emplace_back(KIVMathPointf(c(rng), c(rng), c(rng)), r(rng));
      acc += parts.back();
    }
    for (const auto& p : parts) ASSERT_EQ(acc.IsInside(p), 1) << round;
    // Never grossly loose: at most the sum of the diameter bound.
    float far = 0.0f;
    for (const auto& p : parts) far = std::max(far, acc.GetCenter().DistanceTo(p.GetCenter()) + p.GetRadius());
    EXPECT_LE(acc.GetRadius(), far * 2.0f + 1e-3f);

    const KIV4x4Matrix m = RandomPlacement(rng, 4.0f);
    const KIV3DBoundingSphere moved = parts[0] * m;
    // Points on the surface of the original stay inside the moved sphere.
    std::normal_distribution<float> g;
    for (int k = 0; k < 20; ++k) {
      KIVMathVectorf dir(g(rng), g(rng), g(rng));
      dir.Normalize();
      const KIVMathPointf onSurface = parts[0].GetCenter() + dir * parts[0].GetRadius();
      const KIVMathPointf image = m.TransformPoint(onSurface);
      EXPECT_LE(moved.GetCenter().DistanceTo(image), moved.GetRadius() * (1.0f + 1e-5f) + 1e-3f);
    }
  }
}

TEST(BoundingSphere, ScaleOfAShearIsItsSpectralNorm) {
  // Row norms alone would say sqrt(2); the stretch of [[1,1],[0,1]] is the golden ratio.
  const KIV4x4Matrix shear(KIVMathVectorf(1, 1, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1), KIVMathPointf());
  EXPECT_NEAR(shear.GetMaxScale(), (1.0 + std::sqrt(5.0)) / 2.0, 1e-5);
  EXPECT_NEAR(KIV4x4Matrix().GetMaxScale(), 1.0f, 1e-5f);
}

}  // namespace

// Radii are rounded up by stepping the float's bits: it must agree with the library's
// nextafter towards +infinity everywhere, signs, zeros, subnormals and the ends included.
TEST(BoundingSphere, NextUpStepsAsNextafterDoes) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<std::uint32_t> bits;
  std::vector<float> xs = {0.0f, -0.0f, std::numeric_limits<float>::denorm_min(), -std::numeric_limits<float>::denorm_min(),
                           std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(), 1.0f, -1.0f};
  for (int i = 0; i < 100000; ++i) xs.push_back(std::bit_cast<float>(bits(rng)));
  for (float x : xs) {
    const float expected = std::nextafter(x, std::numeric_limits<float>::infinity());
    const float got = KIV3DBoundingSphere::NextUp(x);
    if (std::isnan(x))
      EXPECT_TRUE(std::isnan(got));
    else
      EXPECT_EQ(std::bit_cast<std::uint32_t>(got), std::bit_cast<std::uint32_t>(expected)) << x;
  }
}
