#pragma once
// Persistent setting of the viewpoint palette. Undefined values: -1, -1.0 and null.

class KIVGPWMessage;
class NavSimpleViewer3DSetting;

class NavPaletteViewerSetting {
 public:
  NavPaletteViewerSetting() = default;
  /// Deep copy of the secondary viewer setting.
  NavPaletteViewerSetting(const NavPaletteViewerSetting& other);
  /// Copies every field; a secondary viewer setting of the source is assigned to ours, or
  /// copied when we have none; without one in the source we keep ours.
  NavPaletteViewerSetting& operator=(const NavPaletteViewerSetting& other);
  ~NavPaletteViewerSetting();

  /// Bytes written by writeMessage: 24, plus the secondary viewer setting's size when there is one.
  int getMessageSize() const;
  /// Writes the two floats, the three ints, the presence flag, the secondary viewer setting.
  /// 0 for a null message.
  int writeMessage(KIVGPWMessage* msg) const;
  /// Reads in the write order. A value that cannot be read stays as it was; a flag of 1
  /// creates the secondary viewer setting if needed and reads into it, any other flag leaves
  /// it alone. 1 when everything was read.
  int readMessage(KIVGPWMessage* msg);

  float translationStep = -1.0f;  ///< step of the translation buttons
  float rotationStep = -1.0f;     ///< step of the rotation buttons, in degrees
  int interactiveState = -1;      ///< 1: the viewpoint object follows the palette interactively
  int standardViewState = -1;     ///< 1: the standard-view buttons change the view
  int targetFixedState = -1;      ///< 1: the target stays fixed while the eye moves
  NavSimpleViewer3DSetting* secondaryViewer = nullptr;  ///< secondary viewer setting, owned, or null
};
