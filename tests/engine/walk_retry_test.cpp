// Pages answered "try later": tried again after the back-off or Retry-After with their host
// held back, given up after the last attempt, error pages harvested but not followed,
// robots.txt asked again, Crawl-delay spacing, and a kill while a page waits.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "base/number_text.h"
#include "engine/page_log.h"
#include "tests/engine/walk_fixture.h"

namespace tolvarine {
namespace {

class RetryTest : public WalkTest {
 protected:
  RetryTest() { Wire(); }

  void Wire(bool saveEveryPage = false) {
    Rewire([saveEveryPage](CrawlEnvironment& e) {
      e.pacingIntervalMs = 1000;
      e.harvestOnCompletion = true;
      e.saveEveryPage = saveEveryPage;
    });
    crawl->SetPageLog(&log);
  }
  void Follow(int depth) {
    crawl->Settings().extra.follow = true;
    crawl->Settings().extra.depth = depth;
  }
  void Page(const std::string& address, int number, std::vector<LoadAnswer> answers = {},
            Rows links = {}) {
    testing::StoredPage page;
    page.outerText = G("电话：") + Number(number);
    page.answers = std::move(answers);
    page.links = std::move(links);
    page.completeDelayMs = 500;
    browser.AddPage(address, page);
  }
  void RunToEnd() {
    for (int i = 0; i < 1000 && crawl->Running(); ++i) clock.Advance(1000);
    ASSERT_FALSE(crawl->Running());
  }
  // The virtual times the address was loaded at.
  std::vector<std::int64_t> LoadTimes(const std::string& address) const {
    std::vector<std::int64_t> times;
    for (std::size_t i = 0; i < browser.Navigations().size(); ++i)
      if (browser.Navigations()[i] == address) times.push_back(browser.NavigationTimes()[i]);
    return times;
  }
  std::vector<PageRecord> RecordsOf(const std::string& listed) const {
    std::vector<PageRecord> found;
    for (const PageRecord& r : pages) if (r.listed == listed) found.push_back(r);
    return found;
  }
  int RowsOf(int i) {
    int n = 0;
    for (int row = 0; row < crawl->Phones().Count(); ++row) n += crawl->Phones().Row(row) == Number(i);
    return n;
  }

  class Log : public PageLogSink {
   public:
    explicit Log(std::vector<PageRecord>& pages) : pages_(pages) {}
    void OnPage(const PageRecord& record) override { pages_.push_back(record); }

   private:
    std::vector<PageRecord>& pages_;
  };
  std::vector<PageRecord> pages;
  Log log{pages};
};

TEST_F(RetryTest, A429HoldsItsHostWhileAnotherHostsLineGoesOn) {
  Page("http://a.example/1", 1, {{429, "", 40}});  // longer than the watchdog waits
  Page("http://b.example/", 2);
  Page("http://a.example/2", 3);
  UseList({"http://a.example/1", "http://b.example/", "http://a.example/2"});
  Run(&CrawlController::Start);
  RunToEnd();
  const std::vector<std::int64_t> first = LoadTimes("http://a.example/1");
  ASSERT_EQ(first.size(), 2u);
  EXPECT_GE(first[1] - first[0], 40000);
  // b goes on at once; a's next line waits for the hold to end.
  EXPECT_LT(LoadTimes("http://b.example/")[0], first[0] + 2000);
  EXPECT_GE(LoadTimes("http://a.example/2")[0], first[0] + 40000);
  // The 429's body is not the page: its number is found once, on the attempt that worked.
  EXPECT_EQ(RowsOf(1), 1);
  const std::vector<PageRecord> records = RecordsOf("http://a.example/1");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].outcome, PageOutcome::Harvested);
  EXPECT_EQ(records[0].status, 200);
  EXPECT_EQ(records[0].line, 1);
  for (int i : {2, 3}) EXPECT_TRUE(Harvested(i)) << i;
}

TEST_F(RetryTest, BackOffThenSuccessOrGaveUpWithTheLastStatus) {
  Page("http://a.example/", 1, {{503, "", -1}, {0, "connection-refused", -1}});
  Page("http://b.example/", 2, {{500, "", -1}, {502, "", -1}, {504, "", -1}});
  Page("http://c.example/", 3, {{0, "timed-out", -1}, {0, "timed-out", -1}, {0, "timed-out", -1}});
  Page("http://d.example/", 4, {{429, "", 61}});
  Page("http://e.example/", 5, {{404, "", -1}});
  Page("http://f.example/", 6, {{503, "", 0}});
  UseList({"http://a.example/", "http://b.example/", "http://c.example/", "http://d.example/",
           "http://e.example/", "http://f.example/"});
  Run(&CrawlController::Start);
  RunToEnd();
  // 2 s, then 4 s after the failure is seen.
  const std::vector<std::int64_t> a = LoadTimes("http://a.example/");
  ASSERT_EQ(a.size(), 3u);
  EXPECT_GE(a[1] - a[0], 2000);
  EXPECT_GE(a[2] - a[1], 4000);
  EXPECT_EQ(RowsOf(1), 1);
  EXPECT_EQ(RecordsOf("http://a.example/")[0].outcome, PageOutcome::Harvested);
  // Three attempts, then gave-up with the last answer, nothing harvested.
  EXPECT_EQ(LoadTimes("http://b.example/").size(), 3u);
  const PageRecord b = RecordsOf("http://b.example/").at(0);
  EXPECT_EQ(b.outcome, PageOutcome::GaveUp);
  EXPECT_EQ(b.status, 504);
  const PageRecord c = RecordsOf("http://c.example/").at(0);
  EXPECT_EQ(c.outcome, PageOutcome::GaveUp);
  EXPECT_EQ(c.status, 0);
  EXPECT_EQ(c.error, "timed-out");
  // A Retry-After over a minute gives up at once.
  EXPECT_EQ(LoadTimes("http://d.example/").size(), 1u);
  EXPECT_EQ(RecordsOf("http://d.example/").at(0).outcome, PageOutcome::GaveUp);
  for (int i : {2, 3, 4}) EXPECT_FALSE(Harvested(i)) << i;
  // A 404 is the site's own page: harvested, logged with its status.
  EXPECT_TRUE(Harvested(5));
  EXPECT_EQ(RecordsOf("http://e.example/").at(0).status, 404);
  // Retry-After: 0 asks again at once, not after the back-off.
  const std::vector<std::int64_t> f = LoadTimes("http://f.example/");
  ASSERT_EQ(f.size(), 2u);
  EXPECT_LT(f[1] - f[0], 2000);
  EXPECT_EQ(pages.size(), 6u);
}

TEST_F(RetryTest, NoRetriesGivesUpAtTheFirstFailure) {
  crawl->Settings().extra.retries = 0;
  Page("http://a.example/", 1, {{503, "", 1}});
  UseList({"http://a.example/"});
  Run(&CrawlController::Start);
  RunToEnd();
  EXPECT_EQ(browser.Navigations().size(), 1u);
  EXPECT_EQ(RecordsOf("http://a.example/").at(0).outcome, PageOutcome::GaveUp);
  EXPECT_EQ(RecordsOf("http://a.example/").at(0).status, 503);
}

TEST_F(RetryTest, ACrawlTriesItsPagesAgainAndFollowsNoErrorPage) {
  Follow(2);
  Page("http://a.example.com/", 1, {{503, "", -1}},
       {"http://a.example.com/x", "http://a.example.com/gone"});
  Page("http://a.example.com/x", 2, {{429, "", 3}}, {"http://a.example.com/z"});
  Page("http://a.example.com/gone", 3, {{404, "", -1}}, {"http://a.example.com/y"});
  Page("http://a.example.com/z", 4);
  UseList({"http://a.example.com/"});
  Run(&CrawlController::Start);
  RunToEnd();
  EXPECT_EQ(LoadTimes("http://a.example.com/").size(), 2u);
  EXPECT_EQ(LoadTimes("http://a.example.com/x").size(), 2u);
  // The 404 page is harvested; its links are not followed.
  EXPECT_TRUE(LoadTimes("http://a.example.com/y").empty());
  for (int i : {1, 2, 3, 4}) EXPECT_EQ(RowsOf(i), 1) << i;
  EXPECT_EQ(pages.size(), 4u);
}

TEST_F(RetryTest, ARobotsFileAnsweredLaterIsObeyed) {
  Follow(1);
  Page("http://a.example.com/", 1, {}, {"http://a.example.com/x", "http://a.example.com/y"});
  Page("http://a.example.com/x", 2);
  Page("http://a.example.com/y", 3);
  browser.AddText("http://a.example.com/robots.txt", {503, "", 100, false});
  UseList({"http://a.example.com/"});
  Run(&CrawlController::Start);
  while (browser.Fetches().empty()) clock.Advance(100);
  clock.Advance(200);  // the 503 answered
  browser.AddText("http://a.example.com/robots.txt", {200, "User-agent: *\nDisallow: /y\n", 100, false});
  RunToEnd();
  EXPECT_EQ(browser.Fetches().size(), 2u);
  EXPECT_TRUE(Harvested(2));
  EXPECT_EQ(RecordsOf("http://a.example.com/y").at(0).outcome, PageOutcome::Refused);
}

TEST_F(RetryTest, CrawlDelaySpacesTheHostsLoadsUpToAMinute) {
  Follow(1);
  Page("http://a.example.com/", 1, {},
       {"http://a.example.com/x", "http://a.example.com/y", "http://a.example.com/z"});
  browser.AddText("http://a.example.com/robots.txt", {200, "User-agent: *\nCrawl-delay: 2.5\n", 100, false});
  Page("http://b.example.com/", 2, {}, {"http://b.example.com/x", "http://b.example.com/y"});
  browser.AddText("http://b.example.com/robots.txt", {200, "User-agent: *\nCrawl-delay: 600\n", 100, false});
  UseList({"http://a.example.com/", "http://b.example.com/"});
  Run(&CrawlController::Start);
  RunToEnd();
  std::vector<std::int64_t> times;
  for (const char* p : {"x", "y", "z"})
    times.push_back(LoadTimes(std::string("http://a.example.com/") + p).at(0));
  EXPECT_GE(times[1] - times[0], 2500);
  EXPECT_GE(times[2] - times[1], 2500);
  // 600 s counts as 60 s, said once and noted once in the page log.
  EXPECT_GE(std::abs(LoadTimes("http://b.example.com/y").at(0) -
                     LoadTimes("http://b.example.com/x").at(0)),
            60000);
  EXPECT_EQ(std::count(view.messageLines.begin(), view.messageLines.end(),
                       G("Crawl-delay 超过 60 秒，按 60 秒计：") + "b.example.com"),
            1);
  EXPECT_EQ(std::count_if(pages.begin(), pages.end(),
                          [](const PageRecord& r) { return r.error == "crawl-delay-capped"; }),
            1);
}

TEST_F(RetryTest, AKillWhileAPageWaitsSavesThePositionBeforeIt) {
  Wire(true);
  Page("http://a.example/", 1, {{429, "", 30}});
  Page("http://b.example/", 2);
  Page("http://c.example/", 3);
  UseList({"http://a.example/", "http://b.example/", "http://c.example/"});
  Run(&CrawlController::Start);
  clock.Advance(10000);  // b and c harvested; a waits
  EXPECT_TRUE(Harvested(3));
  EXPECT_FALSE(Harvested(1));
  EXPECT_EQ(ProgressLine(1), "0");
  Wire(true);  // killed; a continued walk loads a again
  Run([this] { crawl->ContinueFrom(StrToInt(ProgressLine(1))); });
  RunToEnd();
  EXPECT_TRUE(Harvested(1));
}

TEST_F(RetryTest, ARobotsAnswerOlderThanADayIsAskedAgain) {
  Follow(1);
  Page("http://a.example.com/", 1, {}, {"http://a.example.com/x", "http://a.example.com/y"});
  UseList({"http://a.example.com/"});
  Run(&CrawlController::Start);
  while (LoadTimes("http://a.example.com/x").empty()) clock.Advance(100);
  Run(&CrawlController::Stop);
  RunToEnd();
  EXPECT_EQ(browser.Fetches().size(), 1u);
  clock.Advance(25LL * 3600 * 1000);
  Run([this] { crawl->ContinueFrom(crawl->Position()); });
  RunToEnd();
  EXPECT_EQ(browser.Fetches().size(), 2u);
  EXPECT_EQ(LoadTimes("http://a.example.com/y").size(), 1u);
}

// A crawl keeps a page set aside in its queue: killed while it waits, the continued crawl
// loads it.
TEST_F(RetryTest, ACrawlKilledWhileAPageWaitsLoadsItWhenContinued) {
  Wire(true);
  Follow(1);
  crawl->Settings().extra.ignoreRobots = true;
  Page("http://a.example.com/", 1, {}, {"http://a.example.com/x"});
  Page("http://a.example.com/x", 2, {{503, "", 30}});
  UseList({"http://a.example.com/"});
  Run(&CrawlController::Start);
  while (LoadTimes("http://a.example.com/x").empty()) clock.Advance(100);
  clock.Advance(5000);  // x waits
  Wire(true);
  Follow(1);
  crawl->Settings().extra.ignoreRobots = true;
  Run([this] { crawl->ContinueFrom(StrToInt(ProgressLine(1))); });
  RunToEnd();
  EXPECT_EQ(LoadTimes("http://a.example.com/x").size(), 2u);
  EXPECT_TRUE(Harvested(2));
}

}  // namespace
}  // namespace tolvarine
