#include "host/visu/scene/KIV3DLineGP.h"

#include "host/visu/view/KIVRender.h"

KIV3DLineGP::KIV3DLineGP(const float* points, int pointFloats) { SetPoints(points, pointFloats); }

int KIV3DLineGP::SetPoints(const float* points, int pointFloats) {
  if (pointFloats < 0 || (pointFloats > 0 && !points)) return 0;
  mPoints.assign(points, points + (pointFloats - pointFloats % 6));
  GeometryChanged();
  return 1;
}

void KIV3DLineGP::AddSegment(const KIVMathPointf& from, const KIVMathPointf& to) {
  mPoints.insert(mPoints.end(), {from.x, from.y, from.z, to.x, to.y, to.z});
  GeometryChanged();
}

int KIV3DLineGP::GetSegment(int index, KIVMathPointf& from, KIVMathPointf& to) const {
  if (index < 0 || index >= GetSegmentCount()) return 0;
  from = KIVMathPointf(&mPoints[6 * index]);
  to = KIVMathPointf(&mPoints[6 * index + 3]);
  return 1;
}

void KIV3DLineGP::Draw(KIVRender& render) { render.Draw3DLine(*this); }

void KIV3DLineGP::GetBoundingPoints(std::vector<float>& points) const {
  points.insert(points.end(), mPoints.begin(), mPoints.end());
}

int KIV3DLineGP::GetPickThinElements(std::vector<float>&, std::vector<float>& segments) const {
  KIVMathPointf from, to;
  int any = 0;
  for (int k = 0; GetSegment(k, from, to); ++k, any = 1) segments.insert(segments.end(), {from.x, from.y, from.z, to.x, to.y, to.z});
  return any;
}
