#include "host/visu/scene/KIV2DRep.h"

#include <cmath>

KIV_IMPLEMENT_METAOBJECT(KIV2DRep, KIVRep)

int KIV2DRep::GetBoundingBox(float& xmin, float& ymin, float& xmax, float& ymax) const {
  if (mBoxDirty) ComputeBoundingBox();
  if (!mHasBox) return 0;
  xmin = mMin[0], ymin = mMin[1], xmax = mMax[0], ymax = mMax[1];
  return 1;
}

int KIV2DRep::IsBoundingBoxEmpty() const {
  if (mBoxDirty) ComputeBoundingBox();
  return mHasBox ? 0 : 1;
}

int KIV2DRep::SetBoundingBox(float xmin, float ymin, float xmax, float ymax) {
  for (float v : {xmin, ymin, xmax, ymax})
    if (!std::isfinite(v)) return 0;
  if (xmin > xmax || ymin > ymax) return 0;
  const float min[2] = {xmin, ymin}, max[2] = {xmax, ymax};
  StoreBoundingBox(true, min, max);
  Touch();
  BoundsChanged();
  mBoxDirty = false;
  return 1;
}

void KIV2DRep::SetEmptyBoundingBox() {
  StoreBoundingBox(false, nullptr, nullptr);
  Touch();
  BoundsChanged();
  mBoxDirty = false;
}

void KIV2DRep::StoreBoundingBox(bool has, const float* min, const float* max) const {
  mHasBox = has && min && max;
  if (mHasBox) mMin[0] = min[0], mMin[1] = min[1], mMax[0] = max[0], mMax[1] = max[1];
  mBoxDirty = false;
}
