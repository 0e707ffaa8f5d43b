#pragma once
// The coordinates of a point picked on a grid: a small circle at the point and three
// lines "X=…", "Y=…", "Z=…" below it.
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/scene/KIV3DRep.h"
class KIV3DMarkerGP;
class KIVRender;
class KIVSiLaTextGP;

class KIVSiLaGridCoordRep : public KIV3DRep {
  KIV_DECLARE_METAOBJECT(KIVSiLaGridCoordRep)
 public:
  KIVSiLaGridCoordRep();
  /// At the snapped local point p, showing p's coordinates until UpdateValuesOnly.
  explicit KIVSiLaGridCoordRep(KIVMathPointf p);
  ~KIVSiLaGridCoordRep() override;
  KIVSiLaGridCoordRep(const KIVSiLaGridCoordRep&) = delete;
  KIVSiLaGridCoordRep& operator=(const KIVSiLaGridCoordRep&) = delete;
  /// The snapped local point the marker was made for.
  const KIVMathPointf& GetCreationPoint() const { return mCreation; }
  const KIVMathPointf& GetPosition() const { return mPosition; }
  const KIVMathPointf& GetValues() const { return mValues; }
  /// Moves the marker to p (also its creation point), showing p.
  void Update(KIVMathPointf p);
  /// Shows other values at the same place.
  void UpdateValuesOnly(KIVMathPointf values);
  void DrawShading(KIVRender& render, int mode) override;
  /// (Re)makes the text and the marker from the position and values.
  void CreateGP();
  KIVSiLaTextGP* GetText() const { return mText; }

 private:
  void DropGP();
  KIVMathPointf mPosition, mCreation, mValues;
  KIVSiLaTextGP* mText = nullptr;
  KIV3DMarkerGP* mMarker = nullptr;
};
