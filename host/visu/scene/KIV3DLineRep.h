#pragma once
// A segment between two points, drawn as a line, optionally thicker than one pixel. The
// rep keeps the ends and writes them into the first line primitive it holds (making one
// if it has none).
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/math/KIVMathPointf.h"
class KIV3DLineRep : public KIV3DCustomRep {
  KIV_DECLARE_METAOBJECT(KIV3DLineRep)
 public:
  KIV3DLineRep(const KIVMathPointf& from = KIVMathPointf(), const KIVMathPointf& to = KIVMathPointf());
  /// A non-finite end is refused (0).
  int SetPoints(const KIVMathPointf& from, const KIVMathPointf& to);
  void GetPoints(KIVMathPointf& from, KIVMathPointf& to) const;
  /// The thickness in pixels, 1 to 255, kept in the graphic attribute set; others are
  /// refused (0).
  int SetThickness(int pixels);
  int GetThickness() const { return GetGraphicAttributeSet().bytes[2]; }
 private:
  void Update();
  KIVMathPointf mFrom, mTo;
};
