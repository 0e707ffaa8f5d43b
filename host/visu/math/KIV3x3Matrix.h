#pragma once
// A linear map of 3D vectors, row-vector convention like KIV4x4Matrix: the rows are the
// images of the axes and A * B applies A, then B. It also serves as an affine placement
// of the plane in homogeneous form: (x, y, 1) times the matrix, the third row holding the
// translation and the third column (0, 0, 1).
#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/math/KIVMathVectorf.h"
class KIV3x3Matrix {
 public:
  /// The identity.
  KIV3x3Matrix() = default;
  /// The images of the three axes.
  KIV3x3Matrix(const KIVMathVectorf& r0, const KIVMathVectorf& r1, const KIVMathVectorf& r2);
  /// 0 for a row or column outside 0 to 2.
  float Get(int row, int column) const;
  /// Refused (0) for a row or column outside 0 to 2.
  int Set(int row, int column, float value);
  KIVMathVectorf GetRow(int row) const;
  /// This map followed by m.
  KIV3x3Matrix operator*(const KIV3x3Matrix& m) const;
  bool operator==(const KIV3x3Matrix&) const = default;
  /// v as a row vector times the matrix.
  KIVMathVectorf Transform(const KIVMathVectorf& v) const;
  float Determinant() const;
  /// Computed in double. A singular (or nearly so for single precision) matrix gives the
  /// identity and *ok = 0.
  KIV3x3Matrix Inverse(int* ok = nullptr) const;
  /// The same linear map as a placement with no translation.
  KIV4x4Matrix To4x4Matrix() const;
  int IsIdentity() const;
 private:
  float mM[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};
