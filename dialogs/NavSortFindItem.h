#pragma once
// Sorting and substring search over arrays of texts and over the columns of a multi-list.
// No state: every operation is static.

#include "host/core/KIVUnicodeString.h"

class KIVDlgMultiList;

class NavSortFindItem {
 public:
  /// A caller's ordering of two texts: -1 less, 0 equal, 1 greater.
  using CompareFunction = int (*)(const KIVUnicodeString, const KIVUnicodeString);

  /// Reorders `order` (n indices into `values`) so that the values it names are sorted,
  /// stably: equal values keep their relative order. Kinds: 0 text comparison, 1 atoi,
  /// 2 atol, 3 and 4 atof of the texts, 5 `compare`; any other kind leaves the order.
  /// Direction 1 ascending, -1 descending, anything else leaves the order.
  /// Returns -1 for n < 1 (or a null array), -2 for kind 5 without compare, else 0.
  static int BubbleSort(KIVUnicodeString* values, int* order, int n, int direction, int kind,
                        CompareFunction compare = nullptr);
  /// Fills `order` (room for every line) with 0..lines-1 and sorts it by the column's
  /// texts. Returns 0, -3 without list, -2 without lines, -1 when the texts cannot be read
  /// (a null order or a column out of range) or BubbleSort refuses.
  static int ListBubbleSort(KIVDlgMultiList* list, int column, int* order, int direction, int kind,
                            CompareFunction compare = nullptr);
  /// Index of the first (forward = 1) or last (forward = 0) element containing `sub`,
  /// lower-casing both first with ignoreCase; -1 when none, for a null array or another
  /// forward value.
  static int FindSubStringInArray(const KIVUnicodeString* values, KIVUnicodeString sub, int n, int forward,
                                  int ignoreCase);
  /// The same over a column's lines from startLine (negative: 0) on; the index is relative
  /// to startLine. -4 without list, -3 when no line is left, -2 for a column out of range.
  static int FindSubStringInMultiList(KIVDlgMultiList* list, int column, KIVUnicodeString sub, int startLine,
                                      int forward, int ignoreCase);
};
