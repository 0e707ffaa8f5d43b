#pragma once
// One Unicode character (a code point); 0 means no character.

class KIVUnicodeChar {
 public:
  constexpr KIVUnicodeChar() = default;
  constexpr KIVUnicodeChar(char32_t code) : mCode(code) {}                      // NOLINT
  constexpr KIVUnicodeChar(char c) : mCode(static_cast<unsigned char>(c)) {}    // NOLINT: Latin-1 byte
  constexpr KIVUnicodeChar(int code) : mCode(code < 0 ? 0 : static_cast<char32_t>(code)) {}  // NOLINT

  constexpr char32_t GetCode() const { return mCode; }
  constexpr bool IsNull() const { return mCode == 0; }
  friend constexpr bool operator==(KIVUnicodeChar a, KIVUnicodeChar b) { return a.mCode == b.mCode; }

 private:
  char32_t mCode = 0;
};
