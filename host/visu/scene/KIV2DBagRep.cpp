#include "host/visu/scene/KIV2DBagRep.h"

#include <algorithm>
#include <cmath>

KIV_IMPLEMENT_METAOBJECT(KIV2DBagRep, KIV2DRep)

KIV2DBagRep::~KIV2DBagRep() = default;

int KIV2DBagRep::SetMatrix(const KIV3x3Matrix* matrix) {
  if (matrix) {
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j)
        if (!std::isfinite(matrix->Get(i, j))) return 0;
    if (matrix->Get(0, 2) != 0.0f || matrix->Get(1, 2) != 0.0f || matrix->Get(2, 2) != 1.0f) return 0;
    mMatrix = std::make_unique<KIV3x3Matrix>(*matrix);
  } else {
    mMatrix.reset();
  }
  Touch();
  BoundsChanged();
  return 1;
}

void KIV2DBagRep::ComputeBoundingBox() const {
  bool has = false;
  float lo[2] = {0, 0}, hi[2] = {0, 0};
  const auto grow = [&](float x, float y) {
    if (!has) {
      lo[0] = hi[0] = x, lo[1] = hi[1] = y;
      has = true;
      return;
    }
    lo[0] = std::min(lo[0], x), hi[0] = std::max(hi[0], x);
    lo[1] = std::min(lo[1], y), hi[1] = std::max(hi[1], y);
  };
  for (const KIVRep* child : GetChildren()) {
    if (child->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Hidden)) continue;
    const auto* c2 = dynamic_cast<const KIV2DRep*>(child);
    float x0, y0, x1, y1;
    if (!c2 || !c2->GetBoundingBox(x0, y0, x1, y1)) continue;
    if (!mMatrix) {
      grow(x0, y0);
      grow(x1, y1);
      continue;
    }
    // An affine map sends the box to a parallelogram: its corners bound it.
    for (float x : {x0, x1})
      for (float y : {y0, y1}) {
        const KIVMathVectorf p = mMatrix->Transform(KIVMathVectorf(x, y, 1.0f));
        grow(p.x, p.y);
      }
  }
  StoreBoundingBox(has, lo, hi);
}

void KIV2DBagRep::BoundsChanged() {
  // Told every time, dirty or not: a child skipped while hidden may be stale and still
  // become visible, and its ancestors must hear of it then.
  mBoxDirty = true;
  KIVRep::BoundsChanged();
}
