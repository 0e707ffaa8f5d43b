#pragma once
// A text field of one or several lines; lines are separated by '\n'.

#include "host/dialog/KIVDlgControl.h"

class KIVDlgEditor : public KIVDlgControl {
  KIV_DECLARE_METAOBJECT(KIVDlgEditor)
 public:
  KIVDlgEditor(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgEditor() override;

  /// With notify = 1 a change sends the modify notification. Returns 1 when changed.
  int SetText(const KIVUnicodeString& text, int notify = 1);
  const KIVUnicodeString& GetText() const { return mText; }
  /// Number of lines: 0 for an empty text, else one more than the '\n' it holds.
  int GetLineCount() const;
  /// One line without its '\n'; empty out of range.
  KIVUnicodeString GetLine(int line) const;
  /// Replaces a line, or appends one when line is -1 or the line count. Returns the line's
  /// index, -1 when out of range.
  int SetLine(const KIVUnicodeString& text, int line = -1, int notify = 1);

  KIVDlgEditModifyNotification* GetEditModifyNotification() const { return &mModify; }
  /// As a person typing a text: it replaces the text, then the modify notification.
  int UserSetText(const KIVUnicodeString& text);

 private:
  KIVUnicodeString mText;
  mutable KIVDlgEditModifyNotification mModify;
};
