#include "host/visu/math/KIV3x3Matrix.h"

#include <cmath>

namespace {
bool InRange(int row, int column) { return row >= 0 && row < 3 && column >= 0 && column < 3; }
}  // namespace

KIV3x3Matrix::KIV3x3Matrix(const KIVMathVectorf& r0, const KIVMathVectorf& r1, const KIVMathVectorf& r2) {
  const KIVMathVectorf rows[3] = {r0, r1, r2};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) mM[i][j] = rows[i][j];
}

float KIV3x3Matrix::Get(int row, int column) const { return InRange(row, column) ? mM[row][column] : 0.0f; }

int KIV3x3Matrix::Set(int row, int column, float value) {
  if (!InRange(row, column)) return 0;
  mM[row][column] = value;
  return 1;
}

KIVMathVectorf KIV3x3Matrix::GetRow(int row) const {
  if (row < 0 || row > 2) return {};
  return {mM[row][0], mM[row][1], mM[row][2]};
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
  if (ok) *ok = 0;
  double m[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m[i][j] = mM[i][j];
  const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                     m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                     m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  // Measured against the product of the row lengths (its bound), so that the test does not
  // depend on the matrix's scale: a tiny uniform scale is invertible, flattened rows are not.
  double scale = 1.0;
  for (const auto& row : m) scale *= std::sqrt(row[0] * row[0] + row[1] * row[1] + row[2] * row[2]);
  if (!std::isfinite(det) || !std::isfinite(scale) || std::fabs(det) <= 1e-7 * scale) return KIV3x3Matrix();
  KIV3x3Matrix r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      // Cofactor of (j, i) over the determinant.
      const int a = (i + 1) % 3, b = (i + 2) % 3, c = (j + 1) % 3, d = (j + 2) % 3;
      const double v = (m[c][a] * m[d][b] - m[c][b] * m[d][a]) / det;
      if (!std::isfinite(static_cast<float>(v))) return KIV3x3Matrix();
      r.mM[i][j] = static_cast<float>(v);
    }
  if (ok) *ok = 1;
  return r;
}

KIV4x4Matrix KIV3x3Matrix::To4x4Matrix() const { return KIV4x4Matrix(GetRow(0), GetRow(1), GetRow(2), KIVMathPointf()); }

int KIV3x3Matrix::IsIdentity() const { return *this == KIV3x3Matrix(); }
