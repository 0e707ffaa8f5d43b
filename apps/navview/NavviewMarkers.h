#pragma once
// Gauges and labelled points that a script places in the scene's annotation root:
// `gauge X1 Y1 Z1 X2 Y2 Z2 [WIDTH [NAME]]`, `label X Y Z TEXT`, `markers clear`.
#include <string>
#include <vector>

class NavviewSession;

class NavviewMarkers {
 public:
  explicit NavviewMarkers(NavviewSession& session) : mSession(session) {}
  /// The words after the command's name. The gauge answers with its label.
  std::string Gauge(const std::vector<std::string>& words, bool& failed);
  std::string Label(const std::vector<std::string>& words, bool& failed);
  std::string Markers(const std::vector<std::string>& words, bool& failed);
  static const char* GaugeUsage() { return "X1 Y1 Z1 X2 Y2 Z2 [WIDTH [NAME]]"; }
  static const char* LabelUsage() { return "X Y Z TEXT"; }
  /// How many gauges and labels the scripts placed and are still there.
  int GetCount() const;

 private:
  NavviewSession& mSession;
};
