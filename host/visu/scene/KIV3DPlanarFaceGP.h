#pragma once
// A face whose triangles all lie in one plane, with that plane's normal, so that a render
// can light it with one normal instead of one per vertex.
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/math/KIVMathDirectionf.h"
class KIV3DPlanarFaceGP : public KIV3DFaceGP {
 public:
  KIV3DPlanarFaceGP() = default;
  /// As KIV3DFaceGP's, with the plane's normal.
  KIV3DPlanarFaceGP(const float* vertices, int vertexFloats, const int* triangles, int triangleCount,
                    const KIVMathDirectionf& normal);
  /// The unit normal; null until set.
  const KIVMathDirectionf& GetNormal() const { return mNormal; }
  /// A null direction is refused (0).
  int SetNormal(const KIVMathDirectionf& normal);
  /// Sets the normal from the first triangle (strips and fans after) that is not
  /// degenerate, oriented by its winding. 0 when every triangle is degenerate.
  int ComputeNormal();
  void Draw(KIVRender& render) override;
 private:
  KIVMathDirectionf mNormal;
};
