#pragma once
// The type descriptor of the objects of a generic list: an id, a name, and per column a
// title, the kind of editor that edits it (0x1 multi-line, 0x2 or 0x4 one line, 0x8 a
// "No"/"Yes" choice) and a width in characters. The list keeps its own copy.

#include <vector>

#include "host/core/KIVUnicodeString.h"

struct NavListType {
  static constexpr int kAllTypes = -3;  ///< reserved id: every type

  int id = 0;                               ///< type id (-3 is reserved)
  KIVUnicodeString name;                    ///< empty: "Type" and its position are given
  std::vector<KIVUnicodeString> titles;     ///< one per column
  std::vector<int> editorKinds;             ///< one per column; missing entries are one-line editors
  std::vector<int> widths;                  ///< one per column; missing entries are 0

  int GetColumnCount() const { return static_cast<int>(titles.size()); }
  int GetEditorKind(int column) const {
    return column >= 0 && column < static_cast<int>(editorKinds.size()) ? editorKinds[column] : 0x2;
  }
  int GetWidth(int column) const {
    return column >= 0 && column < static_cast<int>(widths.size()) ? widths[column] : 0;
  }
};
