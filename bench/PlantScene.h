#pragma once
// A deterministic synthetic plant for benchmarks, tests and demos: N open tessellated
// cylinders of exactly T triangles each, every one with its own size (baked into its
// vertices) and placement (random rotation, square grid of spacing 4 unless asked
// otherwise (1.5 makes neighbours clash), height 0 to 3),
// a camera that sees the whole plant and rays aimed at the centres of random models.
// Plain arrays and matrices only, so that any scene representation can be fed from it.
// The same seed gives the same plant on every platform.

#include <cstdint>
#include <vector>

#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/math/KIVMathVectorf.h"
#include "host/visu/math/KIVRay.h"

class PlantScene {
 public:
  struct Model {
    std::vector<float> vertices;  // x, y, z per vertex, axis along local z, centred
    KIV4x4Matrix matrix;          // local to world
    KIVMathPointf localMin, localMax;
    KIVMathPointf centre;  // world
  };

  /// trianglesPerModel must be even and at least 6; it is rounded to the nearest such.
  /// spacing: the grid step between neighbouring models (positive).
  PlantScene(int modelCount, int trianglesPerModel, std::uint32_t seed = 1, float spacing = 4.0f);

  int GetModelCount() const { return static_cast<int>(mModels.size()); }
  const Model& GetModel(int i) const { return mModels[i]; }
  int GetTrianglesPerModel() const { return static_cast<int>(mIndices.size() / 3); }
  int GetVertexCount() const { return mVertexCount; }
  /// Every model shares one tessellation, hence one index array (3 per triangle).
  const std::vector<int>& GetIndices() const { return mIndices; }

  const KIVMathPointf& GetEye() const { return mEye; }
  const KIVMathPointf& GetTarget() const { return mTarget; }
  KIVMathVectorf GetUp() const { return {0.0f, 0.0f, 1.0f}; }
  float GetFieldOfView() const { return 0.7853982f; }  // vertical, radians

  /// count rays from the eye towards the centres of models drawn at random, unit directions.
  std::vector<KIVRay> AimedRays(int count, std::uint32_t seed) const;

 private:
  std::vector<Model> mModels;
  std::vector<int> mIndices;
  int mVertexCount = 0;
  KIVMathPointf mEye, mTarget;
};
