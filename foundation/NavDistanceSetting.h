#pragma once
// Settings of the distance tool's gauge. Undefined values: -1 and -1.0.

class KIVGPWMessage;

class NavDistanceSetting {
 public:
  NavDistanceSetting() = default;
  NavDistanceSetting(const NavDistanceSetting&) = default;
  /// Copies only the source's defined values, so that a partial setting updates a full one.
  NavDistanceSetting& operator=(const NavDistanceSetting& other);

  /// Bytes written by writeMessage: 12.
  int getMessageSize() const;
  /// Writes width, colour, show text. 0 for a null message, else 1.
  int writeMessage(KIVGPWMessage* msg) const;
  /// Reads in the write order; a value that cannot be read stays as it was. 1 when all were read.
  int readMessage(KIVGPWMessage* msg);

  int color = -1;       ///< gauge colour index in the viewer's colour map
  int showText = -1;    ///< 1 shows the measured value as text, 0 hides it
  float width = -1.0f;  ///< gauge line width
};
