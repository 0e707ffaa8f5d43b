#pragma once
// A point in double precision, for geometry that must not drift (rotations about a line).

#include "host/visu/math/KIVMathPointf.h"

class KIVMathPoint {
 public:
  double x = 0.0, y = 0.0, z = 0.0;

  constexpr KIVMathPoint() = default;
  constexpr KIVMathPoint(double ax, double ay, double az) : x(ax), y(ay), z(az) {}
  explicit KIVMathPoint(const KIVMathPointf& p) : x(p.x), y(p.y), z(p.z) {}
  KIVMathPointf ToFloat() const { return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)}; }
  bool operator==(const KIVMathPoint&) const = default;
};
