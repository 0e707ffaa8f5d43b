#pragma once
// A traversal of the scene that draws. The base render walks the tree (bags push their
// matrices, hidden subtrees are skipped), decides per object whether it is drawn (inside
// the view frustum, not smaller on screen than the support's culling precision) and at
// which level of detail (the coarsest whose sag stays under the support's sag precision
// in pixels), and hands each primitive of a drawn leaf to its Draw… operation. The base
// draws nothing itself: back ends override the Draw… operations, and counting or
// statistic renders override the decisions. Without a camera every object is inside and
// large enough. Each 3D rep draws itself through its DrawShading (the traversal calls it
// for every 3D rep it reaches); the base DrawShading comes back to DrawDefault, which is
// the behaviour described above, so a rep that draws in its own way overrides one
// operation and uses OkToDraw and SetCurrentAttributes as the default does.
#include <vector>
#include "host/visu/scene/KIV3DBoundingSphere.h"
#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/scene/KIVGraphicAttributeSet.h"
#include "host/visu/view/KIVSupport.h"
class KIVRep;
class KIVViewer;
class KIV3DRep;
class KIV3DViewpoint;
class KIV3x3Matrix;
class KIVGraphicMaterial;
class KIV3DFaceGP;
class KIV3DPlanarFaceGP;
class KIV3DMarkerGP;
class KIV3DPointSetGP;
class KIV3DLineGP;
class KIV3DEdgeGP;
class KIV3DPolylineGP;
class KIV3DCylinderGP;
class KIV3DAnnotationTextGP;
class KIVDynamicGP;
class KIV3DFixedArrowGP;
class KIVRender {
 public:
  explicit KIVRender(const KIVSupport& support);
  virtual ~KIVRender();
  const KIVSupport& GetSupport() const { return mSupport; }
  /// The window's size and precisions as they are now (a viewer gives its own each frame).
  void SetSupport(const KIVSupport& support) { mSupport = support; }
  /// The camera that the frustum and pixel-size decisions use, on a window of the
  /// support's size. Null removes it.
  void SetCamera(const KIV3DViewpoint* viewpoint);
  const KIV3DViewpoint* GetCamera() const { return mCamera; }
  /// The view mode bits the traversal passes to the decisions (bit 0: shading).
  void SetViewModeBits(int mode) { mViewMode = mode; }
  int GetViewModeBits() const { return mViewMode; }
  /// A viewer's Draw opens and closes each frame through these, around the traversals of
  /// its viewpoints: a back end binds its target, clears it to the viewer's background and
  /// sets its lights there, then draws overlays and finishes. The base does nothing.
  virtual void BeginFrame(KIVViewer& viewer) { (void)viewer; }
  virtual void EndFrame(KIVViewer& viewer) { (void)viewer; }
  /// What is drawn between these two goes over everything drawn before it in the frame
  /// (the same camera, a depth buffer of its own); renders without depth ignore them.
  virtual void BeginOnTop() {}
  virtual void EndOnTop() {}
  /// Draws the tree under rep; the matrix stack starts at `above` (the placement of what
  /// holds rep), the identity by default.
  void Traverse(KIVRep& rep);
  void Traverse(KIVRep& rep, const KIV4x4Matrix& above);
  /// Bags met during traversals that are left out (they are drawn on their own, over the
  /// scene); null for none. The list must outlive its use.
  void SetDeferred(const std::vector<KIVRep*>* bags) { mDeferred = bags && !bags->empty() ? bags : nullptr; }
  /// What the traversal does with a 3D rep that has no drawing of its own: a bag is culled
  /// or has its matrix pushed and its children visited; a custom rep is culled (OkToDraw),
  /// its level of detail chosen and its primitives drawn with its attributes; any other
  /// rep that is not hidden has its children visited. KIV3DRep::DrawShading calls it.
  void DrawDefault(KIV3DRep& rep, int mode);
  /// Visits the children of a rep as the traversal does, in the current matrix frame.
  void DrawChildren(KIVRep& rep);
  /// The culling test of a leaf: its attributes and bounding sphere through IsDrawable.
  /// Counts the leaf as drawn when it passes and as culled when it fails.
  int OkToDraw(const KIV3DRep& rep);
  /// The attributes that the next primitives are drawn with (back ends read them in their
  /// Draw… operations). The traversal sets them to a leaf's own before its primitives.
  /// Inside a highlighted bag everything drawn takes the highlight, so that selecting an
  /// assembly shows all of it.
  void SetCurrentAttributes(const KIVGraphicAttributeSet& attributes) {
    mCurrentAttributes = attributes;
    if (mHighlightDepth > 0) mCurrentAttributes.SetFlag(KIVGraphicAttributeSet::Selected, 1);
  }
  const KIVGraphicAttributeSet& GetCurrentAttributes() const { return mCurrentAttributes; }

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
  virtual void Draw3DPointSet(KIV3DPointSetGP& gp);
  virtual void Draw3DLine(KIV3DLineGP& gp);
  virtual void Draw3DEdge(KIV3DEdgeGP& gp);
  virtual void Draw3DPolyline(KIV3DPolylineGP& gp);
  virtual void DrawDynamicGP(KIVDynamicGP& gp);
  virtual void Draw3DFace(KIV3DFaceGP& gp);
  virtual void Draw3DPlanarFace(KIV3DPlanarFaceGP& gp);
  virtual void Draw3DCylinder(KIV3DCylinderGP& gp, const int lod);
  virtual void Draw3DAnnotationText(KIV3DAnnotationTextGP& gp);
  virtual void Draw3DFixedArrow(KIV3DFixedArrowGP& gp);

  // The model matrix stack; a 3x3 matrix is a linear map without translation.
  virtual void PushMatrix(KIV4x4Matrix& matrix);
  virtual void PushMatrix(KIV3x3Matrix& matrix);
  virtual void PopMatrix(KIVRender* render);
  /// Saves and restores the whole stack (for overlays drawn in another frame).
  virtual void PushReference();
  virtual void PopReference();
  /// 1 when the mode asks for shaded drawing (bit 0).
  virtual int ViewMode(const int mode) const;
  /// Whether this render can draw a viewer view mode (one bit); the base accepts all.
  virtual int AcceptsViewMode(int mode) const {
    (void)mode;
    return 1;
  }

  /// The model-to-world matrix at the top of the stack.
  const KIV4x4Matrix& GetCurrentMatrix() const { return mStack.back(); }
  /// Leaves drawn and objects (bags or leaves) culled since the last ResetCounts.
  int GetDrawnLeafCount() const { return mDrawn; }
  int GetCulledCount() const { return mCulled; }
  void ResetCounts() { mDrawn = mCulled = 0; }
  /// Model units (of the current frame) that one millimetre of the screen spans at that
  /// point of the model; 0 without a camera.
  float GetMMFromModelRatio(const KIVMathPointf& local) const;
  /// The screen's resolution as the renders assume it (96 dots per inch).
  static constexpr float kPixelsPerMM = 96.0f / 25.4f;
  /// The level of detail chosen for the last leaf drawn.
  int GetLastLOD() const { return mLastLOD; }

 protected:
  /// The pixel radius of a world sphere; very large when no camera is set.
  float PixelRadius(const KIV3DBoundingSphere& world) const;
  /// World units per pixel at the sphere's distance; 0 without a camera.
  float PixelSize(const KIV3DBoundingSphere& world) const;

 private:
  void Visit(KIVRep& rep);
  /// sphere * GetCurrentMatrix(), with the matrix's largest stretch (an eigenvalue) kept
  /// while the matrix stays the same: a leaf asks for it three times.
  KIV3DBoundingSphere ToWorld(const KIV3DBoundingSphere& sphere) const;
  KIVSupport mSupport;
  mutable KIV4x4Matrix mScaled;  // the matrix whose stretch mScale holds
  mutable float mScale = -1.0f;  // negative: not known
  const KIV3DViewpoint* mCamera = nullptr;
  int mHighlightDepth = 0;  // highlighted bags being visited
  int mViewMode = 9;  // shaded, textured
  KIVGraphicAttributeSet mCurrentAttributes;
  std::vector<KIV4x4Matrix> mStack;
  const std::vector<KIVRep*>* mDeferred = nullptr;
  std::vector<std::vector<KIV4x4Matrix>> mReferences;
  float mPlanes[6][4] = {};  // frustum, inward normals, world frame
  int mDrawn = 0, mCulled = 0, mLastLOD = 0;
};
