#pragma once
// A rigid motion in double precision: a rotation followed by a translation. Built from a
// line and an angle, it turns space about that line (right-handed about its direction).

#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/math/KIVMathAxis.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/math/KIVMathVectorf.h"

class KIVMathTransformation {
 public:
  /// The identity.
  KIVMathTransformation();
  /// The rotation of `angle` radians about the line; a null direction gives the identity.
  KIVMathTransformation(const KIVMathAxis& line, double angle);
  /// The translation by v.
  explicit KIVMathTransformation(const KIVMathVectorf& v);

  KIVMathPoint Apply(const KIVMathPoint& p) const;
  KIVMathPointf Apply(const KIVMathPointf& p) const { return Apply(KIVMathPoint(p)).ToFloat(); }
  /// Rotation only: vectors and directions do not move with the translation.
  KIVMathVectorf Apply(const KIVMathVectorf& v) const;
  /// This motion followed by t.
  KIVMathTransformation operator*(const KIVMathTransformation& t) const;
  KIVMathTransformation Inverse() const;
  /// The same motion as a placement matrix of the scene tree.
  KIV4x4Matrix GetMatrix() const;

 private:
  double mR[3][3];  // p' = R·p + T, R orthonormal
  double mT[3];
};
