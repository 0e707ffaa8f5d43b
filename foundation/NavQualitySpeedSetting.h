#pragma once
// Level of detail, culling and view modes of a viewer. Undefined values: -1 and -1.0.

class KIVGPWMessage;

class NavQualitySpeedSetting {
 public:
  /// Bits of modeBits.
  enum Mode {
    kUseLod = 1,          ///< level of detail and pixel culling in use
    kDisplayEdge = 2,     ///< host view mode 2
    kDisplayTexture = 4,  ///< host view mode 8
    kMesh = 8,            ///< host view mode 1
    kOutline = 16,        ///< host view mode 4
    kHlr = 32,            ///< host view mode 16
    kHrd = 64,            ///< host view mode 32
    kOcclusion = 128      ///< occlusion drawing
  };

  NavQualitySpeedSetting() = default;
  NavQualitySpeedSetting(const NavQualitySpeedSetting&) = default;
  NavQualitySpeedSetting& operator=(const NavQualitySpeedSetting&) = default;

  /// Bytes written by writeMessage: 20.
  int getMessageSize() const;
  /// Writes the four precisions, then the mode bits as a float. 0 for a null message.
  int writeMessage(KIVGPWMessage* msg) const;
  /// Reads in the write order; the mode bits float is truncated back to an int, and one
  /// that no int can hold (NaN, out of range) leaves the mode bits unchanged and gives 0.
  int readMessage(KIVGPWMessage* msg);

  int modeBits = -1;                  ///< Mode bits
  float staticSag = -1.0f;            ///< sag precision while the view is still
  float dynamicSag = -1.0f;           ///< sag precision while the view moves
  float staticPixelCulling = -1.0f;   ///< culling size in pixels while still
  float dynamicPixelCulling = -1.0f;  ///< culling size in pixels while moving
};
