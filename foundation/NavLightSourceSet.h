#pragma once
// The directional lights of a viewer. The light count is undefined at -1; the directions
// default to +X.

class KIVGPWMessage;

class NavLightSourceSet {
 public:
  NavLightSourceSet() = default;
  NavLightSourceSet(const NavLightSourceSet&) = default;
  NavLightSourceSet& operator=(const NavLightSourceSet&) = default;

  /// Bytes written by writeMessage: 28.
  int getMessageSize() const;
  /// Writes the count, then the first and the second direction. 0 for a null message.
  int writeMessage(KIVGPWMessage* msg) const;
  /// Reads in the write order; a value that cannot be read stays as it was. 1 when all were read.
  int readMessage(KIVGPWMessage* msg);

  int lightCount = -1;                          ///< 1 or 2 directional lights
  float firstDirection[3] = {1.0f, 0.0f, 0.0f};   ///< x, y, z direction of the first light
  float secondDirection[3] = {1.0f, 0.0f, 0.0f};  ///< x, y, z direction of the second light
};
