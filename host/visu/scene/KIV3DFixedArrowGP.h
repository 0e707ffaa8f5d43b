#pragma once
// An arrow of a fixed size on screen (axis markers, handles): from an origin along a
// direction, its length in millimetres on screen whatever the distance, optionally with
// a head and a text at its tip. It has no surface in the model, so it gives picking no
// triangles; it is bounded by its origin, with its length as screen radius.
#include <string>
#include <vector>
#include "host/visu/scene/KIVGraphicPrimitive.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/math/KIVMathVectorf.h"
class KIV3DFixedArrowGP : public KIVGraphicPrimitive {
 public:
  /// Style bits: the arrow has a head, the head is filled (else drawn as lines), the
  /// associated text is shown at the tip. 0 is a bare shaft.
  static constexpr int StyleHead = 1, StyleFilledHead = 2, StyleText = 4;
  static constexpr float kDefaultLength = 10.0f;
  KIV3DFixedArrowGP() = default;
  /// See SetDirection, SetLength and SetStyle for what is refused (the default is kept).
  KIV3DFixedArrowGP(const KIVMathPointf& origin, const KIVMathVectorf& direction, float length, int style);
  void SetOrigin(const KIVMathPointf& origin);
  const KIVMathPointf& GetOrigin() const { return mOrigin; }
  /// Kept as a unit vector; a zero or non-finite direction is refused (0).
  int SetDirection(const KIVMathVectorf& direction);
  const KIVMathVectorf& GetDirection() const { return mDirection; }
  /// Millimetres on screen; negative or non-finite lengths are refused (0). 0 draws nothing.
  int SetLength(float millimetres);
  float GetLength() const { return mLength; }
  /// A combination of the Style bits; other bits are refused (0).
  int SetStyle(int style);
  int GetStyle() const { return mStyle; }
  /// The text drawn at the tip when the style shows it; null clears it.
  void AssociateText(const char* text) { mText = text ? text : ""; }
  const std::string& GetText() const { return mText; }
  void Draw(KIVRender& render) override;
  void GetBoundingPoints(std::vector<float>& points) const override;
  float GetScreenRadiusMM() const override { return mLength; }
 private:
  KIVMathPointf mOrigin;
  KIVMathVectorf mDirection{1.0f, 0.0f, 0.0f};
  float mLength = kDefaultLength;
  int mStyle = StyleHead;
  std::string mText;
};
