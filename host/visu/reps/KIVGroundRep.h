#pragma once
// A ground grid: a square of side 2.5 × radius, centred on its origin in the plane
// perpendicular to the vertical, cut into 20 × 20 cells by line segments, with an
// optional outline. A ground not placed by hand stands where a user expects it, at the
// scene's lowest point along the vertical (SetBottomHeight with LowestHeight), or else at
// the bottom of the scene's sphere. The grid gives no surface to picking until a manipulator is attached
// (see KIV3DGroundTranslator), which makes the whole square pickable.
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/math/KIVMathDirectionf.h"
#include "host/visu/math/KIVMathPointf.h"
class KIV3DLineGP;
class KIV3DPolylineGP;
class KIVGraphicPrimitive;
class KIVGroundRep : public KIV3DCustomRep {
  KIV_DECLARE_METAOBJECT(KIVGroundRep)
 public:
  static constexpr int kCells = 20;
  static constexpr float kSideFactor = 2.5f;
  /// `origin` and `radius` are a scene's bounding sphere: with remembered = 1 the origin
  /// is the ground's own (a ground placed before), otherwise the ground goes to the
  /// bottom of the sphere, origin − vertical × radius. grid = 1 draws the cells, outline =
  /// 1 the border; the two reserved values are 0. A null vertical is taken as (0, 0, 1),
  /// a radius that is not positive and finite as 1.
  KIVGroundRep(const KIVMathPointf& origin, const KIVMathDirectionf& vertical, float radius, int grid,
               int remembered, int reserved1, int reserved2, int outline);
  ~KIVGroundRep() override;
  /// Turns the plane to a new vertical (a null one is refused); a ground at the bottom of
  /// its sphere follows the sphere's bottom (give SetBottomHeight again for the scene's
  /// lowest point along the new vertical), a remembered or moved one keeps its origin.
  void SetVertical(const KIVMathDirectionf& vertical);
  /// For a ground not placed by hand: puts its plane at that height along the vertical
  /// (a point p is at height p · vertical), under the sphere's centre. Refused (0) for a
  /// remembered or moved ground and for a non-finite height.
  int SetBottomHeight(float height);
  /// The lowest height along the vertical of the shown leaves under root, from the corners
  /// of their boxes carried to the world by the bags' matrices. 0 when nothing is shown
  /// (height unchanged).
  static int LowestHeight(const KIVRep* root, const KIVMathDirectionf& vertical, float& height);
  KIVMathDirectionf GetVertical() const { return mVertical; }
  /// The centre of the square, on the ground plane.
  KIVMathPointf GetOrigin() const { return mOrigin; }
  /// Moves the square (a non-finite point is refused); its geometry follows at once.
  void SetOrigin(const KIVMathPointf& origin);
  float GetRadius() const { return mRadius; }
  /// The side of the square.
  float GetSide() const { return kSideFactor * mRadius; }
  /// The two unit axes of the plane (first × second = vertical).
  void GetPlaneAxes(KIVMathVectorf& first, KIVMathVectorf& second) const;
  int IsGridOn() const { return mGrid; }
  int IsOutlineOn() const { return mOutline; }
  /// 1 makes the square pickable (its manipulator does it), 0 leaves it to the eye only.
  void SetPickable(int on);
 private:
  void Rebuild();
  KIVMathPointf mCentre;  // the sphere's centre, while the ground sits at its bottom
  KIVMathPointf mOrigin;
  KIVMathDirectionf mVertical{0.0f, 0.0f, 1.0f};
  float mRadius = 1.0f;
  int mGrid = 1, mOutline = 0, mAtBottom = 1;
  KIV3DLineGP* mLines = nullptr;        // owned through the rep's levels
  KIV3DPolylineGP* mBorder = nullptr;
  KIVGraphicPrimitive* mSurface = nullptr;
};
