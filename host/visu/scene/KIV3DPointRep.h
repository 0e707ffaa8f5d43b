#pragma once
// A point of the scene shown as a marker of a fixed screen size. The rep keeps the point
// and the look and writes them into the first marker it holds (making one if it has none),
// so a primitive removed from it behind its back is simply replaced.
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DMarkerGP.h"
class KIV3DPointRep : public KIV3DCustomRep {
  KIV_DECLARE_METAOBJECT(KIV3DPointRep)
 public:
  explicit KIV3DPointRep(const KIVMathPointf& point = KIVMathPointf(), int type = KIV3DMarkerGP::Cross,
                         float size = 7.0f);
  /// A non-finite point is refused (0).
  int SetPoint(const KIVMathPointf& point);
  const KIVMathPointf& GetPoint() const { return mPoint; }
  /// As KIV3DMarkerGP refuses them (nothing changes on a refusal).
  int SetMarker(int type, float size);
  int GetMarkerType() const { return mType; }
  float GetMarkerSize() const { return mSize; }
 private:
  void Update();
  KIVMathPointf mPoint;
  int mType = KIV3DMarkerGP::Cross;
  float mSize = 7.0f;
};
