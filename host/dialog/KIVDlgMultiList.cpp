#include "host/dialog/KIVDlgMultiList.h"

#include <algorithm>
#include <limits>
#include <memory>

KIV_IMPLEMENT_METAOBJECT(KIVDlgMultiList, KIVDlgControl)

namespace {
const KIVUnicodeString& EmptyText() {
  static const KIVUnicodeString empty;
  return empty;
}
}  // namespace

KIVDlgMultiList::KIVDlgMultiList(KIVDialog* parent, const char* tag, int style)
    : KIVDlgControl(parent, tag, style), mTitles(1), mWidths(1, 0), mColumns(1) {}

KIVDlgMultiList::~KIVDlgMultiList() { Retire(); }

void KIVDlgMultiList::EnsureColumns(int count) {
  if (count <= GetColumnCount()) return;
  mTitles.resize(count);
  mWidths.resize(count, 0);
  mColumns.resize(count, std::vector<KIVUnicodeString>(mLineCount));
}

int KIVDlgMultiList::SetColumnTitles(int n, const KIVUnicodeString* titles) {
  if (n < 1) return 0;
  mTitles.assign(n, KIVUnicodeString());
  if (titles) std::copy(titles, titles + n, mTitles.begin());
  mWidths.resize(n, 0);
  mColumns.resize(n, std::vector<KIVUnicodeString>(mLineCount));
  mSelectedColumn = std::min(mSelectedColumn, n - 1);
  ClampScroll();
  Changed(KIVDlgProperty::Lines);
  return 1;
}

int KIVDlgMultiList::SetColumnTitle(int column, const KIVUnicodeString& title) {
  if (column < 0) return 0;
  EnsureColumns(column + 1);
  mTitles[column] = title;
  Changed(KIVDlgProperty::Lines);
  return 1;
}

const KIVUnicodeString& KIVDlgMultiList::GetColumnTitle(int column) const {
  return column >= 0 && column < GetColumnCount() ? mTitles[column] : EmptyText();
}

int KIVDlgMultiList::SetColumnTextWidth(int column, int width) {
  if (column < 0 || width < 0) return 0;
  EnsureColumns(column + 1);
  mWidths[column] = width;
  Changed(KIVDlgProperty::Lines);
  return 1;
}

int KIVDlgMultiList::GetColumnTextWidth(int column) const {
  return column >= 0 && column < GetColumnCount() ? mWidths[column] : 0;
}

int KIVDlgMultiList::SetLine(const KIVUnicodeString& text, int line) { return SetLine(&text, 1, line); }

int KIVDlgMultiList::SetLine(const KIVUnicodeString* texts, int n, int line) {
  if (!texts || n < 0 || line < -1 || line > mLineCount) return -1;
  EnsureColumns(n);
  if (line == -1 || line == mLineCount) {
    line = mLineCount++;
    for (auto& column : mColumns) column.emplace_back();
    mSelected.push_back(0);
  }
  for (int c = 0; c < n; ++c) mColumns[c][line] = texts[c];
  Changed(KIVDlgProperty::Lines);
  return line;
}

int KIVDlgMultiList::SetColumnItem(int column, const KIVUnicodeString* texts, int n) {
  if (column < 0 || n < 0 || (!texts && n > 0)) return 0;
  EnsureColumns(column + 1);
  if (n > mLineCount) {
    mLineCount = n;
    for (auto& c : mColumns) c.resize(n);
    mSelected.resize(n, 0);
  }
  std::copy(texts, texts + n, mColumns[column].begin());
  Changed(KIVDlgProperty::Lines);
  return 1;
}

int KIVDlgMultiList::SetAllColumns(std::vector<std::vector<KIVUnicodeString>> columns) {
  if (columns.empty()) columns.emplace_back();
  std::size_t lines = 0;
  for (const auto& column : columns) lines = std::max(lines, column.size());
  if (lines > static_cast<std::size_t>(std::numeric_limits<int>::max())) return 0;
  for (auto& column : columns) column.resize(lines);
  const int n = static_cast<int>(columns.size());
  mTitles.resize(n);
  mWidths.resize(n, 0);
  mColumns = std::move(columns);
  mLineCount = static_cast<int>(lines);
  mSelected.assign(lines, 0);
  const bool hadSelection = mSelectCount > 0;
  mSelectCount = 0;
  mSelectedColumn = std::min(mSelectedColumn, n - 1);
  ClampScroll();
  Changed(KIVDlgProperty::Lines);
  if (hadSelection) Changed(KIVDlgProperty::Selection);
  return 1;
}

int KIVDlgMultiList::SetCell(int line, int column, const KIVUnicodeString& text) {
  if (line < 0 || line >= mLineCount || column < 0) return 0;
  EnsureColumns(column + 1);
  mColumns[column][line] = text;
  Changed(KIVDlgProperty::Lines);
  return 1;
}

const KIVUnicodeString& KIVDlgMultiList::GetCell(int line, int column) const {
  if (line < 0 || line >= mLineCount || column < 0 || column >= GetColumnCount()) return EmptyText();
  return mColumns[column][line];
}

const std::vector<KIVUnicodeString>& KIVDlgMultiList::GetColumnItems(int column) const {
  static const std::vector<KIVUnicodeString> none;
  return column >= 0 && column < GetColumnCount() ? mColumns[column] : none;
}

int KIVDlgMultiList::RemoveLine(int line) {
  if (line < 0 || line >= mLineCount) return 0;
  for (auto& column : mColumns) column.erase(column.begin() + line);
  mSelectCount -= mSelected[line];
  mSelected.erase(mSelected.begin() + line);
  --mLineCount;
  ClampScroll();
  Changed(KIVDlgProperty::Lines);
  return 1;
}

void KIVDlgMultiList::ClearLine() {
  if (mLineCount == 0) return;
  for (auto& column : mColumns) column.clear();
  mSelected.clear();
  mLineCount = mSelectCount = 0;
  ClampScroll();
  Changed(KIVDlgProperty::Lines);
}

void KIVDlgMultiList::SetMultipleSelection(int on) {
  mMultiple = on ? 1 : 0;
  if (!mMultiple && mSelectCount > 1) {
    int first = -1;
    GetSelect(&first, 1);
    SetSelect(first, 0);
  }
}

bool KIVDlgMultiList::BuildSelection(const int* lines, int n, std::vector<unsigned char>& out, int& count) const {
  if (n < 0 || (!lines && n > 0)) return false;
  out.assign(mLineCount, 0);
  count = 0;
  for (int i = 0; i < n; ++i) {
    const int line = lines[i];
    if (line < 0 || line >= mLineCount || out[line]) continue;
    out[line] = 1;
    if (++count == 1 && !mMultiple) break;
  }
  return true;
}

bool KIVDlgMultiList::ReplaceSelection(std::vector<unsigned char>& flags, int count) {
  if (count == mSelectCount && flags == mSelected) return false;
  mSelected.swap(flags);
  mSelectCount = count;
  Changed(KIVDlgProperty::Selection);
  return true;
}

int KIVDlgMultiList::SetSelect(const int* lines, int n, int notify) {
  std::vector<unsigned char> flags;
  int count = 0;
  if (!BuildSelection(lines, n, flags, count) || !ReplaceSelection(flags, count)) return 0;
  if (notify) Notify(&mSelectNotification);
  return 1;
}

int KIVDlgMultiList::SetSelect(int line, int notify) {
  if (line == -1) return ClearSelect(notify);
  return SetSelect(&line, 1, notify);
}

int KIVDlgMultiList::ClearSelect(int notify) { return SetSelect(nullptr, 0, notify); }

int KIVDlgMultiList::GetSelect(int* out, int n) const {
  if (out && n > 0) {
    int written = 0;
    for (int line = 0; line < mLineCount && written < n && written < mSelectCount; ++line)
      if (mSelected[line]) out[written++] = line;
  }
  return mSelectCount;
}

int KIVDlgMultiList::IsSelected(int line) const { return line >= 0 && line < mLineCount && mSelected[line]; }

int KIVDlgMultiList::SetSelectedColumn(int column) {
  if (column < -1 || column >= GetColumnCount()) return 0;
  if (column != mSelectedColumn) {
    mSelectedColumn = column;
    Changed(KIVDlgProperty::Selection);
  }
  return 1;
}

void KIVDlgMultiList::ClampScroll() {
  const int firstLine = std::clamp(mFirstLine, 0, std::max(0, mLineCount - 1));
  const int firstColumn = std::clamp(mFirstColumn, 0, GetColumnCount() - 1);
  if (firstLine == mFirstLine && firstColumn == mFirstColumn) return;
  mFirstLine = firstLine;
  mFirstColumn = firstColumn;
  Changed(KIVDlgProperty::Scroll);
}

void KIVDlgMultiList::SetFirstLine(int line) {
  line = std::clamp(line, 0, std::max(0, mLineCount - 1));
  if (line == mFirstLine) return;
  mFirstLine = line;
  Changed(KIVDlgProperty::Scroll);
}

void KIVDlgMultiList::SetFirstColumn(int column) {
  column = std::clamp(column, 0, GetColumnCount() - 1);
  if (column == mFirstColumn) return;
  mFirstColumn = column;
  Changed(KIVDlgProperty::Scroll);
}

int KIVDlgMultiList::UserSelect(int line, int column) { return UserSelect(&line, 1, column); }

int KIVDlgMultiList::UserSelect(const int* lines, int n, int column) {
  if (!IsUsable() || !lines || n < 1 || column < 0 || column >= GetColumnCount()) return 0;
  std::vector<unsigned char> flags;
  int count = 0;
  BuildSelection(lines, n, flags, count);
  if (count == 0) return 0;  // a person clicks on lines that exist
  ReplaceSelection(flags, count);
  SetSelectedColumn(column);
  Notify(&mSelectNotification);
  return 1;
}

int KIVDlgMultiList::UserActivate(int line, int column) {
  std::weak_ptr<int> life = GetLifeToken();
  if (!UserSelect(line, column)) return 0;
  if (life.expired() || !IsUsable()) return 1;  // the click's callback took the list away
  Notify(&mActivateNotification);
  return 1;
}
