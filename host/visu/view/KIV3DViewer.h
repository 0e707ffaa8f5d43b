#pragma once
// A viewer of a 3D scene: a main 3D viewpoint it owns, the directions that are north and
// up for the scene, a ground, fog, stereo and head-light state, overlays, and picking by
// rays through pixels.
#include <memory>
#include <string>
#include <vector>
#include "host/visu/scene/KIV3DBoundingSphere.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "host/visu/view/KIVLightSourceSet.h"
#include "host/visu/pick/KIVPickScene.h"
#include "host/visu/view/KIVViewer.h"
class KIVGraphicMaterial;
class KIV3DViewer : public KIVViewer {
  KIV_DECLARE_METAOBJECT(KIV3DViewer)
 public:
  KIV3DViewer(KIVDialog* parent, const char* tag, int style, int width, int height);
  KIV3DViewer(int width, int height) : KIV3DViewer(nullptr, nullptr, 0, width, height) {}
  ~KIV3DViewer() override;
  KIV3DViewpoint* GetMain3DViewpoint() const { return mMain.get(); }
  /// The scene's north and vertical, (0, 1, 0) and (0, 0, 1) by default.
  void SetNorth(const KIVMathDirectionf& north) { mNorth = north; }
  KIVMathDirectionf GetNorth() const { return mNorth; }
  /// Published when the ground or the vertical changes.
  static const char* const NAVIGATION_GROUND_CHANGE;
  void SetVertical(const KIVMathDirectionf& vertical);
  /// The ground's frame at once: the vertical (up from the ground) and the north along
  /// it; one NAVIGATION_GROUND_CHANGE.
  void SetGround(const KIVMathDirectionf& vertical, const KIVMathDirectionf& north);
  KIVMathDirectionf GetVertical() const { return mVertical; }
  /// A ground plane at a height along the vertical, drawn when on.
  void SetGround(int on, float height);
  int GetGround(float* height = nullptr) const {
    if (height) *height = mGroundHeight;
    return mGround;
  }
  /// Linear fog between two distances from the eye (refused unless 0 <= start < end).
  int SetFog(int on, float start, float end);
  int GetFog(float* start = nullptr, float* end = nullptr) const;
  /// Stereo with the distance between the eyes (refused unless positive).
  int SetStereo(int on, float eyeDistance);
  int GetStereo(float* eyeDistance = nullptr) const;
  /// The head light, and how many scene lights are on.
  void SetHeadLight(int on) {
    mHeadLight = on ? 1 : 0;
    RequestRedraw();
  }
  int GetHeadLight() const { return mHeadLight; }
  void SetLightSourceCount(int count) {
    mLights = count < 0 ? 0 : count;
    RequestRedraw();
  }
  int GetLightSourceCount() const { return mLights; }
  /// The model window's directional lights; setting them also sets the light count.
  void SetModelWindowSL(const KIVLightSourceSet& lights);
  const KIVLightSourceSet& GetModelWindowSL() const { return mLightSet; }
  /// The global ambient light, each component clamped to [0, 1]; a non-finite value is
  /// refused (0). 0.2 grey by default.
  int SetGlobalAmbientLight(float r, float g, float b);
  /// The first component.
  float GetGlobalAmbientLight() const { return mAmbient[0]; }
  void GetGlobalAmbientLight(float* rgb) const;
  /// Fog on or off, keeping the distances of SetFog.
  void SetFogMode(int on) {
    mFog = on ? 1 : 0;
    RequestRedraw();
  }
  int IsFogOn() const { return mFog; }
  /// Stereo kinds for ActivateStereoMode.
  static constexpr int StereoAnaglyph = 0, StereoQuadBuffer = 1, StereoSideBySide = 2;
  /// Stereo on with a kind and the distance between the eyes (as SetStereo); an unknown
  /// kind or a distance that is not positive is refused (0).
  int ActivateStereoMode(int mode, float value);
  void DeactivateStereoMode() {
    mStereo = 0;
    RequestRedraw();
  }
  /// 1 while stereo is on; the kind and the eye distance (either pointer may be null).
  int IsStereoActivate(int* mode = nullptr, float* value = nullptr) const;
  /// The background texture material, as a viewer setting carries it; not owned (its owner
  /// keeps it alive while it is set). Null, the default, for none.
  void SetTexture(KIVGraphicMaterial* texture);
  KIVGraphicMaterial* GetTexture() const { return mTexture; }
  /// Reps drawn over the scene in window coordinates (gauges, markers); not owned.
  int AddRepOverlay(KIVRep* rep);
  int RemoveRepOverlay(KIVRep* rep);
  const std::vector<KIVRep*>& GetOverlays() const { return mOverlays; }
  /// Reps drawn over the scene, as tool handles are: with the main camera once the scene
  /// is drawn, in a depth buffer of their own, and picked before the scene. 0 for a null
  /// rep or one already there (Add), or one not there (Remove).
  int AddRepOnTop(KIVRep* rep);
  int RemoveRepOnTop(KIVRep* rep);
  const std::vector<KIVRep*>& GetRepsOnTop() const { return mOnTop; }
  /// The union of the main viewpoint's 3D reps' spheres.
  KIV3DBoundingSphere GetGlobalBoundingSphere() const;
  /// The world ray through the centre of a pixel (x right, y down), unit direction.
  KIVRay ComputeRay(float x, float y) const;
  /// The nearest shown, pickable object under the pixel: 1 path or none. Markers and
  /// lines are hit within the pick tolerance of the pixel, at the point nearest the ray;
  /// one wins over a surface unless the surface is clearly in front of it, so that what is
  /// drawn on a face can be grabbed. Among them the nearest on screen wins, then the
  /// nearest in depth.
  int Pick(int x, int y, KIVPickPathList& paths) override;
  /// How far from a marker or a line, in pixels, a pick still hits it: 0 to 100, 5 by
  /// default; other values are refused (0).
  int SetPickTolerance(int pixels);
  int GetPickTolerance() const { return mPickTolerance; }
  /// The objects seen in the rectangle (a grid of at most 64 × 64 rays across it) whose
  /// sphere on screen lies wholly inside it, nearest first.
  int PickNoOutside(int x1, int y1, int x2, int y2, KIVPickPathList& paths);
  /// The pick structures, kept up to date by every pick.
  KIVPickScene& GetPickScene() { return mPickScene; }
 protected:
  bool DrawsRep(const KIVRep* rep) const override;
  void DrawViewpoint(KIVViewpoint& viewpoint, KIVRender& render) override;
 private:
  std::unique_ptr<KIV3DViewpoint> mMain;
  KIVMathDirectionf mNorth{0.0f, 1.0f, 0.0f};
  KIVMathDirectionf mVertical{0.0f, 0.0f, 1.0f};
  int mGround = 0;
  float mGroundHeight = 0.0f;
  int mFog = 0;
  float mFogStart = 0.0f, mFogEnd = 1000.0f;
  int mStereo = 0;
  float mEyeDistance = 0.065f;
  int mHeadLight = 1;
  int mLights = 0;
  KIVLightSourceSet mLightSet;
  float mAmbient[3] = {0.2f, 0.2f, 0.2f};
  int mStereoMode = StereoAnaglyph;
  KIVGraphicMaterial* mTexture = nullptr;
  std::vector<KIVRep*> mOverlays;
  std::vector<KIVRep*> mOnTop;
  KIVPickScene mOnTopPickScene;
  int PickAmong(KIVPickScene& scene, const std::vector<KIVRep*>& roots, int x, int y, KIVPickPathList& paths);
  KIVPickScene mPickScene;
  int mPickTolerance = 5;
};
