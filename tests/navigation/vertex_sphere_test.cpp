#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "navigation/NavToolsVisu.h"

namespace {

TEST(VertexSphere, DegenerateArrays) {
  float c[3] = {9, 9, 9}, r = 9;
  testing::internal::CaptureStderr();
  NavToolsVisu::CreateBoundingSphere(c, r, nullptr, 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "CreateBoundingSphere: ERROR: Zero vertex array length.\n");
  EXPECT_EQ(c[0], 0.0f);
  EXPECT_EQ(r, 0.0f);

  const float one[3] = {1, 2, 3};
  NavToolsVisu::CreateBoundingSphere(c, r, one, 3);
  EXPECT_EQ(c[0], 1.0f);
  EXPECT_EQ(c[2], 3.0f);
  EXPECT_EQ(r, 0.0f);

  const float two[6] = {0, 0, 0, 2, 0, 0};
  const KIV3DBoundingSphere s = NavToolsVisu::GetBoundingSphere(two, 6);
  EXPECT_EQ(s.GetCenter(), KIVMathPointf(1, 0, 0));
  EXPECT_EQ(s.GetRadius(), 1.0f);
  EXPECT_EQ(s.GetRadiusMM(), 0.0f);

  // A diameter whose square is below 1e-06 gives a point at the midpoint.
  const float close[6] = {0, 0, 0, 0.0004f, 0, 0};
  NavToolsVisu::CreateBoundingSphere(c, r, close, 6);
  EXPECT_EQ(r, 0.0f);
  EXPECT_FLOAT_EQ(c[0], 0.0002f);
}

TEST(VertexSphere, TiesGoToTheHighestIndexAndTheFirstPairMet) {
  // x extremes tie between vertices 0 and 2 (both x = 0): vertex 2 wins the minimum.
  const float v[9] = {0, 5, 0, 4, 0, 0, 0, -5, 0};
  float c[3], r;
  NavToolsVisu::CreateBoundingSphere(c, r, v, 9);
  // min-y (2) and max-y (0) are 10 apart: the widest pair.
  EXPECT_FLOAT_EQ(c[0], 0.0f);
  EXPECT_FLOAT_EQ(c[1], 0.0f);
  EXPECT_GE(r, 5.0f);
  for (int i = 0; i < 3; ++i) {
    const KIVMathPointf p(v + 3 * i);
    EXPECT_LE(p.DistanceTo(KIVMathPointf(c)), r * (1 + 1e-6f));
  }
}

TEST(VertexSphere, RandomCloudsAreEnclosedAndTight) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> u(-100.0f, 100.0f);
  for (int round = 0; round < 100; ++round) {
    const int n = 1 + round * 7;
    std::vector<float> v(3 * n);
    for (float& f : v) f = u(rng);
    float c[3], r;
    NavToolsVisu::CreateBoundingSphere(c, r, v.data(), 3 * n);
    float far = 0.0f;
    for (int i = 0; i < n; ++i) {
      const float d = KIVMathPointf(&v[3 * i]).DistanceTo(KIVMathPointf(c));
      EXPECT_LE(d, r * (1.0f + 1e-5f)) << round;
      far = std::max(far, d);
    }
    // Ritter's sphere stays within a few per cent of the farthest point from its centre.
    EXPECT_LE(r, far * 1.5f + 1e-3f);
  }
}

}  // namespace
