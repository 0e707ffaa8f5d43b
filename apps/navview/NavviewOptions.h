#pragma once
// navview's command line.
#include <string>
#include <vector>

struct NavviewOptions {
  bool headless = false;
  bool windowed = false;  // asked for a window even where navview would guess none
  bool help = false;
  std::string script;
  std::string capture;
  int width = 1280, height = 720;
  int units = 8;  // the built-in plant: units × units process units
  char up = 0;    // --up x|y|z: the models' up axis; 0 takes the file's own
  std::vector<std::string> files;
  /// Reads argv; 0 with a reason on a bad option.
  int Parse(int argc, const char* const* argv, std::string* error);
  static const char* Usage();
};
