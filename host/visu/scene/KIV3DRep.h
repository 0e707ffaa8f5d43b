#pragma once
// A rep of the 3D scene, with its bounding sphere. A leaf's sphere is set by whoever gives
// it geometry; a bag computes its own from its children when first asked after a change.

#include "host/visu/scene/KIV3DBoundingSphere.h"
#include "host/visu/scene/KIVRep.h"

class KIVRender;

class KIV3DRep : public KIVRep {
  KIV_DECLARE_METAOBJECT(KIV3DRep)
 public:
  /// A rep whose parents are still to hear of its change tells them first.
  ~KIV3DRep() override;
  /// The sphere in the frame of the rep's parent; empty for a rep without geometry.
  const KIV3DBoundingSphere& GetBoundingElement() const {
    if (!sUntold.empty()) TellUntold();
    if (mBoundsDirty) ComputeBoundingElement();
    return mBounds;
  }
  /// Replaces the sphere; the ancestors recompute theirs.
  void SetBoundingElement(const KIV3DBoundingSphere& sphere);
  /// Grows the sphere to enclose another one as well.
  void AddBoundingElement(const KIV3DBoundingSphere& sphere);
  /// Recomputes a bag's sphere from its children now (leaves keep theirs).
  virtual void ComputeBoundingElement() const {}
  const KIV3DRep* As3DRep() const override { return this; }
  /// Draws the rep (and, for a bag, its subtree) with the render; `mode` is the render's
  /// view mode bits. The render's traversal calls it for every 3D rep it reaches; by
  /// default the render's own handling applies (KIVRender::DrawDefault). Reps with a
  /// drawing of their own override it.
  virtual void DrawShading(KIVRender& render, int mode);

 protected:
  void BoundsChanged() override;
  /// The rep's bounds went stale: its ancestors hear of it before any bound is next read.
  /// When every leaf of a large scene changes, telling them all in one pass, with the
  /// next ones fetched ahead, costs a fraction of telling each on its own.
  void BoundsChangedLater();
  mutable KIV3DBoundingSphere mBounds;
  mutable bool mBoundsDirty = false;  // bags, and leaves whose geometry changed
  bool mUntold = false;               // waits in sUntold

 private:
  static void TellUntold();
  static inline std::vector<KIV3DRep*> sUntold;
};
