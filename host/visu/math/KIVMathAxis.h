#pragma once
// An oriented line: a point and a direction.

#include "host/visu/math/KIVMathDirection.h"
#include "host/visu/math/KIVMathPoint.h"

class KIVMathAxis {
 public:
  KIVMathAxis() = default;
  KIVMathAxis(const KIVMathPoint& origin, const KIVMathDirection& direction) : mOrigin(origin), mDirection(direction) {}

  const KIVMathPoint& GetOrigin() const { return mOrigin; }
  const KIVMathDirection& GetDirection() const { return mDirection; }

 private:
  KIVMathPoint mOrigin;
  KIVMathDirection mDirection{0.0, 0.0, 1.0};
};
