#pragma once
// A filled triangle of the scene: a corner and two edge vectors.
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/math/KIVMathVectorf.h"
#include "host/visu/scene/KIV3DCustomRep.h"
class KIV3DPlanarFaceGP;
class KIVRender;

class KIV3DTriangleRep : public KIV3DCustomRep {
  KIV_DECLARE_METAOBJECT(KIV3DTriangleRep)
 public:
  KIV3DTriangleRep(const KIVMathPointf& p, const KIVMathVectorf& u, const KIVMathVectorf& v);
  ~KIV3DTriangleRep() override;
  /// Replaces the face by the triangle p, p + u, p + v.
  void BuildTriangle(const KIVMathPointf& p, const KIVMathVectorf& u, const KIVMathVectorf& v);
  void Modify(const KIVMathPointf& p, const KIVMathVectorf& u, const KIVMathVectorf& v);
  /// u, v per vertex (count vertices); refused (0) as the face refuses them.
  int SetTextureCoordinates(float* coords, int count);
  /// The face; the rep owns it.
  KIV3DPlanarFaceGP* GetFace() const { return mFace; }
  void DrawShading(KIVRender& render, int mode) override;

 private:
  KIV3DPlanarFaceGP* mFace = nullptr;
};
