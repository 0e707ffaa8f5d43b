#include "host/visu/KIV3DBagRep.h"

#include <vector>

#include "host/visu/KIVSceneChangeLog.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DBagRep, KIV3DRep)

KIV3DBagRep::~KIV3DBagRep() = default;

void KIV3DBagRep::SetMatrix(const KIV4x4Matrix* matrix) {
  if (matrix)
    mMatrix = std::make_unique<KIV4x4Matrix>(*matrix);
  else
    mMatrix.reset();
  Touch();
  KIVSceneChangeLog::Record(this, KIVSceneChangeLog::Matrix);
  BoundsChanged();
}

KIV4x4Matrix KIV3DBagRep::GetInvertedMatrix() const { return mMatrix ? mMatrix->Inverse() : KIV4x4Matrix(); }

void KIV3DBagRep::ComputeBoundingElement() const {
  KIV3DBoundingSphere sphere;
  for (const KIVRep* child : GetChildren()) {
    if (child->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Hidden)) continue;
    if (child->IsAKindOf(KIV3DRep::ClassName())) sphere += static_cast<const KIV3DRep*>(child)->GetBoundingElement();
  }
  if (mMatrix) sphere *= *mMatrix;
  mBounds = sphere;
  mBoundsDirty = false;
}

void KIV3DBagRep::BoundsChanged() {
  // Already dirty: the ancestors were told when it became so.
  if (mBoundsDirty) return;
  mBoundsDirty = true;
  KIVRep::BoundsChanged();
}

void KIV3DBagRep::Destroy() {
  std::vector<KIVRep*> children = GetChildren();
  for (KIVRep* child : children) {
    Unlink(this, child);
    if (!child->GetParents().empty()) continue;
    if (child->IsAKindOf(KIV3DBagRep::ClassName()))
      static_cast<KIV3DBagRep*>(child)->Destroy();
    else
      delete child;
  }
  delete this;
}
