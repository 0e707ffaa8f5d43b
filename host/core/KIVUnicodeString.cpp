#include "host/core/KIVUnicodeString.h"

#include <cstdio>
#include <cstring>
#include <type_traits>
#include <vector>

#include "host/core/KIVUtf8.h"

KIVUnicodeString::KIVUnicodeString(const char* utf8) {
  if (utf8) mText = kivutf8::Normalize(utf8);
}

KIVUnicodeString::KIVUnicodeString(std::string_view utf8) : mText(kivutf8::Normalize(utf8)) {}

KIVUnicodeString::KIVUnicodeString(KIVUnicodeChar c) {
  if (!c.IsNull()) kivutf8::Append(mText, c.GetCode());
}

namespace {

// A printf format reduced to the one conversion it may hold.
struct ParsedFormat {
  std::string prefix, conv, suffix;  // conv: "%" flags width precision, no length, no conversion
  char conversion = 0;
};

bool ParseFormat(const char* format, ParsedFormat& out) {
  if (!format) return false;
  std::string text;
  bool found = false;
  for (const char* p = format; *p;) {
    if (*p != '%') {
      text += *p++;
      continue;
    }
    if (p[1] == '%') {
      text += "%%";
      p += 2;
      continue;
    }
    if (found) return false;  // two conversions would read a missing argument
    found = true;
    out.prefix = text;
    text.clear();
    std::string conv = "%";
    ++p;
    while (*p && std::strchr("-+ #0", *p)) conv += *p++;
    int digits = 0;
    while (*p >= '0' && *p <= '9') conv += *p++, ++digits;
    if (digits > 3) return false;  // keeps the output bounded
    if (*p == '.') {
      conv += *p++;
      digits = 0;
      while (*p >= '0' && *p <= '9') conv += *p++, ++digits;
      if (digits > 3) return false;
    }
    while (*p && std::strchr("hlLqjzt", *p)) ++p;  // the value's own type decides
    if (!*p || !std::strchr("diouxXeEfFgGaAc", *p)) return false;
    out.conversion = *p++;
    // Flag and conversion pairs that C leaves undefined are refused.
    const std::string flags = conv.substr(1, conv.find_first_not_of("-+ #0", 1) - 1);
    if (flags.find('#') != std::string::npos && std::strchr("dic", out.conversion)) return false;
    if (out.conversion == 'c' && (flags.find_first_not_of('-') != std::string::npos ||
                                  conv.find('.') != std::string::npos))
      return false;
    out.conv = conv;
  }
  if (!found) return false;
  out.suffix = text;
  return true;
}

template <class... A>
std::string Format(const std::string& fmt, A... args) {
  const int n = std::snprintf(nullptr, 0, fmt.c_str(), args...);
  if (n < 0) return {};
  std::vector<char> buf(static_cast<size_t>(n) + 1);
  std::snprintf(buf.data(), buf.size(), fmt.c_str(), args...);
  return std::string(buf.data(), static_cast<size_t>(n));
}

}  // namespace

template <class T>
int KIVUnicodeString::BuildNumber(T value, const char* format) {
  ParsedFormat f;
  if (!ParseFormat(format, f)) return 0;
  const std::string fmt = f.prefix + f.conv;
  std::string body;
  const char c = f.conversion;
  if (std::strchr("eEfFgGaA", c)) {
    body = Format(fmt + c, static_cast<double>(value));
  } else if (c == 'c') {
    long long v = 0;
    if constexpr (std::is_floating_point_v<T>) v = value == value ? static_cast<long long>(value) : 0;
    else v = static_cast<long long>(value);
    if (v < 0 || v > 0x10FFFF) return 0;
    std::string ch;
    kivutf8::Append(ch, static_cast<char32_t>(v));
    body = Format(fmt + 's', ch.c_str());
  } else {
    // Integer conversions: a floating value is truncated; NaN or out of range is refused
    // rather than converted with undefined behaviour.
    const bool isSigned = c == 'd' || c == 'i';
    if constexpr (std::is_floating_point_v<T>) {
      if (!(value >= -9.2e18 && value <= 9.2e18)) return 0;
      const long long v = static_cast<long long>(value);
      body = isSigned ? Format(fmt + "ll" + c, v) : Format(fmt + "ll" + c, static_cast<unsigned long long>(v));
    } else if constexpr (std::is_unsigned_v<T>) {
      const unsigned long long u = value;
      body = Format(fmt + "ll" + (isSigned ? 'u' : c), u);
    } else {
      const long long v = value;
      body = isSigned ? Format(fmt + "ll" + c, v) : Format(fmt + "ll" + c, static_cast<unsigned long long>(v));
    }
  }
  std::string suffix = f.suffix;
  for (size_t at = suffix.find("%%"); at != std::string::npos; at = suffix.find("%%", at + 1)) suffix.erase(at, 1);
  mText = kivutf8::Normalize(body + suffix);
  return 1;
}

int KIVUnicodeString::BuildFromNum(int value, const char* format) { return BuildNumber(value, format); }
int KIVUnicodeString::BuildFromNum(long value, const char* format) { return BuildNumber(value, format); }
int KIVUnicodeString::BuildFromNum(unsigned int value, const char* format) { return BuildNumber(value, format); }
int KIVUnicodeString::BuildFromNum(unsigned long value, const char* format) { return BuildNumber(value, format); }
int KIVUnicodeString::BuildFromNum(float value, const char* format) { return BuildNumber(value, format); }
int KIVUnicodeString::BuildFromNum(double value, const char* format) { return BuildNumber(value, format); }

int KIVUnicodeString::GetLengthInChar() const {
  int n = 0;
  for (unsigned char b : mText)
    if ((b & 0xC0) != 0x80) ++n;
  return n;
}

size_t KIVUnicodeString::ByteOffset(int index) const {
  if (index <= 0) return 0;
  int n = 0;
  for (size_t i = 0; i < mText.size(); ++i) {
    if ((static_cast<unsigned char>(mText[i]) & 0xC0) != 0x80) {
      if (n == index) return i;
      ++n;
    }
  }
  return mText.size();
}

KIVUnicodeChar KIVUnicodeString::GetChar(int index) const {
  if (index < 0) return {};
  size_t pos = ByteOffset(index);
  if (pos >= mText.size()) return {};
  return KIVUnicodeChar(kivutf8::Decode(mText, pos));
}

int KIVUnicodeString::Compare(const KIVUnicodeString& other) const {
  const int r = mText.compare(other.mText);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int KIVUnicodeString::CompareNoCase(const KIVUnicodeString& other) const {
  KIVUnicodeString a = *this, b = other;
  return a.ToLower().Compare(b.ToLower());
}

int KIVUnicodeString::FindPosition(const KIVUnicodeString& sub, int start) const {
  if (start < 0) start = 0;
  const int length = GetLengthInChar();
  if (start > length) return -1;
  const size_t from = ByteOffset(start);
  const size_t at = mText.find(sub.mText, from);
  if (at == std::string::npos) return -1;
  // Both texts are valid UTF-8, so a match always begins on a character boundary.
  return start + KIVUnicodeString(std::string_view(mText).substr(from, at - from)).GetLengthInChar();
}

KIVUnicodeString KIVUnicodeString::SubString(int start, int length) const {
  if (start < 0) start = 0;
  const size_t from = ByteOffset(start);
  const size_t to = length < 0 ? mText.size() : ByteOffset(start + length);
  KIVUnicodeString out;
  if (to > from) out.mText = mText.substr(from, to - from);
  return out;
}

int KIVUnicodeString::ReplaceSubString(const KIVUnicodeString& from, const KIVUnicodeString& to, int all) {
  if (from.mText.empty()) return 0;
  int n = 0;
  std::string out;
  size_t pos = 0;
  for (;;) {
    const size_t at = mText.find(from.mText, pos);
    if (at == std::string::npos) break;
    out.append(mText, pos, at - pos);
    out += to.mText;
    pos = at + from.mText.size();
    ++n;
    if (!all) break;
  }
  if (n) {
    out.append(mText, pos, std::string::npos);
    mText = std::move(out);
  }
  return n;
}

namespace {

template <class F>
std::string MapChars(const std::string& text, F f) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) kivutf8::Append(out, f(kivutf8::Decode(text, pos)));
  return out;
}

// Pairs laid out as upper at even, lower at odd code points (or the reverse), in a range.
bool InAlternating(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

}  // namespace

char32_t KIVUnicodeString::ToUpperChar(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c < 0x80) return c;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c == 0xB5) return 0x39C;
  if (InAlternating(c, 0x100, 0x12F) || InAlternating(c, 0x132, 0x137) || InAlternating(c, 0x14A, 0x177))
    return (c & 1) ? c - 1 : c;
  if (InAlternating(c, 0x139, 0x148) || InAlternating(c, 0x179, 0x17E)) return (c & 1) ? c : c - 1;
  if (c == 0x131) return 'I';
  if (c == 0x17F) return 'S';
  if (c >= 0x3B1 && c <= 0x3C9) return c == 0x3C2 ? 0x3A3 : c - 32;
  if (c == 0x3AC) return 0x386;
  if (c >= 0x3AD && c <= 0x3AF) return c - 37;
  if (c == 0x3CC) return 0x38C;
  if (c == 0x3CD || c == 0x3CE) return c - 63;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  if (InAlternating(c, 0x460, 0x481) || InAlternating(c, 0x48A, 0x4BF) || InAlternating(c, 0x4D0, 0x52F))
    return (c & 1) ? c - 1 : c;
  if (c >= 0x561 && c <= 0x586) return c - 48;
  if (InAlternating(c, 0x1E00, 0x1E95) || InAlternating(c, 0x1EA0, 0x1EFF)) return (c & 1) ? c - 1 : c;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 32;
  return c;
}

char32_t KIVUnicodeString::ToLowerChar(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c < 0x80) return c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0x178) return 0xFF;
  if (InAlternating(c, 0x100, 0x12F) || InAlternating(c, 0x132, 0x137) || InAlternating(c, 0x14A, 0x177))
    return (c & 1) ? c : c + 1;
  if (InAlternating(c, 0x139, 0x148) || InAlternating(c, 0x179, 0x17E)) return (c & 1) ? c + 1 : c;
  if (c == 0x130) return 'i';
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
  if (c == 0x386) return 0x3AC;
  if (c >= 0x388 && c <= 0x38A) return c + 37;
  if (c == 0x38C) return 0x3CC;
  if (c == 0x38E || c == 0x38F) return c + 63;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  if (InAlternating(c, 0x460, 0x481) || InAlternating(c, 0x48A, 0x4BF) || InAlternating(c, 0x4D0, 0x52F))
    return (c & 1) ? c : c + 1;
  if (c >= 0x531 && c <= 0x556) return c + 48;
  if (InAlternating(c, 0x1E00, 0x1E95) || InAlternating(c, 0x1EA0, 0x1EFF)) return (c & 1) ? c : c + 1;
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 32;
  return c;
}

bool KIVUnicodeString::IsSpaceChar(char32_t c) {
  return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000 || c == 0xFEFF;
}

KIVUnicodeString& KIVUnicodeString::ToUpper() {
  mText = MapChars(mText, ToUpperChar);
  return *this;
}

KIVUnicodeString& KIVUnicodeString::ToLower() {
  mText = MapChars(mText, ToLowerChar);
  return *this;
}

KIVUnicodeString& KIVUnicodeString::Strip() {
  size_t begin = 0, end = mText.size();
  for (size_t pos = 0; pos < mText.size();) {
    const size_t at = pos;
    if (!IsSpaceChar(kivutf8::Decode(mText, pos))) {
      begin = at;
      break;
    }
    begin = pos;
  }
  // Scan forward recording the end of the last non-space character.
  size_t lastEnd = begin;
  for (size_t pos = begin; pos < mText.size();) {
    const char32_t c = kivutf8::Decode(mText, pos);
    if (!IsSpaceChar(c)) lastEnd = pos;
  }
  end = lastEnd;
  mText = mText.substr(begin, end - begin);
  return *this;
}
