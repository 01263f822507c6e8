// A walk that follows links: scope, depth, robots.txt, each address once, stop and continue,
// a crash, shards by site, and the page limit of a line.
#include <algorithm>
#include <map>
#include <set>

#include "base/number_text.h"
#include "engine/page_log.h"
#include "tests/engine/walk_fixture.h"

namespace tolvarine {
namespace {

class RecordedPages : public PageLogSink {
 public:
  void OnPage(const PageRecord& record) override { pages.push_back(record); }
  std::string OutcomeOf(const std::string& listed) const {
    for (const PageRecord& p : pages)
      if (p.listed == listed) return PageOutcomeName(p.outcome);
    return "none";
  }
  std::vector<PageRecord> pages;
};

class FollowTest : public WalkTest {
 protected:
  FollowTest() { Follow(2); }

  void Follow(int depth) {
    crawl->Settings().extra.follow = true;
    crawl->Settings().extra.depth = depth;
    crawl->SetPageLog(&log);
  }
  // Two sites, one under a two-label public suffix with a second host, a cycle, fragments,
  // letter cases, a file that is no page, an off-site redirect, robots rules and a chain
  // deeper than the depth.
  void TwoSites() {
    Page("http://www.shop.com.cn/", 1,
         {"http://bbs.shop.com.cn/a#top", "HTTP://WWW.SHOP.COM.CN/b", "http://www.shop.com.cn/logo.PNG",
          "http://www.shop.com.cn/private/p", "http://other.cn/x", "http://b.com.cn/",
          "http://www.shop.com.cn/#again", "mailto:a@shop.com.cn"});
    Page("http://bbs.shop.com.cn/a", 2,
         {"http://www.shop.com.cn/b", "http://www.shop.com.cn/deep1", "http://bbs.shop.com.cn/a"});
    Page("http://www.shop.com.cn/b", 3, {}, "http://elsewhere.org/b");
    Page("http://www.shop.com.cn/deep1", 4, {"http://www.shop.com.cn/deep2"});
    Page("http://www.shop.com.cn/deep2", 5, {});
    Page("http://www.shop.com.cn/private/p", 6, {});
    Page("http://b.com.cn/", 7, {"http://b.com.cn/next"});
    Page("http://b.com.cn/next", 8, {});
    browser.AddText("http://www.shop.com.cn/robots.txt",
                    {200, "User-agent: *\nDisallow: /private\nAllow: /private/open\n", 100, false});
    browser.AddText("http://b.com.cn/robots.txt", {500, "", 100, false});
    UseList({"http://www.shop.com.cn/", "http://b.com.cn/"});
  }
  void RunToEnd() {
    for (int i = 0; i < 1000 && crawl->Running(); ++i) clock.Advance(1000);
    ASSERT_FALSE(crawl->Running());
  }

  RecordedPages log;
};

TEST_F(FollowTest, EachPageOfItsSiteIsLoadedOnceToTheDepthObeyingRobots) {
  TwoSites();
  Run(&CrawlController::Start);
  RunToEnd();
  EXPECT_EQ(browser.Navigations(),
            (Rows{"http://www.shop.com.cn/", "http://bbs.shop.com.cn/a", "http://www.shop.com.cn/b",
                  "http://www.shop.com.cn/deep1", "http://b.com.cn/"}));
  // robots.txt once a host, before its first discovered page; b.com.cn's answered 500 on
  // every try (asked again twice after a back-off), so its discovered page is refused as
  // unavailable.
  EXPECT_EQ(browser.Fetches(),
            (Rows{"http://bbs.shop.com.cn/robots.txt", "http://www.shop.com.cn/robots.txt",
                  "http://b.com.cn/robots.txt", "http://b.com.cn/robots.txt",
                  "http://b.com.cn/robots.txt"}));
  EXPECT_EQ(log.OutcomeOf("http://www.shop.com.cn/private/p"), "robots");
  EXPECT_EQ(log.OutcomeOf("http://b.com.cn/next"), "robots-unavailable");
  EXPECT_EQ(log.OutcomeOf("http://www.shop.com.cn/b"), "left-site");
  EXPECT_EQ(log.OutcomeOf("http://www.shop.com.cn/deep1"), "harvested");
  for (int i : {1, 2, 4, 7}) EXPECT_TRUE(Harvested(i)) << i;
  for (int i : {3, 5, 6, 8}) EXPECT_FALSE(Harvested(i)) << i;
  // Every page record names the list line it descends from and its depth.
  for (const PageRecord& p : log.pages)
    EXPECT_EQ(p.line, p.listed.find("//b.com.cn") != std::string::npos ? 2 : 1) << p.listed;
  const auto deep = std::find_if(log.pages.begin(), log.pages.end(),
                                 [](const PageRecord& p) { return p.listed.ends_with("deep1"); });
  ASSERT_NE(deep, log.pages.end());
  EXPECT_EQ(deep->depth, 2);
  EXPECT_EQ(ProgressLine(1), "2");
}

TEST_F(FollowTest, StopAndContinueOrACrashLoadNoPageTwice) {
  TwoSites();
  crawl->Settings().extra.ignoreRobots = true;
  Run(&CrawlController::Start);
  clock.Advance(8000 * 2 + 500);  // two pages harvested, the third loading
  Run(&CrawlController::Stop);
  clock.Advance(8000);
  ASSERT_FALSE(crawl->Running());
  const size_t before = browser.Navigations().size();
  Run([this] { crawl->ContinueFrom(StrToInt(ProgressLine(1))); });
  clock.Advance(8000 * 2 + 500);
  // A crash: the controller goes without finishing; a new one continues from the files.
  Rewire([](CrawlEnvironment&) {});
  Follow(2);
  crawl->Settings().extra.ignoreRobots = true;
  Run([this] { crawl->ContinueFrom(StrToInt(ProgressLine(1))); });
  RunToEnd();
  Rows loaded = browser.Navigations();
  EXPECT_GT(loaded.size(), before);
  // The page in flight at the crash is loaded again; no other.
  std::set<std::string> distinct(loaded.begin(), loaded.end());
  EXPECT_LE(loaded.size(), distinct.size() + 1);
  EXPECT_EQ(distinct, (std::set<std::string>{
                          "http://www.shop.com.cn/", "http://bbs.shop.com.cn/a",
                          "http://www.shop.com.cn/b", "http://www.shop.com.cn/private/p",
                          "http://www.shop.com.cn/deep1", "http://b.com.cn/", "http://b.com.cn/next"}));
}

TEST_F(FollowTest, ShardsBySiteTogetherLoadWhatOneWalkLoads) {
  std::multiset<std::string> all;
  std::map<std::string, std::set<int>> shardsOfSite;
  for (int shard = 0; shard < 2; ++shard) {
    Rewire([shard](CrawlEnvironment& e) {
      e.shardIndex = shard;
      e.shardCount = 2;
      e.sharded = true;
    });
    Follow(2);
    crawl->Settings().extra.ignoreRobots = true;
    TwoSites();
    const size_t before = browser.Navigations().size();
    Run(&CrawlController::Start);
    RunToEnd();
    for (size_t i = before; i < browser.Navigations().size(); ++i) {
      const std::string& page = browser.Navigations()[i];
      all.insert(page);
      shardsOfSite[page.find("b.com.cn") != std::string::npos ? "b" : "shop"].insert(shard);
    }
  }
  // One site's pages stay in one shard.
  for (const auto& [site, shards] : shardsOfSite) EXPECT_EQ(shards.size(), 1u) << site;
  EXPECT_EQ(all.size(), 7u);
  EXPECT_EQ(std::set<std::string>(all.begin(), all.end()).size(), 7u);
}

TEST_F(FollowTest, AnEndlessCalendarStopsAtTheLinesPageLimit) {
  Follow(50);
  crawl->Settings().extra.maxPagesPerLine = 5;
  crawl->Settings().extra.ignoreRobots = true;
  for (int day = 0; day < 20; ++day)
    Page("http://cal.example.com/?d=" + std::to_string(day), day,
         {"http://cal.example.com/?d=" + std::to_string(day + 1)});
  UseList({"http://cal.example.com/?d=0"});
  Run(&CrawlController::Start);
  RunToEnd();
  EXPECT_EQ(browser.Navigations().size(), 5u);
}

// The line cut by its limit gets one record once its pages are done, counting each link it
// could not queue once, and a walk stopped there and continued does not log it again; the
// queue's length reaches the view before each page.
TEST_F(FollowTest, ALineCutByItsLimitIsLoggedOnceWithTheLinksLeft) {
  crawl->Settings().extra.maxPagesPerLine = 4;
  crawl->Settings().extra.ignoreRobots = true;
  Rows hub;
  for (int i = 1; i <= 8; ++i) hub.push_back("http://a.example.com/x" + std::to_string(i));
  Rows again = hub;
  again.push_back("http://a.example.com/y");
  Page("http://a.example.com/", 1, hub);
  Page("http://a.example.com/x1", 2, again);
  Page("http://b.example.com/", 3, {"http://b.example.com/z"});
  Page("http://b.example.com/z", 4, {});
  UseList({"http://a.example.com/", "http://b.example.com/"});
  Run(&CrawlController::Start);
  clock.Advance(8000 * 3 + 500);  // x3, the line's last page, loading
  Run(&CrawlController::Stop);
  clock.Advance(8000);
  ASSERT_FALSE(crawl->Running());
  Run([this] { crawl->ContinueFrom(StrToInt(ProgressLine(1))); });
  RunToEnd();
  EXPECT_EQ(browser.Navigations().size(), 6u);
  std::vector<std::string> lines;
  for (const PageRecord& p : log.pages) lines.push_back(PageOutcomeName(p.outcome) + (" " + p.listed));
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "harvested http://a.example.com/", "harvested http://a.example.com/x1",
                       "harvested http://a.example.com/x2", "harvested http://a.example.com/x3",
                       "limit http://a.example.com/", "harvested http://b.example.com/",
                       "harvested http://b.example.com/z"}));
  const PageRecord& cut = log.pages[4];
  EXPECT_EQ(cut.line, 1);
  EXPECT_EQ(cut.linksAll, 6);  // x4..x8 and y
  EXPECT_EQ(view.queued, (std::vector<long long>{0, 2, 1, 0, 0, 0}));
}

TEST_F(FollowTest, ARobotsFileThatNeverAnswersRefusesItsHost) {
  Page("http://a.example.com/", 1, {"http://a.example.com/x", "http://a.example.com/y"});
  Page("http://a.example.com/x", 2, {});
  Page("http://a.example.com/y", 3, {});
  browser.AddText("http://a.example.com/robots.txt", {200, "", 0, true});
  UseList({"http://a.example.com/"});
  Run(&CrawlController::Start);
  RunToEnd();
  EXPECT_EQ(browser.Navigations(), (Rows{"http://a.example.com/"}));
  // Asked again twice after a back-off; its silence then refuses every page of the host,
  // logged apart from a Disallow.
  EXPECT_EQ(browser.Fetches(), (Rows(3, "http://a.example.com/robots.txt")));
  EXPECT_EQ(log.OutcomeOf("http://a.example.com/x"), "robots-unavailable");
  EXPECT_EQ(log.OutcomeOf("http://a.example.com/y"), "robots-unavailable");
}

TEST_F(FollowTest, HttpsLinksOfTheSiteAreFollowedWhenAllowed) {
  Follow(1);
  crawl->Settings().extra.ignoreRobots = true;
  crawl->Settings().extra.https = true;
  Page("http://a.example.com/", 1, {"https://a.example.com/x"});
  Page("https://a.example.com/x", 2, {});
  UseList({"http://a.example.com/"});
  Run(&CrawlController::Start);
  RunToEnd();
  EXPECT_EQ(browser.Navigations(), (Rows{"http://a.example.com/", "https://a.example.com/x"}));
}

}  // namespace
}  // namespace tolvarine

namespace tolvarine {
namespace {

// A crash while a list line's own page loads: continued, that page is the line's again
// (depth 0), so no robots.txt stands before it.
TEST_F(FollowTest, ALinesOwnPageInFlightAtACrashStaysTheLines) {
  Page("http://b.com.cn/", 7, {"http://b.com.cn/next"});
  Page("http://b.com.cn/next", 8, {});
  browser.AddText("http://b.com.cn/robots.txt", {500, "", 100, false});
  UseList({"http://b.com.cn/"});
  Run(&CrawlController::Start);
  clock.Advance(500);
  Run([this] { crawl->PositionSaveTick(); });  // the running line saved
  Rewire([](CrawlEnvironment&) {});
  Follow(2);
  Run([this] { crawl->ContinueFrom(StrToInt(ProgressLine(1))); });
  RunToEnd();
  EXPECT_EQ(browser.Navigations(), (Rows{"http://b.com.cn/", "http://b.com.cn/"}));
  EXPECT_TRUE(Harvested(7));
  EXPECT_EQ(log.OutcomeOf("http://b.com.cn/next"), "robots-unavailable");
}

}  // namespace
}  // namespace tolvarine

namespace tolvarine {
namespace {

// The crawl state of another list is never continued: its queue is not this list's.
TEST_F(FollowTest, ContinuingAnotherListStartsItsOwnCrawl) {
  Page("http://a.com.cn/", 1, {"http://a.com.cn/x", "http://a.com.cn/y"});
  Page("http://a.com.cn/x", 2, {});
  Page("http://a.com.cn/y", 3, {});
  Page("http://b.com.cn/", 7, {});
  crawl->Settings().extra.ignoreRobots = true;
  UseList({"http://a.com.cn/"}, "a.txt");
  Run(&CrawlController::Start);
  clock.Advance(8000 + 500);  // the start page harvested, its links queued
  Run(&CrawlController::Stop);  // at the next tick: x harvested, y left in the queue
  clock.Advance(8000);
  UseList({"http://b.com.cn/"}, "b.txt");
  Run([this] {
    crawl->WriteProgress();
    crawl->ContinueFrom(0);
  });
  RunToEnd();
  EXPECT_TRUE(Harvested(7));
  const Rows loaded = browser.Navigations();
  EXPECT_EQ(std::count(loaded.begin(), loaded.end(), "http://a.com.cn/y"), 0);
}

}  // namespace
}  // namespace tolvarine
