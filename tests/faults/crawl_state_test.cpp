// A walk that follows links on a state folder that fills up: the crawl's state can no
// longer be saved, so the walk ends once, keeps what it harvested and continues later.
#include <algorithm>

#include "tests/faults/fault_walk.h"

namespace tolvarine {
namespace {

class CrawlState : public FaultWalk {
 protected:
  // A site whose first page links to four more, each with its number (1..5), as the list's
  // one line.
  void UseSite() {
    crawl->Settings().extra.follow = true;
    crawl->Settings().extra.depth = 1;
    crawl->Settings().extra.ignoreRobots = true;
    Rows lines;
    for (int i = 1; i <= 5; ++i) {
      testing::StoredPage page;
      page.outerText = Utf8ToGbk("电话：") + Number(i);
      if (i == 1)
        for (int j = 2; j <= 5; ++j) page.links.push_back(PageOf(j));
      browser.AddPage(PageOf(i), page);
    }
    lists.Write("list.txt", JoinCrlf({PageOf(1)}));
    crawl->UseListFile(lists.PathOf("list.txt"));
  }
  static std::string PageOf(int i) {
    return i == 1 ? "http://site.example/" : "http://site.example/" + std::to_string(i);
  }
  int Loads(int i) const {
    return static_cast<int>(
        std::count(browser.Navigations().begin(), browser.Navigations().end(), PageOf(i)));
  }
};

TEST_F(CrawlState, AFullDiskEndsAFollowWalkOnceKeepingThePagesNumbersAndContinueWalksOn) {
  UseSite();
  Run(&CrawlController::Start);
  clock.Advance(2 * 8000 + 5000);  // two pages done, the third loading
  ASSERT_EQ(browser.Navigations().size(), 3u);
  disk->Fill();
  RunToEnd();
  EXPECT_EQ(view.Texts(Kind::Error).size(), 1u);
  ExpectIdle();
  EXPECT_EQ(browser.Navigations().size(), 3u);
  for (int i = 1; i <= 3; ++i) EXPECT_TRUE(Harvested(i)) << "page " << i;

  disk->Free();
  view.messages.clear();
  view.askAnswers.push_back(ProgressLine(1));
  Run(&CrawlController::Continue);
  RunToEnd();
  EXPECT_TRUE(view.Texts(Kind::Error).empty());
  ExpectIdle();
  EXPECT_TRUE(Harvested(4) && Harvested(5));
  // The page whose end could not be saved may be loaded once more; no other.
  for (int i : {1, 2, 4, 5}) EXPECT_EQ(Loads(i), 1) << "page " << i;
  EXPECT_LE(Loads(3), 2);
}

TEST_F(CrawlState, ADiskFillingDuringTheFirstPageEndsTheWalkOnce) {
  UseSite();
  Run(&CrawlController::Start);
  clock.Advance(5000);
  disk->Fill();
  RunToEnd();
  EXPECT_EQ(view.Texts(Kind::Error).size(), 1u);
  ExpectIdle();
  EXPECT_EQ(browser.Navigations(), Rows{PageOf(1)});
  EXPECT_TRUE(Harvested(1));
}

}  // namespace
}  // namespace tolvarine
