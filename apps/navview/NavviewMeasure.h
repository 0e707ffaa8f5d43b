#pragma once
// Measuring in navview: the viewer's "Check Distance" and "3D Annotation" tools driven as
// a person drives them (their buttons, then clicks in the view), and clashes between
// models. Script: `distance X1 Y1 X2 Y2` (two picks, in pixels), `distance min NAME1 NAME2`,
// `clash NAME...|all [clearance D]`, `note X Y TEXT`.
#include <string>
#include <vector>

class KIVRep;
class KIVRepPath;
class NavviewSession;

class NavviewMeasure {
 public:
  explicit NavviewMeasure(NavviewSession& session) : mSession(session) {}
  NavviewMeasure(const NavviewMeasure&) = delete;
  NavviewMeasure& operator=(const NavviewMeasure&) = delete;
  /// The words after `distance`; failed with the reason, or an empty text for bad words.
  std::string Distance(const std::vector<std::string>& words, bool& failed);
  /// The words after `clash`.
  std::string Clash(const std::vector<std::string>& words, bool& failed);
  /// The words after `note`.
  std::string Note(const std::vector<std::string>& words, bool& failed);
  static const char* DistanceUsage() { return "X1 Y1 X2 Y2 | min NAME1 NAME2"; }
  static const char* ClashUsage() { return "NAME...|all [clearance D]"; }
  static const char* NoteUsage() { return "X Y TEXT"; }

 private:
  std::string Picked(int x1, int y1, int x2, int y2, bool& failed);
  std::string Minimal(const std::string& first, const std::string& second, bool& failed);
  /// Every model of the scene, or the models named (names may hold spaces: the longest
  /// names that match are taken first). Empty with the reason on an unknown name.
  std::vector<KIVRep*> Models(const std::vector<std::string>& words, std::string& why) const;
  /// The path from the viewer's top down to the rep (the caller deletes it).
  KIVRepPath* PathTo(KIVRep* rep) const;
  std::string NameOf(const KIVRep* rep) const;
  NavviewSession& mSession;
};
