#pragma once
// A text drawn facing the screen at a fixed pixel height, placed by an anchor point in the
// rep's frame and an alignment that says which point of the text's box sits on the anchor.
// It has no surface for picking and is bounded by its anchor plus, on screen, the reach of
// its box from the anchor (glyphs taken as 0.6 of the height wide).
#include <string>
#include <vector>
#include "host/visu/scene/KIVGraphicPrimitive.h"
#include "host/visu/math/KIVMathPointf.h"
class KIV3DAnnotationTextGP : public KIVGraphicPrimitive {
 public:
  /// Alignment: one horizontal value plus one vertical value.
  enum Alignment { Left = 0, Center = 1, Right = 2, Bottom = 0, Middle = 4, Top = 8, Baseline = 12 };
  static constexpr int HorizontalMask = 3;
  static constexpr int VerticalMask = 12;
  /// Where the anchor point lies on the text's box, as the library's text reps name
  /// their placement. BottomLeft (3) writes the text above and to the right of the
  /// point: beside a rod or a point symbol rather than across it.
  enum AnchorPoint {
    MiddleCenter = 0, MiddleLeft, MiddleRight, BottomLeft, BottomRight, TopLeft, TopRight, BottomCenter, TopCenter
  };
  /// The alignment of an anchor; values outside the enumeration give Left | Bottom.
  static int AlignmentOf(int anchor) {
    static constexpr int kAlignments[9] = {Center | Middle, Left | Middle, Right | Middle, Left | Bottom, Right | Bottom,
                                           Left | Top,      Right | Top,   Center | Bottom, Center | Top};
    return anchor >= 0 && anchor <= TopCenter ? kAlignments[anchor] : Left | Bottom;
  }
  KIV3DAnnotationTextGP() = default;
  /// See the setters for what is refused (the default is kept).
  KIV3DAnnotationTextGP(const KIVMathPointf& anchor, const std::string& text, float height = 12.0f,
                        int alignment = Left | Bottom);
  /// A non-finite anchor is refused (0).
  int SetAnchor(const KIVMathPointf& anchor);
  const KIVMathPointf& GetAnchor() const { return mAnchor; }
  /// Stored as valid UTF-8: a stray byte is read as the Latin-1 character it would be.
  void SetText(const std::string& text);
  const std::string& GetText() const { return mText; }
  /// Pixels; zero, negative or non-finite heights are refused (0).
  int SetHeight(float pixels);
  float GetHeight() const { return mHeight; }
  /// A horizontal of 3 or any bit outside the two fields is refused (0).
  int SetAlignment(int alignment);
  int GetAlignment() const { return mAlignment; }
  int GetHorizontalAlignment() const { return mAlignment & HorizontalMask; }
  int GetVerticalAlignment() const { return mAlignment & VerticalMask; }
  void Draw(KIVRender& render) override;
  void GetBoundingPoints(std::vector<float>& points) const override;
  float GetScreenRadiusMM() const override;
 private:
  KIVMathPointf mAnchor;
  std::string mText;
  float mHeight = 12.0f;
  int mAlignment = Left | Bottom;
};
