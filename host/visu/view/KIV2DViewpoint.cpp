#include "host/visu/view/KIV2DViewpoint.h"

#include <cmath>

KIV_IMPLEMENT_METAOBJECT(KIV2DViewpoint, KIVViewpoint)

KIV2DViewpoint::~KIV2DViewpoint() = default;

int KIV2DViewpoint::SetCenter(float x, float y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return 0;
  mCenter[0] = x;
  mCenter[1] = y;
  Changed();
  return 1;
}

int KIV2DViewpoint::SetZoom(float unitsPerPixel) {
  if (!(unitsPerPixel > 0.0f) || !std::isfinite(unitsPerPixel)) return 0;
  mZoom = unitsPerPixel;
  Changed();
  return 1;
}

int KIV2DViewpoint::Pan(float dx, float dy) { return SetCenter(mCenter[0] + dx, mCenter[1] + dy); }

int KIV2DViewpoint::ZoomAbout(float x, float y, float factor) {
  if (!(factor > 0.0f) || !std::isfinite(factor) || !std::isfinite(x) || !std::isfinite(y)) return 0;
  const float zoom = mZoom * factor;
  // The point's pixel offset (p - c) / zoom is kept: c' = p + (c - p) × factor.
  const float cx = x + (mCenter[0] - x) * factor, cy = y + (mCenter[1] - y) * factor;
  if (!(zoom > 0.0f) || !std::isfinite(zoom) || !std::isfinite(cx) || !std::isfinite(cy)) return 0;
  mZoom = zoom;
  mCenter[0] = cx;
  mCenter[1] = cy;
  Changed();
  return 1;
}

void KIV2DViewpoint::ToPixels(float x, float y, float& px, float& py) const {
  const float zoom = mMode == 1 ? 1.0f : mZoom;
  px = x - mCenter[0];
  py = y - mCenter[1];
  px /= zoom;
  py /= zoom;
}

void KIV2DViewpoint::FromPixels(float px, float py, float& x, float& y) const {
  const float zoom = mMode == 1 ? 1.0f : mZoom;
  x = mCenter[0] + px * zoom;
  y = mCenter[1] + py * zoom;
}
