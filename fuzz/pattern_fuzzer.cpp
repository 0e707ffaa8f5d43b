// Reads arbitrary bytes as a wildcard pattern and a text (split at the first NUL, or the
// first half when there is none): compiling and matching must never read out of bounds,
// the compiled pattern must respect its limits, and the result must equal a plain
// recursive matcher's over the same grammar (anchored at the start, open at the end).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/KIVFilterString.h"
#include "dialogs/NavSortFindItem.h"

namespace {

// The grammar read directly from the pattern text: no segment table, no look-ahead.
struct Reference {
  std::string p, t;
  std::vector<signed char> memo;  // (pattern position, text position) -> -1 unknown, 0, 1

  bool Match(size_t i, size_t j) {
    signed char& m = memo[i * (t.size() + 1) + j];
    if (m >= 0) return m;
    bool result;
    if (i == p.size()) {
      result = true;
    } else if (p[i] == '*') {
      result = false;
      for (size_t k = j; k <= t.size() && !result; ++k) result = Match(i + 1, k);
    } else if (p[i] == '[') {
      bool in[256] = {};
      size_t k = i + 1;
      while (k < p.size() && p[k] != ']') {
        const unsigned char c = p[k];
        if (k + 1 < p.size() && p[k + 1] == '-') {
          if (k + 2 < p.size() && p[k + 2] != ']') {
            for (int x = c; x <= static_cast<unsigned char>(p[k + 2]); ++x) in[x] = true;
            k += 3;
          } else {
            in[c] = true;
            k += 2;
          }
        } else {
          in[c] = true;
          ++k;
        }
      }
      if (k < p.size()) ++k;
      const unsigned char c = j < t.size() ? t[j] : 0;
      result = j < t.size() && c < 255 && in[c] && Match(k, j + 1);
    } else {
      result = j < t.size() && p[i] == t[j] && Match(i + 1, j + 1);
    }
    m = result ? 1 : 0;
    return result;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const uint8_t kNothing = 0;
  if (!data) data = &kNothing, size = 0;  // libFuzzer's empty input
  const char* bytes = reinterpret_cast<const char*>(data);
  const void* nul = size ? std::memchr(data, 0, size) : nullptr;
  const size_t cut = nul ? static_cast<const uint8_t*>(nul) - data : size / 2;
  std::string pattern(bytes, cut), text(bytes + std::min(size, cut + (nul ? 1 : 0)), bytes + size);
  text = std::string(text.c_str());  // the matcher reads a C string

  KIVFilterString filter(pattern.c_str());
  const int n = filter.GetSegmentCount();
  if (n < 0 || n > KIVFilterString::kMaxSegments) std::abort();
  const int matched = filter.CheckFromFilter(text.c_str());
  if (matched != 0 && matched != 1) std::abort();
  KIVFilterString copy(filter);
  if (copy.CheckFromFilter(text.c_str()) != matched || std::strcmp(copy.GetFilter(), filter.GetFilter()) != 0)
    std::abort();

  // Against the reference when the whole pattern was compiled and the sizes stay small.
  if (n < KIVFilterString::kMaxSegments && pattern.size() < 300 && text.size() < 300) {
    Reference ref;
    ref.p = filter.GetFilter();
    ref.t = text;
    while (!ref.t.empty() && ref.t.back() == '\n') ref.t.pop_back();
    ref.memo.assign((ref.p.size() + 1) * (ref.t.size() + 1), -1);
    if (ref.Match(0, 0) != (matched == 1)) std::abort();
  }

  // The same bytes as a column to search and sort: any texts, any order.
  KIVUnicodeString values[3] = {KIVUnicodeString(pattern), KIVUnicodeString(text), KIVUnicodeString(pattern + text)};
  int order[3] = {2, 0, 1};
  auto compare = [](const KIVUnicodeString a, const KIVUnicodeString b) { return a.Compare(b) < 0 ? -1 : 1; };
  if (NavSortFindItem::BubbleSort(values, order, 3, size % 2 ? 1 : -1, static_cast<int>(size % 6), compare) != 0)
    std::abort();
  NavSortFindItem::FindSubStringInArray(values, KIVUnicodeString(text), 3, 1, static_cast<int>(size % 2));
  return 0;
}
