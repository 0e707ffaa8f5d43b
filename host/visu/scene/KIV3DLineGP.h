#pragma once
// Separate line segments, each a pair of points. Lines give no triangles to picking.
#include <vector>
#include "host/visu/scene/KIVGraphicPrimitive.h"
#include "host/visu/math/KIVMathPointf.h"
class KIV3DLineGP : public KIVGraphicPrimitive {
 public:
  KIV3DLineGP() = default;
  /// `pointFloats` counts floats: six per segment.
  KIV3DLineGP(const float* points, int pointFloats);
  /// Replaces the segments; a trailing partial segment is dropped. A negative count or a
  /// null array with a positive count is refused (0).
  int SetPoints(const float* points, int pointFloats);
  /// Appends one segment.
  void AddSegment(const KIVMathPointf& from, const KIVMathPointf& to);
  const std::vector<float>& GetPoints() const { return mPoints; }
  int GetSegmentCount() const { return static_cast<int>(mPoints.size() / 6); }
  int GetPickThinElements(std::vector<float>& points, std::vector<float>& segments) const override;
  /// The ends of segment `index`; 0 when out of range.
  int GetSegment(int index, KIVMathPointf& from, KIVMathPointf& to) const;
  void Draw(KIVRender& render) override;
  void GetBoundingPoints(std::vector<float>& points) const override;
 private:
  std::vector<float> mPoints;
};
