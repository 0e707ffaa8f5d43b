#pragma once
// A flat parallelogram of the scene given by a corner and two edge vectors (the mover's
// cube face handle).
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/math/KIVMathVectorf.h"
#include "host/visu/scene/KIV3DCustomRep.h"
class KIV3DPlanarFaceGP;
class KIVRender;

class NavKIV3DRectangleRep : public KIV3DCustomRep {
  KIV_DECLARE_METAOBJECT(NavKIV3DRectangleRep)
 public:
  NavKIV3DRectangleRep(const KIVMathPointf& p, const KIVMathVectorf& u, const KIVMathVectorf& v);
  ~NavKIV3DRectangleRep() override;
  /// Replaces the face by the parallelogram p, p + u, p + u + v, p + v.
  void Modify(const KIVMathPointf& p, const KIVMathVectorf& u, const KIVMathVectorf& v);
  /// u, v per vertex (count vertices, in the order p, p + u + v, p + u, p + v).
  int SetTextureCoordinates(float* coords, int count);
  KIV3DPlanarFaceGP* GetFace() const { return mFace; }
  void DrawShading(KIVRender& render, int mode) override;

 private:
  KIV3DPlanarFaceGP* mFace = nullptr;
};
