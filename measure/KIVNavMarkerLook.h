#pragma once
// The attribute words the markers give their parts: a colour index or a true colour,
// the two-bit style field, always pickable.
#include "host/visu/scene/KIVRep.h"

class KIVNavMarkerLook {
 public:
  /// Colour index c (255: the true colour r, g, b), the style in bits 4 and 5 of the
  /// flags, and the pickable bit (bit 0) cleared.
  static void Apply(KIVRep& rep, unsigned int c, unsigned int r, unsigned int g, unsigned int b, int style) {
    KIVGraphicAttributeSet a = rep.GetGraphicAttributeSet();
    if (c == 255) {
      a.SetRGBA(static_cast<unsigned char>(r), static_cast<unsigned char>(g), static_cast<unsigned char>(b), 255);
    } else {
      a.SetColorIndex(static_cast<int>(c));
    }
    a.bytes[3] = static_cast<unsigned char>((a.bytes[3] & ~(KIVGraphicAttributeSet::TypeField | 0x01)) |
                                            ((style & 3) << 4));
    rep.SetGraphicAttributeSet(a);
  }
  /// Only the colour: index c, or the true colour when c is 255.
  static void Colour(KIVRep& rep, unsigned int c, unsigned int r, unsigned int g, unsigned int b) {
    Apply(rep, c, r, g, b, rep.GetGraphicAttributeSet().GetType());
  }
};
