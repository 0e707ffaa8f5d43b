#include "bench/PlantScene.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

constexpr double kTwoPi = 6.283185307179586;

// std::mt19937 is the same everywhere; the standard distributions are not.
class Random {
 public:
  explicit Random(std::uint32_t seed) : mEngine(seed) {}
  double Unit() { return (mEngine() >> 8) * (1.0 / 16777216.0); }
  double Range(double a, double b) { return a + (b - a) * Unit(); }
  int Below(int n) { return static_cast<int>(Unit() * n); }

 private:
  std::mt19937 mEngine;
};

}  // namespace

PlantScene::PlantScene(int modelCount, int trianglesPerModel, std::uint32_t seed, float spacing) {
  if (!(spacing > 0.0f)) spacing = 4.0f;
  modelCount = std::max(0, modelCount);
  const int half = std::max(3, (trianglesPerModel + 1) / 2);
  // Segments around times rings along must be exactly half the triangle count: take the
  // smallest divisor not below the square root, so that the quads stay roughly square.
  int segments = half;
  for (int s = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(half)))); s <= half; ++s)
    if (half % s == 0 && s >= 3) {
      segments = s;
      break;
    }
  const int rings = half / segments;
  mVertexCount = segments * (rings + 1);
  mIndices.reserve(6 * static_cast<size_t>(half));
  for (int j = 0; j < rings; ++j)
    for (int i = 0; i < segments; ++i) {
      const int a = j * segments + i, b = j * segments + (i + 1) % segments;
      const int c = a + segments, d = b + segments;
      mIndices.insert(mIndices.end(), {a, b, d, a, d, c});
    }

  Random rng(seed);
  const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(modelCount))));
  const float offset = 0.5f * spacing * (side - 1);
  mModels.resize(modelCount);
  for (int m = 0; m < modelCount; ++m) {
    Model& model = mModels[m];
    const float radius = static_cast<float>(rng.Range(0.3, 1.0));
    const float length = static_cast<float>(rng.Range(1.0, 3.0));
    model.vertices.resize(3 * static_cast<size_t>(mVertexCount));
    for (int j = 0; j <= rings; ++j)
      for (int i = 0; i < segments; ++i) {
        const double angle = kTwoPi * i / segments;
        float* v = model.vertices.data() + 3 * (j * segments + i);
        v[0] = static_cast<float>(radius * std::cos(angle));
        v[1] = static_cast<float>(radius * std::sin(angle));
        v[2] = length * (static_cast<float>(j) / rings - 0.5f);
      }
    model.localMin = {-radius, -radius, -0.5f * length};
    model.localMax = {radius, radius, 0.5f * length};

    // Uniform random rotation (Shoemake), written as the images of the three axes.
    const double u1 = rng.Unit(), u2 = rng.Unit(), u3 = rng.Unit();
    const double x = std::sqrt(1 - u1) * std::sin(kTwoPi * u2), y = std::sqrt(1 - u1) * std::cos(kTwoPi * u2);
    const double z = std::sqrt(u1) * std::sin(kTwoPi * u3), w = std::sqrt(u1) * std::cos(kTwoPi * u3);
    const KIVMathVectorf d1(static_cast<float>(1 - 2 * (y * y + z * z)), static_cast<float>(2 * (x * y + w * z)),
                            static_cast<float>(2 * (x * z - w * y)));
    const KIVMathVectorf d2(static_cast<float>(2 * (x * y - w * z)), static_cast<float>(1 - 2 * (x * x + z * z)),
                            static_cast<float>(2 * (y * z + w * x)));
    const KIVMathVectorf d3(static_cast<float>(2 * (x * z + w * y)), static_cast<float>(2 * (y * z - w * x)),
                            static_cast<float>(1 - 2 * (x * x + y * y)));
    const float height = static_cast<float>(rng.Range(0.0, 3.0));
    model.centre = {spacing * (m % side) - offset, spacing * (m / side) - offset, height};
    model.matrix = KIV4x4Matrix(d1, d2, d3, model.centre);
  }

  // Every model lies within 2 of its grid point, so this sphere holds the plant.
  const float reach = offset + 2.0f;
  mTarget = {0.0f, 0.0f, 1.5f};
  const float radius = std::sqrt(2.0f * reach * reach + 3.5f * 3.5f);
  KIVMathVectorf back(0.6f, -0.8f, 0.7f);
  back.Normalize();
  mEye = mTarget + back * (radius / std::sin(0.5f * GetFieldOfView()));
}

std::vector<KIVRay> PlantScene::AimedRays(int count, std::uint32_t seed) const {
  std::vector<KIVRay> rays;
  if (mModels.empty()) return rays;
  Random rng(seed);
  rays.reserve(std::max(0, count));
  for (int k = 0; k < count; ++k) {
    KIVMathVectorf d = mModels[rng.Below(GetModelCount())].centre - mEye;
    d.Normalize();
    rays.emplace_back(mEye, d);
  }
  return rays;
}
