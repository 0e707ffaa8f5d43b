#pragma once
// A point cloud: points drawn as square dots of a fixed size in pixels, each with its own
// RGBA colour when colours are given (they multiply the rep's colour), else the rep's.
// A scan holds millions of points, so they are drawn from one buffer, not as symbols.
// For picking, each point stands as a small octahedron whose radius defaults to a third
// of the cloud's typical spacing (its box's diagonal over the square root of the count,
// as for a scanned surface): a ray passing that close to a point hits it, which at the
// distance a cloud is usually seen from is within a few pixels.
#include <vector>
#include "host/visu/scene/KIVGraphicPrimitive.h"
class KIV3DPointSetGP : public KIVGraphicPrimitive {
 public:
  KIV3DPointSetGP() = default;
  /// See SetPoints and SetColors; null colours leave the points the rep's colour.
  KIV3DPointSetGP(const float* points, int pointFloats, const unsigned char* rgba = nullptr, float size = 2.0f);
  /// Replaces the points (a trailing partial point is dropped) and drops the colours.
  /// A negative count, a null array with a positive count or a non-finite coordinate is
  /// refused (0).
  int SetPoints(const float* points, int pointFloats);
  /// RGBA bytes, four per point, or null to drop them; another count is refused (0).
  int SetColors(const unsigned char* rgba, int pointCount);
  const std::vector<float>& GetPoints() const { return mPoints; }
  const std::vector<unsigned char>& GetColors() const { return mColors; }
  int GetPointCount() const { return static_cast<int>(mPoints.size() / 3); }
  /// Pixels; zero, negative or non-finite sizes are refused (0).
  int SetSize(float pixels);
  float GetSize() const { return mSize; }
  /// The radius, in the points' frame, within which a ray picks a point; 0 (the default)
  /// takes it from the spacing. Negative or non-finite values are refused (0).
  int SetPickRadius(float radius);
  /// The radius in use.
  float GetPickRadius() const;
  void Draw(KIVRender& render) override;
  int GetPickTriangles(std::vector<float>& vertices, std::vector<int>& indices) const override;
  void GetBoundingPoints(std::vector<float>& points) const override;
  float GetScreenRadiusMM() const override { return 0.5f * mSize * kMillimetresPerPixel; }
 private:
  std::vector<float> mPoints;
  std::vector<unsigned char> mColors;
  float mSize = 2.0f;
  float mPickRadius = 0.0f;
};
