#pragma once
// The measuring grid of navview: placed through the floor of the scene (or on a chosen
// plane through its centre), with its menu on a right click and snapped coordinates of
// the points clicked on it. `grid on|off|style lines|crosses|steps Y Z|coords on|off|
// mode absolute|relative|plane xy|yz|xz|clean`.
#include <string>
#include <vector>

class KIVSiLaGrid;
class NavviewSession;

class NavviewGrid {
 public:
  explicit NavviewGrid(NavviewSession& session) : mSession(session) {}
  ~NavviewGrid();
  NavviewGrid(const NavviewGrid&) = delete;
  NavviewGrid& operator=(const NavviewGrid&) = delete;
  /// The words after `grid`; failed with the reason, or an empty text for bad words.
  std::string Command(const std::vector<std::string>& words, bool& failed);
  static const char* Usage() {
    return "on|off|style lines|crosses|steps Y Z|coords on|off|mode absolute|relative|plane xy|yz|xz|clean";
  }
  KIVSiLaGrid* GetGrid() const { return mGrid; }

 private:
  void Place();
  NavviewSession& mSession;
  KIVSiLaGrid* mGrid = nullptr;
  std::string mPlane = "xy";
};
