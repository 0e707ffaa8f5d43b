#pragma once
// Where a world point shows in a viewer, and a left-button drag through the viewer's own
// input: what the tests of tools driven by the mouse do to reach a handle or a face.
#include <cmath>

#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "host/visu/view/KIVViewer.h"

// The pixel (x right, y down, pixel centres on integers) of p in a view of w × h.
inline void PixelOf(const KIV3DViewpoint& vp, int w, int h, const KIVMathPointf& p, float& x, float& y) {
  const float ty = std::tan(0.5f * vp.GetAngle() * 0.017453292f), tx = ty * static_cast<float>(w) / static_cast<float>(h);
  const KIVMathVectorf rel = p - vp.GetOrigin();
  const float z = rel * vp.GetSightDirection();
  x = 0.5f * static_cast<float>(w) * (1.0f + rel * vp.GetRightDirection() / (z * tx)) - 0.5f;
  y = 0.5f * static_cast<float>(h) * (1.0f - rel * vp.GetUpDirection() / (z * ty)) - 0.5f;
}

// Presses at (x0, y0), moves by (dx, dy) pixels in steps, releases.
inline void DragBy(KIVViewer& viewer, int x0, int y0, float dx, float dy, int steps = 4) {
  viewer.UserMousePress(x0, y0, KIVMouseEvent::ButtonLeft, 0);
  for (int i = 1; i <= steps; ++i)
    viewer.UserMouseMove(x0 + static_cast<int>(dx * i / steps), y0 + static_cast<int>(dy * i / steps),
                         KIVMouseEvent::ButtonLeft, 0);
  viewer.UserMouseRelease(x0 + static_cast<int>(dx), y0 + static_cast<int>(dy), KIVMouseEvent::ButtonLeft, 0);
}
