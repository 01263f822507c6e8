#include "engine/formatted_phones.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
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

// Bytes the allocator has handed out and not taken back (steady where another allocator
// stands in, as under the address sanitizer).
std::size_t HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

// The digits in full-width form ("１３８").
std::string Wide(std::string_view digits) {
  std::string out;
  for (char d : digits) out += std::string("\xA3") + static_cast<char>(0xB0 + (d - '0'));
  return out;
}

const std::string kIdeographicSpace = "\xA1\xA1";
const std::string kEnDash = "\xA8\x43";
const std::string kWidePlus = "\xA3\xAB";

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
  // A code at the very start of the text, right before the first group.
  EXPECT_EQ(Formatted("+86138-1234-5678"), Numbers{"13812345678"});
  EXPECT_EQ(Formatted("0086138 1234 5678"), Numbers{"13812345678"});
}

TEST(FormattedPhonesTest, ElevenDigitsInARowWithFullWidthOnes) {
  EXPECT_EQ(Formatted(Wide("13812345672") + " 1" + Wide("5012345678") + " 180" + Wide("12345678")),
            (Numbers{"13812345672", "15012345678", "18012345678"}));
  // A digit of either width before or after, or no prefix.
  EXPECT_EQ(Formatted("9" + Wide("13812345672") + " " + Wide("138123456721") + " " +
                      Wide("13812345672") + "9 " + Wide("17012345678")),
            Numbers{});
}

TEST(FormattedPhonesTest, IdeographicSpaceEnDashAndFullWidthPlus) {
  EXPECT_EQ(Formatted("138" + kIdeographicSpace + "1234" + kIdeographicSpace + "5678 139" + kEnDash +
                      "1234" + kEnDash + "5678"),
            (Numbers{"13812345678", "13912345678"}));
  EXPECT_EQ(Formatted(kWidePlus + Wide("8613812345678") + " " + kWidePlus + "86" +
                      kIdeographicSpace + "139-1234-5678 " + kWidePlus + "86150" + kEnDash +
                      "1234" + kEnDash + "5678"),
            (Numbers{"13812345678", "13912345678", "15012345678"}));
  // Still one kind of separator: a space and a dash do not go together.
  EXPECT_EQ(Formatted("138" + kIdeographicSpace + "1234" + kEnDash + "5678 138" + kEnDash +
                      "1234 5678"),
            Numbers{});
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
    // Each on a line of its own: a number whose only double-byte character is the plus sign,
    // a separator, or one full-width digit.
    text += "\n" + hanzi + kWidePlus + "86180-1234-5678\n181" + kIdeographicSpace + "1234" +
            kIdeographicSpace + "5678\n182" + kEnDash + "1234" + kEnDash + "5678\n" +
            "1831234567" + Wide("8") + "\n184 1234" + kIdeographicSpace + "5678\n" + kWidePlus +
            "86 18512345678\n" + kWidePlus + "8618612345678\n" + kWidePlus + Wide("86") +
            " 18712345678 +8" + Wide("6") + "18812345678";
    // Followed by a full-width digit: no numbers.
    text += "\n138 1234 5678\xA3\xB8 +8613812345678\xA3\xB1";
    for (int k = 0; k < 40; ++k) text += hanzi;
    EXPECT_EQ(Formatted(text), (Numbers{"13812345678", "13912345678", "15012345678",
                                        "18012345678", "18112345678", "18212345678",
                                        "18312345678", "18412345678", "18512345678",
                                        "18612345678", "18712345678", "18812345678"}))
        << "offset " << offset;
    EXPECT_EQ(Formatted(hanzi.substr(offset % 2) + text), Formatted(text)) << "offset " << offset;
  }
}

// The tail after the last whole block is read with what stands before it: a digit right
// before a grouped number there keeps it from counting.
TEST(FormattedPhonesTest, DigitBeforeAGroupedNumberInTheTailOfALongText) {
  for (std::size_t offset = 40; offset < 160; ++offset) {
    const std::string before(offset, 'x');
    EXPECT_EQ(Formatted(before + "9138-1234-5678xx"), Numbers{}) << "offset " << offset;
    EXPECT_EQ(Formatted(before + "+86138-1234-5678xx"), Numbers{"13812345678"})
        << "offset " << offset;
  }
}

TEST(FormattedPhonesTest, OnlyNumbersBeginningWithAPrefixLine) {
  EXPECT_EQ(Formatted("170-1234-5678 138-1234-5678", {"17"}), Numbers{"17012345678"});
  EXPECT_EQ(Formatted("138-1234-5678", {}), Numbers{});
}

// A line of megabytes with numbers of every form, and digit runs longer than what the scan
// reads at a time: the numbers come out as on a short line, in memory that does not grow
// with it.
TEST(FormattedPhonesTest, ALongLineInLittleMemory) {
  const std::string unit = "\xB5\xE7\xBB\xB0 " + kWidePlus + Wide("8613812345678") + " 139" +
                           kIdeographicSpace + "1234" + kIdeographicSpace + "5678 " +
                           std::string(300, '7') + Wide("15") + " 15012345678 ";
  std::string line;
  Numbers expected;
  constexpr int kUnits = 8000;
  for (int k = 0; k < kUnits; ++k) {
    line += unit;
    expected.push_back("15012345678");
  }
  for (int k = 0; k < kUnits; ++k) {
    expected.push_back("13812345678");
    expected.push_back("13912345678");
  }
  expected.reserve(expected.size() + 1);
  Numbers found;
  found.reserve(expected.size() + 1);
  const std::size_t before = HeapInUse();
  std::size_t peak = before;
  ScanTextWithFormatted(PhoneScanner(kPrefixes), FormattedPhoneScanner(kPrefixes), line,
                        [&](std::string_view n) {
                          found.emplace_back(n);
                          if (found.size() % 64 == 0) peak = std::max(peak, HeapInUse());
                        });
  peak = std::max(peak, HeapInUse());
  EXPECT_LT(peak - before, line.size() / 4);
  EXPECT_TRUE(found == expected) << found.size() << " numbers";
}

TEST(FormattedPhonesTest, EachLineGivesItsOrdinaryNumbersThenItsFormattedOnes) {
  EXPECT_EQ(Both("a 138-1234-5678 b 13912345678\r\nc 150 1234 5678 d 18012345678"),
            (Numbers{"13912345678", "13812345678", "18012345678", "15012345678"}));
  // A plain number after the code is the ordinary scan's too: given once, as are eleven
  // ASCII digits in a row; with full-width digits among them they are the formatted scan's.
  EXPECT_EQ(Both("+86 13812345678\n+8613912345678 15012345678 180" + Wide("12345678")),
            (Numbers{"13812345678", "13912345678", "15012345678", "18012345678"}));
  // Nothing after a NUL counts, for either scan.
  EXPECT_EQ(Both(std::string("138-1234-5678\0 139-1234-5678", 28)), Numbers{"13812345678"});
}

}  // namespace
}  // namespace tolvarine
