#include "host/visu/scene/KIV3DPointRep.h"

#include <cmath>

KIV_IMPLEMENT_METAOBJECT(KIV3DPointRep, KIV3DCustomRep)

KIV3DPointRep::KIV3DPointRep(const KIVMathPointf& point, int type, float size) {
  if (std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z)) mPoint = point;
  // A scratch primitive checks the values, so that the rules live in one place.
  KIV3DMarkerGP probe;
  if (probe.SetType(type) && probe.SetSize(size)) mType = type, mSize = size;
  Update();
}

int KIV3DPointRep::SetPoint(const KIVMathPointf& point) {
  if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z)) return 0;
  mPoint = point;
  Update();
  return 1;
}

int KIV3DPointRep::SetMarker(int type, float size) {
  KIV3DMarkerGP probe;
  if (!probe.SetType(type) || !probe.SetSize(size)) return 0;
  mType = type;
  mSize = size;
  Update();
  return 1;
}

void KIV3DPointRep::Update() {
  const float xyz[3] = {mPoint.x, mPoint.y, mPoint.z};
  KIV3DMarkerGP* marker = nullptr;
  for (int i = 0; i < GetGPCount(0) && !marker; ++i) marker = dynamic_cast<KIV3DMarkerGP*>(GetGP(i, 0));
  if (marker) {
    marker->SetPoints(xyz, 3);
    marker->SetType(mType);
    marker->SetSize(mSize);
    GeometryModified();
  } else {
    AddGP(new KIV3DMarkerGP(xyz, 3, mType, mSize));  // which recomputes the sphere
  }
}
