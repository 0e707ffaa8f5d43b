#pragma once
// The viewer's "Quality & Speed" and "View Settings" panels in navview's script, driven
// as a person drives them: `quality [static-sag S] [dynamic-sag S] [static-pixel P]
// [dynamic-pixel P] [lod on|off] [edges on|off]` (the panel opened, the values set,
// Apply, OK), `background R G B`, `gravity 0|1|2`, `collision on|off [D]`,
// `reference xy|xz|yz [reverse]`. Each answers the viewer's setting afterwards.
#include <string>
#include <vector>

class NavviewSession;

class NavviewPanels {
 public:
  explicit NavviewPanels(NavviewSession& session) : mSession(session) {}
  NavviewPanels(const NavviewPanels&) = delete;
  NavviewPanels& operator=(const NavviewPanels&) = delete;
  /// The words after `quality`; none only says the setting.
  std::string Quality(const std::vector<std::string>& words, bool& failed);
  std::string Background(const std::vector<std::string>& words, bool& failed);
  std::string Gravity(const std::vector<std::string>& words, bool& failed);
  std::string Collision(const std::vector<std::string>& words, bool& failed);
  std::string Reference(const std::vector<std::string>& words, bool& failed);
  static const char* QualityUsage() {
    return "[static-sag S] [dynamic-sag S] [static-pixel P] [dynamic-pixel P] [lod|texture|edges|occlusion|mesh|outline|hlr|hrd on|off]";
  }
  static const char* BackgroundUsage() { return "R G B (0 to 1)"; }
  static const char* GravityUsage() { return "0|1|2 (none, down, up or down)"; }
  static const char* CollisionUsage() { return "on|off [D]"; }
  static const char* ReferenceUsage() { return "xy|xz|yz [reverse]"; }

 private:
  std::string QualityText() const;
  std::string ReferenceText() const;
  NavviewSession& mSession;
};
