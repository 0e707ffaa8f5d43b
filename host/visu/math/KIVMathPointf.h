#pragma once
// A point of the 3D space, in single precision. Point − point is a vector; point ± vector
// is a point.

#include "host/visu/math/KIVMathVectorf.h"

class KIVMathPointf {
 public:
  float x = 0.0f, y = 0.0f, z = 0.0f;

  constexpr KIVMathPointf() = default;
  constexpr KIVMathPointf(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
  /// From three consecutive floats; a null array gives the origin.
  explicit KIVMathPointf(const float* xyz) {
    if (xyz) x = xyz[0], y = xyz[1], z = xyz[2];
  }

  float& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
  float operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }

  KIVMathVectorf operator-(const KIVMathPointf& p) const { return {x - p.x, y - p.y, z - p.z}; }
  KIVMathPointf operator+(const KIVMathVectorf& v) const { return {x + v.x, y + v.y, z + v.z}; }
  KIVMathPointf operator-(const KIVMathVectorf& v) const { return {x - v.x, y - v.y, z - v.z}; }
  KIVMathPointf& operator+=(const KIVMathVectorf& v) { return *this = *this + v; }
  KIVMathPointf& operator-=(const KIVMathVectorf& v) { return *this = *this - v; }
  bool operator==(const KIVMathPointf&) const = default;

  /// The vector from the origin to the point.
  KIVMathVectorf AsVector() const { return {x, y, z}; }
  float DistanceTo(const KIVMathPointf& p) const { return (*this - p).Norm(); }
  float SquareDistanceTo(const KIVMathPointf& p) const { return (*this - p).SquareNorm(); }
};
