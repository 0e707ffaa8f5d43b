#pragma once
// A text anchored at a point of the scene, drawn at a constant pixel size facing the
// screen. Its bounding sphere is infinite: a text is never culled by bounds, since its
// extent is in pixels, not in the scene.
#include <string>

#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/scene/KIV3DAnnotationTextGP.h"
#include "host/visu/scene/KIV3DCustomRep.h"
class KIVRender;

class KIV3DTextRep : public KIV3DCustomRep {
  KIV_DECLARE_METAOBJECT(KIV3DTextRep)
 public:
  using AnchorPoint = KIV3DAnnotationTextGP::AnchorPoint;
  /// A null text is taken as empty.
  KIV3DTextRep(const KIVMathPointf& p, const char* text, AnchorPoint anchor);
  ~KIV3DTextRep() override;
  /// Replaces the text primitive by one at p with this text and anchor.
  void BuildText(const KIVMathPointf& p, const char* text, AnchorPoint anchor);
  /// Moves the text to p; a null text keeps the current one. The anchor stays.
  void Modify(const KIVMathPointf& p, const char* text);
  const KIVMathPointf& GetCurrentPosition() const { return mCurrent; }
  /// The primitive's text (UTF-8).
  const char* GetText() const;
  AnchorPoint GetAnchor() const { return mAnchor; }
  /// The text primitive; the rep owns it.
  KIV3DAnnotationTextGP* GetTextGP() const { return mText; }
  void DrawShading(KIVRender& render, int mode) override;
  /// Pixels: what the markers' labels use, legible in a capture.
  static constexpr float kHeight = 14.0f;

 private:
  KIVMathPointf mPosition;  // at construction
  KIVMathPointf mCurrent;   // since the last Modify
  AnchorPoint mAnchor = KIV3DAnnotationTextGP::BottomLeft;
  KIV3DAnnotationTextGP* mText = nullptr;
};
