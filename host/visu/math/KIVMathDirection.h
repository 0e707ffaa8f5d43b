#pragma once
// A unit vector in double precision; the zero vector stays null (IsNull).

#include <cmath>

#include "host/visu/math/KIVMathVectorf.h"

class KIVMathDirection {
 public:
  double x = 0.0, y = 0.0, z = 0.0;

  constexpr KIVMathDirection() = default;
  KIVMathDirection(double ax, double ay, double az) : x(ax), y(ay), z(az) { Normalize(); }
  explicit KIVMathDirection(const KIVMathVectorf& v) : KIVMathDirection(v.x, v.y, v.z) {}

  bool IsNull() const { return x == 0.0 && y == 0.0 && z == 0.0; }
  KIVMathVectorf ToFloat() const { return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)}; }

 private:
  void Normalize() {
    const double n = std::sqrt(x * x + y * y + z * z);
    if (n > 0.0 && std::isfinite(n)) {
      x /= n, y /= n, z /= n;
    } else {
      x = y = z = 0.0;
    }
  }
};
