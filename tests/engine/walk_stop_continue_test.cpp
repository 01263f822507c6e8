// Stopping, finishing and continuing a walk.
#include "tests/engine/walk_fixture.h"

namespace tolvarine {
namespace {

TEST_F(WalkTest, StopWhilePageLoadsHarvestsItIfItCompletesFirst) {
  UsePages(3);
  Run(&CrawlController::Start);
  clock.AdvanceTo(500);
  Run(&CrawlController::Stop);
  EXPECT_EQ(view.message, G("终止搜索..."));
  EXPECT_EQ(view.commands, kIdleStates);
  EXPECT_TRUE(crawl->Running());
  clock.AdvanceTo(8000);
  EXPECT_TRUE(Harvested(1));
  EXPECT_EQ(browser.Navigations().size(), 1u);
  EXPECT_EQ(view.message, G("搜索已经结束!"));
  EXPECT_EQ(finishes, 1);
  EXPECT_EQ(ProgressLine(1), "1");
  EXPECT_EQ(clock.RunningTimers(), 0);
}

TEST_F(WalkTest, StopWhilePageStallsFinishesAtTheWatchdogWithoutHarvest) {
  UsePages(3);
  browser.Page(Address(1)).neverCompletes = true;
  Run(&CrawlController::Start);
  clock.AdvanceTo(1000);
  Run(&CrawlController::Stop);
  clock.AdvanceTo(239999);
  EXPECT_EQ(finishes, 0);
  clock.AdvanceTo(240000);
  EXPECT_EQ(finishes, 1);
  EXPECT_EQ(browser.BodyReads(), 0);
  EXPECT_EQ(crawl->Phones().Count(), 0);
  EXPECT_EQ(browser.Navigations().size(), 1u);
  EXPECT_EQ(view.message, G("搜索已经结束!"));
}

TEST_F(WalkTest, AStoppedProgressFileHoldsTheOptionsAndPlace) {
  crawl->Settings().SetOption(CrawlOption::Dedup, true);
  crawl->Settings().SetOption(CrawlOption::Autosave, true);
  UsePages(120, 100);
  Run(&CrawlController::Start);
  clock.AdvanceTo(36 * 8000 + 100);  // page 37 loading
  EXPECT_EQ(crawl->Position(), 37);
  Run(&CrawlController::Stop);
  clock.AdvanceTo(37 * 8000);
  EXPECT_EQ(folder.Read("tolvarine.ini"), ListName() +
                                              "\r\n37\r\n120\r\nqcyes\r\nwebno\r\nmobyes\r\nsxno\r\nbzno\r\nsaveyes\r\n8\r\n");
}

class ContinueTest : public WalkTest {
 protected:
  // A finished walk over five pages leaves a progress file at position 5.
  ContinueTest() {
    UsePages(5, 100);
    Run(&CrawlController::Start);
    clock.Advance(5 * 8000);
    EXPECT_EQ(finishes, 1);
    view.messages.clear();
    crawl->Phones().Clear();
    start = browser.Navigations().size();
  }
  // Addresses loaded since the fixture's walk.
  Rows NewNavigations() const { return Rows(browser.Navigations().begin() + static_cast<std::ptrdiff_t>(start), browser.Navigations().end()); }

  std::size_t start = 0;
};

TEST_F(ContinueTest, AsksForTheLineAndGoesOnAfterIt) {
  view.askAnswers.push_back("2");
  Run(&CrawlController::Continue);
  ASSERT_EQ(view.asked.size(), 1u);
  EXPECT_EQ(view.asked[0].caption, G("继续搜索提示"));
  EXPECT_EQ(view.asked[0].prompt, G("请输入您上次搜索断点位置        "));
  EXPECT_EQ(view.asked[0].initial, "5");
  EXPECT_EQ(view.pauses, std::vector<int>{1000});
  EXPECT_EQ(view.message, G("继续搜索..."));
  EXPECT_EQ(view.commands, kRunningStates);
  EXPECT_EQ(view.position, "3");
  EXPECT_EQ(NewNavigations(), Rows{Address(3)});
  clock.Advance(3 * 8000);
  EXPECT_EQ(NewNavigations(), (Rows{Address(3), Address(4), Address(5)}));
  EXPECT_EQ(crawl->Phones().Rows(), (Rows{Number(3), Number(4), Number(5)}));
  EXPECT_EQ(view.message, G("搜索已经结束!"));
  EXPECT_EQ(ProgressLine(1), "5");
}

TEST_F(ContinueTest, PositionOneGoesOnWithTheSecondLine) {
  view.askAnswers.push_back("1");
  Run(&CrawlController::Continue);
  EXPECT_EQ(NewNavigations(), Rows{Address(2)});
  EXPECT_EQ(view.position, "2");
}

TEST_F(ContinueTest, PositionZeroOrBelowStartsAtTheFirstLine) {
  view.askAnswers.push_back("0");
  Run(&CrawlController::Continue);
  EXPECT_EQ(NewNavigations(), Rows{Address(1)});
  EXPECT_EQ(view.position, "1");

  crawl->ContinueFrom(-7);
  EXPECT_EQ(NewNavigations(), (Rows{Address(1), Address(1)}));
  EXPECT_EQ(crawl->Position(), 1);
}

TEST_F(ContinueTest, AnExhaustedListEndsAtOnce) {
  view.askAnswers.push_back("5");
  Run(&CrawlController::Continue);
  EXPECT_EQ(view.message, G("网址列表搜索完毕..."));
  EXPECT_EQ(view.commands, kIdleStates);
  EXPECT_TRUE(NewNavigations().empty());
  EXPECT_FALSE(crawl->Running());
  EXPECT_EQ(clock.RunningTimers(), 0);
}

TEST_F(ContinueTest, CancellingTheInputBoxReturnsToIdle) {
  Run(&CrawlController::Continue);  // no answer queued: cancelled
  const Rows last(view.messageLines.end() - 2, view.messageLines.end());
  EXPECT_EQ(last, (Rows{G("开始搜索..."), G("取消继续搜索...")}));
  EXPECT_EQ(view.commands, kIdleStates);
  EXPECT_TRUE(NewNavigations().empty());
  EXPECT_EQ(clock.RunningTimers(), 0);
}

TEST_F(ContinueTest, ContinueFromSkipsTheInputBoxAndThePause) {
  crawl->ContinueFrom(3);
  EXPECT_TRUE(view.asked.empty());
  EXPECT_TRUE(view.pauses.empty());
  EXPECT_EQ(NewNavigations(), Rows{Address(4)});
}

TEST_F(ContinueTest, ReadsTheProgressFileIntoTheWindow) {
  crawl->Settings().SetOption(CrawlOption::SearchLinks, true);
  crawl->Settings().speed = 3;
  crawl->Settings().listFile = "";
  view.askAnswers.push_back("4");
  Run(&CrawlController::Continue);
  EXPECT_FALSE(crawl->Settings().Option(CrawlOption::SearchLinks));
  EXPECT_EQ(crawl->Settings().speed, 8);
  EXPECT_EQ(crawl->Settings().listFile, ListName());
  EXPECT_EQ(view.total, "5");
  ASSERT_TRUE(view.shownSettings.has_value());
  EXPECT_EQ(*view.shownSettings, crawl->Settings());
}

TEST_F(ContinueTest, MissingFilesAreReported) {
  std::remove(folder.PathOf("list.txt").c_str());
  Run(&CrawlController::Continue);
  EXPECT_EQ(view.Texts(Kind::Information), Rows{G("网址列表文件不存在！")});

  std::remove(folder.PathOf("tolvarine.ini").c_str());
  Run(&CrawlController::Continue);
  EXPECT_EQ(view.Texts(Kind::Plain), Rows{G("您还没有搜索或上次搜索没有保存！")});
  EXPECT_TRUE(view.asked.empty());
}

TEST_F(WalkTest, StartAfterStopEndsTheStoppedWalkFirst) {
  UsePages(5);
  Run(&CrawlController::Start);
  clock.AdvanceTo(8000 + 500);  // page 2 loading
  Run(&CrawlController::Stop);
  Run(&CrawlController::Start);
  // The stopped walk finished and saved its place; the new one starts at the first line.
  EXPECT_EQ(finishes, 1);
  EXPECT_EQ(ProgressLine(1), "2");
  EXPECT_EQ(view.commands, kRunningStates);
  EXPECT_EQ(browser.Navigations(), (Rows{Address(1), Address(2), Address(1)}));
  EXPECT_EQ(crawl->Phones().Count(), 0);
  clock.Advance(5 * 8000);
  EXPECT_EQ(crawl->Phones().Count(), 5);
  EXPECT_EQ(finishes, 2);
  EXPECT_EQ(ProgressLine(1), "5");
  EXPECT_TRUE(view.Texts(Kind::Error).empty());
}

TEST_F(WalkTest, ContinueAfterStopResumesWhereTheStoppedWalkWas) {
  UsePages(5);
  Run(&CrawlController::Start);
  clock.AdvanceTo(8000 + 500);  // page 2 loading
  Run(&CrawlController::Stop);
  view.askAnswers.push_back("2");
  Run(&CrawlController::Continue);
  EXPECT_EQ(view.asked.at(0).initial, "2");
  EXPECT_EQ(browser.Navigations().back(), Address(3));
  clock.Advance(3 * 8000);
  EXPECT_EQ(crawl->Phones().Rows(), (Rows{Number(3), Number(4), Number(5)}));
}

}  // namespace
}  // namespace tolvarine
