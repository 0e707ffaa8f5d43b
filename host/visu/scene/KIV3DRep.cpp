#include "host/visu/scene/KIV3DRep.h"

#include "host/visu/view/KIVRender.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DRep, KIVRep)

const KIV3DBoundingSphere& KIV3DRep::GetBoundingElement() const {
  if (mBoundsDirty) ComputeBoundingElement();
  return mBounds;
}

void KIV3DRep::SetBoundingElement(const KIV3DBoundingSphere& sphere) {
  mBounds = sphere;
  mBoundsDirty = false;
  Touch();
  KIVRep::BoundsChanged();
}

void KIV3DRep::AddBoundingElement(const KIV3DBoundingSphere& sphere) {
  KIV3DBoundingSphere grown = GetBoundingElement();
  grown += sphere;
  SetBoundingElement(grown);
}

void KIV3DRep::BoundsChanged() { KIVRep::BoundsChanged(); }

void KIV3DRep::DrawShading(KIVRender& render, int mode) { render.DrawDefault(*this, mode); }
