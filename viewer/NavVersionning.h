#pragma once
// Release switches of the application: widgets that only a newer release offers appear
// when the switch is set. Hosts set them once at start, before the panels open.

class NavVersionning {
 public:
  /// The newer release: the quality panel's occlusion, mesh, outline, HLR and HRD boxes.
  static inline int NewReleaseFlag = 1;
  /// The base release: the colour chooser's colour-map index editor.
  static inline int BaseReleaseFlag = 0;
};
