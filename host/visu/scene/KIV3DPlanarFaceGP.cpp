#include "host/visu/scene/KIV3DPlanarFaceGP.h"

#include <cmath>
#include <vector>

#include "host/visu/view/KIVRender.h"

KIV3DPlanarFaceGP::KIV3DPlanarFaceGP(const float* vertices, int vertexFloats, const int* triangles, int triangleCount,
                                     const KIVMathDirectionf& normal)
    : KIV3DFaceGP(vertices, vertexFloats, nullptr, triangles, triangleCount) {
  SetNormal(normal);
}

int KIV3DPlanarFaceGP::SetNormal(const KIVMathDirectionf& normal) {
  if (normal.IsNull() || !std::isfinite(normal.x) || !std::isfinite(normal.y) || !std::isfinite(normal.z)) return 0;
  mNormal = normal;
  GeometryChanged();
  return 1;
}

int KIV3DPlanarFaceGP::ComputeNormal() {
  // The pick expansion already turns strips and fans into consistently wound triangles.
  std::vector<float> v;
  std::vector<int> t;
  GetPickTriangles(v, t);
  for (size_t i = 0; i + 2 < t.size(); i += 3) {
    const KIVMathVectorf a(&v[3 * t[i]]), b(&v[3 * t[i + 1]]), c(&v[3 * t[i + 2]]);
    const KIVMathVectorf n = (b - a) ^ (c - a);
    if (n.SquareNorm() > 0.0f && SetNormal(KIVMathDirectionf(n))) return 1;
  }
  return 0;
}

void KIV3DPlanarFaceGP::Draw(KIVRender& render) { render.Draw3DPlanarFace(*this); }
