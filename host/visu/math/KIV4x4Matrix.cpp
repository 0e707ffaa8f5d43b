#include "host/visu/math/KIV4x4Matrix.h"

#include <algorithm>
#include <cmath>

KIV4x4Matrix::KIV4x4Matrix() : mM{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

KIV4x4Matrix::KIV4x4Matrix(const float* values) : KIV4x4Matrix() {
  if (values) std::copy(values, values + 16, mM);
}

KIV4x4Matrix::KIV4x4Matrix(const KIVMathVectorf& d1, const KIVMathVectorf& d2, const KIVMathVectorf& d3,
                           const KIVMathPointf& origin)
    : KIV4x4Matrix() {
  SetComponents(d1, d2, d3, origin);
}

void KIV4x4Matrix::GetComponents(KIVMathVectorf& d1, KIVMathVectorf& d2, KIVMathVectorf& d3,
                                 KIVMathPointf& origin) const {
  d1 = {mM[0], mM[1], mM[2]};
  d2 = {mM[4], mM[5], mM[6]};
  d3 = {mM[8], mM[9], mM[10]};
  origin = {mM[12], mM[13], mM[14]};
}

void KIV4x4Matrix::SetComponents(const KIVMathVectorf& d1, const KIVMathVectorf& d2, const KIVMathVectorf& d3,
                                 const KIVMathPointf& origin) {
  const float values[16] = {d1.x, d1.y, d1.z, 0, d2.x, d2.y, d2.z, 0, d3.x, d3.y, d3.z, 0, origin.x, origin.y, origin.z, 1};
  std::copy(values, values + 16, mM);
}

void KIV4x4Matrix::GetValues(float* values) const {
  if (values) std::copy(mM, mM + 16, values);
}

KIV4x4Matrix KIV4x4Matrix::operator*(const KIV4x4Matrix& m) const {
  KIV4x4Matrix r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double s = 0.0;
      for (int k = 0; k < 4; ++k) s += static_cast<double>(mM[i * 4 + k]) * m.mM[k * 4 + j];
      r.mM[i * 4 + j] = static_cast<float>(s);
    }
  return r;
}

KIVMathVectorf KIV4x4Matrix::TransformVector(const KIVMathVectorf& v) const {
  return {v.x * mM[0] + v.y * mM[4] + v.z * mM[8], v.x * mM[1] + v.y * mM[5] + v.z * mM[9],
          v.x * mM[2] + v.y * mM[6] + v.z * mM[10]};
}

KIV4x4Matrix KIV4x4Matrix::Inverse(int* ok) const {
  // Gauss-Jordan with partial pivoting on the whole 4x4, so that projective matrices
  // set through the value constructor invert too.
  double a[4][8];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      a[i][j] = mM[i * 4 + j];
      a[i][j + 4] = i == j ? 1.0 : 0.0;
    }
  for (int c = 0; c < 4; ++c) {
    int pivot = c;
    for (int r = c + 1; r < 4; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    if (!(std::fabs(a[pivot][c]) > 1e-30)) {
      if (ok) *ok = 0;
      return KIV4x4Matrix();
    }
    if (pivot != c) std::swap(a[pivot], a[c]);
    const double inv = 1.0 / a[c][c];
    for (double& v : a[c]) v *= inv;
    for (int r = 0; r < 4; ++r) {
      if (r == c || a[r][c] == 0.0) continue;
      const double f = a[r][c];
      for (int j = 0; j < 8; ++j) a[r][j] -= f * a[c][j];
    }
  }
  KIV4x4Matrix r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.mM[i * 4 + j] = static_cast<float>(a[i][j + 4]);
  if (ok) *ok = 1;
  return r;
}

float KIV4x4Matrix::GetMaxScale() const {
  // The spectral norm of the linear part: the square root of the largest eigenvalue of
  // the symmetric A·Aᵀ, in closed form (trigonometric solution of its characteristic cubic).
  double a[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      double s = 0.0;
      for (int k = 0; k < 3; ++k) s += static_cast<double>(mM[i * 4 + k]) * mM[j * 4 + k];
      a[i][j] = s;
    }
  const double p1 = a[0][1] * a[0][1] + a[0][2] * a[0][2] + a[1][2] * a[1][2];
  const double q = (a[0][0] + a[1][1] + a[2][2]) / 3.0;
  double largest;
  if (p1 <= 1e-30 * (q * q + 1e-300)) {
    largest = std::max({a[0][0], a[1][1], a[2][2]});
  } else {
    const double p2 = (a[0][0] - q) * (a[0][0] - q) + (a[1][1] - q) * (a[1][1] - q) + (a[2][2] - q) * (a[2][2] - q) + 2.0 * p1;
    const double p = std::sqrt(p2 / 6.0);
    double b[3][3];
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) b[i][j] = (a[i][j] - (i == j ? q : 0.0)) / p;
    const double det = b[0][0] * (b[1][1] * b[2][2] - b[1][2] * b[2][1]) - b[0][1] * (b[1][0] * b[2][2] - b[1][2] * b[2][0]) +
                       b[0][2] * (b[1][0] * b[2][1] - b[1][1] * b[2][0]);
    const double r = std::clamp(det / 2.0, -1.0, 1.0);
    largest = q + 2.0 * p * std::cos(std::acos(r) / 3.0);
  }
  // A hair of margin so that a sphere carried by the matrix never loses a point to rounding.
  return static_cast<float>(std::sqrt(std::max(largest, 0.0)) * (1.0 + 1e-6));
}

int KIV4x4Matrix::IsIdentity() const { return *this == KIV4x4Matrix() ? 1 : 0; }
