#pragma once
// A dashboard drawn over the scene (KIV3DViewer::AddRepOverlay) in the window's
// bottom-right corner: a compass whose needle shows the heading (the sight projected on
// the ground, measured from north towards east, clockwise seen from above) with the text
// "N 045°", and the camera's height above the bottom of the scene's sphere and the
// navigation speeds as texts. It is drawn in the pixel frame of overlays (origin at the
// window's centre, y up), like every overlay, hence a 3D rep despite its name.
#include <string>
#include "host/visu/scene/KIV3DBoundingSphere.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/math/KIVMathDirectionf.h"
class KIV3DViewpoint;
class KIV3DLineGP;
class KIV3DAnnotationTextGP;
class KIV2DDashboardRep : public KIV3DCustomRep {
  KIV_DECLARE_METAOBJECT(KIV2DDashboardRep)
 public:
  static constexpr float kRadius = 40.0f, kMargin = 12.0f;
  KIV2DDashboardRep();
  ~KIV2DDashboardRep() override;
  /// The window's size in pixels (sizes below 1 become 1); the render's own size wins
  /// when it draws.
  void SetGraphicSize(int width, int height);
  void GetGraphicSize(int& width, int& height) const;
  /// The scene's vertical and north; a null or non-finite one is refused (both kept).
  void SetVerticalAndNorth(const KIVMathDirectionf& vertical, const KIVMathDirectionf& north);
  void SetBoundingSphere(const KIV3DBoundingSphere& sphere);
  /// Copies the eye and the sight.
  void SetViewpoint(const KIV3DViewpoint& viewpoint);
  /// The editor's speeds; their lengths are shown.
  void SetSpeeds(const KIVMathVectorf& translation, const KIVMathVectorf& rotation);
  /// Degrees in [0, 360); -1 when the sight is along the vertical (no heading).
  float GetHeading() const { return mHeading; }
  /// The eye's height above the bottom of the scene's sphere (0 without a sphere).
  float GetAltitude() const { return mAltitude; }
  /// The text lines shown (0: heading, 1: height, 2: speeds).
  std::string GetText(int line) const;
  /// Placed in the bottom-right corner of the render's window.
  void DrawShading(KIVRender& render, int mode) override;
 private:
  void Update();
  int mWidth = 1, mHeight = 1;
  KIVMathDirectionf mVertical{0.0f, 0.0f, 1.0f}, mNorth{0.0f, 1.0f, 0.0f};
  KIV3DBoundingSphere mSphere;
  KIVMathPointf mEye;
  KIVMathDirectionf mSight{0.0f, 1.0f, 0.0f};
  KIVMathVectorf mTranslation, mRotation;
  float mHeading = 0.0f, mAltitude = 0.0f;
  KIV3DLineGP* mNeedle = nullptr;  // owned through the rep's level
  KIV3DAnnotationTextGP* mTexts[3] = {nullptr, nullptr, nullptr};
};
