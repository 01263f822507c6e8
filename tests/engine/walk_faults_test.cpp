// Failures on the way of a walk: each ends in a reported, consistent state.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "base/errors.h"
#include "tests/engine/resource_limits.h"
#include "tests/engine/walk_fixture.h"

namespace tolvarine {
namespace {

TEST_F(WalkTest, AResumeLineThatIsNoNumberIsReportedAndTheCommandsReturnToIdle) {
  UsePages(3);
  crawl->WriteProgress();
  view.askAnswers.push_back("two");
  Run(&CrawlController::Continue);
  EXPECT_EQ(view.Texts(Kind::Error), Rows{"'two' is not a valid integer value"});
  EXPECT_EQ(view.commands, kIdleStates);
  EXPECT_FALSE(crawl->Running());
  EXPECT_EQ(clock.RunningTimers(), 0);
  EXPECT_TRUE(browser.Navigations().empty());
  // A later Start works normally.
  Run(&CrawlController::Start);
  EXPECT_EQ(browser.Navigations(), Rows{Address(1)});
}

TEST_F(WalkTest, AListFileThatCannotBeOpenedIsReportedAndTheCommandsReturnToIdle) {
  UsePages(3);
  std::remove(folder.PathOf("list.txt").c_str());
  ASSERT_TRUE(testing::MakeUnopenableFile(folder.PathOf("list.txt")));
  Run(&CrawlController::Start);
  EXPECT_EQ(view.Texts(Kind::Error), Rows{InOutErrorMessage(InOutCodeFromErrno(ENXIO))});
  EXPECT_EQ(view.commands, kIdleStates);
  EXPECT_FALSE(crawl->Running());
  EXPECT_EQ(clock.RunningTimers(), 0);
  EXPECT_TRUE(browser.Navigations().empty());
  clock.Advance(600000);
  EXPECT_TRUE(browser.Navigations().empty());
  EXPECT_FALSE(folder.Exists("tolvarine.ini"));
}

TEST_F(WalkTest, AProgressFileThatCannotBeWrittenStillEndsTheWalk) {
  UsePages(1);
  const std::string old = "old";
  folder.Write("tolvarine.ini", old);
  Run(&CrawlController::Start);
  {
    testing::FileSizeLimit limit(2);
    clock.AdvanceTo(8000);
  }
  EXPECT_TRUE(Harvested(1));
  EXPECT_EQ(view.Texts(Kind::Error).size(), 1u);
  EXPECT_EQ(folder.Read("tolvarine.ini"), old);
  EXPECT_EQ(view.message, G("搜索已经结束!"));
  EXPECT_EQ(view.commands, kIdleStates);
  EXPECT_EQ(finishes, 1);
  EXPECT_EQ(clock.RunningTimers(), 0);
}

TEST_F(WalkTest, AFailedAutosaveWaitsForTheNextHarvestToTryAgain) {
  crawl->Settings().SetOption(CrawlOption::Autosave, true);
  UsePages(100, 100);
  Run(&CrawlController::Start);
  {
    testing::FileSizeLimit limit(2);
    clock.AdvanceTo(300000);
  }
  EXPECT_EQ(view.Texts(Kind::Error).size(), 1u);
  EXPECT_FALSE(folder.Exists("tolvarine.ini"));
  clock.AdvanceTo(610000);
  EXPECT_TRUE(folder.Exists("tolvarine.ini"));
}

TEST_F(WalkTest, TheListFileNameIsShownLoweredAndStillFound) {
  ::mkdir(folder.PathOf("Lists").c_str(), 0777);
  AddPages(2);
  UseList({Address(1), Address(2)}, "Lists/URLs.TXT");
  EXPECT_EQ(crawl->Settings().listFile, ListName("lists/urls.txt"));
  EXPECT_EQ(view.total, "2");
  Run(&CrawlController::Start);
  EXPECT_TRUE(view.messages.empty());
  clock.Advance(16000);
  EXPECT_TRUE(Harvested(2));
  EXPECT_EQ(ProgressLine(0), ListName("lists/urls.txt"));
  // Continue finds it through the lowered name of the progress file.
  view.askAnswers.push_back("1");
  Run(&CrawlController::Continue);
  EXPECT_EQ(browser.Navigations().back(), Address(2));
}

TEST_F(WalkTest, TheListOpenedIsTheOneChosenWhileItExists) {
  AddPages(3);
  folder.Write("urls.txt", JoinCrlf({Address(1)}));
  UseList({Address(2), Address(3)}, "URLs.txt");
  EXPECT_EQ(crawl->Settings().listFile, ListName("urls.txt"));
  EXPECT_EQ(view.total, "2");
  Run(&CrawlController::Start);
  EXPECT_EQ(browser.Navigations(), Rows{Address(2)});
  clock.Advance(16000);
  EXPECT_TRUE(Harvested(3));
  // Gone, it is looked up by its lowered name.
  std::remove(folder.PathOf("URLs.txt").c_str());
  Run(&CrawlController::Start);
  EXPECT_EQ(browser.Navigations().back(), Address(1));
}

TEST_F(WalkTest, ChooseListStoresTheLoweredNameAndCountsItsLines) {
  folder.Write("Mixed.TXT", "a\r\nb\r\nc");
  view.chooseAnswers.push_back(folder.PathOf("Mixed.TXT"));
  Run(&CrawlController::ChooseList);
  EXPECT_EQ(crawl->Settings().listFile, ListName("mixed.txt"));
  EXPECT_EQ(view.total, "3");
  EXPECT_EQ(crawl->Total(), 3);
  // Cancelling the dialog changes nothing.
  Run(&CrawlController::ChooseList);
  EXPECT_EQ(crawl->Settings().listFile, ListName("mixed.txt"));
  EXPECT_EQ(view.chooseFolders.size(), 2u);
}

TEST_F(WalkTest, AnEmptyListFinishesAtOnce) {
  UseList({});
  Run(&CrawlController::Start);
  EXPECT_EQ(view.message, G("搜索已经结束!"));
  EXPECT_EQ(view.commands, kIdleStates);
  EXPECT_EQ(ProgressLine(1), "0");
  EXPECT_TRUE(browser.Navigations().empty());
}

}  // namespace
}  // namespace tolvarine
