#include "host/visu/math/KIVMathTransformation.h"

#include <cmath>

KIVMathTransformation::KIVMathTransformation() : mR{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, mT{0, 0, 0} {}

KIVMathTransformation::KIVMathTransformation(const KIVMathVectorf& v) : KIVMathTransformation() {
  mT[0] = v.x, mT[1] = v.y, mT[2] = v.z;
}

KIVMathTransformation::KIVMathTransformation(const KIVMathAxis& line, double angle) : KIVMathTransformation() {
  const KIVMathDirection& u = line.GetDirection();
  if (u.IsNull() || !std::isfinite(angle)) return;
  // Rodrigues: R = cos·I + sin·[u]x + (1 − cos)·u·uᵀ.
  const double c = std::cos(angle), s = std::sin(angle), k = 1.0 - c;
  const double ux = u.x, uy = u.y, uz = u.z;
  const double r[3][3] = {{c + k * ux * ux, k * ux * uy - s * uz, k * ux * uz + s * uy},
                          {k * uy * ux + s * uz, c + k * uy * uy, k * uy * uz - s * ux},
                          {k * uz * ux - s * uy, k * uz * uy + s * ux, c + k * uz * uz}};
  const KIVMathPoint& o = line.GetOrigin();
  const double op[3] = {o.x, o.y, o.z};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) mR[i][j] = r[i][j];
    // The line's points stay put: T = O − R·O.
    mT[i] = op[i] - (r[i][0] * op[0] + r[i][1] * op[1] + r[i][2] * op[2]);
  }
}

KIVMathPoint KIVMathTransformation::Apply(const KIVMathPoint& p) const {
  return {mR[0][0] * p.x + mR[0][1] * p.y + mR[0][2] * p.z + mT[0], mR[1][0] * p.x + mR[1][1] * p.y + mR[1][2] * p.z + mT[1],
          mR[2][0] * p.x + mR[2][1] * p.y + mR[2][2] * p.z + mT[2]};
}

KIVMathVectorf KIVMathTransformation::Apply(const KIVMathVectorf& v) const {
  const double x = v.x, y = v.y, z = v.z;
  return {static_cast<float>(mR[0][0] * x + mR[0][1] * y + mR[0][2] * z),
          static_cast<float>(mR[1][0] * x + mR[1][1] * y + mR[1][2] * z),
          static_cast<float>(mR[2][0] * x + mR[2][1] * y + mR[2][2] * z)};
}

KIVMathTransformation KIVMathTransformation::operator*(const KIVMathTransformation& t) const {
  // (t ∘ this)(p) = Rt·(R·p + T) + Tt.
  KIVMathTransformation r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j)
      r.mR[i][j] = t.mR[i][0] * mR[0][j] + t.mR[i][1] * mR[1][j] + t.mR[i][2] * mR[2][j];
    r.mT[i] = t.mR[i][0] * mT[0] + t.mR[i][1] * mT[1] + t.mR[i][2] * mT[2] + t.mT[i];
  }
  return r;
}

KIVMathTransformation KIVMathTransformation::Inverse() const {
  KIVMathTransformation r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.mR[i][j] = mR[j][i];
  for (int i = 0; i < 3; ++i) r.mT[i] = -(r.mR[i][0] * mT[0] + r.mR[i][1] * mT[1] + r.mR[i][2] * mT[2]);
  return r;
}

KIV4x4Matrix KIVMathTransformation::GetMatrix() const {
  // Row-vector placement: the image of each axis is a column of R.
  auto f = [](double v) { return static_cast<float>(v); };
  return KIV4x4Matrix({f(mR[0][0]), f(mR[1][0]), f(mR[2][0])}, {f(mR[0][1]), f(mR[1][1]), f(mR[2][1])},
                      {f(mR[0][2]), f(mR[1][2]), f(mR[2][2])}, {f(mT[0]), f(mT[1]), f(mT[2])});
}
