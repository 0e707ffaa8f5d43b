#pragma once
// Whether the display that the environment names can be reached, checked before the
// window system is started: Qt aborts the process when it cannot connect, and navview
// should rather say so and run headless.
#include <string>

class NavviewDisplay {
 public:
  /// An X display name ("[host]:N[.S]"): a local one through its socket in socketDir, a
  /// remote one (ssh forwarding, for instance) through TCP port 6000 + N.
  static bool ReachableX(const std::string& display, const std::string& socketDir = "/tmp/.X11-unix");
  /// A Wayland display name, relative to runtimeDir unless absolute.
  static bool ReachableWayland(const std::string& display, const std::string& runtimeDir);
  /// From DISPLAY, WAYLAND_DISPLAY and XDG_RUNTIME_DIR; why fills with the reason when not.
  static bool FromEnvironment(std::string* why);
};
