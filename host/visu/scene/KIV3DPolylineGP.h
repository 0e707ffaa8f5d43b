#pragma once
// A line through a list of vertices, drawn connected, and back to the first when closed.
// Lines give no triangles to picking.
#include <vector>
#include "host/visu/scene/KIVGraphicPrimitive.h"
#include "host/visu/math/KIVMathPointf.h"
class KIV3DPolylineGP : public KIVGraphicPrimitive {
 public:
  KIV3DPolylineGP() = default;
  /// `vertexFloats` counts floats (three per vertex).
  KIV3DPolylineGP(const float* vertices, int vertexFloats, int closed = 0);
  /// Replaces the vertices; a trailing partial vertex is dropped. A negative count or a
  /// null array with a positive count is refused (0).
  int SetVertices(const float* vertices, int vertexFloats);
  const std::vector<float>& GetVertices() const { return mVertices; }
  int GetVertexCount() const { return static_cast<int>(mVertices.size() / 3); }
  void SetClosed(int closed);
  int IsClosed() const { return mClosed; }
  /// Segments drawn: one fewer than the vertices, or as many when closed with three or
  /// more (two vertices closed are one segment, not a doubled one).
  int GetSegmentCount() const;
  int GetPickThinElements(std::vector<float>& points, std::vector<float>& segments) const override;
  /// The ends of segment `index`; 0 when out of range.
  int GetSegment(int index, KIVMathPointf& from, KIVMathPointf& to) const;
  void Draw(KIVRender& render) override;
  void GetBoundingPoints(std::vector<float>& points) const override;
 private:
  std::vector<float> mVertices;
  int mClosed = 0;
};
