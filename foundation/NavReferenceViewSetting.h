#pragma once
// Background colour, ground reference and collision behaviour of a viewer. Undefined
// values: -1, -1.0, and 0 for the reference plane.

class KIVGPWMessage;

class NavReferenceViewSetting {
 public:
  NavReferenceViewSetting() = default;
  NavReferenceViewSetting(const NavReferenceViewSetting&) = default;
  NavReferenceViewSetting& operator=(const NavReferenceViewSetting&) = default;

  /// Bytes written by writeMessage: 28.
  int getMessageSize() const;
  /// Writes the four floats, then the three ints, each in declaration order. 0 for a null message.
  int writeMessage(KIVGPWMessage* msg) const;
  /// Reads in the write order; a value that cannot be read stays as it was. 1 when all were read.
  int readMessage(KIVGPWMessage* msg);

  float backgroundRed = -1.0f;      ///< background colour, red component in [0, 1]
  float backgroundGreen = -1.0f;    ///< background colour, green component in [0, 1]
  float backgroundBlue = -1.0f;     ///< background colour, blue component in [0, 1]
  float collisionDistance = -1.0f;  ///< distance kept from obstacles when walking or flying forward
  /// Ground plane bits: 1 X-Y (vertical Z), 2 X-Z (vertical Y), 8 Y-Z (vertical X); 16 added
  /// reverses the vertical; 0 not given.
  int referencePlane = 0;
  int gravity = -1;         ///< 0 none, 1 down, 2 up or down
  int collisionCheck = -1;  ///< 1 collision checking on, 0 off
};
