#pragma once
// A list of lines in columns, with a selection of lines (one, or several when multiple
// selection is on) and a selected column (the last one clicked). Cells are stored column
// by column, so that whole columns are set and read in one call; every operation is
// linear at worst, for lists of a hundred thousand lines.

#include <vector>

#include "host/dialog/KIVDlgControl.h"

class KIVDlgMultiList : public KIVDlgControl {
  KIV_DECLARE_METAOBJECT(KIVDlgMultiList)
 public:
  KIVDlgMultiList(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgMultiList() override;

  /// Sets the column count (n >= 1) and titles; cells of dropped columns are lost, new
  /// columns are empty. A null array gives empty titles.
  int SetColumnTitles(int n, const KIVUnicodeString* titles);
  /// These grow the column count when the column lies beyond it.
  int SetColumnTitle(int column, const KIVUnicodeString& title);
  const KIVUnicodeString& GetColumnTitle(int column) const;
  int GetColumnCount() const { return static_cast<int>(mColumns.size()); }
  /// Width of a column in characters; 0 leaves it to the content.
  int SetColumnTextWidth(int column, int width);
  int GetColumnTextWidth(int column) const;

  /// Replaces line `line`, or appends a line when it is -1 or the line count: one text
  /// per column from column 0 (the first form fills column 0 only). Returns the line's
  /// index, -1 when out of range or for a null array.
  int SetLine(const KIVUnicodeString& text, int line = -1);
  int SetLine(const KIVUnicodeString* texts, int n, int line = -1);
  /// Sets the first n cells of a column, adding lines when n exceeds the line count.
  int SetColumnItem(int column, const KIVUnicodeString* texts, int n);
  /// Replaces every line in one call, taking the cells over without copying them: one
  /// vector per column (the column count becomes their number, at least 1), the line count
  /// the longest one's length, shorter columns padded with empty cells. Titles and widths
  /// of the columns kept are kept; the selection is cleared without notification.
  int SetAllColumns(std::vector<std::vector<KIVUnicodeString>> columns);
  int SetCell(int line, int column, const KIVUnicodeString& text);
  /// The cell's text; empty out of range.
  const KIVUnicodeString& GetCell(int line, int column) const;
  /// All the cells of a column, one per line; empty out of range.
  const std::vector<KIVUnicodeString>& GetColumnItems(int column) const;
  /// Removes a line; the selection follows the lines. 0 when out of range.
  int RemoveLine(int line);
  /// Removes every line (and so the selection).
  void ClearLine();
  int GetLineCount() const { return mLineCount; }

  /// Off at creation: a selection keeps only its first line.
  void SetMultipleSelection(int on);
  int GetMultipleSelection() const { return mMultiple; }
  /// Replaces the selection by these lines (lines out of range are skipped). With
  /// notify = 1 a change sends the select notification. Returns 1 when it changed.
  int SetSelect(const int* lines, int n, int notify = 1);
  /// One line, -1 for none.
  int SetSelect(int line, int notify = 1);
  int ClearSelect(int notify = 1);
  /// Writes up to n selected lines, in ascending order, into out (may be null); returns
  /// the number of selected lines.
  int GetSelect(int* out, int n) const;
  int GetSelectCount() const { return mSelectCount; }
  int IsSelected(int line) const;
  /// The column of the last click, -1 for none.
  int SetSelectedColumn(int column);
  int GetSelectedColumn() const { return mSelectedColumn; }

  /// Scrolling: the first line and column in view, clamped to the content.
  void SetFirstLine(int line);
  int GetFirstLine() const { return mFirstLine; }
  void SetFirstColumn(int column);
  int GetFirstColumn() const { return mFirstColumn; }

  KIVDlgListSelectNotification* GetListSelectNotification() const { return &mSelectNotification; }
  KIVDlgListActivateNotification* GetListActivateNotification() const { return &mActivateNotification; }
  /// As a person clicking a line in a column: it becomes the selection and the selected
  /// column, then the select notification, even when nothing changed.
  int UserSelect(int line, int column = 0);
  /// As a person extending the selection (with Shift or Control) to these lines.
  int UserSelect(const int* lines, int n, int column = 0);
  /// As a person double-clicking: the click (UserSelect), then the activate notification.
  int UserActivate(int line, int column = 0);

 private:
  void EnsureColumns(int count);
  bool BuildSelection(const int* lines, int n, std::vector<unsigned char>& out, int& count) const;
  bool ReplaceSelection(std::vector<unsigned char>& flags, int count);
  void ClampScroll();

  std::vector<KIVUnicodeString> mTitles;
  std::vector<int> mWidths;
  std::vector<std::vector<KIVUnicodeString>> mColumns;  // each holds mLineCount cells
  int mLineCount = 0;
  std::vector<unsigned char> mSelected;  // one flag per line
  int mSelectCount = 0;
  int mMultiple = 0;
  int mSelectedColumn = -1;
  int mFirstLine = 0;
  int mFirstColumn = 0;
  mutable KIVDlgListSelectNotification mSelectNotification;
  mutable KIVDlgListActivateNotification mActivateNotification;
};
