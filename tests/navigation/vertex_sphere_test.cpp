#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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

namespace {

// The two passes vertex by vertex, as plainly as they can be written.
void ReferenceSphere(float* centre, float& radius, const float* v, int length) {
  const int count = length / 3;
  int lo[3], hi[3];
  for (int a = 0; a < 3; ++a) lo[a] = hi[a] = count - 1;
  for (int i = count - 2; i >= 0; --i)
    for (int a = 2; a >= 0; --a) {
      if (v[3 * i + a] < v[3 * lo[a] + a])
        lo[a] = i;
      else if (v[3 * i + a] > v[3 * hi[a] + a])
        hi[a] = i;
    }
  const float* e[6] = {v + 3 * lo[0], v + 3 * hi[0], v + 3 * lo[1], v + 3 * hi[1], v + 3 * lo[2], v + 3 * hi[2]};
  float best = 0.0f;
  int bi = 0, bj = 0;
  for (int j = 5; j >= 1; --j)
    for (int i = j - 1; i >= 0; --i) {
      const float dx = e[j][0] - e[i][0], dy = e[j][1] - e[i][1], dz = e[j][2] - e[i][2];
      const float d2 = (dx * dx + dy * dy) + dz * dz;
      if (d2 > best) best = d2, bi = i, bj = j;
    }
  for (int a = 0; a < 3; ++a) centre[a] = static_cast<float>(static_cast<double>(e[bi][a] + e[bj][a]) * 0.5);
  if (static_cast<double>(best) < 1e-06) {
    radius = 0.0f;
    return;
  }
  radius = static_cast<float>(static_cast<double>(std::sqrt(best)) * 0.5);
  float r2 = radius * radius;
  for (int i = count - 1; i >= 0; --i) {
    const float* p = v + 3 * i;
    const float dz = p[2] - centre[2], dy = p[1] - centre[1], dx = p[0] - centre[0];
    const float d2 = (dz * dz + dy * dy) + dx * dx;
    if (d2 > r2) {
      const float d = std::sqrt(d2);
      radius = (radius + d) * 0.5f;
      r2 = radius * radius;
      const float k = radius / d;
      for (int a = 0; a < 3; ++a) centre[a] = k * centre[a] + (1.0f - k) * p[a];
    }
  }
}

TEST(VertexSphere, BlockedPassesGiveExactlyTheVertexByVertexResult) {
  std::mt19937 rng(21);
  for (int round = 0; round < 200; ++round) {
    // Sizes around the block lengths; coarse values make ties on extremes common.
    const int sizes[] = {1, 2, 5, 15, 16, 17, 33, 4095, 4096, 4097, 9000};
    // The last rounds are large enough for the extremes to be scanned in two halves.
    const int count = round < 40    ? sizes[round % 11]
                      : round < 197 ? 1 + static_cast<int>(rng() % 20000)
                                    : (1 << 20) + static_cast<int>(rng() % 5000);
    std::vector<float> v(3 * static_cast<size_t>(count));
    const bool coarse = round % 3 == 0;
    std::normal_distribution<float> d(0.0f, 5.0f);
    for (float& x : v) x = coarse ? std::round(d(rng)) : d(rng);
    if (round % 7 == 0) v[rng() % v.size()] = NAN;
    float c1[3], r1, c2[3], r2;
    NavToolsVisu::CreateBoundingSphere(c1, r1, v.data(), static_cast<int>(v.size()));
    ReferenceSphere(c2, r2, v.data(), static_cast<int>(v.size()));
    for (int a = 0; a < 3; ++a)
      EXPECT_TRUE(std::memcmp(&c1[a], &c2[a], sizeof(float)) == 0) << "round " << round << " axis " << a;
    EXPECT_TRUE(std::memcmp(&r1, &r2, sizeof(float)) == 0) << "round " << round << ": " << r1 << " vs " << r2;
  }
}

}  // namespace
