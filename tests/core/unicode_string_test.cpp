#include <gtest/gtest.h>

#include <random>
#include <string>

#include "host/core/KIVString.h"
#include "host/core/KIVUnicodeString.h"
#include "host/core/KIVUtf8.h"

namespace {

std::u32string Chars(const KIVUnicodeString& s) {
  std::u32string out;
  const std::string& b = s.GetUtf8();
  for (size_t pos = 0; pos < b.size();) out += kivutf8::Decode(b, pos);
  return out;
}

TEST(UnicodeString, CountsCharactersAndKeepsStrayBytesAsLatin1) {
  KIVUnicodeString s("Vue de d\xC3\xA9tail \xE2\x88\x91 \xF0\x9F\x98\x80");  // é, ∑, an emoji
  EXPECT_EQ(s.GetLengthInChar(), 17);
  EXPECT_EQ(s.GetChar(8).GetCode(), U'é');
  EXPECT_EQ(s.GetChar(16).GetCode(), U'\U0001F600');
  EXPECT_TRUE(s.GetChar(17).IsNull());
  EXPECT_TRUE(s.GetChar(-1).IsNull());
  // Latin-1 bytes, a truncated sequence, an overlong form and a surrogate: none is lost.
  KIVUnicodeString bad("caf\xE9 \xE2\x88 \xC0\xAF \xED\xA0\x80");
  EXPECT_EQ(Chars(bad), U"caf\u00E9 \u00E2\u0088 \u00C0\u00AF \u00ED\u00A0\u0080");
  EXPECT_EQ(KIVUnicodeString(bad.CastToCharPtr()), bad);  // normalised text is stable
  EXPECT_EQ(KIVUnicodeString(static_cast<const char*>(nullptr)).GetLengthInChar(), 0);
  EXPECT_EQ(KIVUnicodeString(KIVUnicodeChar(U'Ω')).GetUtf8(), "\xCE\xA9");
  EXPECT_EQ(KIVUnicodeString(std::string_view("a\0b", 3)).GetLengthInChar(), 3);
}

TEST(UnicodeString, BuildFromNumFormatsOneNumberAndRefusesBadFormats) {
  KIVUnicodeString s;
  EXPECT_EQ(s.BuildFromNum(3.14159, "%.2f"), 1);
  EXPECT_EQ(s, KIVUnicodeString("3.14"));
  s.BuildFromNum(42, "Item %05d of 100%%");
  EXPECT_EQ(s, KIVUnicodeString("Item 00042 of 100%"));
  s.BuildFromNum(255, "%#x");
  EXPECT_EQ(s, KIVUnicodeString("0xff"));
  s.BuildFromNum(-7L, "%ld mm");
  EXPECT_EQ(s, KIVUnicodeString("-7 mm"));
  s.BuildFromNum(2.75f, "%d");  // the value follows the conversion
  EXPECT_EQ(s, KIVUnicodeString("2"));
  s.BuildFromNum(3, "%.1f");
  EXPECT_EQ(s, KIVUnicodeString("3.0"));
  s.BuildFromNum(4000000000ul, "%d");
  EXPECT_EQ(s, KIVUnicodeString("4000000000"));
  s.BuildFromNum(0x00E9, "%c!");
  EXPECT_EQ(s, KIVUnicodeString("\xC3\xA9!"));
  s.BuildFromNum(12345.0, "%.f");
  EXPECT_EQ(s, KIVUnicodeString("12345"));

  const KIVUnicodeString before = s;
  for (const char* bad : {"%s", "%d %d", "%n", "%*d", "%.*f", "no conversion", "%", "%99999d", "%#d", "%05c", "%p"}) {
    EXPECT_EQ(s.BuildFromNum(1, bad), 0) << bad;
    EXPECT_EQ(s.BuildFromNum(1.0, bad), 0) << bad;
  }
  EXPECT_EQ(s.BuildFromNum(1, nullptr), 0);
  EXPECT_EQ(s.BuildFromNum(std::numeric_limits<double>::quiet_NaN(), "%d"), 0);
  EXPECT_EQ(s.BuildFromNum(1e300, "%d"), 0);
  EXPECT_EQ(s, before);
}

TEST(UnicodeString, PositionsAndSubStringsCountCharacters) {
  KIVUnicodeString s("ΑΒΓ-αβγ-ΑΒΓ");
  EXPECT_EQ(s.FindPosition("ΑΒΓ"), 0);
  EXPECT_EQ(s.FindPosition("ΑΒΓ", 1), 8);
  EXPECT_EQ(s.FindPosition("-", 4), 7);
  EXPECT_EQ(s.FindPosition("x"), -1);
  EXPECT_EQ(s.FindPosition("", 11), 11);
  EXPECT_EQ(s.FindPosition("", 12), -1);
  EXPECT_EQ(s.FindPosition("Γ", -5), 2);
  EXPECT_EQ(s.SubString(4, 3), KIVUnicodeString("αβγ"));
  EXPECT_EQ(s.SubString(8), KIVUnicodeString("ΑΒΓ"));
  EXPECT_EQ(s.SubString(9, 100), KIVUnicodeString("ΒΓ"));
  EXPECT_EQ(s.SubString(50, 2), KIVUnicodeString(""));
  EXPECT_EQ(s.SubString(-3, 1), KIVUnicodeString("Α"));
}

TEST(UnicodeString, ReplaceCaseAndStrip) {
  KIVUnicodeString s("aXa-aXa");
  EXPECT_EQ(s.ReplaceSubString("aXa", "XaX"), 2);  // inserted text is not rescanned
  EXPECT_EQ(s, KIVUnicodeString("XaX-XaX"));
  EXPECT_EQ(s.ReplaceSubString("X", "", 0), 1);
  EXPECT_EQ(s, KIVUnicodeString("aX-XaX"));
  EXPECT_EQ(s.ReplaceSubString("", "z"), 0);

  KIVUnicodeString t("Élan ÿ straße Ωμέγα Москва Łódź ǅ");
  KIVUnicodeString up = t;
  up.ToUpper();
  EXPECT_EQ(up, KIVUnicodeString("ÉLAN Ÿ STRAßE ΩΜΈΓΑ МОСКВА ŁÓDŹ ǅ"));
  KIVUnicodeString low = up;
  low.ToLower();
  EXPECT_EQ(low, KIVUnicodeString("élan ÿ straße ωμέγα москва łódź ǅ"));
  EXPECT_EQ(KIVUnicodeString("ΣΟΦΟΣ").CompareNoCase("σοφοσ"), 0);
  EXPECT_EQ(KIVUnicodeString("ς").ToUpper(), KIVUnicodeString("Σ"));

  KIVUnicodeString padded("\t\u00A0 mot  clé \u3000\n");
  EXPECT_EQ(padded.Strip(), KIVUnicodeString("mot  clé"));
  KIVUnicodeString blank(" \u2003 ");
  EXPECT_EQ(blank.Strip(), KIVUnicodeString(""));
}

TEST(UnicodeString, OrderingIsByCodePoint) {
  EXPECT_LT(KIVUnicodeString("z"), KIVUnicodeString("é"));
  EXPECT_LT(KIVUnicodeString("\uFFFD"), KIVUnicodeString("\U00010000"));
  EXPECT_EQ(KIVUnicodeString("b").Compare("a"), 1);
  EXPECT_EQ(KIVUnicodeString("a").Compare("ab"), -1);
  EXPECT_EQ(KIVString("tag") + KIVString("s"), KIVString("tags"));
  EXPECT_LT(KIVString("a"), KIVString("b"));
}

// The byte-level shortcuts must agree with plain character-array operations.
TEST(UnicodeString, RandomTextsAgreeWithACharacterArrayReference) {
  std::mt19937 rng(7);
  const char32_t alphabet[] = {U'a', U'b', U' ', U'é', U'Σ', U'σ', U'ж', U'日', U'\U0001F600', U'\u00A0'};
  auto randomText = [&](int maxLen) {
    std::u32string t;
    for (int n = static_cast<int>(rng() % (maxLen + 1)); n > 0; --n) t += alphabet[rng() % std::size(alphabet)];
    return t;
  };
  auto make = [](const std::u32string& t) {
    std::string b;
    for (char32_t c : t) kivutf8::Append(b, c);
    return KIVUnicodeString(b);
  };
  for (int i = 0; i < 3000; ++i) {
    const std::u32string text = randomText(12), sub = randomText(2);
    const KIVUnicodeString s = make(text), p = make(sub);
    const int start = static_cast<int>(rng() % 14) - 1;
    const size_t from = start < 0 ? 0 : static_cast<size_t>(start);
    const size_t ref = from > text.size() ? std::u32string::npos : text.find(sub, from);
    ASSERT_EQ(s.FindPosition(p, start), ref == std::u32string::npos ? -1 : static_cast<int>(ref));
    const int len = static_cast<int>(rng() % 6) - 1;
    const std::u32string refSub = from >= text.size() ? U"" : text.substr(from, len < 0 ? std::u32string::npos : len);
    ASSERT_EQ(Chars(s.SubString(start, len)), refSub);
    ASSERT_EQ(s.GetLengthInChar(), static_cast<int>(text.size()));
    std::u32string refUpper = text;
    for (char32_t& c : refUpper) c = KIVUnicodeString::ToUpperChar(c);
    KIVUnicodeString upper = s;
    ASSERT_EQ(Chars(upper.ToUpper()), refUpper);
  }
}

}  // namespace
