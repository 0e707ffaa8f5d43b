#pragma once
// A camera position as a plain value: eye, sight, up, view angle (degrees) and focus
// distance. Directions are stored as given, never normalised.

#include "host/visu/view/KIV3DViewpoint.h"
#include "host/visu/math/KIVMathDirectionf.h"
#include "host/visu/math/KIVMathPointf.h"

class Nav3DViewpointLight {
 public:
  KIVMathPointf origin{0.0f, 0.0f, 0.0f};
  KIVMathDirectionf sight{0.0f, 1.0f, 0.0f};
  KIVMathDirectionf up{0.0f, 0.0f, 1.0f};
  float angle = 30.0f;
  float focus = 10.0f;

  Nav3DViewpointLight() = default;
  Nav3DViewpointLight(KIVMathPointf o, KIVMathDirectionf s, KIVMathDirectionf u, float a, float f) { SetValue(o, s, u, a, f); }
  Nav3DViewpointLight(const Nav3DViewpointLight&) = default;
  explicit Nav3DViewpointLight(const KIV3DViewpoint& vp) { *this = vp; }
  virtual ~Nav3DViewpointLight() = default;

  Nav3DViewpointLight& operator=(const Nav3DViewpointLight&) = default;
  /// Reads the viewpoint through its virtual getters: origin, sight, up, angle, focus.
  Nav3DViewpointLight& operator=(const KIV3DViewpoint& vp);
  void SetValue(KIVMathPointf o, KIVMathDirectionf s, KIVMathDirectionf u, float a, float f);
};
