#include "dialogs/NavSortFindItem.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "host/dialog/KIVDlgMultiList.h"

namespace {
// atoi and atol are undefined on overflow; strtol saturates instead.
long ToLong(const KIVUnicodeString& text) {
  errno = 0;
  return std::strtol(text.CastToCharPtr(), nullptr, 10);
}
int ToInt(const KIVUnicodeString& text) {
  const long value = ToLong(text);
  return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

// A stable merge sort that asks only "must b go before a" (after(a, b) false keeps a first),
// which is exactly the exchange test of the gnome sort it replaces. It never reads outside
// the array, whatever the comparison answers.
template <class After>
void StableSort(int* order, int n, After after) {
  std::vector<int> buffer(n);
  for (int width = 1; width < n; width *= 2) {
    for (int lo = 0; lo < n; lo += 2 * width) {
      const int mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      if (mid >= hi) {
        std::copy(order + lo, order + hi, buffer.begin() + lo);
        continue;
      }
      int i = lo, j = mid, k = lo;
      while (i < mid && j < hi) buffer[k++] = after(order[i], order[j]) ? order[j++] : order[i++];
      while (i < mid) buffer[k++] = order[i++];
      while (j < hi) buffer[k++] = order[j++];
    }
    std::copy(buffer.begin(), buffer.begin() + n, order);
  }
}

template <class Key>
void SortByKey(const std::vector<Key>& keys, int* order, int n, int direction) {
  if (direction == 1) StableSort(order, n, [&](int a, int b) { return keys[b] < keys[a]; });
  else StableSort(order, n, [&](int a, int b) { return keys[a] < keys[b]; });
}

bool Contains(const KIVUnicodeString& value, const KIVUnicodeString& sub, int ignoreCase) {
  if (!ignoreCase) return value.GetUtf8().find(sub.GetUtf8()) != std::string::npos;
  KIVUnicodeString lowered = value;
  lowered.ToLower();
  return lowered.GetUtf8().find(sub.GetUtf8()) != std::string::npos;
}
}  // namespace

int NavSortFindItem::BubbleSort(KIVUnicodeString* values, int* order, int n, int direction, int kind,
                                CompareFunction compare) {
  if (n < 1 || !values || !order) return -1;
  if (kind == 5 && !compare) return -2;
  if (direction != 1 && direction != -1) return 0;
  // Keys are read once per index, so the sort costs n log n comparisons of plain values.
  int maxIndex = 0;
  for (int i = 0; i < n; ++i) {
    if (order[i] < 0) return -1;  // an index outside the values
    maxIndex = std::max(maxIndex, order[i]);
  }
  switch (kind) {
    case 0: {
      StableSort(order, n, [&](int a, int b) {
        const int c = values[a].GetUtf8().compare(values[b].GetUtf8());
        return direction == 1 ? c > 0 : c < 0;
      });
      return 0;
    }
    case 1: {
      std::vector<int> keys(maxIndex + 1);
      for (int i = 0; i < n; ++i) keys[order[i]] = ToInt(values[order[i]]);
      SortByKey(keys, order, n, direction);
      return 0;
    }
    case 2: {
      std::vector<long> keys(maxIndex + 1);
      for (int i = 0; i < n; ++i) keys[order[i]] = ToLong(values[order[i]]);
      SortByKey(keys, order, n, direction);
      return 0;
    }
    case 3:
    case 4: {
      std::vector<double> keys(maxIndex + 1);
      for (int i = 0; i < n; ++i) keys[order[i]] = std::atof(values[order[i]].CastToCharPtr());
      SortByKey(keys, order, n, direction);
      return 0;
    }
    case 5:
      StableSort(order, n, [&](int a, int b) {
        const int c = compare(values[a], values[b]);
        return direction == 1 ? c > 0 : c < 0;
      });
      return 0;
    default:
      return 0;
  }
}

int NavSortFindItem::ListBubbleSort(KIVDlgMultiList* list, int column, int* order, int direction, int kind,
                                    CompareFunction compare) {
  if (!list) return -3;
  const int lines = list->GetLineCount();
  if (lines < 1) return -2;
  if (!order || column < 0 || column >= list->GetColumnCount()) return -1;
  std::vector<KIVUnicodeString> values(list->GetColumnItems(column));
  for (int i = 0; i < lines; ++i) order[i] = i;
  return BubbleSort(values.data(), order, lines, direction, kind, compare) < 0 ? -1 : 0;
}

int NavSortFindItem::FindSubStringInArray(const KIVUnicodeString* values, KIVUnicodeString sub, int n, int forward,
                                          int ignoreCase) {
  if (!values || n < 1) return -1;
  if (ignoreCase) sub.ToLower();
  if (forward == 1) {
    for (int i = 0; i < n; ++i)
      if (Contains(values[i], sub, ignoreCase)) return i;
  } else if (forward == 0) {
    for (int i = n - 1; i >= 0; --i)
      if (Contains(values[i], sub, ignoreCase)) return i;
  }
  return -1;
}

int NavSortFindItem::FindSubStringInMultiList(KIVDlgMultiList* list, int column, KIVUnicodeString sub,
                                              int startLine, int forward, int ignoreCase) {
  if (!list) return -4;
  if (startLine < 0) startLine = 0;
  const int lines = list->GetLineCount();
  if (startLine >= lines) return -3;
  if (column < 0 || column >= list->GetColumnCount()) return -2;
  const std::vector<KIVUnicodeString>& items = list->GetColumnItems(column);
  return FindSubStringInArray(items.data() + startLine, std::move(sub), lines - startLine, forward, ignoreCase);
}
