#pragma once
// Points drawn as symbols of a fixed size on screen, whatever their distance: the symbol
// is a type and a size in pixels. Symbols have no surface, so they give no triangles to
// picking; they are bounded by their points plus half their size on screen.
#include <vector>
#include "host/visu/scene/KIVGraphicPrimitive.h"
class KIV3DMarkerGP : public KIVGraphicPrimitive {
 public:
  enum Type { Dot = 0, Cross, Plus, Star, Square, Circle, Triangle, TypeCount };
  KIV3DMarkerGP() = default;
  /// `pointFloats` counts floats (three per point); see SetPoints, SetType and SetSize
  /// for what is refused (the default is kept).
  KIV3DMarkerGP(const float* points, int pointFloats, int type = Dot, float size = 5.0f);
  /// Replaces the points; a trailing partial point is dropped. A negative count or a null
  /// array with a positive count is refused (0).
  int SetPoints(const float* points, int pointFloats);
  const std::vector<float>& GetPoints() const { return mPoints; }
  int GetPickThinElements(std::vector<float>& points, std::vector<float>& segments) const override;
  int GetPointCount() const { return static_cast<int>(mPoints.size() / 3); }
  /// One of Type; others are refused (0).
  int SetType(int type);
  int GetType() const { return mType; }
  /// Pixels; zero, negative or non-finite sizes are refused (0).
  int SetSize(float pixels);
  float GetSize() const { return mSize; }
  void Draw(KIVRender& render) override;
  void GetBoundingPoints(std::vector<float>& points) const override;
  float GetScreenRadiusMM() const override { return 0.5f * mSize * kMillimetresPerPixel; }
 private:
  std::vector<float> mPoints;
  int mType = Dot;
  float mSize = 5.0f;
};
