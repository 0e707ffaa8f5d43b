#pragma once
// A unit vector: every constructor and setter normalises. The zero vector is kept as the
// null direction (IsNull), which callers test before dividing by it.

#include "host/visu/math/KIVMathVectorf.h"

class KIVMathDirectionf : public KIVMathVectorf {
 public:
  constexpr KIVMathDirectionf() = default;
  KIVMathDirectionf(float ax, float ay, float az) : KIVMathVectorf(ax, ay, az) { Normalize(); }
  KIVMathDirectionf(const KIVMathVectorf& v) : KIVMathVectorf(v) { Normalize(); }  // NOLINT: a vector becomes its direction
  explicit KIVMathDirectionf(const float* xyz) : KIVMathVectorf(xyz) { Normalize(); }

  KIVMathDirectionf& operator=(const KIVMathVectorf& v) {
    KIVMathVectorf::operator=(v);
    Normalize();
    return *this;
  }
  KIVMathDirectionf operator-() const { return KIVMathDirectionf(-x, -y, -z); }
};
