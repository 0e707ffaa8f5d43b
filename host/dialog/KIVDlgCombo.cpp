#include "host/dialog/KIVDlgCombo.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgCombo, KIVDlgControl)

KIVDlgCombo::KIVDlgCombo(KIVDialog* parent, const char* tag, int style) : KIVDlgControl(parent, tag, style) {}

KIVDlgCombo::~KIVDlgCombo() { Retire(); }

int KIVDlgCombo::SetLine(const KIVUnicodeString& text, int line) {
  const int count = GetLineCount();
  if (line == -1 || line == count) {
    mLines.push_back(text);
    line = count;
  } else if (line >= 0 && line < count) {
    mLines[line] = text;
  } else {
    return -1;
  }
  Changed(KIVDlgProperty::Lines);
  return line;
}

int KIVDlgCombo::InsertLine(int line, const KIVUnicodeString& text) {
  if (line < 0 || line > GetLineCount()) return -1;
  mLines.insert(mLines.begin() + line, text);
  if (mSelect >= line) ++mSelect;
  Changed(KIVDlgProperty::Lines);
  return line;
}

int KIVDlgCombo::RemoveLine(int line) {
  if (line < 0 || line >= GetLineCount()) return 0;
  mLines.erase(mLines.begin() + line);
  if (mSelect == line)
    mSelect = -1;
  else if (mSelect > line)
    --mSelect;
  Changed(KIVDlgProperty::Lines);
  return 1;
}

void KIVDlgCombo::ClearLine() {
  if (mLines.empty()) return;
  mLines.clear();
  mSelect = -1;
  Changed(KIVDlgProperty::Lines);
}

const KIVUnicodeString& KIVDlgCombo::GetLine(int line) const {
  static const KIVUnicodeString empty;
  return line >= 0 && line < GetLineCount() ? mLines[line] : empty;
}

int KIVDlgCombo::SetSelect(int line, int notify) {
  if (line < -1 || line >= GetLineCount()) return 0;
  if (line == mSelect) return 1;
  mSelect = line;
  Changed(KIVDlgProperty::Selection);
  if (notify) Notify(&mSelectNotification);
  return 1;
}

int KIVDlgCombo::UserSelect(int line) {
  if (!IsUsable() || line < 0 || line >= GetLineCount()) return 0;
  if (line != mSelect) {
    mSelect = line;
    Changed(KIVDlgProperty::Selection);
  }
  Notify(&mSelectNotification);
  return 1;
}
