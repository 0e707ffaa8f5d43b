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

namespace {
KIV3DBoundingSphere ChildSphere(const KIVRep* child) {
  if (child->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Hidden)) return {};
  if (auto* c3 = dynamic_cast<const KIV3DRep*>(child)) return c3->GetBoundingElement();
  return {};
}
}  // namespace

void KIV3DBagRep::ComputeBoundingElement() const {
  const std::vector<KIVRep*>& children = GetChildren();
  KIV3DBoundingSphere sphere;
  if (children.size() < kTreeMinimum) {
    for (const KIVRep* child : children) sphere += ChildSphere(child);
  } else {
    if (mAllChanged || mTreeVersion != GetChildrenVersion()) {
      RebuildUnionTree();
    } else {
      for (const KIVRep* child : mChangedChildren) {
        auto it = mSlots.find(child);
        if (it == mSlots.end()) continue;
        for (int slot : it->second) {
          size_t node = mLeafBase + slot;
          mUnions[node] = ChildSphere(child);
          for (node /= 2; node >= 1; node /= 2) {
            mUnions[node] = mUnions[2 * node];
            mUnions[node] += mUnions[2 * node + 1];
          }
        }
      }
    }
    sphere = mUnions[1];
  }
  mChangedChildren.clear();
  mAllChanged = false;
  if (mMatrix) sphere *= *mMatrix;
  mBounds = sphere;
  mBoundsDirty = false;
}

void KIV3DBagRep::RebuildUnionTree() const {
  const std::vector<KIVRep*>& children = GetChildren();
  mLeafBase = 1;
  while (mLeafBase < children.size()) mLeafBase *= 2;
  mUnions.assign(2 * mLeafBase, KIV3DBoundingSphere());
  mSlots.clear();
  for (size_t i = 0; i < children.size(); ++i) {
    mUnions[mLeafBase + i] = ChildSphere(children[i]);
    mSlots[children[i]].push_back(static_cast<int>(i));
  }
  for (size_t node = mLeafBase - 1; node >= 1; --node) {
    mUnions[node] = mUnions[2 * node];
    mUnions[node] += mUnions[2 * node + 1];
  }
  mTreeVersion = GetChildrenVersion();
}

void KIV3DBagRep::ChildBoundsChanged(KIVRep* child) {
  // Past a quarter of the children, rebuilding beats walking up for each.
  if (!mAllChanged) {
    if (mChangedChildren.size() * 4 > GetChildren().size())
      mAllChanged = true;
    else
      mChangedChildren.push_back(child);
  }
  BoundsChanged();
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
