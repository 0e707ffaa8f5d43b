#include "navigation/Nav3DViewpointLight.h"

namespace {
// The record keeps directions exactly as given, so it bypasses the normalising assignment.
void Store(KIVMathDirectionf& to, const KIVMathVectorf& from) { static_cast<KIVMathVectorf&>(to) = from; }
}  // namespace

Nav3DViewpointLight& Nav3DViewpointLight::operator=(const KIV3DViewpoint& vp) {
  origin = vp.GetOrigin();
  Store(sight, vp.GetSightDirection());
  Store(up, vp.GetUpDirection());
  angle = vp.GetAngle();
  focus = vp.GetFocusDistance();
  return *this;
}

void Nav3DViewpointLight::SetValue(KIVMathPointf o, KIVMathDirectionf s, KIVMathDirectionf u, float a, float f) {
  origin = o;
  Store(sight, s);
  Store(up, u);
  angle = a;
  focus = f;
}
