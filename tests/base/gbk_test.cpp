#include "base/gbk.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvarine {
namespace {

// "网址" and "手机" in GBK, as the window texts hold them.
const std::string kWangZhi = "\xCD\xF8\xD6\xB7";
const std::string kShouJi = "\xCA\xD6\xBB\xFA";

TEST(Gbk, RoundTripsThroughUtf8AndUtf16) {
  EXPECT_EQ(Utf8ToGbk("网址"), kWangZhi);
  EXPECT_EQ(GbkToUtf8(kShouJi), "手机");
  EXPECT_EQ(GbkToUtf16(kWangZhi), u"网址");
  EXPECT_EQ(Utf16ToGbk(u"abc 手机\r\n"), "abc " + kShouJi + "\r\n");
  EXPECT_EQ(Utf8ToGbk(""), "");
  EXPECT_EQ(GbkToUtf16(""), u"");
  std::string withNul("a\0b", 3);
  EXPECT_EQ(Utf8ToGbk(withNul), withNul);
  // Long texts convert whole.
  std::string big;
  for (int i = 0; i < 10000; ++i) big += "手机13800138000,";
  EXPECT_EQ(GbkToUtf8(Utf8ToGbk(big)), big);
}

TEST(Gbk, UnmappableAndInvalidInput) {
  // Characters outside the code page become "?": a Korean syllable, an emoji (one "?"
  // for the surrogate pair), a lone surrogate.
  EXPECT_EQ(Utf16ToGbk(u"a\uAC00b"), "a?b");
  EXPECT_EQ(Utf8ToGbk("x\xF0\x9F\x98\x80y"), "x?y");
  EXPECT_EQ(Utf16ToGbk(std::u16string(1, char16_t(0xD800)) + u"z"), "?z");
  // Invalid GBK becomes U+FFFD; the byte after a bad lead byte stays itself.
  EXPECT_EQ(GbkToUtf16("\x81 b"), u"\uFFFD b");
  EXPECT_EQ(GbkToUtf16("a\xB0"), u"a\uFFFD");
  // Control bytes, Ctrl-Z included, map to themselves.
  EXPECT_EQ(GbkToUtf16("\x1a\x7f"), u"\x1a\x7f");
}

TEST(Gbk, ValidityAgreesWithTheConverter) {
  EXPECT_TRUE(IsValidGbk(""));
  EXPECT_TRUE(IsValidGbk("plain " + kWangZhi));
  EXPECT_FALSE(IsValidGbk("\xCD"));
  EXPECT_FALSE(IsValidGbk("\xCD\x7F"));
  EXPECT_FALSE(IsValidGbk("\xCD "));
  // Every single byte and every pair: valid exactly when the converter reads it without
  // a replacement character.
  auto convertsCleanly = [](const std::string& s) {
    return GbkToUtf16(s).find(u'\uFFFD') == std::u16string::npos;
  };
  for (int a = 0; a < 256; ++a) {
    std::string one(1, static_cast<char>(a));
    ASSERT_EQ(IsValidGbk(one), convertsCleanly(one)) << a;
    for (int b = 0; b < 256; ++b) {
      std::string two{static_cast<char>(a), static_cast<char>(b)};
      ASSERT_EQ(IsValidGbk(two), convertsCleanly(two)) << a << " " << b;
    }
  }
}

TEST(Gbk, LowersSingleByteLettersOnly) {
  EXPECT_EQ(LowerAsciiGbk("HTTP://Www.Example.COM/A?Z=1"), "http://www.example.com/a?z=1");
  // "\xB0\x41" and "\x81\x5A" are double-byte characters whose trail bytes are "A" and "Z".
  EXPECT_EQ(LowerAsciiGbk("X\xB0\x41Y\x81\x5A"), "x\xB0\x41y\x81\x5A");
  EXPECT_EQ(LowerAsciiGbk(kWangZhi + "AB"), kWangZhi + "ab");
  // A lead byte without a trail byte does not swallow the letter after it.
  EXPECT_EQ(LowerAsciiGbk("\x81\x7f" "A"), "\x81\x7f" "a");
  EXPECT_EQ(LowerAsciiGbk("Z\xCD"), "z\xCD");
}

}  // namespace
}  // namespace tolvarine
