#pragma once
// The eight bytes that say how a rep looks. Byte 0 is the colour index (255: the colour is
// the RGBA of bytes 4 to 7), byte 1 the line type, byte 2 the thickness in pixels, byte 3
// the flags. Read as a 32-bit word, byte 0 is the high byte and the flags the low one.

class KIVGraphicAttributeSet {
 public:
  static constexpr unsigned char Transparent = 0x80;
  static constexpr unsigned char Hidden = 0x08;
  static constexpr unsigned char LowLighted = 0x04;
  static constexpr unsigned char Selected = 0x02;  // also the high-light look
  static constexpr unsigned char NotPickable = 0x01;
  static constexpr unsigned char TypeField = 0x30;
  static constexpr unsigned char ColorRGBA = 255;

  unsigned char bytes[8] = {253, 1, 1, 0, 0, 0, 0, 1};

  /// The first word: colour index in bits 24 to 31, flags in bits 0 to 7.
  unsigned int GetFirstWord() const {
    return static_cast<unsigned int>(bytes[0]) << 24 | static_cast<unsigned int>(bytes[1]) << 16 |
           static_cast<unsigned int>(bytes[2]) << 8 | bytes[3];
  }
  int GetColorIndex() const { return bytes[0]; }
  /// Values outside 0 to 255 are stored as 253, the default colour.
  void SetColorIndex(int index) { bytes[0] = static_cast<unsigned char>(index >= 0 && index <= 255 ? index : 253); }
  void SetRGBA(unsigned char r, unsigned char g, unsigned char b, unsigned char a) {
    bytes[0] = ColorRGBA;
    bytes[4] = r, bytes[5] = g, bytes[6] = b, bytes[7] = a;
  }
  int GetFlag(unsigned char flag) const { return (bytes[3] & flag) ? 1 : 0; }
  void SetFlag(unsigned char flag, int on) {
    bytes[3] = static_cast<unsigned char>(on ? bytes[3] | flag : bytes[3] & ~flag);
  }
  /// The object type, 0 to 3.
  int GetType() const { return (bytes[3] & TypeField) >> 4; }
  bool operator==(const KIVGraphicAttributeSet&) const = default;
};
