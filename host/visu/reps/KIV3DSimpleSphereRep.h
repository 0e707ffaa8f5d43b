#pragma once
// A shaded sphere made of triangle strips: n + 1 meridians ("rings", the last one closing
// on the first) of n + 1 points from pole to pole, and one strip between each pair of
// neighbouring rings. Its bounding sphere is the exact sphere, not the one derived from
// the vertices.
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/math/KIVMathPointf.h"
class KIV3DFaceGP;
class KIVRender;
class KIV3DSimpleSphereRep : public KIV3DCustomRep {
  KIV_DECLARE_METAOBJECT(KIV3DSimpleSphereRep)
 public:
  /// Subdivisions beyond this are refused (no faces are built), so that the vertex count
  /// stays within memory.
  static constexpr int kMaxSubdivisions = 2048;
  /// n below 1 or above kMaxSubdivisions builds no faces (the sphere still bounds the rep).
  KIV3DSimpleSphereRep(const KIVMathPointf& centre, float radius, int n);
  ~KIV3DSimpleSphereRep() override;
  /// Rebuilds the faces, about the stored centre or a new one.
  void Modify(float radius);
  void Modify(const KIVMathPointf& centre, float radius);
  const KIVMathPointf& GetCenter() const { return mCentre; }
  float GetRadius() const { return mRadius; }
  int GetSubdivisions() const { return mSubdivisions; }
  /// The face primitive (null when none could be built); the rep owns it.
  KIV3DFaceGP* GetFace() const { return mFace; }
  /// Hides (bit 1 of s set) or shows the sphere, and has every parent recompute its
  /// sphere at once. (KIVRep's operation is not virtual: call it on the sphere itself.)
  void SetShowMode(int s);
  using KIV3DCustomRep::SetShowMode;
  /// Draws the faces when the render's culling test passes and it draws shaded.
  void DrawShading(KIVRender& render, int mode) override;

 private:
  void BuildFaces(const KIVMathPointf& centre, float radius, int n);
  void DropFace();
  KIVMathPointf mCentre;
  float mRadius = 0.0f;
  int mSubdivisions = 0;
  KIV3DFaceGP* mFace = nullptr;
};
