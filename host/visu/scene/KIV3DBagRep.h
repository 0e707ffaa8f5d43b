#pragma once
// A 3D rep that groups children, optionally placed by a matrix that carries the children's
// frame into the bag's parent's frame.

#include <optional>
#include <unordered_map>
#include <vector>

#include "host/visu/scene/KIV3DRep.h"
#include "host/visu/math/KIV4x4Matrix.h"

class KIV3DBagRep : public KIV3DRep {
  KIV_DECLARE_METAOBJECT(KIV3DBagRep)
 public:
  KIV3DBagRep() { mBoundsDirty = true; }
  ~KIV3DBagRep() override;

  /// Adds a child at the end (a rep may have several parents). Returns 1, or 0 for null,
  /// itself or an ancestor (a cycle).
  virtual int AddChild(KIVRep* child) { return Link(this, child); }
  /// Removes one occurrence of a child; 1 if it was there.
  virtual int RemoveChild(KIVRep* child) { return Unlink(this, child); }
  /// Removes every child as one change, in time linear in their number. Returns how many.
  int RemoveAllChildren() { return UnlinkAll(this); }

  /// Null when the bag has no matrix (the identity).
  const KIV4x4Matrix* GetMatrix() const { return mMatrix ? &*mMatrix : nullptr; }
  /// The matrix's largest stretch (KIV4x4Matrix::GetMaxScale), 1 without a matrix.
  float GetMaxScale() const { return mMaxScale; }
  /// Null removes the matrix.
  void SetMatrix(const KIV4x4Matrix* matrix);
  void SetMatrix(const KIV4x4Matrix& matrix) { SetMatrix(&matrix); }
  /// The inverse of the matrix (the identity without one).
  KIV4x4Matrix GetInvertedMatrix() const;
  /// The placement of what holds rep: the matrices of the bags along its first parents,
  /// up to the top (the identity for a rep without parents).
  static KIV4x4Matrix GetPlacementAbove(const KIVRep* rep);

  /// Deletes the bag and, depth first, every descendant that no other parent keeps. The
  /// bag and the descendants must have been allocated with new.
  void Destroy();
  /// Unlinks every child and destroys those that no other bag holds (bags with their own
  /// subtrees): for bags that own what they hold, from their destructors.
  void DestroyChildren();

  /// A sphere around the children's spheres, carried by the matrix: centred on the box
  /// around them, reaching the farthest. Bags with many children keep a balanced tree of
  /// partial boxes and unions, so that a change of one child costs a walk up that tree
  /// and a search for the farthest that skips the subtrees that cannot be it.
  void ComputeBoundingElement() const override;

 protected:
  void BoundsChanged() override;
  void ChildBoundsChanged(KIVRep* child) override;

 private:
  /// Below this many children a plain pass is as fast as the tree.
  static constexpr size_t kTreeMinimum = 32;
  void RebuildUnionTree() const;
  /// Every leaf of the tree from its child again, the layout kept, and the bound from
  /// them: for when every child changed but the list of children did not. The unions
  /// above the leaves are left stale.
  KIV3DBoundingSphere RefreshLeaves() const;
  /// The unions and boxes above the leaves again, from the leaves.
  void UniteInner() const;
  void SetLeafBox(size_t node) const;
  void Unite(size_t node) const;
  KIV3DBoundingSphere TreeBound(const std::vector<size_t>* changed = nullptr) const;
  std::optional<KIV4x4Matrix> mMatrix;  // in the bag: a bound over many bags reads each
  float mMaxScale = 1.0f;  // the matrix's, found once per matrix rather than per bound
  // The tree of unions: leaves from mLeafBase on, node i uniting 2i and 2i+1.
  mutable std::vector<KIV3DBoundingSphere> mUnions;
  mutable std::vector<double> mBoxes;  // per node: low x, y, z then high x, y, z
  mutable size_t mLeafBase = 0;
  mutable unsigned long mTreeVersion = ~0ul;  // children version the tree was built for
  mutable std::unordered_map<const KIVRep*, std::vector<int>> mSlots;
  mutable std::vector<int> mChildSlots;  // child index -> slot
  mutable std::vector<const KIVRep*> mChangedChildren;
  mutable bool mAllChanged = true;
  mutable bool mInnerStale = false;  // the leaves are newer than the unions above them
  // The farthest reach of the last bound, from which centre and by which leaf node.
  mutable KIVMathPointf mFarCentre;
  mutable double mFarReach = -1.0;
  mutable size_t mFarLeaf = 0;
};
