// A walk that follows links and its crawl state file: no transaction is held while a page
// loads, a state locked by another program ends the walk once, and a stop in the middle of
// a line loses nothing that was done before.
#include <sqlite3.h>

#include <algorithm>

#include "base/number_text.h"
#include "tests/engine/walk_fixture.h"

namespace tolvarine {
namespace {

// Another program's connection to the crawl's state file.
class OtherConnection {
 public:
  explicit OtherConnection(const std::string& path) {
    sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
  }
  ~OtherConnection() { sqlite3_close(db_); }
  OtherConnection(const OtherConnection&) = delete;
  OtherConnection& operator=(const OtherConnection&) = delete;
  // Runs sql without waiting for a lock; the SQLite result code.
  int Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

 private:
  sqlite3* db_ = nullptr;
};

class CrawlStateTest : public WalkTest {
 protected:
  CrawlStateTest() { Follow(); }

  void Follow() {
    crawl->Settings().extra.follow = true;
    crawl->Settings().extra.depth = 2;
  }
  void Page(const std::string& address, int number, Rows links) {
    testing::StoredPage page;
    page.outerText = G("电话：") + Number(number);
    page.links = std::move(links);
    browser.AddPage(address, page);
  }
  // Line 1 and its two pages below; line 2 on the same site links to one of them and to a
  // page of its own.
  void OneSiteTwoLines() {
    Page("http://a.example.com/", 1, {"http://a.example.com/x", "http://a.example.com/w"});
    Page("http://a.example.com/x", 2, {});
    Page("http://a.example.com/w", 3, {});
    Page("http://a.example.com/two", 4, {"http://a.example.com/x", "http://a.example.com/y"});
    Page("http://a.example.com/y", 5, {});
    browser.AddText("http://a.example.com/robots.txt", {200, "", 100, false});
    UseList({"http://a.example.com/", "http://a.example.com/two"});
  }
  std::string StatePath() const { return folder.PathOf("tolvarine-crawl.db"); }
  int Loads(const std::string& address) const {
    return static_cast<int>(std::count(browser.Navigations().begin(),
                                       browser.Navigations().end(), address));
  }
  void RunToEnd() {
    for (int i = 0; i < 1000 && crawl->Running(); ++i) clock.Advance(1000);
    ASSERT_FALSE(crawl->Running());
  }
};

TEST_F(CrawlStateTest, AnotherProgramCanWriteTheStateWhilePagesLoad) {
  OneSiteTwoLines();
  Run(&CrawlController::Start);
  int checks = 0;
  while (crawl->Running() && checks < 200) {
    OtherConnection other(StatePath());
    ASSERT_EQ(other.Exec("BEGIN IMMEDIATE; ROLLBACK"), SQLITE_OK) << "at " << clock.Now();
    clock.Advance(1000);
    ++checks;
  }
  EXPECT_FALSE(crawl->Running());
  for (int i = 1; i <= 5; ++i) EXPECT_TRUE(Harvested(i)) << i;
}

TEST_F(CrawlStateTest, AStateLockedByAnotherProgramEndsTheWalkOnceKeepingThePage) {
  Rewire([](CrawlEnvironment& e) { e.crawlStoreBusyMs = 0; });
  Follow();
  OneSiteTwoLines();
  Run(&CrawlController::Start);
  clock.Advance(4000);  // line 1's page loading
  OtherConnection other(StatePath());
  ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE"), SQLITE_OK);
  clock.Advance(3600000);
  EXPECT_EQ(view.Texts(Kind::Error).size(), 1u);
  EXPECT_FALSE(crawl->Running());
  EXPECT_EQ(view.commands, kIdleStates);
  EXPECT_EQ(clock.RunningTimers(), 0);
  EXPECT_EQ(finishes, 1);
  EXPECT_TRUE(Harvested(1));
  EXPECT_EQ(browser.Navigations(), Rows{"http://a.example.com/"});
  EXPECT_EQ(ProgressLine(1), "1");

  // Free again, the walk continues from its line: the page whose end was not saved is
  // loaded once more, every other once.
  ASSERT_EQ(other.Exec("ROLLBACK"), SQLITE_OK);
  Run([this] { crawl->ContinueFrom(StrToInt(ProgressLine(1))); });
  RunToEnd();
  EXPECT_EQ(view.Texts(Kind::Error).size(), 1u);
  EXPECT_EQ(Loads("http://a.example.com/"), 2);
  for (const char* page : {"http://a.example.com/x", "http://a.example.com/w",
                           "http://a.example.com/two", "http://a.example.com/y"})
    EXPECT_EQ(Loads(page), 1) << page;
  for (int i = 1; i <= 5; ++i) EXPECT_TRUE(Harvested(i)) << i;
}

TEST_F(CrawlStateTest, StoppedWhileLineTwoLoadsItsLinksToLineOnesPagesAndRobotsAreNotAskedAgain) {
  OneSiteTwoLines();
  Run(&CrawlController::Start);
  for (int i = 0; i < 200 && browser.Navigations().back() != "http://a.example.com/two"; ++i)
    clock.Advance(500);
  ASSERT_EQ(browser.Navigations().back(), "http://a.example.com/two");
  Run(&CrawlController::Stop);
  Run([this] { crawl->ContinueFrom(crawl->Position()); });
  RunToEnd();
  EXPECT_TRUE(view.Texts(Kind::Error).empty());
  EXPECT_EQ(browser.Fetches(), Rows{"http://a.example.com/robots.txt"});
  EXPECT_EQ(Loads("http://a.example.com/x"), 1);
  EXPECT_EQ(Loads("http://a.example.com/two"), 2);  // in flight at the stop
  EXPECT_EQ(Loads("http://a.example.com/y"), 1);
  EXPECT_TRUE(Harvested(5));
}

}  // namespace
}  // namespace tolvarine
