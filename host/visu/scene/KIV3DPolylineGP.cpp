#include "host/visu/scene/KIV3DPolylineGP.h"

#include "host/visu/view/KIVRender.h"

KIV3DPolylineGP::KIV3DPolylineGP(const float* vertices, int vertexFloats, int closed) : mClosed(closed ? 1 : 0) {
  SetVertices(vertices, vertexFloats);
}

int KIV3DPolylineGP::SetVertices(const float* vertices, int vertexFloats) {
  if (vertexFloats < 0 || (vertexFloats > 0 && !vertices)) return 0;
  mVertices.assign(vertices, vertices + (vertexFloats - vertexFloats % 3));
  GeometryChanged();
  return 1;
}

void KIV3DPolylineGP::SetClosed(int closed) {
  mClosed = closed ? 1 : 0;
  GeometryChanged();
}

int KIV3DPolylineGP::GetSegmentCount() const {
  const int n = GetVertexCount();
  if (n < 2) return 0;
  return mClosed && n > 2 ? n : n - 1;
}

int KIV3DPolylineGP::GetSegment(int index, KIVMathPointf& from, KIVMathPointf& to) const {
  if (index < 0 || index >= GetSegmentCount()) return 0;
  const int next = (index + 1) % GetVertexCount();
  from = KIVMathPointf(&mVertices[3 * index]);
  to = KIVMathPointf(&mVertices[3 * next]);
  return 1;
}

void KIV3DPolylineGP::Draw(KIVRender& render) { render.Draw3DPolyline(*this); }

void KIV3DPolylineGP::GetBoundingPoints(std::vector<float>& points) const {
  points.insert(points.end(), mVertices.begin(), mVertices.end());
}

int KIV3DPolylineGP::GetPickThinElements(std::vector<float>&, std::vector<float>& segments) const {
  KIVMathPointf from, to;
  int any = 0;
  for (int k = 0; GetSegment(k, from, to); ++k, any = 1) segments.insert(segments.end(), {from.x, from.y, from.z, to.x, to.y, to.z});
  return any;
}
