#pragma once
// Setting of a secondary viewer window and of its own extended viewer. Undefined values:
// -1 and -1.0.

#include "foundation/NavViewerSetting.h"

class KIVGPWMessage;

class NavSimpleViewer3DSetting {
 public:
  NavSimpleViewer3DSetting() = default;
  NavSimpleViewer3DSetting(const NavSimpleViewer3DSetting&) = default;
  NavSimpleViewer3DSetting& operator=(const NavSimpleViewer3DSetting&) = default;

  /// Bytes written by writeMessage: 20 plus the viewer setting's size.
  int getMessageSize() const;
  /// Writes the size ratio, the four ints, then the viewer setting. 0 for a null message.
  int writeMessage(KIVGPWMessage* msg) const;
  /// Reads in the write order; a value that cannot be read stays as it was. 1 when all were read.
  int readMessage(KIVGPWMessage* msg);

  float sizeRatio = -1.0f;  ///< size ratio of the secondary view
  NavViewerSetting viewer;  ///< setting of the secondary window's own extended viewer
  int dispatch = -1;        ///< dispatch configuration state
  int targetFixed = -1;     ///< fixed-target state
  int logicalView = -1;     ///< logical view code of the secondary view
  int label = -1;           ///< display of the view's text label
};
