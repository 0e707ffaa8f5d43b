#pragma once
// The directional lights of a viewer's model window: one or two, each a unit direction
// the light travels along (from the light towards the scene), in world coordinates.
#include "host/visu/math/KIVMathDirectionf.h"
class KIVLightSourceSet {
 public:
  /// One light from (−1, −1, −2) normalised; the second, unused, from (1, 0.5, −1).
  KIVLightSourceSet();
  /// One light; a null direction keeps the default.
  explicit KIVLightSourceSet(const KIVMathDirectionf& first);
  /// Two lights; a null direction keeps that light's default.
  KIVLightSourceSet(const KIVMathDirectionf& first, const KIVMathDirectionf& second);
  /// 1 or 2.
  int GetLightSourceCount() const { return mCount; }
  /// Only 1 and 2 are accepted (0 otherwise).
  int SetLightSourceCount(int count);
  /// Light 0 or 1; other indices give the null direction.
  KIVMathDirectionf GetDirection(int light) const;
  /// A bad index or a null or non-finite direction is refused (0).
  int SetDirection(int light, const KIVMathDirectionf& direction);
  bool operator==(const KIVLightSourceSet&) const = default;
 private:
  int mCount = 1;
  KIVMathDirectionf mDirections[2];
};
