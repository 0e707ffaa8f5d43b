#pragma once
// A traversal of the scene that draws. The base render walks the tree (bags push their
// matrices, hidden subtrees are skipped), decides per object whether it is drawn (inside
// the view frustum, not smaller on screen than the support's culling precision) and at
// which level of detail (the coarsest whose sag stays under the support's sag precision
// in pixels), and hands each primitive of a drawn leaf to its Draw… operation. The base
// draws nothing itself: back ends override the Draw… operations, and counting or
// statistic renders override the decisions. Without a camera every object is inside and
// large enough.
#include <vector>
#include "host/visu/KIV3DBoundingSphere.h"
#include "host/visu/KIV4x4Matrix.h"
#include "host/visu/KIVGraphicAttributeSet.h"
#include "host/visu/KIVSupport.h"
class KIVRep;
class KIV3DViewpoint;
class KIV3x3Matrix;
class KIVGraphicMaterial;
class KIV3DFaceGP;
class KIV3DPlanarFaceGP;
class KIV3DMarkerGP;
class KIV3DLineGP;
class KIV3DEdgeGP;
class KIV3DPolylineGP;
class KIV3DCylinderGP;
class KIV3DAnnotationTextGP;
class KIVDynamicGP;
class KIVRender {
 public:
  explicit KIVRender(const KIVSupport& support);
  virtual ~KIVRender();
  const KIVSupport& GetSupport() const { return mSupport; }
  /// The camera that the frustum and pixel-size decisions use, on a window of the
  /// support's size. Null removes it.
  void SetCamera(const KIV3DViewpoint* viewpoint);
  const KIV3DViewpoint* GetCamera() const { return mCamera; }
  /// The view mode bits the traversal passes to the decisions (bit 0: shading).
  void SetViewModeBits(int mode) { mViewMode = mode; }
  int GetViewModeBits() const { return mViewMode; }
  /// Draws the tree under rep; the rep's own matrix stack starts at the identity.
  void Traverse(KIVRep& rep);

  // Decisions. The sphere forms take spheres in the current model frame (the matrix stack
  // carries them to the world); the attribute-only forms only test the hidden flag.
  virtual int IsDrawable(const KIVGraphicAttributeSet& attributes, const KIV3DBoundingSphere& sphere, const int mode);
  virtual int IsDrawable(const KIVGraphicAttributeSet& attributes, const float* centre, const float radius, const int mode);
  virtual int IsDrawable(const KIVGraphicAttributeSet& attributes, const KIV3DBoundingSphere& sphere, const KIVRep& rep,
                         KIVGraphicMaterial* material);
  virtual int IsDrawable(const KIVGraphicAttributeSet& attributes, const int mode);
  virtual int IsDrawable(const KIVGraphicAttributeSet& attributes, const KIVRep& rep, KIVGraphicMaterial* material);
  virtual int IsDrawable(const KIVGraphicAttributeSet& attributes, KIVGraphicMaterial* material);
  virtual int IsDrawable(const KIVGraphicAttributeSet& attributes);
  /// 1 when the box (min and max corners, model frame) meets the frustum.
  virtual int IsSeen(const float* min, const float* max);
  /// 1 when the sphere's pixel radius is below the culling precision.
  virtual int IsToSmall(const KIV3DBoundingSphere& sphere) const;
  /// 1 when the sphere meets the frustum.
  virtual int IsInside(const KIV3DBoundingSphere& sphere);
  /// The pixel radius under which objects are culled.
  virtual float Get3DModelCulling(const KIV3DBoundingSphere& sphere) const;
  /// The level to draw among `count` levels whose sags (model units, finest first) are
  /// given: the coarsest whose sag is within Get3DModelSag. 0 without sags.
  virtual int Get3DLODNumber(const KIV3DBoundingSphere& sphere, const int count, const float* sags) const;
  /// The sag allowed at the sphere's distance, in model units (pixel size × precision).
  virtual float Get3DModelSag(const KIV3DBoundingSphere& sphere) const;

  // Drawing; the base draws nothing. A planar face is a face.
  virtual void Draw3DMarker(KIV3DMarkerGP& gp);
  virtual void Draw3DLine(KIV3DLineGP& gp);
  virtual void Draw3DEdge(KIV3DEdgeGP& gp);
  virtual void Draw3DPolyline(KIV3DPolylineGP& gp);
  virtual void DrawDynamicGP(KIVDynamicGP& gp);
  virtual void Draw3DFace(KIV3DFaceGP& gp);
  virtual void Draw3DPlanarFace(KIV3DPlanarFaceGP& gp);
  virtual void Draw3DCylinder(KIV3DCylinderGP& gp, const int lod);
  virtual void Draw3DAnnotationText(KIV3DAnnotationTextGP& gp);

  // The model matrix stack; a 3x3 matrix is a linear map without translation.
  virtual void PushMatrix(KIV4x4Matrix& matrix);
  virtual void PushMatrix(KIV3x3Matrix& matrix);
  virtual void PopMatrix(KIVRender* render);
  /// Saves and restores the whole stack (for overlays drawn in another frame).
  virtual void PushReference();
  virtual void PopReference();
  /// 1 when the mode asks for shaded drawing (bit 0).
  virtual int ViewMode(const int mode) const;

  /// The model-to-world matrix at the top of the stack.
  const KIV4x4Matrix& GetCurrentMatrix() const { return mStack.back(); }
  /// Leaves drawn and objects (bags or leaves) culled since the last ResetCounts.
  int GetDrawnLeafCount() const { return mDrawn; }
  int GetCulledCount() const { return mCulled; }
  void ResetCounts() { mDrawn = mCulled = 0; }
  /// The level of detail chosen for the last leaf drawn.
  int GetLastLOD() const { return mLastLOD; }

 protected:
  /// The pixel radius of a world sphere; very large when no camera is set.
  float PixelRadius(const KIV3DBoundingSphere& world) const;
  /// World units per pixel at the sphere's distance; 0 without a camera.
  float PixelSize(const KIV3DBoundingSphere& world) const;

 private:
  void Visit(KIVRep& rep);
  KIVSupport mSupport;
  const KIV3DViewpoint* mCamera = nullptr;
  int mViewMode = 1;
  std::vector<KIV4x4Matrix> mStack;
  std::vector<std::vector<KIV4x4Matrix>> mReferences;
  float mPlanes[6][4] = {};  // frustum, inward normals, world frame
  int mDrawn = 0, mCulled = 0, mLastLOD = 0;
};
