#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
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
  EXPECT_EQ(d[8], 10);  // byte length of the UTF-8 text
  EXPECT_EQ(m.GetSize(), 4u + 4u + 4u + 10u + 4u + 4u + 4u);

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

TEST(Message, CorruptLengthsAreReportedAndStickUntilRewind) {
  const std::vector<unsigned char> negative = {0xFF, 0xFF, 0xFF, 0xFF, 'a'};
  const std::vector<unsigned char> huge = {0x00, 0x00, 0x00, 0x10, 'a', 'b'};
  const std::vector<unsigned char> oneShort = {0x03, 0x00, 0x00, 0x00, 'a', 'b'};
  for (const auto& bytes : {negative, huge, oneShort}) {
    KIVGPWMessage r(bytes.data(), bytes.size());
    KIVUnicodeString s("keep");
    EXPECT_EQ(r.readString(s), 0);
    EXPECT_EQ(s, KIVUnicodeString("keep"));
    EXPECT_EQ(r.GetReadPosition(), 0u);
    EXPECT_NE(std::string(r.GetErrorText()).find("readString: length"), std::string::npos);
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
}

}  // namespace
