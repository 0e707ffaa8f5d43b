#include "host/core/KIVUtf8.h"

namespace kivutf8 {

char32_t Decode(std::string_view s, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  int extra = 0;
  char32_t c = 0, min = 0;
  if ((b0 & 0xE0) == 0xC0) extra = 1, c = b0 & 0x1F, min = 0x80;
  else if ((b0 & 0xF0) == 0xE0) extra = 2, c = b0 & 0x0F, min = 0x800;
  else if ((b0 & 0xF8) == 0xF0) extra = 3, c = b0 & 0x07, min = 0x10000;
  bool ok = extra > 0 && s.size() - pos > static_cast<size_t>(extra);
  for (int i = 1; ok && i <= extra; ++i) {
    const unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) ok = false;
    c = (c << 6) | (b & 0x3F);
  }
  if (ok && (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
  if (!ok) {
    ++pos;
    return b0;  // Latin-1 reading of a stray byte
  }
  pos += extra + 1;
  return c;
}

void Append(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Normalize(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) Append(out, Decode(s, pos));
  return out;
}

}  // namespace kivutf8
