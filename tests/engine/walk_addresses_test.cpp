// One page, one walk: a crawl knows a page under its other addresses (tracking parameters,
// another query order, a session id, a repeated list line, a redirect), and follows hosts
// written in Unicode.
#include <algorithm>

#include "engine/page_log.h"
#include "tests/engine/walk_fixture.h"

namespace tolvarine {
namespace {

class AddressesTest : public WalkTest, public PageLogSink {
 protected:
  AddressesTest() {
    crawl->Settings().extra.follow = true;
    crawl->Settings().extra.depth = 1;
    crawl->Settings().extra.ignoreRobots = true;
    crawl->SetPageLog(this);
  }
  void OnPage(const PageRecord& record) override { pages.push_back(record); }

  void RunToEnd() {
    for (int i = 0; i < 100000 && crawl->Running(); ++i) clock.Advance(1000);
    ASSERT_FALSE(crawl->Running());
  }
  int Outcomes(PageOutcome outcome) const {
    return static_cast<int>(std::count_if(pages.begin(), pages.end(), [&](const PageRecord& p) {
      return p.outcome == outcome;
    }));
  }

  std::vector<PageRecord> pages;
};

TEST_F(AddressesTest, APageUnderItsOtherAddressesIsLoadedOnce) {
  Page("http://s.cn/", 1,
       {"http://s.cn/a?x=1&y=2", "http://s.cn/a?y=2&x=1&utm_source=feed",
        "http://s.cn/a;jsessionid=F00?x=1&y=2#part", "http://s.cn/old"});
  Page("http://s.cn/a?x=1&y=2", 2, {});
  Page("http://s.cn/old", 3, {}, "http://s.cn/?spm=1.2");  // moved to the start page
  Page("http://s.cn/moved", 4, {}, "http://s.cn/a?x=1&y=2");
  // The start page repeated, once with a tracking parameter, is passed over; a line that
  // redirects to a page already loaded is loaded, then known for a duplicate.
  UseList({"http://s.cn/", "http://s.cn/", "s.cn/?utm_campaign=z", "http://s.cn/moved",
           "http://s.cn/"});
  Run(&CrawlController::Start);
  RunToEnd();
  // The browser loads each address as written; the duplicate redirects are loaded once
  // before they are known for what they are.
  EXPECT_EQ(browser.Navigations(),
            (Rows{"http://s.cn/", "http://s.cn/a?x=1&y=2", "http://s.cn/old",
                  "http://s.cn/moved"}));
  EXPECT_EQ(Outcomes(PageOutcome::Duplicate), 2);
  EXPECT_EQ(Outcomes(PageOutcome::Harvested), 2);
  EXPECT_FALSE(Harvested(3));
  EXPECT_FALSE(Harvested(4));
  const auto moved = std::find_if(pages.begin(), pages.end(), [](const PageRecord& p) {
    return p.listed == "http://s.cn/moved";
  });
  ASSERT_NE(moved, pages.end());
  EXPECT_EQ(moved->outcome, PageOutcome::Duplicate);
  EXPECT_EQ(moved->final, "http://s.cn/a?x=1&y=2");
}

TEST_F(AddressesTest, TenThousandRepeatedLinesLoadTheStartPageOnce) {
  Page("http://s.cn/", 1, {"http://s.cn/a"});
  Page("http://s.cn/a", 2, {});
  UseList(Rows(10000, "http://s.cn/"));
  Run(&CrawlController::Start);
  RunToEnd();
  EXPECT_EQ(browser.Navigations(), (Rows{"http://s.cn/", "http://s.cn/a"}));
}

TEST_F(AddressesTest, AUnicodeHostIsFollowedScopedAndAskedForRobotsInAsciiAndShownInUnicode) {
  crawl->Settings().extra.ignoreRobots = false;
  const std::string ascii = "http://xn--fsqu00a.xn--fiqs8s";
  Page(G("http://例子.中国/"), 1,
       {ascii + "/a", G("http://例子.中国/b"), G("http://例子.中国/private"), "http://other.cn/"});
  Page(ascii + "/a", 2, {});
  Page(ascii + "/b", 3, {});
  browser.AddText(ascii + "/robots.txt", {200, "User-agent: *\nDisallow: /private\n", 100, false});
  UseList({G("http://例子.中国/")});
  Run(&CrawlController::Start);
  RunToEnd();
  EXPECT_EQ(browser.Navigations(), (Rows{G("http://例子.中国/"), ascii + "/a", ascii + "/b"}));
  EXPECT_EQ(browser.Fetches(), (Rows{ascii + "/robots.txt"}));
  EXPECT_EQ(Outcomes(PageOutcome::Refused), 1);
  for (const PageRecord& p : pages) EXPECT_EQ(p.site, G("例子.中国")) << p.listed;
}

// A list in UTF-8 (with a byte order mark, or valid UTF-8 with multi-byte characters) is
// read as UTF-8; any other as GBK.
TEST_F(AddressesTest, ListsInUtf8AreReadAsUtf8AndOthersAsGbk) {
  const std::string thai = "http://xn--o3cw4h.xn--o3cw4h/x";
  for (const std::string& address :
       {std::string("http://a.cn/"), G("http://a.cn/搜索"), thai, G("http://a.cn/测试")})
    Page(address, 1, {});
  const std::string lists[] = {
      "\xEF\xBB\xBFhttp://a.cn/\r\n",
      "http://a.cn/\xE6\x90\x9C\xE7\xB4\xA2 \xE6\x90\x9C\r\n"
      "http://\xE0\xB9\x84\xE0\xB8\x97\xE0\xB8\xA2.\xE0\xB9\x84\xE0\xB8\x97\xE0\xB8\xA2/x",
      G("http://a.cn/测试\r\n"),
  };
  for (const std::string& list : lists) {
    folder.Write("list.txt", list);
    crawl->UseListFile(folder.PathOf("list.txt"));
    Run(&CrawlController::Start);
    RunToEnd();
  }
  EXPECT_EQ(browser.Navigations(),
            (Rows{"http://a.cn/", G("http://a.cn/搜索"), thai, G("http://a.cn/测试")}));
}

}  // namespace
}  // namespace tolvarine
