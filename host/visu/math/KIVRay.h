#pragma once
// A pick ray: the points origin + t·direction for t in [0, tMax]. The direction need not
// be unit; t is measured in multiples of it, so a ray carried into another frame by an
// affine matrix keeps the same t for the same point.

#include <limits>

#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/math/KIVMathVectorf.h"

class KIVRay {
 public:
  KIVMathPointf origin;
  KIVMathVectorf direction{0.0f, 0.0f, 1.0f};
  float tMax = std::numeric_limits<float>::infinity();

  KIVRay() = default;
  KIVRay(const KIVMathPointf& o, const KIVMathVectorf& d,
         float tmax = std::numeric_limits<float>::infinity())
      : origin(o), direction(d), tMax(tmax) {}

  KIVMathPointf PointAt(float t) const { return origin + direction * t; }
};
