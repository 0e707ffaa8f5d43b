#pragma once
// The edges of a face drawn as lines: a vertex array and pairs of indices into it, so that
// edges shared by several triangles are drawn once. Edges give no triangles to picking.
// The indices always fit the vertices: every setter refuses a change that would break it.
#include <vector>
#include "host/visu/scene/KIVGraphicPrimitive.h"
class KIV3DEdgeGP : public KIVGraphicPrimitive {
 public:
  KIV3DEdgeGP() = default;
  /// `vertexFloats` counts floats (three per vertex), `edges` holds 2 × edgeCount indices.
  KIV3DEdgeGP(const float* vertices, int vertexFloats, const int* edges, int edgeCount);
  /// Both at once; refused (0, nothing changed) as SetVertices and SetEdges refuse.
  int Set(const float* vertices, int vertexFloats, const int* edges, int edgeCount);
  /// Replaces the vertices; a trailing partial vertex is dropped. Refused (0) for a
  /// negative count, a null array with a positive count, or fewer vertices than the
  /// edges use.
  int SetVertices(const float* vertices, int vertexFloats);
  /// Replaces the edges. Refused (0) for a negative count or an index outside the vertices.
  int SetEdges(const int* edges, int edgeCount);
  const std::vector<float>& GetVertices() const { return mVertices; }
  const std::vector<int>& GetEdges() const { return mEdges; }
  int GetVertexCount() const { return static_cast<int>(mVertices.size() / 3); }
  int GetEdgeCount() const { return static_cast<int>(mEdges.size() / 2); }
  void Draw(KIVRender& render) override;
  /// The vertices that edges use (an unused vertex is not drawn, so it bounds nothing).
  void GetBoundingPoints(std::vector<float>& points) const override;
 private:
  std::vector<float> mVertices;
  std::vector<int> mEdges;
  int mHighestIndex = -1;  // the largest index the edges use
};
