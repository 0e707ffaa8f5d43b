#pragma once
// A 2D camera: the window shows the plane around a centre at a zoom given in scene units
// per pixel. Pixel offsets are measured from the window's centre, y up, so the mapping
// does not depend on the window's size.
#include "host/visu/view/KIVViewpoint.h"
class KIV2DViewpoint : public KIVViewpoint {
  KIV_DECLARE_METAOBJECT(KIV2DViewpoint)
 public:
  KIV2DViewpoint() = default;
  ~KIV2DViewpoint() override;
  void GetCenter(float& x, float& y) const {
    x = mCenter[0];
    y = mCenter[1];
  }
  /// A non-finite centre is refused (0).
  int SetCenter(float x, float y);
  float GetZoom() const { return mZoom; }
  /// Units per pixel; a zoom that is not positive and finite is refused (0).
  int SetZoom(float unitsPerPixel);
  /// Moves the centre by (dx, dy) scene units: the scene seems to move the other way.
  int Pan(float dx, float dy);
  /// Multiplies the zoom by `factor` (above 1 shows more of the scene) while the scene
  /// point (x, y) stays on the same pixel. A factor that is not positive and finite, a
  /// non-finite point, or a zoom that would leave the finite positive range is refused (0).
  int ZoomAbout(float x, float y, float factor);
  /// 0: scene units with the zoom; 1: overlay, one unit per pixel from the window's
  /// centre whatever the zoom (for reps drawn over a 3D view).
  void SetMode(int mode) {
    if (mode != 0 && mode != 1) return;
    mMode = mode;
    Changed();
  }
  int GetMode() const { return mMode; }
  /// Where a scene point falls, in pixels from the window's centre.
  void ToPixels(float x, float y, float& px, float& py) const;
  /// The scene point under a pixel offset from the window's centre.
  void FromPixels(float px, float py, float& x, float& y) const;
 private:
  float mCenter[2] = {0.0f, 0.0f};
  float mZoom = 1.0f;
  int mMode = 0;
};
