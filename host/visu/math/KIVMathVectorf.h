#pragma once
// A free vector of the 3D space, in single precision.

#include <cmath>

class KIVMathVectorf {
 public:
  float x = 0.0f, y = 0.0f, z = 0.0f;

  constexpr KIVMathVectorf() = default;
  constexpr KIVMathVectorf(float ax, float ay, float az) : x(ax), y(ay), z(az) {}
  /// From three consecutive floats; a null array gives the zero vector.
  explicit KIVMathVectorf(const float* xyz) {
    if (xyz) x = xyz[0], y = xyz[1], z = xyz[2];
  }

  float& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
  float operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }

  KIVMathVectorf operator+(const KIVMathVectorf& v) const { return {x + v.x, y + v.y, z + v.z}; }
  KIVMathVectorf operator-(const KIVMathVectorf& v) const { return {x - v.x, y - v.y, z - v.z}; }
  KIVMathVectorf operator-() const { return {-x, -y, -z}; }
  KIVMathVectorf operator*(float k) const { return {x * k, y * k, z * k}; }
  KIVMathVectorf operator/(float k) const { return {x / k, y / k, z / k}; }
  KIVMathVectorf& operator+=(const KIVMathVectorf& v) { return *this = *this + v; }
  KIVMathVectorf& operator-=(const KIVMathVectorf& v) { return *this = *this - v; }
  KIVMathVectorf& operator*=(float k) { return *this = *this * k; }
  /// Cross product.
  KIVMathVectorf operator^(const KIVMathVectorf& v) const {
    return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
  }
  /// Dot product.
  float operator*(const KIVMathVectorf& v) const { return x * v.x + y * v.y + z * v.z; }
  bool operator==(const KIVMathVectorf&) const = default;

  float SquareNorm() const { return x * x + y * y + z * z; }
  float Norm() const { return std::sqrt(SquareNorm()); }
  /// Makes the vector unit; a zero vector stays zero. Returns its former norm.
  float Normalize() {
    const float n = Norm();
    if (n > 0.0f) x /= n, y /= n, z /= n;
    return n;
  }
  bool IsNull() const { return x == 0.0f && y == 0.0f && z == 0.0f; }
};

inline KIVMathVectorf operator*(float k, const KIVMathVectorf& v) { return v * k; }
