#pragma once
// A leaf of the 3D scene made of graphic primitives, which it owns. Primitives sit in
// levels of detail: level 0 is the full geometry (bounds and picking use it), higher
// levels are coarser, each with the sag (largest chordal deviation, model units) that a
// render weighs against its precision. The bounding sphere follows level 0: when primitives
// come or go, or GeometryModified says one changed, it is marked stale and recomputed when
// next asked for.
#include <vector>
#include "host/visu/scene/KIV3DRep.h"
#include "host/visu/scene/KIVGraphicPrimitive.h"
#include "host/visu/math/KIVMathPointf.h"
class KIV3DCustomRep : public KIV3DRep {
  KIV_DECLARE_METAOBJECT(KIV3DCustomRep)
 public:
  KIV3DCustomRep();
  /// Destroys the primitives.
  ~KIV3DCustomRep() override;
  /// Takes ownership of a primitive made with new, at the end of a level (levels in
  /// between are created empty). Null, a negative level or a primitive already held are
  /// refused (0).
  int AddGP(KIVGraphicPrimitive* gp, int level = 0);
  /// Gives a primitive back to the caller, who then owns it; 1 if it was held.
  int RemoveGP(KIVGraphicPrimitive* gp);
  /// Destroys every primitive of every level.
  void ClearGPs();
  int GetLODCount() const { return static_cast<int>(mLevels.size()); }
  int GetGPCount(int level = 0) const;
  KIVGraphicPrimitive* GetGP(int index, int level = 0) const;
  /// The sag of a level (0 for level 0 unless set); levels without one are never chosen
  /// over a finer level.
  int SetLODSag(int level, float sag);
  const std::vector<float>& GetLODSags() const { return mSags; }
  /// Says that a held primitive's geometry changed: the sphere and box go stale (recomputed
  /// when next asked for) and the pick caches drop what they built from it. Cheap on a rep
  /// already stale: its parents were told then. Held primitives call it by themselves.
  void GeometryModified();
  /// The box of level 0 in the rep's frame; 0 when there is no geometry.
  int GetLocalBox(KIVMathPointf& min, KIVMathPointf& max) const;
  /// Level 0's triangles for picking (see KIVGraphicPrimitive::GetPickTriangles).
  int GetPickTriangles(std::vector<float>& vertices, std::vector<int>& indices) const;
  int GetTriangleCount(int level = 0) const;
  /// A small number that no other live custom rep has, for caches keyed by geometry.
  int GetGeometryId() const { return mGeometryId; }
  /// Unique over the process for this rep's current geometry: a new value on every change
  /// and for every new rep, so a cache can tell a reused id from the geometry it built.
  unsigned long long GetGeometryStamp() const { return mStamp; }
  /// The sphere from level 0's points when the geometry changed since the last look.
  void ComputeBoundingElement() const override;

 private:
  /// Box and, unless someone set a sphere since the change, sphere from level 0's points.
  void Recompute() const;
  /// A held primitive changed: level 0 shapes bounds and picking, coarser levels only the
  /// picture.
  void PrimitiveChanged(KIVGraphicPrimitive& primitive);
  struct Watch : KIVGraphicPrimitive::Holder {
    explicit Watch(KIV3DCustomRep& r) : rep(r) {}
    void PrimitiveChanged(KIVGraphicPrimitive& primitive) override { rep.PrimitiveChanged(primitive); }
    KIV3DCustomRep& rep;
  };
  // What a change writes first, beside the bounds' own flag: marking every leaf of a
  // large scene then touches few cache lines of each.
  mutable bool mGeometryDirty = false;  // box (and sphere) not computed since the last change
  int mGeometryId;
  unsigned long long mStamp = 0;
  Watch mWatch{*this};
  std::vector<std::vector<KIVGraphicPrimitive*>> mLevels;
  std::vector<float> mSags;
  mutable KIVMathPointf mMin, mMax;
  mutable int mHasBox = 0;
};
