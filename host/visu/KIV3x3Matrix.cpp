#include "host/visu/KIV3x3Matrix.h"

#include <cmath>

KIV3x3Matrix::KIV3x3Matrix(const KIVMathVectorf& r0, const KIVMathVectorf& r1, const KIVMathVectorf& r2) {
  const KIVMathVectorf rows[3] = {r0, r1, r2};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) mM[i][j] = rows[i][j];
}

KIV3x3Matrix KIV3x3Matrix::operator*(const KIV3x3Matrix& m) const {
  KIV3x3Matrix r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.mM[i][j] = mM[i][0] * m.mM[0][j] + mM[i][1] * m.mM[1][j] + mM[i][2] * m.mM[2][j];
  return r;
}

KIVMathVectorf KIV3x3Matrix::Transform(const KIVMathVectorf& v) const {
  return {v.x * mM[0][0] + v.y * mM[1][0] + v.z * mM[2][0], v.x * mM[0][1] + v.y * mM[1][1] + v.z * mM[2][1],
          v.x * mM[0][2] + v.y * mM[1][2] + v.z * mM[2][2]};
}

float KIV3x3Matrix::Determinant() const {
  return mM[0][0] * (mM[1][1] * mM[2][2] - mM[1][2] * mM[2][1]) -
         mM[0][1] * (mM[1][0] * mM[2][2] - mM[1][2] * mM[2][0]) +
         mM[0][2] * (mM[1][0] * mM[2][1] - mM[1][1] * mM[2][0]);
}

KIV3x3Matrix KIV3x3Matrix::Inverse(int* ok) const {
  const float det = Determinant();
  if (ok) *ok = 0;
  if (!std::isfinite(det) || std::fabs(det) < 1e-30f) return KIV3x3Matrix();
  KIV3x3Matrix r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      // Cofactor of (j, i) over the determinant.
      const int a = (i + 1) % 3, b = (i + 2) % 3, c = (j + 1) % 3, d = (j + 2) % 3;
      r.mM[i][j] = (mM[c][a] * mM[d][b] - mM[c][b] * mM[d][a]) / det;
    }
  if (ok) *ok = 1;
  return r;
}
