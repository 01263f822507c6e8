#include "engine/phone_extractor.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/gbk.h"
#include "base/line_split.h"
#include "tests/support/page_text.h"

namespace tolvarine {
namespace {

const std::vector<std::string> kDefaultPrefixes{"13", "15", "18"};

// The scan written the plain way: for every line and prefix, each occurrence of the prefix
// in turn, its digit run, then on after the run.
std::vector<std::string> PlainScan(const std::vector<std::string_view>& lines,
                                   const std::vector<std::string>& prefixes) {
  std::vector<std::string> found;
  for (std::string_view line : lines) {
    for (const std::string& prefix : prefixes) {
      if (prefix.empty()) continue;
      std::string_view rest = line;
      for (;;) {
        const std::size_t at = rest.find(prefix);
        if (at == std::string_view::npos) break;
        rest.remove_prefix(at);
        std::size_t run = 0;
        while (run < rest.size() && rest[run] >= '0' && rest[run] <= '9') ++run;
        if (run == 11) found.emplace_back(rest.substr(0, 11));
        rest.remove_prefix(std::max<std::size_t>(run, 1));
      }
    }
  }
  return found;
}

std::vector<std::string> ScanLines(const std::vector<std::string_view>& lines,
                                   const std::vector<std::string>& prefixes = kDefaultPrefixes,
                                   bool dedup = false) {
  ResultList phones;
  ExtractPhones(lines, prefixes, dedup, phones, nullptr);
  return phones.Rows();
}

std::vector<std::string> ScanText(std::string_view text,
                                  const std::vector<std::string>& prefixes = kDefaultPrefixes) {
  std::vector<std::string> found;
  PhoneScanner(prefixes).ScanText(text, [&](std::string_view n) { found.emplace_back(n); });
  return found;
}

using Rows = std::vector<std::string>;

TEST(PhoneExtractorTest, NumbersOfALineComePrefixByPrefix) {
  // 电话 13912345678， 手机 15987654321: the "13" pass first, then the "15" pass.
  const std::string line = Utf8ToGbk("电话13912345678，手机15987654321");
  EXPECT_EQ(ScanLines({line}), (Rows{"13912345678", "15987654321"}));
  // Prefix order wins over line order.
  EXPECT_EQ(ScanLines({"18600000000 x 13700000000"}), (Rows{"13700000000", "18600000000"}));
  // Lines keep their order.
  EXPECT_EQ(ScanLines({"18600000000", "13700000000"}), (Rows{"18600000000", "13700000000"}));
}

TEST(PhoneExtractorTest, DedupKeepsOneRowPerNumber) {
  const std::vector<std::string_view> lines{"13912345678 13912345678"};
  EXPECT_EQ(ScanLines(lines, kDefaultPrefixes, true), (Rows{"13912345678"}));
  EXPECT_EQ(ScanLines(lines, kDefaultPrefixes, false), (Rows{"13912345678", "13912345678"}));

  // Dedup also holds against rows listed by earlier pages.
  ResultList phones;
  phones.Append("13912345678");
  int added = 0;
  ExtractPhones(lines, kDefaultPrefixes, true, phones, [&] { ++added; });
  EXPECT_EQ(phones.Count(), 1);
  EXPECT_EQ(added, 0);
}

TEST(PhoneExtractorTest, OnlyRunsOfElevenDigitsFromThePrefixCount) {
  EXPECT_EQ(ScanLines({"1391234567", "139123456789"}), Rows{});
  // Digits before the prefix are ignored; digits after it must end the run at 11.
  EXPECT_EQ(ScanLines({"8686813912345678"}), Rows{"13912345678"});
  EXPECT_EQ(ScanLines({"1381380000000"}), Rows{});
  // An area code ending in 13 and the 18 of 2018年 start runs that are too short.
  EXPECT_EQ(ScanLines({"0513-87654321", Utf8ToGbk("2018年")}), Rows{});
  EXPECT_EQ(ScanLines({""}), Rows{});
}

TEST(PhoneExtractorTest, EveryOccurrenceOfAPrefixIsExamined) {
  // Six numbers of one prefix on a line: all of them.
  std::string line;
  for (int i = 0; i < 6; ++i) line += "1390000000" + std::to_string(i) + " ";
  EXPECT_EQ(ScanLines({line}).size(), 6u);
  // Numbers far beyond the first occurrence of their prefix, and of another prefix.
  const std::string far = "13 " + std::string(300, 'x') + "13800000001 " + std::string(300, 'y') +
                          "15800000002";
  EXPECT_EQ(ScanLines({far}), (Rows{"13800000001", "15800000002"}));
}

TEST(PhoneExtractorTest, PrefixesComeFromTheNonEmptyLinesOfTheField) {
  EXPECT_EQ(PrefixesFromText("13\r\n15\r\n18\r\n"), kDefaultPrefixes);
  EXPECT_EQ(PrefixesFromText("17\r\n\r\n13"), (Rows{"17", "13"}));
  const std::vector<std::string_view> lines{"17712345678 13912345678 +8613500000000"};
  EXPECT_EQ(ScanLines(lines, PrefixesFromText("17\r\n\r\n13")),
            (Rows{"17712345678", "13912345678", "13500000000"}));
  // Prefixes that are not digits, or too long, find nothing and do not hang the scan.
  EXPECT_EQ(ScanLines(lines, {"+86", "1a", "139123456789"}), Rows{});
  // Eleven digits and then other text: the run from such a prefix is its own 11 digits.
  const std::vector<std::string_view> dashed{"813912345678-1 13912345678 13912345678-"};
  EXPECT_EQ(ScanLines(dashed, {"13912345678-"}), PlainScan(dashed, {"13912345678-"}));
  EXPECT_EQ(ScanLines(dashed, {"13912345678-"}).size(), 2u);
  EXPECT_EQ(ScanLines(lines, {}), Rows{});
}

TEST(PhoneExtractorTest, WholeTextScanEqualsTheLineByLineScan) {
  const std::vector<std::vector<std::string>> prefixSets{
      kDefaultPrefixes, {"18", "13"}, {"1", "13", "138", "3", "5"}, {"13", "13"}, {"8888888", "0"},
      {"11111111111-", "1-", "13"}};
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    const std::string text = seed % 2 ? testing::MakeDigitHeavyText(4000, seed)
                                      : testing::MakePageText(20000, seed);
    const std::vector<std::string_view> lines = SplitLineViews(text);
    for (const auto& prefixes : prefixSets) {
      const Rows plain = PlainScan(lines, prefixes);
      ASSERT_EQ(ScanLines(lines, prefixes), plain) << "seed " << seed;
      ASSERT_EQ(ScanText(text, prefixes), plain) << "seed " << seed;
    }
  }
}

TEST(PhoneExtractorTest, TextScanEndsLinesAtCrLfAndStopsAtNul) {
  EXPECT_EQ(ScanText("18600000001\r13700000002\n18600000003\r\n13700000004"),
            (Rows{"18600000001", "13700000002", "18600000003", "13700000004"}));
  const std::string withNul = std::string("13700000001\n") + '\0' + "13700000002";
  EXPECT_EQ(ScanText(withNul), Rows{"13700000001"});
  // Many hits of one line stay in prefix order however far apart they are.
  std::string longLine;
  for (int i = 0; i < 5000; ++i) longLine += (i % 2 ? "1860000" : "1370000") + std::to_string(1000 + i % 9000) + ";";
  const Rows found = ScanText(longLine + "\r\n" + longLine);
  ASSERT_EQ(found.size(), 10000u);
  EXPECT_TRUE(std::is_sorted(found.begin(), found.begin() + 5000));
  EXPECT_EQ(found[2499].substr(0, 2), "13");
  EXPECT_EQ(found[2500].substr(0, 2), "18");
  EXPECT_EQ(found[5000].substr(0, 2), "13");
}

TEST(PhoneExtractorTest, PageTextComesBeforePageMarkup) {
  class Page : public PageDocument {
   public:
    bool noBody = false;
    int LinksLength() override { return 0; }
    std::string LinkItem(int) override { return {}; }
    std::string BodyOuterText() override { return noBody ? throw std::runtime_error("no body") : "18600000001"; }
    std::string BodyOuterHtml() override { return noBody ? throw std::runtime_error("no body") : "<b>13700000002</b>"; }
  } page;
  EXPECT_EQ(PageNumbers(page, kDefaultPrefixes, false), (Rows{"18600000001", "13700000002"}));

  page.noBody = true;
  EXPECT_THROW(PageNumbers(page, kDefaultPrefixes, false), std::runtime_error);
}

TEST(PhoneExtractorTest, NumbersStatedForMachinesComeBetweenTheTextAndTheMarkup) {
  class Page : public PageDocument {
   public:
    int LinksLength() override { return 0; }
    std::string LinkItem(int) override { return {}; }
    std::string BodyOuterText() override { return "18600000001 139 0000 0009"; }
    std::string BodyOuterHtml() override { return "<a href=\"tel:13900000001\">13700000002</a>"; }
    std::string HeadOuterHtml() override { return "<meta content=\"13500000005\">"; }
    std::vector<std::string> StructuredTelephones() override { return {"139 0000 0003"}; }
    std::vector<std::string> TelTargets() override { return {"+86-139-0000-0001", "13900000004"}; }
  } page;
  // Tel: targets and structured telephones are read as people write them even without
  // `formatted`; the text is not.
  const std::vector<FoundNumber> expected = {
      {"18600000001", FoundIn::Text},       {"13900000001", FoundIn::Tel},
      {"13900000004", FoundIn::Tel},        {"13900000003", FoundIn::Structured},
      {"13900000001", FoundIn::Markup},     {"13700000002", FoundIn::Markup},
      {"13500000005", FoundIn::Markup}};
  EXPECT_EQ(PageNumbersFound(page, kDefaultPrefixes, false), expected);
  const std::vector<FoundNumber> formatted = PageNumbersFound(page, kDefaultPrefixes, true);
  ASSERT_GE(formatted.size(), 2u);
  EXPECT_EQ(formatted[1], (FoundNumber{"13900000009", FoundIn::Text}));
}

}  // namespace
}  // namespace tolvarine
