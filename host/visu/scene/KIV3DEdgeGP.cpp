#include "host/visu/scene/KIV3DEdgeGP.h"

#include <algorithm>

#include "host/visu/view/KIVRender.h"

namespace {
bool ValidVertices(const float* vertices, int vertexFloats) { return vertexFloats >= 0 && (vertexFloats == 0 || vertices); }
// The largest index, -1 when there is none, -2 when one is negative or the array is bad.
int Highest(const int* edges, int edgeCount) {
  if (edgeCount < 0 || edgeCount > (1 << 29) || (edgeCount > 0 && !edges)) return -2;
  int highest = -1;
  for (int i = 0; i < 2 * edgeCount; ++i) {
    if (edges[i] < 0) return -2;
    highest = std::max(highest, edges[i]);
  }
  return highest;
}
}  // namespace

KIV3DEdgeGP::KIV3DEdgeGP(const float* vertices, int vertexFloats, const int* edges, int edgeCount) {
  Set(vertices, vertexFloats, edges, edgeCount);
}

int KIV3DEdgeGP::Set(const float* vertices, int vertexFloats, const int* edges, int edgeCount) {
  const int highest = Highest(edges, edgeCount);
  if (!ValidVertices(vertices, vertexFloats) || highest < -1 || highest >= vertexFloats / 3) return 0;
  mVertices.assign(vertices, vertices + (vertexFloats - vertexFloats % 3));
  mEdges.assign(edges, edges + 2 * edgeCount);
  mHighestIndex = highest;
  GeometryChanged();
  return 1;
}

int KIV3DEdgeGP::SetVertices(const float* vertices, int vertexFloats) {
  if (!ValidVertices(vertices, vertexFloats) || mHighestIndex >= vertexFloats / 3) return 0;
  mVertices.assign(vertices, vertices + (vertexFloats - vertexFloats % 3));
  GeometryChanged();
  return 1;
}

int KIV3DEdgeGP::SetEdges(const int* edges, int edgeCount) {
  const int highest = Highest(edges, edgeCount);
  if (highest < -1 || highest >= GetVertexCount()) return 0;
  mEdges.assign(edges, edges + 2 * edgeCount);
  mHighestIndex = highest;
  GeometryChanged();
  return 1;
}

void KIV3DEdgeGP::Draw(KIVRender& render) { render.Draw3DEdge(*this); }

void KIV3DEdgeGP::GetBoundingPoints(std::vector<float>& points) const {
  std::vector<char> used(mVertices.size() / 3, 0);
  for (int i : mEdges) used[i] = 1;
  for (size_t v = 0; v < used.size(); ++v)
    if (used[v]) points.insert(points.end(), mVertices.begin() + 3 * v, mVertices.begin() + 3 * v + 3);
}
