#include "host/visu/view/KIVLightSourceSet.h"

#include <cmath>

KIVLightSourceSet::KIVLightSourceSet()
    : mDirections{KIVMathDirectionf(-1.0f, -1.0f, -2.0f), KIVMathDirectionf(1.0f, 0.5f, -1.0f)} {}

KIVLightSourceSet::KIVLightSourceSet(const KIVMathDirectionf& first) : KIVLightSourceSet() { SetDirection(0, first); }

KIVLightSourceSet::KIVLightSourceSet(const KIVMathDirectionf& first, const KIVMathDirectionf& second)
    : KIVLightSourceSet() {
  mCount = 2;
  SetDirection(0, first);
  SetDirection(1, second);
}

int KIVLightSourceSet::SetLightSourceCount(int count) {
  if (count != 1 && count != 2) return 0;
  mCount = count;
  return 1;
}

KIVMathDirectionf KIVLightSourceSet::GetDirection(int light) const {
  return light == 0 || light == 1 ? mDirections[light] : KIVMathDirectionf();
}

int KIVLightSourceSet::SetDirection(int light, const KIVMathDirectionf& direction) {
  if (light != 0 && light != 1) return 0;
  if (direction.IsNull() || !std::isfinite(direction.x) || !std::isfinite(direction.y) || !std::isfinite(direction.z))
    return 0;
  mDirections[light] = direction;
  return 1;
}
