#include "host/visu/scene/KIV3DLineRep.h"

#include <cmath>

#include "host/visu/scene/KIV3DLineGP.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DLineRep, KIV3DCustomRep)

namespace {
bool Finite(const KIVMathPointf& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }
}  // namespace

KIV3DLineRep::KIV3DLineRep(const KIVMathPointf& from, const KIVMathPointf& to) {
  if (Finite(from) && Finite(to)) mFrom = from, mTo = to;
  Update();
}

int KIV3DLineRep::SetPoints(const KIVMathPointf& from, const KIVMathPointf& to) {
  if (!Finite(from) || !Finite(to)) return 0;
  mFrom = from;
  mTo = to;
  Update();
  return 1;
}

void KIV3DLineRep::GetPoints(KIVMathPointf& from, KIVMathPointf& to) const {
  from = mFrom;
  to = mTo;
}

int KIV3DLineRep::SetThickness(int pixels) {
  if (pixels < 1 || pixels > 255) return 0;
  KIVGraphicAttributeSet set = GetGraphicAttributeSet();
  set.bytes[2] = static_cast<unsigned char>(pixels);
  SetGraphicAttributeSet(set);
  return 1;
}

void KIV3DLineRep::Update() {
  const float ends[6] = {mFrom.x, mFrom.y, mFrom.z, mTo.x, mTo.y, mTo.z};
  KIV3DLineGP* line = nullptr;
  for (int i = 0; i < GetGPCount(0) && !line; ++i) line = dynamic_cast<KIV3DLineGP*>(GetGP(i, 0));
  if (line) {
    line->SetPoints(ends, 6);
    GeometryModified();
  } else {
    AddGP(new KIV3DLineGP(ends, 6));  // which recomputes the sphere
  }
}
