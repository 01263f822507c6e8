#include "engine/formatted_phones.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvarine {
namespace {

const std::vector<std::string> kPrefixes{"13", "15", "18"};

std::vector<std::string> Formatted(std::string_view text,
                                   const std::vector<std::string>& prefixes = kPrefixes) {
  std::vector<std::string> out;
  FormattedPhoneScanner(prefixes).Scan(text, [&](const FormattedNumber& n) {
    out.push_back(n.digits);
  });
  return out;
}

std::vector<std::string> Both(std::string_view text) {
  std::vector<std::string> out;
  ScanTextWithFormatted(PhoneScanner(kPrefixes), FormattedPhoneScanner(kPrefixes), text,
                        [&](std::string_view n) { out.emplace_back(n); });
  return out;
}

using Numbers = std::vector<std::string>;

TEST(FormattedPhonesTest, GroupsOfThreeFourFourWithOneSeparator) {
  EXPECT_EQ(Formatted("tel 138-1234-5678, 139 1234 5678;150.1234.5678"),
            (Numbers{"13812345678", "13912345678", "15012345678"}));
  // Mixed or doubled separators, other group sizes, digits around the groups.
  EXPECT_EQ(Formatted("138-1234 5678 138--1234--5678 1381234-5678 138-12345678"), Numbers{});
  EXPECT_EQ(Formatted("1138-1234-5678 138-1234-56789 138-1234-567"), Numbers{});
  EXPECT_EQ(Formatted("138_1234_5678 138/1234/5678"), Numbers{});
}

TEST(FormattedPhonesTest, CountryCodeBeforeGroupedOrPlainNumbers) {
  EXPECT_EQ(Formatted("+86 138-1234-5678|+86-13912345678|+8615012345678"),
            (Numbers{"13812345678", "13912345678", "15012345678"}));
  EXPECT_EQ(Formatted("0086 18012345678 0086-181.1234.5678 008618212345678"),
            (Numbers{"18012345678", "18112345678", "18212345678"}));
  // Followed by a digit, two separators, or a code inside a longer number.
  EXPECT_EQ(Formatted("+86 138123456789 +86  13812345678 10086 13812345678"), Numbers{});
}

TEST(FormattedPhonesTest, FullWidthDigitsCountOnlyOnCharacterBoundaries) {
  // "１３８－１２３４－５６７８"
  const std::string fullWidth =
      "\xA3\xB1\xA3\xB3\xA3\xB8\xA3\xAD\xA3\xB1\xA3\xB2\xA3\xB3\xA3\xB4\xA3\xAD"
      "\xA3\xB5\xA3\xB6\xA3\xB7\xA3\xB8";
  EXPECT_EQ(Formatted("\xB5\xE7\xBB\xB0" + fullWidth), Numbers{"13812345678"});
  // The same bytes shifted by one: each A3 is the trail byte of a Chinese character.
  std::string shifted = "0086\xB1";
  for (char d : std::string("13812345678")) shifted += std::string("\xA3") + char(0xB0 + (d - '0'));
  EXPECT_EQ(Formatted(shifted), Numbers{});
  std::string aligned = "0086";
  for (char d : std::string("13812345678")) aligned += std::string("\xA3") + char(0xB0 + (d - '0'));
  EXPECT_EQ(Formatted(aligned), Numbers{"13812345678"});
}

// Long texts go through the block scan: a number is found wherever it falls against the
// blocks, between Chinese text, other digits and full-width punctuation.
TEST(FormattedPhonesTest, FoundAtEveryOffsetOfALongText) {
  const std::string hanzi = "\xB5\xE7\xBB\xB0\xA3\xAC";  // "电话，"
  const std::string fullWidth = "\xA3\xB1\xA3\xB3\xA3\xB9\xA3\xAD\xA3\xB1\xA3\xB2\xA3\xB3"
                                "\xA3\xB4\xA3\xAD\xA3\xB5\xA3\xB6\xA3\xB7\xA3\xB8";
  for (std::size_t offset = 0; offset < 70; ++offset) {
    std::string text;
    for (std::size_t k = 0; k < offset; ++k) text += "ab2019x"[k % 7];
    text += hanzi + "138-1234-5678 2020-01-01 " + hanzi + fullWidth + " +86 150 1234 5678";
    // Followed by a full-width digit: no numbers.
    text += "\n138 1234 5678\xA3\xB8 +8613812345678\xA3\xB1";
    for (int k = 0; k < 40; ++k) text += hanzi;
    EXPECT_EQ(Formatted(text), (Numbers{"13812345678", "13912345678", "15012345678"}))
        << "offset " << offset;
    EXPECT_EQ(Formatted(hanzi.substr(offset % 2) + text), Formatted(text)) << "offset " << offset;
  }
}

TEST(FormattedPhonesTest, OnlyNumbersBeginningWithAPrefixLine) {
  EXPECT_EQ(Formatted("170-1234-5678 138-1234-5678", {"17"}), Numbers{"17012345678"});
  EXPECT_EQ(Formatted("138-1234-5678", {}), Numbers{});
}

TEST(FormattedPhonesTest, EachLineGivesItsOrdinaryNumbersThenItsFormattedOnes) {
  EXPECT_EQ(Both("a 138-1234-5678 b 13912345678\r\nc 150 1234 5678 d 18012345678"),
            (Numbers{"13912345678", "13812345678", "18012345678", "15012345678"}));
  // A plain number after the code is the ordinary scan's too: given once.
  EXPECT_EQ(Both("+86 13812345678\n+8613912345678"), (Numbers{"13812345678", "13912345678"}));
  // Nothing after a NUL counts, for either scan.
  EXPECT_EQ(Both(std::string("138-1234-5678\0 139-1234-5678", 28)), Numbers{"13812345678"});
}

}  // namespace
}  // namespace tolvarine
