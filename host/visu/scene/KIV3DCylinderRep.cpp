#include "host/visu/scene/KIV3DCylinderRep.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DCylinderRep, KIV3DCustomRep)

KIV3DCylinderRep::KIV3DCylinderRep(const KIVMathPointf& base, const KIVMathVectorf& axis, float radius, int caps) {
  // A scratch primitive checks the values, so that the rules live in one place.
  KIV3DCylinderGP probe;
  if (probe.SetCylinder(base, axis, radius)) mBase = base, mAxis = axis, mRadius = radius;
  if (probe.SetCaps(caps)) mCaps = caps;
  Update();
}

int KIV3DCylinderRep::SetCylinder(const KIVMathPointf& base, const KIVMathVectorf& axis, float radius) {
  KIV3DCylinderGP probe;
  if (!probe.SetCylinder(base, axis, radius)) return 0;
  mBase = base;
  mAxis = axis;
  mRadius = radius;
  Update();
  return 1;
}

int KIV3DCylinderRep::SetCaps(int caps) {
  KIV3DCylinderGP probe;
  if (!probe.SetCaps(caps)) return 0;
  mCaps = caps;
  Update();
  return 1;
}

void KIV3DCylinderRep::Update() {
  KIV3DCylinderGP* cylinder = nullptr;
  for (int i = 0; i < GetGPCount(0) && !cylinder; ++i) cylinder = dynamic_cast<KIV3DCylinderGP*>(GetGP(i, 0));
  if (cylinder) {
    cylinder->SetCylinder(mBase, mAxis, mRadius);
    cylinder->SetCaps(mCaps);
    GeometryModified();
  } else {
    AddGP(new KIV3DCylinderGP(mBase, mAxis, mRadius, mCaps));  // which recomputes the sphere
  }
}

