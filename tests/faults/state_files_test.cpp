// The progress file and the list files on a state folder that is read-only or full: each
// failed write is reported (or, for the list files, ignored), the walk still ends, later
// commands still work, and the files written before stay whole.
#include "tests/faults/fault_walk.h"

namespace tolvarine {
namespace {

class StateFiles : public FaultWalk {
 protected:
  // A first walk through three pages, ended normally, and the rule lists saved: the files
  // every later failure must leave as they are.
  void WriteEarlierFiles() {
    UsePages(3);
    crawl->Settings().SetOption(CrawlOption::Autosave, true);
    crawl->Settings().SetRules(RuleList::MustNotContain, "$\r\n#\r\nlogout\r\n");
    Run(&CrawlController::Start);
    RunToEnd();
    Run(&CrawlController::SaveLists);
    ASSERT_TRUE(view.messages.empty());
    ASSERT_EQ(ProgressLine(1), "3");
    earlier = disk->Files();
    ASSERT_EQ(earlier.size(), 6u);  // progress, three lists, extra options, the walk's lock
    view.messages.clear();
  }

  // Another walk through the list, to its end, with the failure it meets.
  void WalkAgain() {
    Run(&CrawlController::Start);
    RunToEnd();
    EXPECT_TRUE(Harvested(1) && Harvested(2) && Harvested(3));
    EXPECT_EQ(view.message, texts::kFinished);
    ExpectIdle();
  }

  std::map<std::string, std::string> earlier;
};

TEST_F(StateFiles, AReadOnlyFolderIsReportedAtEachWriteAndLeavesTheFilesWhole) {
  WriteEarlierFiles();
  disk->SetReadOnly(true);

  WalkAgain();
  EXPECT_EQ(view.Texts(Kind::Error), Rows{"File access denied"});
  // The "进程" command and the shutdown's list saving: the first is reported, the second
  // ignores failures by design.
  Run(&CrawlController::WriteProgress);
  Run(&CrawlController::SaveLists);
  EXPECT_EQ(view.Texts(Kind::Error), (Rows{"File access denied", "File access denied"}));
  EXPECT_EQ(disk->Files(), earlier);

  // Continue still reads the earlier progress file and walks on from the line given.
  view.messages.clear();
  view.askAnswers.push_back("2");
  Run(&CrawlController::Continue);
  EXPECT_EQ(browser.Navigations().back(), Address(3));
  RunToEnd();
  EXPECT_EQ(view.Texts(Kind::Error), Rows{"File access denied"});
  ExpectIdle();
  EXPECT_EQ(disk->Files(), earlier);
}

TEST_F(StateFiles, AFullDiskIsReportedAtEachWriteAndLeavesTheFilesWhole) {
  WriteEarlierFiles();
  disk->Fill();

  WalkAgain();
  EXPECT_EQ(view.Texts(Kind::Error), Rows{"Disk full"});
  Run(&CrawlController::SaveLists);
  EXPECT_EQ(view.Texts(Kind::Error), Rows{"Disk full"});
  // No temporary file is left behind either.
  EXPECT_EQ(disk->Files(), earlier);

  // With room again the same command writes the file.
  disk->Free();
  view.messages.clear();
  Run(&CrawlController::WriteProgress);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(ProgressLine(1), "3");
  EXPECT_EQ(disk->Files().size(), 6u);
}

TEST_F(StateFiles, AnAutosaveOnAFullDiskIsReportedAndTheWalkGoesOn) {
  WriteEarlierFiles();
  UsePages(100);
  disk->Fill();
  Run(&CrawlController::Start);
  clock.AdvanceTo(clock.Now() + 300000);
  EXPECT_EQ(view.Texts(Kind::Error), Rows{"Disk full"});
  EXPECT_TRUE(crawl->Running());
  EXPECT_EQ(disk->Files(), earlier);
  const std::size_t loaded = browser.Navigations().size();
  clock.Advance(60000);
  EXPECT_GT(browser.Navigations().size(), loaded);

  // Once there is room, the next autosave writes the position reached.
  disk->Free();
  clock.Advance(300000);
  EXPECT_EQ(view.Texts(Kind::Error).size(), 1u);
  EXPECT_GT(std::stoi(ProgressLine(1)), 3);
}

}  // namespace
}  // namespace tolvarine
