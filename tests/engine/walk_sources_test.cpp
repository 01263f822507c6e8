// Where each row of a walk came from: the page's address as the browser reports it and the
// time of its harvest.
#include <cstdint>

#include "tests/engine/walk_fixture.h"

namespace tolvarine {
namespace {

std::int64_t WallAt(std::int64_t ms) { return testing::VirtualClock::kWallStartSeconds + ms / 1000; }

TEST_F(WalkTest, RowsKeepTheAddressThePageEndedAtAndTheTimeOfItsHarvest) {
  crawl->Settings().SetOption(CrawlOption::SearchLinks, true);
  crawl->Settings().SetOption(CrawlOption::Dedup, true);
  AddPages(2);
  const std::string moved = "http://www.moved.example/home";
  browser.Page(Address(1)).redirectTo = moved;
  browser.Page(Address(1)).links = {"http://p1.example/a", "http://p1.example/b"};
  // Page 2 shows page 1's number again: the listed row keeps the page it was first found on.
  browser.Page(Address(2)).outerText += "\n" + Number(1);
  browser.Page(Address(2)).links = {"http://p1.example/a"};
  UseList({Address(1), Address(2)});
  Run(&CrawlController::Start);
  clock.AdvanceTo(16000);

  const RowSource first{moved, WallAt(8000)}, second{Address(2), WallAt(16000)};
  ResultList& links = crawl->Links();
  ASSERT_EQ(links.Count(), 3);
  EXPECT_EQ(links.SourceOf(0), first);
  EXPECT_EQ(links.SourceOf(1), first);
  EXPECT_EQ(links.SourceOf(2), second);
  ResultList& phones = crawl->Phones();
  ASSERT_EQ(phones.Rows(), (Rows{Number(1), Number(2)}));
  EXPECT_EQ(phones.SourceOf(0), first);
  EXPECT_EQ(phones.SourceOf(1), second);

  // Outside a harvest a row has no page.
  phones.Append("13900000000");
  EXPECT_EQ(phones.SourceOf(2), RowSource{});

  // A new walk starts over with its own rows and times.
  Run(&CrawlController::Start);
  clock.AdvanceTo(24000);
  ASSERT_EQ(phones.Rows(), Rows{Number(1)});
  EXPECT_EQ(phones.SourceOf(0), (RowSource{moved, WallAt(24000)}));
}

}  // namespace
}  // namespace tolvarine
