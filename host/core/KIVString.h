#pragma once
// 8-bit text: names, tags and resource keys.

#include <string>

class KIVString {
 public:
  KIVString() = default;
  KIVString(const char* text) : mText(text ? text : "") {}  // NOLINT: implicit by design
  KIVString(const std::string& text) : mText(text) {}       // NOLINT

  const char* CastToCharPtr() const { return mText.c_str(); }
  int GetLengthInChar() const { return static_cast<int>(mText.size()); }
  int IsEmpty() const { return mText.empty(); }
  const std::string& str() const { return mText; }

  KIVString& operator+=(const KIVString& other) {
    mText += other.mText;
    return *this;
  }
  friend KIVString operator+(KIVString a, const KIVString& b) { return a += b; }
  friend bool operator==(const KIVString& a, const KIVString& b) { return a.mText == b.mText; }
  friend auto operator<=>(const KIVString& a, const KIVString& b) { return a.mText <=> b.mText; }

 private:
  std::string mText;
};
