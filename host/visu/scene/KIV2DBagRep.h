#pragma once
// A 2D rep that groups children, optionally placed by an affine map of the plane that
// carries the children's frame into the bag's parent's frame: a KIV3x3Matrix applied to
// (x, y, 1), its third row the translation.
#include <memory>
#include "host/visu/scene/KIV2DRep.h"
#include "host/visu/math/KIV3x3Matrix.h"
class KIV2DBagRep : public KIV2DRep {
  KIV_DECLARE_METAOBJECT(KIV2DBagRep)
 public:
  KIV2DBagRep() { mBoxDirty = true; }
  ~KIV2DBagRep() override;
  /// Adds a child at the end (a rep may have several parents). Returns 1, or 0 for null,
  /// itself or an ancestor (a cycle).
  virtual int AddChild(KIVRep* child) { return Link(this, child); }
  /// Removes one occurrence of a child; 1 if it was there.
  virtual int RemoveChild(KIVRep* child) { return Unlink(this, child); }
  /// Null when the bag has no matrix (the identity).
  const KIV3x3Matrix* GetMatrix() const { return mMatrix.get(); }
  /// Null removes the matrix. A matrix whose third column is not (0, 0, 1) (not affine)
  /// or that holds a non-finite value is refused (0).
  int SetMatrix(const KIV3x3Matrix* matrix);
  int SetMatrix(const KIV3x3Matrix& matrix) { return SetMatrix(&matrix); }
  /// The union of the shown 2D children's boxes, carried by the matrix.
  void ComputeBoundingBox() const override;
 protected:
  void BoundsChanged() override;
 private:
  std::unique_ptr<KIV3x3Matrix> mMatrix;
};
