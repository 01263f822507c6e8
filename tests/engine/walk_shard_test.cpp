// A walk over one shard of the list, and the periodic position save a command-line walk
// continues from after a crash.
#include "engine/progress_file.h"
#include "tests/engine/walk_fixture.h"

namespace tolvarine {
namespace {

class ShardWalkTest : public WalkTest {
 protected:
  // A fresh controller on the same folder and browser (as after a crash).
  void UseShard(int index, int count, int positionSaveMs) {
    CrawlEnvironment environment;
    environment.stateFolder = folder.Path();
    environment.hostAddresses = [this] { return hostAddresses; };
    environment.networkInterfaces = [this] { return networkInterfaces; };
    environment.sharded = true;
    environment.shardIndex = index;
    environment.shardCount = count;
    environment.positionSaveMs = positionSaveMs;
    crawl = std::make_unique<CrawlController>(view, browser, clock, environment);
    browser.SetListener(crawl.get());
    crawl->SetOnFinished([this] { ++finishes; });
    crawl->Settings().SetOption(CrawlOption::SearchPhones, true);
  }
  std::string SavedPosition(const std::string& name) {
    CrawlSettings settings;
    int position = -1, total = -1;
    ProgressFile(folder.Path(), name).Read(settings, position, total);
    return std::to_string(position) + "/" + std::to_string(total);
  }
};

TEST_F(ShardWalkTest, AShardWalksItsLinesAndContinuesFromThePageInFlight) {
  const std::string progress = ShardProgressName(0, 2);
  UseShard(0, 2, 20000);
  UsePages(8);
  Run(&CrawlController::Start);
  // Pages 1 and 3 are done at 16 s; page 5 is loading when the position is saved.
  clock.AdvanceTo(20000);
  EXPECT_EQ(SavedPosition(progress), "4/8");
  EXPECT_TRUE(Harvested(3));
  EXPECT_FALSE(Harvested(5));

  // The process dies here; the same shard continues from the saved position.
  UseShard(0, 2, 20000);
  crawl->UseListFile(folder.PathOf("list.txt"));
  Run([this] { crawl->ContinueFrom(4); });
  clock.AdvanceTo(200000);
  EXPECT_EQ(browser.Navigations(),
            (Rows{Address(1), Address(3), Address(5), Address(5), Address(7)}));
  EXPECT_TRUE(Harvested(5));
  EXPECT_TRUE(Harvested(7));
  EXPECT_EQ(crawl->PhonesFound(), 2);
  EXPECT_EQ(SavedPosition(progress), "8/8");
  // The window's progress file is not a shard's.
  EXPECT_FALSE(folder.Exists("tolvarine.ini"));
  EXPECT_EQ(clock.RunningTimers(), 0);
}

TEST_F(ShardWalkTest, AShardWithNoLinesLeftFinishesAtTheEnd) {
  UseShard(2, 3, 0);
  UsePages(2);
  Run(&CrawlController::Start);
  clock.AdvanceTo(100000);
  EXPECT_TRUE(browser.Navigations().empty());
  EXPECT_EQ(finishes, 1);
  EXPECT_EQ(SavedPosition(ShardProgressName(2, 3)), "2/2");
}

}  // namespace
}  // namespace tolvarine
