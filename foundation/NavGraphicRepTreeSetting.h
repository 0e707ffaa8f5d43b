#pragma once
// Setting of the representation tree browser: clearance, root type, its graph's layout and
// the optional analysis viewer. Undefined values: -1, -1.0 and null.

#include "foundation/NavSimpleGraphSetting.h"

class KIVGPWMessage;
class NavSimpleViewer3DSetting;

class NavGraphicRepTreeSetting {
 public:
  NavGraphicRepTreeSetting() = default;
  /// Deep copy of the analysis viewer setting.
  NavGraphicRepTreeSetting(const NavGraphicRepTreeSetting& other);
  /// Copies clearance and root type only where the source defines them, the graph setting
  /// always; an analysis viewer setting of the source is assigned to ours, or copied when we
  /// have none; without one in the source we keep ours.
  NavGraphicRepTreeSetting& operator=(const NavGraphicRepTreeSetting& other);
  ~NavGraphicRepTreeSetting();

  /// Bytes written by writeMessage: 12 plus the graph setting's size (16), plus the analysis
  /// viewer setting's size when there is one.
  int getMessageSize() const;
  /// Writes the graph setting, clearance, root type, the presence flag, the analysis viewer
  /// setting. 0 for a null message.
  int writeMessage(KIVGPWMessage* msg) const;
  /// Reads in the write order. A value that cannot be read stays as it was; a flag of 1
  /// creates the analysis viewer setting if needed and reads into it, any other flag leaves
  /// it alone. 1 when everything was read.
  int readMessage(KIVGPWMessage* msg);

  float clearance = -1.0f;     ///< clearance value of the interference check
  int rootType = -1;           ///< index of the root type shown by the browser
  NavSimpleGraphSetting graph;  ///< layout of the browser's tree graph
  NavSimpleViewer3DSetting* analysisViewer = nullptr;  ///< analysis viewer setting, owned, or null
};
