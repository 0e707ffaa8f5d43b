#pragma once
// A picked object: the path from a rep of the viewpoint down to the leaf that the ray met,
// with the point met in world coordinates and its distance from the eye.
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/scene/KIVRepPath.h"
class KIVPickPath : public KIVRepPath {
 public:
  explicit KIVPickPath(KIVViewpoint* viewpoint = nullptr) : KIVRepPath(viewpoint) {}
  /// The picked point of the model, world frame.
  void GetGlobalIntersection(KIVMathPointf& point) const { point = mPoint; }
  KIVMathPointf GetGlobalIntersection() const { return mPoint; }
  void SetGlobalIntersection(const KIVMathPointf& point) { mPoint = point; }
  /// Distance from the eye along the ray.
  float GetDistance() const { return mDistance; }
  void SetDistance(float distance) { mDistance = distance; }
  /// The triangle met, counted in the leaf's pick triangles; -1 when not known.
  int GetTriangle() const { return mTriangle; }
  void SetTriangle(int triangle) { mTriangle = triangle; }
 private:
  KIVMathPointf mPoint;
  float mDistance = 0.0f;
  int mTriangle = -1;
};
