#pragma once
// An affine placement in single precision, in the row-vector convention of the scene
// tree: a point p is carried to x·d1 + y·d2 + z·d3 + origin, and A * B applies A first,
// then B, so a leaf's matrix times its parents' gives the leaf's world placement.

#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/math/KIVMathVectorf.h"

class KIV4x4Matrix {
 public:
  /// The identity.
  KIV4x4Matrix();
  /// Sixteen values row by row, the last column being (0, 0, 0, 1) for an affine placement;
  /// a null array gives the identity.
  explicit KIV4x4Matrix(const float* values);
  KIV4x4Matrix(const KIVMathVectorf& d1, const KIVMathVectorf& d2, const KIVMathVectorf& d3,
               const KIVMathPointf& origin);

  /// The images of the three axes and of the origin.
  void GetComponents(KIVMathVectorf& d1, KIVMathVectorf& d2, KIVMathVectorf& d3, KIVMathPointf& origin) const;
  void SetComponents(const KIVMathVectorf& d1, const KIVMathVectorf& d2, const KIVMathVectorf& d3,
                     const KIVMathPointf& origin);
  /// Row by row, 16 floats.
  void GetValues(float* values) const;
  float Get(int row, int column) const { return mM[row * 4 + column]; }
  void Set(int row, int column, float value) { mM[row * 4 + column] = value; }

  /// This placement followed by m.
  KIV4x4Matrix operator*(const KIV4x4Matrix& m) const;
  KIV4x4Matrix& operator*=(const KIV4x4Matrix& m) { return *this = *this * m; }
  bool operator==(const KIV4x4Matrix&) const = default;

  KIVMathPointf TransformPoint(const KIVMathPointf& p) const {
    return {p.x * mM[0] + p.y * mM[4] + p.z * mM[8] + mM[12], p.x * mM[1] + p.y * mM[5] + p.z * mM[9] + mM[13],
            p.x * mM[2] + p.y * mM[6] + p.z * mM[10] + mM[14]};
  }
  /// The linear part only: directions and differences of points.
  KIVMathVectorf TransformVector(const KIVMathVectorf& v) const;
  /// The inverse placement, computed in double; a singular matrix gives the identity and
  /// ok = 0.
  KIV4x4Matrix Inverse(int* ok = nullptr) const;
  /// The largest factor by which the placement stretches a length.
  float GetMaxScale() const;
  int IsIdentity() const;

 private:
  float mM[16];
};
