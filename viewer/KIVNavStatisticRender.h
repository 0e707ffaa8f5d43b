#pragma once
// A render that draws nothing and culls nothing: it takes every object at full detail and
// counts the triangles of the faces and cylinders it meets (the performance read-out).
#include "host/visu/view/KIVRender.h"

class KIVNavStatisticRender : public KIVRender {
 public:
  explicit KIVNavStatisticRender(const KIVSupport& support) : KIVRender(support) {}
  ~KIVNavStatisticRender() override;
  /// Triangles met since construction.
  int GetSceneSize() const { return mTriangles; }

  int IsDrawable(const KIVGraphicAttributeSet&, const KIV3DBoundingSphere&, const int) override { return 1; }
  int IsDrawable(const KIVGraphicAttributeSet&, const float*, const float, const int) override { return 1; }
  int IsDrawable(const KIVGraphicAttributeSet&, const KIV3DBoundingSphere&, const KIVRep&,
                 KIVGraphicMaterial*) override {
    return 1;
  }
  int IsDrawable(const KIVGraphicAttributeSet&, const int) override { return 1; }
  int IsDrawable(const KIVGraphicAttributeSet&, const KIVRep&, KIVGraphicMaterial*) override { return 1; }
  int IsDrawable(const KIVGraphicAttributeSet&, KIVGraphicMaterial*) override { return 1; }
  int IsDrawable(const KIVGraphicAttributeSet&) override { return 1; }
  int IsSeen(const float*, const float*) override { return 1; }
  int IsToSmall(const KIV3DBoundingSphere&) const override { return 0; }
  int IsInside(const KIV3DBoundingSphere&) override { return 1; }
  /// The base render's values, whatever the sphere.
  float Get3DModelCulling(const KIV3DBoundingSphere& sphere) const override;
  int Get3DLODNumber(const KIV3DBoundingSphere&, const int, const float*) const override { return 0; }
  float Get3DModelSag(const KIV3DBoundingSphere& sphere) const override;

  void Draw3DMarker(KIV3DMarkerGP&) override {}
  void Draw3DLine(KIV3DLineGP&) override {}
  void Draw3DEdge(KIV3DEdgeGP&) override {}
  void DrawDynamicGP(KIVDynamicGP&) override {}
  /// Adds the separate triangles and (count − 2) for every strip and fan.
  void Draw3DFace(KIV3DFaceGP& face) override;
  /// This render's Draw3DFace with the same primitive.
  void Draw3DPlanarFace(KIV3DPlanarFaceGP& face) override;
  void Draw3DCylinder(KIV3DCylinderGP& cylinder, const int lod) override;

  // Nothing is placed: no matrix is needed to count.
  void PushMatrix(KIV4x4Matrix&) override {}
  void PushMatrix(KIV3x3Matrix&) override {}
  void PopMatrix(KIVRender*) override {}
  void PushReference() override {}
  void PopReference() override {}
  int ViewMode(const int mode) const override { return (mode & 1) ? 1 : 0; }

 private:
  void Add(int triangles, const int* stripCounts, int strips, const int* fanCounts, int fans);
  template <class Primitive>
  void Count(Primitive& gp);
  int mTriangles = 0;
};
