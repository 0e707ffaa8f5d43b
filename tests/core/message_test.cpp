#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "host/core/KIVGPWMessage.h"

namespace {

TEST(Message, ValuesComeBackInOrderWithALittleEndianLayout) {
  KIVGPWMessage m;
  m.writeInt(0x01020304);
  m.writeFloat(-1.5f);
  m.writeString("Vue 日本");
  m.writeString(static_cast<const char*>(nullptr));
  m.writeInt(std::numeric_limits<int>::min());
  m.writeFloat(std::numeric_limits<float>::infinity());
  const unsigned char* d = m.GetData();
  EXPECT_EQ(d[0], 0x04);
  EXPECT_EQ(d[3], 0x01);
  // Strings are their UTF-8 bytes and a NUL: the text's length plus 1.
  EXPECT_EQ(std::memcmp(d + 8, "Vue \xE6\x97\xA5\xE6\x9C\xAC", 10), 0);
  EXPECT_EQ(d[18], 0);
  EXPECT_EQ(d[19], 0);  // the empty string: its NUL alone
  EXPECT_EQ(m.GetSize(), 4u + 4u + 11u + 1u + 4u + 4u);
  EXPECT_EQ(KIVGPWMessage::GetStringSize("Vue 日本"), 11);

  KIVGPWMessage r(m.GetData(), m.GetSize());
  int i = 0;
  float f = 0;
  KIVUnicodeString s, empty("x");
  EXPECT_EQ(r.readInt(i), 1);
  EXPECT_EQ(i, 0x01020304);
  EXPECT_EQ(r.readFloat(f), 1);
  EXPECT_EQ(f, -1.5f);
  EXPECT_EQ(r.readString(s), 1);
  EXPECT_EQ(s, KIVUnicodeString("Vue 日本"));
  EXPECT_EQ(r.readString(empty), 1);
  EXPECT_EQ(empty.GetLengthInChar(), 0);
  EXPECT_EQ(r.readInt(i), 1);
  EXPECT_EQ(i, std::numeric_limits<int>::min());
  EXPECT_EQ(r.readFloat(f), 1);
  EXPECT_TRUE(std::isinf(f));
  EXPECT_EQ(r.GetRemaining(), 0u);
  EXPECT_FALSE(r.HasError());
}

TEST(Message, NaNBitsSurvive) {
  KIVGPWMessage m;
  float nan = std::numeric_limits<float>::quiet_NaN();
  m.writeFloat(nan);
  float back = 0;
  ASSERT_EQ(m.readFloat(back), 1);
  EXPECT_EQ(std::memcmp(&nan, &back, 4), 0);
}

TEST(Message, EveryTruncationFailsCleanlyAndKeepsTheValue) {
  KIVGPWMessage full;
  full.writeInt(7);
  full.writeString("abcdef");
  full.writeFloat(2.5f);
  for (size_t cut = 0; cut < full.GetSize(); ++cut) {
    KIVGPWMessage r(full.GetData(), cut);
    int i = -1;
    float f = -1;
    KIVUnicodeString s("keep");
    const int ok = r.readInt(i) && r.readString(s) && r.readFloat(f);
    EXPECT_EQ(ok, 0) << cut;
    EXPECT_TRUE(r.HasError()) << cut;
    EXPECT_NE(std::strlen(r.GetErrorText()), 0u);
    EXPECT_TRUE(i == -1 || i == 7);
    EXPECT_TRUE(s == KIVUnicodeString("keep") || s == KIVUnicodeString("abcdef"));
    EXPECT_EQ(f, -1.0f);
    EXPECT_LE(r.GetReadPosition(), cut);
  }
}

TEST(Message, AStringWithoutItsNulIsReportedAndTheErrorSticksUntilRewind) {
  const std::vector<unsigned char> unterminated = {'v', 'a', 'l', 'v', 'e'};
  const std::vector<unsigned char> highBytes = {0xFF, 0xFE, 0x80, 0xC3};
  for (const auto& bytes : {unterminated, highBytes}) {
    KIVGPWMessage r(bytes.data(), bytes.size());
    KIVUnicodeString s("keep");
    EXPECT_EQ(r.readString(s), 0);
    EXPECT_EQ(s, KIVUnicodeString("keep"));
    EXPECT_EQ(r.GetReadPosition(), 0u);
    EXPECT_NE(std::string(r.GetErrorText()).find("readString: no terminating NUL"), std::string::npos);
    int i = 0;
    EXPECT_EQ(r.readInt(i), 0);  // nothing more is read from a misread message
    r.Rewind();
    EXPECT_FALSE(r.HasError());
    EXPECT_EQ(r.readInt(i), 1);
  }
  KIVGPWMessage none(nullptr, 10);
  int i = 3;
  EXPECT_EQ(none.readInt(i), 0);
  EXPECT_EQ(i, 3);
  KIVGPWMessage empty;
  KIVUnicodeString s("keep");
  EXPECT_EQ(empty.readString(s), 0);
  EXPECT_EQ(s, KIVUnicodeString("keep"));
}

TEST(Message, ANulInsideATextEndsItAndTheMessageStaysInStep) {
  KIVGPWMessage m;
  const KIVUnicodeString withNul(std::string_view("ab\0cd", 5));
  m.writeString(withNul);
  m.writeInt(9);
  EXPECT_EQ(m.GetSize(), static_cast<size_t>(KIVGPWMessage::GetStringSize(withNul)) + 4u);
  KIVUnicodeString s;
  int i = 0;
  ASSERT_EQ(m.readString(s), 1);
  EXPECT_EQ(s, KIVUnicodeString("ab"));
  ASSERT_EQ(m.readInt(i), 1);
  EXPECT_EQ(i, 9);
}

}  // namespace
