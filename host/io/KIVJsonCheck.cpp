#include "host/io/KIVJsonCheck.h"

#include <cstring>
#include <vector>

namespace {

struct Reader {
  const unsigned char* p;
  std::size_t n, i = 0;
  bool End() const { return i >= n; }
  unsigned char Peek() const { return i < n ? p[i] : 0; }
  void SkipSpace() {
    while (i < n && (p[i] == ' ' || p[i] == '\t' || p[i] == '\n' || p[i] == '\r')) ++i;
  }
  bool Literal(const char* word) {
    const std::size_t len = std::strlen(word);
    if (n - i < len || std::memcmp(p + i, word, len) != 0) return false;
    i += len;
    return true;
  }
  bool Digits() {
    const std::size_t start = i;
    while (i < n && p[i] >= '0' && p[i] <= '9') ++i;
    return i > start;
  }
  bool Number() {
    if (Peek() == '-') ++i;
    if (Peek() == '0')
      ++i;
    else if (!Digits())
      return false;
    if (Peek() == '.') {
      ++i;
      if (!Digits()) return false;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++i;
      if (Peek() == '+' || Peek() == '-') ++i;
      if (!Digits()) return false;
    }
    return true;
  }
  bool String() {  // at the opening quote
    ++i;
    while (i < n) {
      const unsigned char c = p[i++];
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c == '\\') {
        if (i >= n) return false;
        const unsigned char e = p[i++];
        if (e == 'u') {
          for (int k = 0; k < 4; ++k, ++i)
            if (i >= n || !std::strchr("0123456789abcdefABCDEF", p[i]) || p[i] == 0) return false;
        } else if (!std::strchr("\"\\/bfnrt", e) || e == 0) {
          return false;
        }
      }
    }
    return false;
  }
};

}  // namespace

int KIVJsonCheck::IsWellFormed(const char* data, std::size_t size, std::string* why) {
  auto fail = [why](const char* what, std::size_t at) {
    if (why) *why = std::string(what) + " at byte " + std::to_string(at);
    return 0;
  };
  if (!data) return fail("no data", 0);
  Reader r{reinterpret_cast<const unsigned char*>(data), size};
  // The open containers, innermost last; a value is expected when `value` is set.
  std::vector<unsigned char> open;
  bool value = true;
  r.SkipSpace();
  for (;;) {
    if (value) {
      r.SkipSpace();
      const unsigned char c = r.Peek();
      if (r.End()) return fail("unexpected end", r.i);
      if (c == '{' || c == '[') {
        if (open.size() >= 1024) return fail("nested too deep", r.i);
        open.push_back(c);
        ++r.i;
        r.SkipSpace();
        if (r.Peek() == (c == '{' ? '}' : ']')) {  // empty container
          ++r.i;
          open.pop_back();
          value = false;
          if (open.empty()) break;
          continue;
        }
        if (c == '{') {
          if (r.Peek() != '"' || !r.String()) return fail("expected a member name", r.i);
          r.SkipSpace();
          if (r.Peek() != ':') return fail("expected ':'", r.i);
          ++r.i;
        }
        continue;  // a value follows
      }
      bool ok = false;
      if (c == '"')
        ok = r.String();
      else if (c == '-' || (c >= '0' && c <= '9'))
        ok = r.Number();
      else
        ok = r.Literal("true") || r.Literal("false") || r.Literal("null");
      if (!ok) return fail("bad value", r.i);
      value = false;
      if (open.empty()) break;
      continue;
    }
    // After a value inside a container: a comma or the container's end.
    r.SkipSpace();
    const unsigned char c = r.Peek();
    if (r.End()) return fail("unexpected end", r.i);
    const unsigned char inner = open.back();
    if (c == (inner == '{' ? '}' : ']')) {
      ++r.i;
      open.pop_back();
      if (open.empty()) break;
      continue;
    }
    if (c != ',') return fail("expected ',' or the end of a container", r.i);
    ++r.i;
    if (inner == '{') {
      r.SkipSpace();
      if (r.Peek() != '"' || !r.String()) return fail("expected a member name", r.i);
      r.SkipSpace();
      if (r.Peek() != ':') return fail("expected ':'", r.i);
      ++r.i;
    }
    value = true;
  }
  r.SkipSpace();
  if (!r.End()) return fail("text after the document", r.i);
  return 1;
}
