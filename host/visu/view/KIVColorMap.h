#pragma once
// The 256 colours that a rep's colour index addresses, components in [0, 1]: a grey ramp
// with the primaries first, so that small indices are telling colours.
class KIVColorMap {
 public:
  KIVColorMap();
  /// An index outside [0, 255] is refused (0); components are clamped.
  int SetColor(int index, float r, float g, float b);
  /// Three floats; 0 for a bad index or a null array.
  int GetColor(int index, float* rgb) const;
 private:
  float mColors[256][3];
};
