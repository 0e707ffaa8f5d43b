#pragma once
// A drop-down list of lines of which one (or none) is selected.

#include <vector>

#include "host/dialog/KIVDlgControl.h"

class KIVDlgCombo : public KIVDlgControl {
  KIV_DECLARE_METAOBJECT(KIVDlgCombo)
 public:
  KIVDlgCombo(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgCombo() override;

  /// Replaces a line, or appends one when line is -1 or the line count. Returns the line's
  /// index, -1 when out of range.
  int SetLine(const KIVUnicodeString& text, int line = -1);
  /// Inserts before a line (the count appends); the selection follows its line.
  int InsertLine(int line, const KIVUnicodeString& text);
  /// Removes a line; a selection on it becomes none. 0 when out of range.
  int RemoveLine(int line);
  void ClearLine();
  int GetLineCount() const { return static_cast<int>(mLines.size()); }
  /// The line's text; empty out of range.
  const KIVUnicodeString& GetLine(int line) const;

  /// Selects a line, -1 for none; out of range is refused. With notify = 1 a change sends
  /// the select notification. Returns 1 when accepted.
  int SetSelect(int line, int notify = 1);
  int GetSelect() const { return mSelect; }
  KIVDlgCmbSelectNotification* GetCmbSelectNotification() const { return &mSelectNotification; }
  /// As a person choosing a line: selects it and notifies, even when it was selected.
  int UserSelect(int line);

 private:
  std::vector<KIVUnicodeString> mLines;
  int mSelect = -1;
  mutable KIVDlgCmbSelectNotification mSelectNotification;
};
