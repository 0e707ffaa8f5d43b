#pragma once
// Display text. Stored as UTF-8; lengths, positions and sub-strings count characters
// (code points), not bytes. Bytes that are not valid UTF-8 are read as Latin-1, so no
// input is ever rejected or lost.

#include <compare>
#include <string>
#include <string_view>

#include "host/core/KIVUnicodeChar.h"

class KIVUnicodeString {
 public:
  KIVUnicodeString() = default;
  KIVUnicodeString(const char* utf8);              // NOLINT: implicit from text, null gives ""
  KIVUnicodeString(std::string_view utf8);         // NOLINT
  KIVUnicodeString(const std::string& utf8) : KIVUnicodeString(std::string_view(utf8)) {}  // NOLINT
  explicit KIVUnicodeString(KIVUnicodeChar c);

  /// Replaces the text by a number formatted with a printf format holding exactly one
  /// numeric conversion (flags, width and precision allowed; length modifiers ignored).
  /// The value is converted to the conversion's kind. Returns 1, or 0 (text unchanged)
  /// for a null or invalid format.
  int BuildFromNum(int value, const char* format = "%d");
  int BuildFromNum(long value, const char* format = "%ld");
  int BuildFromNum(unsigned int value, const char* format = "%u");
  int BuildFromNum(unsigned long value, const char* format = "%lu");
  int BuildFromNum(float value, const char* format = "%g");
  int BuildFromNum(double value, const char* format = "%g");

  /// The text as null-terminated UTF-8, valid until the string changes.
  const char* CastToCharPtr() const { return mText.c_str(); }
  const std::string& GetUtf8() const { return mText; }
  /// Number of characters.
  int GetLengthInChar() const;
  int GetLengthInByte() const { return static_cast<int>(mText.size()); }
  int IsEmpty() const { return mText.empty(); }
  /// The character at a position, 0 out of range.
  KIVUnicodeChar GetChar(int index) const;

  /// Ordering by code point; 0 when equal, negative or positive otherwise.
  int Compare(const KIVUnicodeString& other) const;
  /// Same ordering after simple lower-casing of both.
  int CompareNoCase(const KIVUnicodeString& other) const;
  friend bool operator==(const KIVUnicodeString& a, const KIVUnicodeString& b) { return a.mText == b.mText; }
  friend std::strong_ordering operator<=>(const KIVUnicodeString& a, const KIVUnicodeString& b) {
    return a.mText <=> b.mText;  // UTF-8 byte order is code point order
  }

  /// Position (in characters) of the first occurrence of `sub` at or after `start`, or -1.
  /// An empty `sub` is found at `start` when start is within [0, length].
  int FindPosition(const KIVUnicodeString& sub, int start = 0) const;
  /// Up to `length` characters from `start` (negative length: to the end); clipped.
  KIVUnicodeString SubString(int start, int length = -1) const;
  /// Replaces occurrences of `from` by `to` (all, or the first when all = 0), scanning left
  /// to right without rescanning inserted text. Returns the number replaced.
  int ReplaceSubString(const KIVUnicodeString& from, const KIVUnicodeString& to, int all = 1);
  /// Simple (one-to-one) case mapping of Latin, Greek, Cyrillic, Armenian and full-width letters.
  KIVUnicodeString& ToUpper();
  KIVUnicodeString& ToLower();
  /// Removes white space (Unicode spaces included) at both ends.
  KIVUnicodeString& Strip();

  KIVUnicodeString& operator+=(const KIVUnicodeString& other) {
    mText += other.mText;
    return *this;
  }
  friend KIVUnicodeString operator+(KIVUnicodeString a, const KIVUnicodeString& b) { return a += b; }

  /// Code point helpers shared by the text utilities.
  static char32_t ToUpperChar(char32_t c);
  static char32_t ToLowerChar(char32_t c);
  static bool IsSpaceChar(char32_t c);

 private:
  template <class T>
  int BuildNumber(T value, const char* format);
  size_t ByteOffset(int index) const;  // offset of a character index, clamped to the end
  std::string mText;
};
