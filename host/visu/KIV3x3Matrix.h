#pragma once
// A linear map of 3D vectors, row-vector convention like KIV4x4Matrix: the rows are the
// images of the axes and A * B applies A, then B.
#include "host/visu/KIVMathVectorf.h"
class KIV3x3Matrix {
 public:
  /// The identity.
  KIV3x3Matrix() = default;
  KIV3x3Matrix(const KIVMathVectorf& r0, const KIVMathVectorf& r1, const KIVMathVectorf& r2);
  float Get(int row, int column) const { return mM[row][column]; }
  void Set(int row, int column, float value) { mM[row][column] = value; }
  KIV3x3Matrix operator*(const KIV3x3Matrix& m) const;
  KIVMathVectorf Transform(const KIVMathVectorf& v) const;
  float Determinant() const;
  /// The identity, with *ok = 0, for a singular matrix.
  KIV3x3Matrix Inverse(int* ok = nullptr) const;
 private:
  float mM[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};
