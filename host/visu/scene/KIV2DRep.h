#pragma once
// A rep of a 2D scene, with its bounding box in its parent's frame: min and max corners,
// or empty when it has nothing to draw. A leaf's box is set by whoever gives it geometry;
// a bag computes its own from its children when first asked after a change.
#include "host/visu/scene/KIVRep.h"
class KIV2DRep : public KIVRep {
  KIV_DECLARE_METAOBJECT(KIV2DRep)
 public:
  /// The box; 0 (the values untouched) when it is empty.
  int GetBoundingBox(float& xmin, float& ymin, float& xmax, float& ymax) const;
  int IsBoundingBoxEmpty() const;
  /// Replaces the box; the ancestors recompute theirs. A non-finite value or a min above
  /// its max is refused (0).
  int SetBoundingBox(float xmin, float ymin, float xmax, float ymax);
  void SetEmptyBoundingBox();
  /// Recomputes a bag's box from its children now (leaves keep theirs).
  virtual void ComputeBoundingBox() const {}
 protected:
  /// For bags: stores a computed box without telling the ancestors again.
  void StoreBoundingBox(bool has, const float* min, const float* max) const;
  mutable bool mBoxDirty = false;  // only bags become dirty
 private:
  mutable float mMin[2] = {0.0f, 0.0f}, mMax[2] = {0.0f, 0.0f};
  mutable bool mHasBox = false;
};
