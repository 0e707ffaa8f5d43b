#pragma once
// A cylinder of the scene, pickable: the rep keeps its base, axis (its length the height),
// radius and caps and writes them into the first cylinder primitive it holds (making one
// if it has none).
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DCylinderGP.h"
class KIV3DCylinderRep : public KIV3DCustomRep {
  KIV_DECLARE_METAOBJECT(KIV3DCylinderRep)
 public:
  /// The unit cylinder up z from the origin when the values are refused.
  KIV3DCylinderRep(const KIVMathPointf& base = KIVMathPointf(), const KIVMathVectorf& axis = KIVMathVectorf(0, 0, 1),
                   float radius = 1.0f, int caps = KIV3DCylinderGP::BothCaps);
  /// As KIV3DCylinderGP::SetCylinder refuses them (nothing changes on a refusal).
  int SetCylinder(const KIVMathPointf& base, const KIVMathVectorf& axis, float radius);
  const KIVMathPointf& GetBase() const { return mBase; }
  const KIVMathVectorf& GetAxis() const { return mAxis; }
  float GetRadius() const { return mRadius; }
  int SetCaps(int caps);
  int GetCaps() const { return mCaps; }
 private:
  void Update();
  KIVMathPointf mBase;
  KIVMathVectorf mAxis{0.0f, 0.0f, 1.0f};
  float mRadius = 1.0f;
  int mCaps = KIV3DCylinderGP::BothCaps;
};
