#pragma once
// A cylinder: a base point, an axis whose length is the height, a radius, optional caps at
// either end, and the number of segments around it at each level of detail (finest
// first). It is drawn from its tessellation: the side wall as one triangle strip, each cap
// as a fan, wound so that every triangle faces out. Picking and the triangle count use the
// finest level; bounds are those of the true cylinder, which every level lies within.
#include <vector>
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIVGraphicPrimitive.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/math/KIVMathVectorf.h"
class KIV3DCylinderGP : public KIVGraphicPrimitive {
 public:
  enum Caps { NoCaps = 0, BaseCap = 1, TopCap = 2, BothCaps = 3 };
  static constexpr int kMinSegments = 3;
  static constexpr int kMaxSegments = 4096;
  /// A unit cylinder up the z axis from the origin, capped, with 24, 12 and 6 segments.
  KIV3DCylinderGP();
  /// What SetCylinder refuses leaves the unit cylinder.
  KIV3DCylinderGP(const KIVMathPointf& base, const KIVMathVectorf& axis, float radius, int caps = BothCaps);
  /// A null or non-finite axis, a radius that is not positive and finite, or a non-finite
  /// base is refused (0).
  int SetCylinder(const KIVMathPointf& base, const KIVMathVectorf& axis, float radius);
  const KIVMathPointf& GetBase() const { return mBase; }
  const KIVMathVectorf& GetAxis() const { return mAxis; }
  float GetRadius() const { return mRadius; }
  float GetHeight() const { return mAxis.Norm(); }
  /// A combination of Caps; other bits are refused (0).
  int SetCaps(int caps);
  int GetCaps() const { return mCaps; }
  /// The segments of each of `count` levels, finest first: each from kMinSegments to
  /// kMaxSegments and none finer than the level before. Anything else is refused (0).
  int SetLODSegments(const int* segments, int count);
  int GetLODCount() const { return static_cast<int>(mSegments.size()); }
  /// 0 for a level out of range.
  int GetSegments(int level) const;
  /// The sag of each level (model units, finest first): how far its chords stray from the
  /// true circle, for KIVRender::Get3DLODNumber.
  const std::vector<float>& GetLODSags() const { return mSags; }
  /// Triangles of a level; 0 for a level out of range.
  int GetTriangleCount(int level) const;
  int GetTriangleCount() const override { return GetTriangleCount(0); }
  /// Fills a face with a level's tessellation (vertices with normals, the wall strip, the
  /// cap fans), replacing what it held. 0 for a level out of range (the face untouched).
  int Tessellate(int level, KIV3DFaceGP& face) const;
  /// The finest tessellation in KIV3DFaceGP::Get's shape (no separate triangles). The
  /// arrays stay valid until the cylinder next changes.
  void Get(const float*& vertices, int& vertexFloats, const float*& normals, const int*& triangles,
           int& triangleCount, const int*& strips, const int*& stripCounts, int& stripNumber,
           const int*& fans, const int*& fanCounts, int& fanNumber) const;
  /// Hands over level 0. The level drawn is the render's choice: the traversal's levels
  /// belong to the rep, so a back end that wants a coarser cylinder picks it in
  /// Draw3DCylinder, e.g. with Get3DLODNumber over GetLODSags.
  void Draw(KIVRender& render) override;
  int GetPickTriangles(std::vector<float>& vertices, std::vector<int>& indices) const override;
  /// Points on both rims at their extremes along x, y and z: their box is the cylinder's.
  void GetBoundingPoints(std::vector<float>& points) const override;
 private:
  void Changed();
  const KIV3DFaceGP& Finest() const;
  KIVMathPointf mBase;
  KIVMathVectorf mAxis{0.0f, 0.0f, 1.0f};
  float mRadius = 1.0f;
  int mCaps = BothCaps;
  std::vector<int> mSegments{24, 12, 6};
  std::vector<float> mSags;
  mutable KIV3DFaceGP mFinest;  // level 0, built when first asked after a change
  mutable bool mFinestValid = false;
};
