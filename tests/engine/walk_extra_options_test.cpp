// The two extra options: kept in their own file, and what they change in a walk.
#include "tests/engine/walk_fixture.h"

namespace tolvarine {
namespace {

TEST_F(WalkTest, ExtraOptionsRoundTripThroughTheirOwnFile) {
  Run(&CrawlController::LoadLists);  // no file: both off
  EXPECT_FALSE(crawl->Settings().extra.https);
  EXPECT_FALSE(crawl->Settings().extra.formatted);

  folder.Write("tolvarine-extra.ini", "later=1\r\n");
  Run(&CrawlController::LoadLists);
  crawl->Settings().extra.https = true;
  crawl->Settings().extra.formatted = true;
  Run(&CrawlController::SaveLists);

  CrawlController again(view, browser, clock, [this] {
    CrawlEnvironment environment;
    environment.stateFolder = folder.Path();
    return environment;
  }());
  again.LoadLists();
  EXPECT_TRUE(again.Settings().extra.https);
  EXPECT_TRUE(again.Settings().extra.formatted);
  EXPECT_EQ(again.Settings().extra.unknownLines, Rows{"later=1"});

  // A walk still writes the progress file's ten lines and nothing of the new options.
  UsePages(1, 100);
  Run(&CrawlController::Start);
  clock.Advance(8000);
  EXPECT_EQ(folder.Read("tolvarine.ini"),
            ListName() + "\r\n1\r\n1\r\nqcno\r\nwebno\r\nmobyes\r\nsxno\r\nbzno\r\nsaveno\r\n8\r\n");
}

class ExtraOptionsWalk : public WalkTest {
 protected:
  ExtraOptionsWalk() {
    crawl->Settings().SetOption(CrawlOption::SearchLinks, true);
    crawl->Settings().SetOption(CrawlOption::LinkFilter, true);  // default rules
    testing::StoredPage page;
    page.links = {"http://a.example/x", "https://b.example/y", "HTTPS://c.example/z"};
    page.outerText = "13800000001\r\n138-0000-0002 +86 138 0000 0003\r\n138-0000 0004";
    page.completeDelayMs = 100;
    browser.AddPage(Address(1), page);
    UseList({Address(1)});
  }
  Rows Walk() {
    Run(&CrawlController::Start);
    clock.Advance(8000);
    EXPECT_EQ(finishes, 1);
    Rows rows = crawl->Links().Rows();
    for (const std::string& number : crawl->Phones().Rows()) rows.push_back(number);
    return rows;
  }
};

TEST_F(ExtraOptionsWalk, BothOffHarvestsAsBefore) {
  EXPECT_EQ(Walk(), (Rows{"http://a.example/x", "13800000001"}));
}

TEST_F(ExtraOptionsWalk, HttpsLinksAndFormattedNumbersWhenTicked) {
  crawl->Settings().extra.https = true;
  crawl->Settings().extra.formatted = true;
  // The rule line "http://" lets the https link through; the scheme stays case-sensitive;
  // mixed separators are no number.
  EXPECT_EQ(Walk(), (Rows{"http://a.example/x", "https://b.example/y", "13800000001",
                          "13800000002", "13800000003"}));
}

}  // namespace
}  // namespace tolvarine
