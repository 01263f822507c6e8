// Reveal steps after a page's harvest: scrolling and clicking "more", the page harvested
// again after each answer, its steps counted in the page log, the watchdog and the pacing
// around them; and numbers stated for machines, each row with how it was found.
#include <algorithm>
#include <cstdint>
#include <optional>

#include "engine/crawl_texts.h"
#include "engine/page_log.h"
#include "tests/engine/walk_fixture.h"

namespace tolvarine {
namespace {

using testing::StoredReveal;
using Step = RevealStep::Kind;

class RevealTest : public WalkTest, public PageLogSink {
 protected:
  RevealTest() {
    Rewire([](CrawlEnvironment& e) {
      e.pacingIntervalMs = 1000;
      e.harvestOnCompletion = true;
    });
    crawl->SetPageLog(this);
  }
  void OnPage(const PageRecord& record) override { records.push_back(record); }

  // Page i with its number; each step asked for is answered by `reveal`.
  void RevealingPage(int i, std::function<std::optional<StoredReveal>(int, const RevealStep&)> reveal,
                     int revealDelayMs = 500) {
    testing::StoredPage page;
    page.outerText = G("电话：") + Number(i);
    page.completeDelayMs = 300;
    page.reveal = std::move(reveal);
    page.revealDelayMs = revealDelayMs;
    browser.AddPage(Address(i), page);
  }
  void PlainPage(int i) {
    testing::StoredPage page;
    page.outerText = G("电话：") + Number(i);
    browser.AddPage(Address(i), page);
  }
  void RunToEnd() {
    Run(&CrawlController::Start);
    for (int i = 0; i < 2000 && crawl->Running(); ++i) clock.Advance(1000);
    ASSERT_FALSE(crawl->Running());
  }
  int StepsOf(Step kind) const {
    return static_cast<int>(std::count_if(browser.Reveals().begin(), browser.Reveals().end(),
                                          [kind](const RevealStep& s) { return s.kind == kind; }));
  }
  // Step n of a page that grows: a new number, and the page's own number again.
  static StoredReveal Grows(int n, bool changed = true) {
    return {{true, changed, false}, " " + Number(100 + n) + " " + Number(1), {}};
  }

  std::vector<PageRecord> records;
};

TEST_F(RevealTest, ScrollsHarvestAfterEachStepCountEachNumberOnceAndStopWhenUnchanged) {
  crawl->Settings().extra.scroll = 5;
  RevealingPage(1, [](int n, const RevealStep&) { return Grows(n, n < 2); });
  PlainPage(2);
  UseList({Address(1), Address(2)});
  RunToEnd();

  EXPECT_EQ(StepsOf(Step::Scroll), 4);  // three on the first page, one on the second
  EXPECT_EQ(StepsOf(Step::Click), 0);
  EXPECT_EQ(crawl->Phones().Rows(),
            (Rows{Number(1), Number(100), Number(101), Number(102), Number(2)}));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records[0].reveals);
  EXPECT_EQ(records[0].outcome, PageOutcome::Harvested);
  EXPECT_EQ(records[0].scrolls, 3);
  EXPECT_EQ(records[0].phonesRevealed, 3);
  EXPECT_EQ(records[0].phonesAll, 4);
  // Every record of the walk carries the columns; the next page loads once the last step
  // is answered, and its page log time includes the steps.
  EXPECT_TRUE(records[1].reveals);
  EXPECT_EQ(records[1].scrolls, 0);
  ASSERT_EQ(browser.NavigationTimes().size(), 2u);
  EXPECT_EQ(browser.NavigationTimes()[1], browser.RevealTimes()[2] + 500);
  EXPECT_EQ(records[0].endMs - records[0].startMs, browser.NavigationTimes()[1]);
}

TEST_F(RevealTest, APageThatGrowsForeverStopsAfterItsScrollsAndTwentyClicks) {
  crawl->Settings().extra.scroll = 3;
  crawl->Settings().extra.clickMore = true;
  RevealingPage(1, [](int n, const RevealStep&) { return Grows(n); });
  UseList({Address(1)});
  RunToEnd();

  EXPECT_EQ(StepsOf(Step::Scroll), 3);
  EXPECT_EQ(StepsOf(Step::Click), 20);
  EXPECT_EQ(browser.Reveals().front().kind, Step::Scroll);
  EXPECT_EQ(browser.Reveals().back().texts.size(), std::size(texts::kMoreTexts));
  EXPECT_EQ(browser.Reveals().back().texts[5], G("查看电话"));
  EXPECT_EQ(browser.Reveals().back().waitMs, 2000);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].scrolls, 3);
  EXPECT_EQ(records[0].clicks, 20);
  EXPECT_EQ(records[0].phonesRevealed, 23);
}

TEST_F(RevealTest, ClicksStopWhenNoControlIsLeftAndGoOnPastAStoppedLoad) {
  crawl->Settings().extra.clickMore = true;
  crawl->Settings().extra.clickTexts = {G("查看电话")};
  RevealingPage(1, [](int n, const RevealStep&) {
    return n < 2 ? Grows(n) : StoredReveal{{false, false, false}, " " + Number(999), {}};
  });
  // A click that tried to load another address was stopped: the page stood, so the next
  // control is clicked.
  RevealingPage(2, [](int n, const RevealStep&) {
    return n == 0 ? StoredReveal{{true, true, true}, " " + Number(200), {}}
                  : n == 1 ? StoredReveal{{true, true, false}, " " + Number(201), {}}
                           : StoredReveal{{false, false, false}, "", {}};
  });
  UseList({Address(1), Address(2)});
  RunToEnd();

  EXPECT_EQ(StepsOf(Step::Click), 6);
  EXPECT_EQ(browser.Reveals().front().texts, Rows{G("查看电话")});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].clicks, 2);  // the third step found nothing to click
  EXPECT_EQ(records[1].clicks, 2);
  EXPECT_EQ(records[1].phonesRevealed, 2);
  EXPECT_TRUE(Harvested(200));
  EXPECT_TRUE(Harvested(201));
}

TEST_F(RevealTest, TheWatchdogWaitsForAnsweredStepsAndEndsASilentOneKeepingTheNumbers) {
  crawl->Settings().extra.scroll = 40;
  // Forty steps of 2 s each: longer than the watchdog's period, but never silent.
  RevealingPage(1, [](int n, const RevealStep&) { return Grows(n); }, 2000);
  RevealingPage(2, [](int n, const RevealStep&) {
    return n == 0 ? std::optional<StoredReveal>(StoredReveal{{true, true, false}, " " + Number(300), {}})
                  : std::nullopt;
  });
  PlainPage(3);
  UseList({Address(1), Address(2), Address(3)});
  Run(&CrawlController::Start);
  // Ticks meanwhile leave the reveal alone.
  for (int i = 0; i < 60; ++i) {
    clock.Advance(1000);
    crawl->PacingTick();
  }
  for (int i = 0; i < 400 && crawl->Running(); ++i) clock.Advance(1000);
  ASSERT_FALSE(crawl->Running());

  EXPECT_EQ(crawl->PagesAbandoned(), 0);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].scrolls, 40);
  EXPECT_EQ(records[0].phonesRevealed, 40);
  EXPECT_EQ(records[1].outcome, PageOutcome::Harvested);
  EXPECT_EQ(records[1].scrolls, 1);
  EXPECT_TRUE(Harvested(2));
  EXPECT_TRUE(Harvested(300));
  EXPECT_TRUE(Harvested(3));
}

TEST_F(RevealTest, StopEndsThePageAtTheNextAnswerAndABrowserThatCannotRevealEndsItAtOnce) {
  crawl->Settings().extra.scroll = 10;
  RevealingPage(1, [](int n, const RevealStep&) { return Grows(n); });
  PlainPage(2);
  UseList({Address(1), Address(2)});
  Run(&CrawlController::Start);
  clock.Advance(1200);  // harvested, the first step asked
  ASSERT_EQ(browser.Reveals().size(), 1u);
  Run(&CrawlController::Stop);
  clock.Advance(5000);
  EXPECT_FALSE(crawl->Running());
  EXPECT_EQ(browser.Reveals().size(), 1u);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].scrolls, 1);
  EXPECT_TRUE(Harvested(100));

  records.clear();
  browser.cannotReveal = true;
  RunToEnd();
  EXPECT_EQ(browser.Reveals().size(), 3u);  // one a page, refused
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].scrolls, 0);
  EXPECT_TRUE(Harvested(2));
}

TEST_F(RevealTest, WithTheOptionsOffNoStepIsAskedAndTheLogIsAsBefore) {
  RevealingPage(1, [](int n, const RevealStep&) { return Grows(n); });
  UseList({Address(1)});
  RunToEnd();
  EXPECT_TRUE(browser.Reveals().empty());
  EXPECT_FALSE(browser.ReadsStructured());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_FALSE(records[0].reveals);
  EXPECT_EQ(crawl->Phones().SourceOf(0).foundIn, FoundIn::Unrecorded);
}

TEST_F(RevealTest, StructuredNumbersAreHarvestedAndEachRowSaysHowItWasFound) {
  crawl->Settings().extra.structured = true;
  crawl->Settings().SetOption(CrawlOption::Dedup, true);  // a number's first kind stays
  crawl->Settings().extra.scroll = 1;
  testing::StoredPage page;
  page.outerText = Number(1) + " " + Number(3);
  page.telTargets = {"+86-138-0000-0002", Number(1)};
  page.structuredTelephones = {"138 0000 0004"};
  page.completeDelayMs = 300;
  page.reveal = [](int n, const RevealStep&) { return Grows(n); };
  browser.AddPage(Address(1), page);
  UseList({Address(1)});
  RunToEnd();

  EXPECT_TRUE(browser.ReadsStructured());
  const ResultList& phones = crawl->Phones();
  ASSERT_EQ(phones.Rows(), (Rows{Number(1), Number(3), Number(2), Number(4), Number(100)}));
  const std::vector<FoundIn> kinds = {FoundIn::Text, FoundIn::Text, FoundIn::Tel,
                                      FoundIn::Structured, FoundIn::Text};
  for (int row = 0; row < phones.Count(); ++row) {
    EXPECT_EQ(phones.SourceOf(row).foundIn, kinds[static_cast<std::size_t>(row)]) << row;
    EXPECT_EQ(phones.SourceOf(row).page, Address(1));
  }
}

// Links the steps bring are followed with the page's own, once its reveal has ended.
TEST_F(RevealTest, ALinkAScrollBringsIsFollowed) {
  crawl->Settings().extra.follow = true;
  crawl->Settings().extra.depth = 1;
  crawl->Settings().extra.scroll = 2;
  const std::string more = Address(1) + "more";
  RevealingPage(1, [more](int n, const RevealStep&) {
    return n == 0 ? StoredReveal{{true, true, false}, "", {more}}
                  : StoredReveal{{true, false, false}, "", {}};
  });
  testing::StoredPage page;
  page.outerText = G("电话：") + Number(2);
  browser.AddPage(more, page);
  UseList({Address(1)});
  RunToEnd();
  EXPECT_TRUE(Harvested(2));
}

}  // namespace
}  // namespace tolvarine
