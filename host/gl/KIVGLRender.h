#pragma once
// The OpenGL 3.3 core back end of the render. The base render's traversal, culling and
// level-of-detail decisions stay as they are; the Draw… operations record what is to be
// drawn (uploading a primitive's buffers once, and again only when its geometry changes)
// and EndFrame draws the frame: the background, the opaque objects, the ground, the
// screen-sized symbols and texts, the transparent objects back to front, then overlays
// and foreground 2D viewpoints in a pixel frame. Draw… calls outside a viewer's frame are
// ignored. The target is the render's own framebuffer of the viewer's size, or one bound
// by the caller (a widget's). No OpenGL header is needed to use it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/visu/view/KIVRender.h"
class KIVGLContext;
class KIVGLShareGroup;
class KIVViewer;
class KIVGraphicPrimitive;
class KIV3DViewpoint;
class KIVTextureImage;
struct KIVGLView;
struct KIVGLMesh;

class KIVGLRender : public KIVRender {
 public:
  /// What the last frame did.
  struct FrameStats {
    double cpuSeconds = 0.0;   // BeginFrame to the end of EndFrame's submission
    double gpuSeconds = -1.0;  // GL_TIME_ELAPSED of an earlier frame; −1 until known
    long long triangles = 0;   // triangles submitted (edges overlays not counted)
    int primitives = 0;        // primitives drawn (faces, lines, symbols, texts, …)
    int uploads = 0;           // primitives whose buffers were (re)uploaded
    int cachedBuffers = 0;     // primitives holding GPU buffers after the frame
    int batchedItems = 0;      // opaque faces drawn from merged buffers
    int drawCalls = 0;         // draw calls for the opaque faces (a multi-draw counts one)
  };

  /// A render that draws in context, made current whenever the render needs it. A null
  /// context means that the caller keeps a context current around every frame and the
  /// render's destruction (a widget's context). Renders given the same share group (their
  /// contexts must share objects) upload a primitive's buffers and a texture once for all
  /// of them; without one the render has its own.
  explicit KIVGLRender(const KIVSupport& support, KIVGLContext* context = nullptr,
                       std::shared_ptr<KIVGLShareGroup> group = nullptr);
  ~KIVGLRender() override;
  /// 1 when the programs were built; otherwise 0 with the reason, and frames draw nothing.
  int IsReady(std::string* error = nullptr) const;

  /// Draws into an externally bound framebuffer from now on; 0 returns to the render's own.
  void SetTargetFramebuffer(unsigned int framebuffer) { mExternalFramebuffer = framebuffer; }
  unsigned int GetTargetFramebuffer() const { return mExternalFramebuffer; }
  /// The framebuffer the last frame went to and its size (0 × 0 before the first frame).
  unsigned int GetFrameFramebuffer() const { return mFrameFramebuffer; }
  int GetFrameWidth() const { return mFrameWidth; }
  int GetFrameHeight() const { return mFrameHeight; }
  /// Makes the render's context current (1), or says whether one is current without it.
  int MakeCurrent();

  /// Every view mode of the viewer is drawn here.
  int AcceptsViewMode(int mode) const override { return mode > 0 && mode <= 32; }
  /// Faces are queued whenever a mode draws them: shaded, as edges, outlines or hidden lines.
  int ViewMode(const int mode) const override;
  void BeginFrame(KIVViewer& viewer) override;
  void EndFrame(KIVViewer& viewer) override;
  void BeginOnTop() override;
  void EndOnTop() override;
  /// Waits until the GPU has drawn the last frame and returns the seconds from the start
  /// of that frame to now (what a bench times).
  double Finish();
  const FrameStats& GetLastFrameStats() const { return mStats; }
  /// Buffer uploads of its share group (of the render alone when it shares with none).
  long long GetUploadCount() const;
  int GetCachedBufferCount() const;
  /// The buffers and textures it draws from: give it to a render of a sharing context.
  std::shared_ptr<KIVGLShareGroup> GetShareGroup() const;
  /// Buffers of primitives not drawn for that many frames are freed (swept every
  /// frames / 2 frames); at least 2.
  void SetBufferIdleFrames(int frames) { mIdleFrames = frames < 2 ? 2 : frames; }
  int GetBufferIdleFrames() const { return mIdleFrames; }
  /// Merging of still, plain opaque faces into shared buffers (on by default); off, every
  /// primitive is a draw call of its own.
  void SetBatching(int on);
  int GetBatching() const { return mBatching; }

  void Draw3DMarker(KIV3DMarkerGP& gp) override;
  /// Point clouds: square dots of the primitive's size in pixels, from cached buffers.
  void Draw3DPointSet(KIV3DPointSetGP& gp) override;
  void Draw3DLine(KIV3DLineGP& gp) override;
  void Draw3DEdge(KIV3DEdgeGP& gp) override;
  void Draw3DPolyline(KIV3DPolylineGP& gp) override;
  void Draw3DFace(KIV3DFaceGP& gp) override;
  void Draw3DPlanarFace(KIV3DPlanarFaceGP& gp) override;
  void Draw3DCylinder(KIV3DCylinderGP& gp, const int lod) override;
  void Draw3DAnnotationText(KIV3DAnnotationTextGP& gp) override;
  void Draw3DFixedArrow(KIV3DFixedArrowGP& gp) override;

 private:
  struct State;
  struct FaceEntry;
  void DrawFace(KIV3DFaceGP& gp, const float* planeNormal);
  /// Queues a face mesh with the current matrix and colour; centre orders transparency.
  /// reload uploads the mesh again when its buffers went to a batch that no longer holds
  /// this placement (the mesh is then reloadable: meshes without it keep their buffers).
  /// entry, when given, keeps where the batches held the primitive's last placement.
  void QueueFaces(KIVGLView& view, KIVGLMesh* mesh, const float* centre, const KIVTextureImage* image,
                  const std::function<KIVGLMesh*()>& reload = {}, FaceEntry* entry = nullptr);
  /// Records a line primitive; pairs may be empty when its buffers are cached.
  void DrawLines(const KIVGraphicPrimitive& gp, const std::vector<float>& points,
                 const std::vector<unsigned int>& pairs, int cached);
  int HasLines(const KIVGraphicPrimitive& gp, int vertexCount);
  /// The view that the Draw… operations record into now, null outside a frame.
  KIVGLView* CurrentView();
  /// A new view through a 3D camera, or of a 2D frame (KIV2DViewpoint's modes).
  KIVGLView* CameraView(const KIV3DViewpoint& camera);
  KIVGLView* PixelView(int mode, float zoom, float cx, float cy);
  void DrawForeground(KIVViewer& viewer);
  void VisitForeground(KIVRep& rep);
  KIVGLContext* mContext = nullptr;
  std::unique_ptr<State> mState;
  FrameStats mStats;
  unsigned int mExternalFramebuffer = 0;
  unsigned int mFrameFramebuffer = 0;
  int mFrameWidth = 0, mFrameHeight = 0;
  int mIdleFrames = 120;
  int mBatching = 1;
};
