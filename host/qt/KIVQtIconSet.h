#pragma once
// The bundled icon set of the tool bars, drawn in code: a dark stroke and one accent colour
// on a transparent background.
#include <QIcon>
#include <string>
#include <vector>

class KIVQtIconSet {
 public:
  /// The icon drawn for a dialog object's icon name (e.g. "cbzoom"): a vector drawing that
  /// stays sharp at any size and device pixel ratio, greyed when disabled. Unknown non-empty
  /// names get a generic glyph (and Has() says 0); a null or empty name gives a null QIcon.
  static QIcon Icon(const char* name);
  static int Has(const char* name);
  /// The names drawn.
  static std::vector<std::string> Names();
};
