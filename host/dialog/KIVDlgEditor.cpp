#include "host/dialog/KIVDlgEditor.h"

#include <string>
#include <vector>

KIV_IMPLEMENT_METAOBJECT(KIVDlgEditor, KIVDlgControl)

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::string::size_type from = 0;
  for (std::string::size_type at; (at = text.find('\n', from)) != std::string::npos; from = at + 1)
    lines.push_back(text.substr(from, at - from));
  lines.push_back(text.substr(from));
  return lines;
}

}  // namespace

KIVDlgEditor::KIVDlgEditor(KIVDialog* parent, const char* tag, int style) : KIVDlgControl(parent, tag, style) {}

KIVDlgEditor::~KIVDlgEditor() { Retire(); }

int KIVDlgEditor::SetText(const KIVUnicodeString& text, int notify) {
  if (text == mText) return 0;
  mText = text;
  Changed(KIVDlgProperty::Text);
  if (notify) Notify(&mModify);
  return 1;
}

int KIVDlgEditor::GetLineCount() const { return static_cast<int>(SplitLines(mText.GetUtf8()).size()); }

KIVUnicodeString KIVDlgEditor::GetLine(int line) const {
  const std::vector<std::string> lines = SplitLines(mText.GetUtf8());
  return line >= 0 && line < static_cast<int>(lines.size()) ? KIVUnicodeString(lines[line]) : KIVUnicodeString();
}

int KIVDlgEditor::SetLine(const KIVUnicodeString& text, int line, int notify) {
  std::vector<std::string> lines = SplitLines(mText.GetUtf8());
  const int count = static_cast<int>(lines.size());
  if (line == -1 || line == count) {
    lines.push_back(text.GetUtf8());
    line = count;
  } else if (line >= 0 && line < count) {
    lines[line] = text.GetUtf8();
  } else {
    return -1;
  }
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) joined += (i ? "\n" : "") + lines[i];
  SetText(KIVUnicodeString(joined), notify);
  return line;
}

int KIVDlgEditor::UserSetText(const KIVUnicodeString& text) {
  if (!IsUsable()) return 0;
  if (text != mText) {
    mText = text;
    Changed(KIVDlgProperty::Text);
  }
  Notify(&mModify);
  return 1;
}
