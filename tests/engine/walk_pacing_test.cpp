// The walk on virtual time: pacing, completion, waiting, the watchdog, autosave and speed.
#include <algorithm>
#include <cstdint>

#include "tests/engine/walk_fixture.h"

namespace tolvarine {
namespace {

TEST_F(WalkTest, EachPageIsHarvestedAtTheFirstTickAfterItCompletes) {
  UsePages(3);
  EXPECT_EQ(view.total, "3");
  Run(&CrawlController::Start);
  EXPECT_EQ(view.commands, kRunningStates);
  EXPECT_EQ(view.message, G("正在搜索..."));
  EXPECT_EQ(view.position, "1");
  EXPECT_EQ(browser.Navigations(), (Rows{Address(1)}));

  clock.AdvanceTo(7999);
  EXPECT_FALSE(Harvested(1));
  clock.AdvanceTo(8000);
  EXPECT_TRUE(Harvested(1));
  EXPECT_EQ(browser.Navigations(), (Rows{Address(1), Address(2)}));
  EXPECT_EQ(view.position, "2");
  EXPECT_EQ(view.phonesFound, "1");

  clock.AdvanceTo(24000);
  EXPECT_TRUE(Harvested(2));
  EXPECT_TRUE(Harvested(3));
  EXPECT_EQ(crawl->PhonesFound(), 3);
  // The last harvest finds the list at its end: the walk finishes and saves its place.
  EXPECT_EQ(view.message, G("搜索已经结束!"));
  EXPECT_EQ(view.commands, kIdleStates);
  EXPECT_EQ(finishes, 1);
  EXPECT_FALSE(crawl->Running());
  EXPECT_EQ(ProgressLine(1), "3");
  EXPECT_EQ(ProgressLine(2), "3");
  EXPECT_EQ(clock.RunningTimers(), 0);
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(WalkTest, ASlowPageIsHarvestedAtTheFirstTickAfterCompletion) {
  UsePages(2, 20000);
  Run(&CrawlController::Start);
  clock.AdvanceTo(23999);
  EXPECT_FALSE(Harvested(1));
  EXPECT_EQ(browser.Navigations().size(), 1u);
  clock.AdvanceTo(24000);
  EXPECT_TRUE(Harvested(1));
  EXPECT_EQ(browser.Navigations().size(), 2u);
}

TEST_F(WalkTest, AfterThirtyTicksOfWaitingThePageIsHarvestedAnyway) {
  UsePages(2);
  browser.Page(Address(1)).neverCompletes = true;
  Run(&CrawlController::Start);
  clock.Advance(100);  // the document exists, but never completes
  for (int tick = 0; tick < 30; ++tick) crawl->PacingTick();
  EXPECT_FALSE(Harvested(1));
  crawl->PacingTick();
  EXPECT_TRUE(Harvested(1));
  EXPECT_EQ(browser.Navigations().back(), Address(2));
}

TEST_F(WalkTest, OnlyTheTopLevelDocumentMarksThePageComplete) {
  UsePages(2);
  browser.Page(Address(1)).subFrames = 3;
  browser.Page(Address(1)).neverCompletes = true;  // the frames complete, the page does not
  browser.Page(Address(2)).subFrames = 2;
  Run(&CrawlController::Start);
  clock.AdvanceTo(16000);
  EXPECT_FALSE(Harvested(1));
  EXPECT_EQ(browser.Navigations().size(), 1u);

  // The watchdog moves on; the next page's frames complete before it does.
  clock.AdvanceTo(240000);
  EXPECT_EQ(browser.Navigations().size(), 2u);
  clock.AdvanceTo(248000);
  EXPECT_TRUE(Harvested(2));
  EXPECT_FALSE(Harvested(1));
}

TEST_F(WalkTest, AnAbandonedPageDoesNotKeepTheNextOneFromCompleting) {
  UsePages(3);
  browser.Page(Address(1)).neverCompletes = true;
  Run(&CrawlController::Start);
  clock.AdvanceTo(240000);  // the watchdog abandons page 1 and loads page 2
  ASSERT_EQ(browser.Navigations().size(), 2u);
  clock.AdvanceTo(248000);  // page 2 completed at 241000
  EXPECT_TRUE(Harvested(2));
  EXPECT_EQ(browser.Navigations().size(), 3u);
  EXPECT_FALSE(Harvested(1));
}

TEST_F(WalkTest, TheWatchdogAbandonsAStalledPage15To30PeriodsAfterItsLoad) {
  const std::vector<int> stalled{1, 2, 16, 17, 31, 45};
  UsePages(60);
  for (int i : stalled) browser.Page(Address(i)).neverCompletes = true;
  Run(&CrawlController::Start);
  clock.Advance(60 * 8000 + 6 * 240000 + 8000);
  EXPECT_EQ(view.message, G("搜索已经结束!"));
  const auto& times = browser.NavigationTimes();
  ASSERT_EQ(times.size(), 60u);
  for (int i = 1; i <= 60; ++i) {
    const bool stall = std::find(stalled.begin(), stalled.end(), i) != stalled.end();
    EXPECT_EQ(Harvested(i), !stall) << "page " << i;
    if (!stall || i == 60) continue;
    const std::int64_t held = times[static_cast<std::size_t>(i)] - times[static_cast<std::size_t>(i - 1)];
    EXPECT_GE(held, 15 * 8000) << "page " << i;
    EXPECT_LE(held, 30 * 8000) << "page " << i;
  }
}

TEST_F(WalkTest, AHarvestFailureIsReportedAndTheWatchdogRecovers) {
  UsePages(2);
  browser.Page(Address(1)).noBody = true;
  Run(&CrawlController::Start);
  clock.AdvanceTo(8000);
  EXPECT_EQ(view.Texts(Kind::Error), Rows{"the document has no body"});
  EXPECT_EQ(browser.Navigations().size(), 1u);
  EXPECT_EQ(crawl->Phones().Count(), 0);
  // The walk halts until the watchdog sees the position standing still.
  clock.AdvanceTo(239999);
  EXPECT_EQ(browser.Navigations().size(), 1u);
  clock.AdvanceTo(240000);
  EXPECT_EQ(browser.Navigations().size(), 2u);
  clock.AdvanceTo(248000);
  EXPECT_TRUE(Harvested(2));
  EXPECT_EQ(view.message, G("搜索已经结束!"));
}

TEST_F(WalkTest, AutosaveWritesTheProgressEveryFiveMinutes) {
  crawl->Settings().SetOption(CrawlOption::Autosave, true);
  crawl->Settings().speed = 7;  // no pacing tick falls on a multiple of 5 minutes
  UsePages(100);
  Run(&CrawlController::Start);
  clock.AdvanceTo(299999);
  EXPECT_FALSE(folder.Exists("tolvarine.ini"));
  clock.AdvanceTo(300000);
  EXPECT_EQ(ProgressLine(1), "43");
  EXPECT_EQ(ProgressLine(8), "saveyes");
  clock.AdvanceTo(599999);
  EXPECT_EQ(ProgressLine(1), "43");
  clock.AdvanceTo(600000);
  EXPECT_EQ(ProgressLine(1), "86");
}

TEST_F(WalkTest, TheSpeedIsReadAndClampedAtEveryUse) {
  UsePages(10);
  crawl->Settings().speed = ReadSpeed("99");  // 60 seconds
  Run(&CrawlController::Start);
  clock.AdvanceTo(59999);
  EXPECT_FALSE(Harvested(1));
  clock.AdvanceTo(60000);
  EXPECT_TRUE(Harvested(1));
  // The period is read again at each tick: this one still runs 60 seconds, the next 1.
  crawl->Settings().speed = ReadSpeed("0");
  clock.AdvanceTo(119999);
  EXPECT_FALSE(Harvested(2));
  clock.AdvanceTo(120000);
  EXPECT_TRUE(Harvested(2));
  clock.AdvanceTo(121000);
  EXPECT_TRUE(Harvested(3));
  crawl->Settings().speed = ReadSpeed("abc");  // not a number: 1 second
  clock.AdvanceTo(122000);
  EXPECT_TRUE(Harvested(4));
}

TEST_F(WalkTest, AFixedPacingIntervalReplacesTheSpeed) {
  Rewire([](CrawlEnvironment& e) {
    e.pacingIntervalMs = 50;
  });
  UsePages(3, 10);
  for (int i = 1; i <= 3; ++i) browser.Page(Address(i)).navigateDelayMs = 5;
  Run(&CrawlController::Start);
  clock.AdvanceTo(149);
  EXPECT_FALSE(Harvested(3));
  clock.AdvanceTo(150);
  EXPECT_TRUE(Harvested(3));
  EXPECT_EQ(view.message, G("搜索已经结束!"));
}

// The command line's rule: at most one load a period, but a page that outlasts a period is
// harvested as it completes, not at the next tick.
TEST_F(WalkTest, HarvestOnCompletionKeepsThePeriodButSkipsTheWaitForTheTick) {
  Rewire([](CrawlEnvironment& e) {
    e.pacingIntervalMs = 50;
    e.harvestOnCompletion = true;
  });
  UsePages(3, 80);
  browser.Page(Address(3)).completeDelayMs = 10;
  for (int i = 1; i <= 3; ++i) browser.Page(Address(i)).navigateDelayMs = 5;
  Run(&CrawlController::Start);
  clock.AdvanceTo(79);
  EXPECT_FALSE(Harvested(1));
  clock.AdvanceTo(80);
  EXPECT_TRUE(Harvested(1));
  clock.AdvanceTo(160);
  EXPECT_TRUE(Harvested(2));
  EXPECT_EQ(browser.NavigationTimes(), (std::vector<std::int64_t>{0, 80, 160}));
  // The third completes at 170, within its period: it waits for the tick at 210.
  clock.AdvanceTo(209);
  EXPECT_FALSE(Harvested(3));
  clock.AdvanceTo(210);
  EXPECT_TRUE(Harvested(3));
  EXPECT_FALSE(crawl->Running());
  EXPECT_EQ(clock.RunningTimers(), 0);
}

TEST_F(WalkTest, ListLinesLoadUpToTheirFirstBlank) {
  AddPages(3);
  UseList({"http://p1.example/ " + G("这是备注"), "", "p2.example/", "<?>", Address(3)});
  Run(&CrawlController::Start);
  clock.AdvanceTo(8000);
  EXPECT_TRUE(Harvested(1));
  // A line that is no address goes nowhere: the message line names it and the next pacing
  // tick moves on, without harvesting the page before it again.
  EXPECT_EQ(browser.Navigations(), Rows{Address(1)});
  EXPECT_EQ(view.message, G("不是网址："));
  EXPECT_TRUE(view.messages.empty());
  clock.AdvanceTo(16000);
  // A line without a scheme is loaded as a web address.
  EXPECT_EQ(browser.Navigations(), (Rows{Address(1), Address(2)}));
  EXPECT_EQ(crawl->Phones().Count(), 1);
  clock.AdvanceTo(24000);
  EXPECT_TRUE(Harvested(2));
  EXPECT_EQ(view.message, G("不是网址：") + "<?>");
  clock.AdvanceTo(40000);
  EXPECT_TRUE(Harvested(3));
  EXPECT_EQ(crawl->PagesAbandoned(), 0);
}

TEST_F(WalkTest, TheWatchdogWaitsAtLeastFifteenSeconds) {
  Rewire([](CrawlEnvironment& e) {
    e.pacingIntervalMs = 1;
  });
  UsePages(3, 10);
  browser.FailNavigateTo(Address(1));                // never arrives
  browser.Page(Address(2)).navigateDelayMs = 2000;  // no document for two seconds
  browser.Page(Address(3)).navigateDelayMs = 5;
  Run(&CrawlController::Start);
  // The first page is given up after the watchdog's two periods, and counted.
  clock.AdvanceTo(29999);
  EXPECT_EQ(browser.Navigations().size(), 1u);
  clock.AdvanceTo(30000);
  EXPECT_EQ(browser.Navigations().back(), Address(2));
  EXPECT_EQ(crawl->PagesAbandoned(), 1);
  clock.AdvanceTo(33000);
  EXPECT_TRUE(Harvested(2));
  EXPECT_TRUE(Harvested(3));
  EXPECT_EQ(crawl->PagesAbandoned(), 1);
  EXPECT_FALSE(crawl->Running());
}

// At a period far shorter than a load, thirty ticks pass long before a page completes: the
// wait still lasts as long as at the fastest speed, so the watchdog gives up a stalled page
// and a slow one is harvested once it has loaded.
TEST_F(WalkTest, AtAOneMillisecondPeriodASlowPageIsWaitedForAndAStalledOneGivenUp) {
  Rewire([](CrawlEnvironment& e) {
    e.pacingIntervalMs = 1;
  });
  UsePages(3, 2000);
  browser.Page(Address(2)).neverCompletes = true;
  Run(&CrawlController::Start);
  clock.AdvanceTo(1999);
  EXPECT_FALSE(Harvested(1));
  clock.AdvanceTo(2001);
  EXPECT_TRUE(Harvested(1));
  ASSERT_EQ(browser.Navigations().size(), 2u);
  // The watchdog, set at the first load, looks at 15 s and gives page 2 up at 30 s.
  clock.AdvanceTo(29999);
  EXPECT_EQ(browser.Navigations().size(), 2u);
  EXPECT_FALSE(Harvested(2));
  clock.AdvanceTo(30000);
  EXPECT_EQ(crawl->PagesAbandoned(), 1);
  clock.AdvanceTo(32001);
  EXPECT_TRUE(Harvested(3));
  EXPECT_FALSE(Harvested(2));
  EXPECT_EQ(crawl->PagesHarvestedEarly(), 0);
  EXPECT_FALSE(crawl->Running());
}

// Lowering the speed to 1 s during a long wait leaves the watchdog on its slow rhythm: the
// thirty ticks end the wait first and the page is harvested as it stands, and counted.
TEST_F(WalkTest, APageHarvestedBeforeItCompletedIsCounted) {
  crawl->Settings().speed = 60;
  UsePages(2);
  browser.Page(Address(1)).neverCompletes = true;
  Run(&CrawlController::Start);
  clock.AdvanceTo(100);
  crawl->Settings().speed = 1;
  clock.AdvanceTo(89999);  // one tick of 60 s and 29 of 1 s spent waiting
  EXPECT_FALSE(Harvested(1));
  clock.AdvanceTo(90000);
  EXPECT_TRUE(Harvested(1));
  clock.AdvanceTo(95000);
  EXPECT_TRUE(Harvested(2));
  EXPECT_FALSE(crawl->Running());
  EXPECT_EQ(crawl->PagesHarvestedEarly(), 1);
  EXPECT_EQ(crawl->PagesAbandoned(), 0);
}

TEST_F(WalkTest, LinksAndPhonesAreBothHarvestedAndCounted) {
  crawl->Settings().SetOption(CrawlOption::SearchLinks, true);
  crawl->Settings().SetOption(CrawlOption::Dedup, true);
  AddPages(2);
  browser.Page(Address(1)).links = {"http://p1.example/a", "https://p1.example/b", "http://p1.example/c"};
  browser.Page(Address(1)).outerHtml = "<i>" + Number(1) + "</i>";
  browser.Page(Address(2)).links = {"http://p1.example/a"};
  UseList({Address(1), Address(2)});
  Run(&CrawlController::Start);
  clock.AdvanceTo(16000);
  EXPECT_EQ(crawl->Links().Rows(), (Rows{"http://p1.example/a", "http://p1.example/c", "http://p1.example/a"}));
  EXPECT_EQ(view.linksFound, "3");
  EXPECT_EQ(crawl->Phones().Rows(), (Rows{Number(1), Number(2)}));
  EXPECT_EQ(view.phonesFound, "2");
}

TEST_F(WalkTest, StartChecksOptionsListAndNetwork) {
  crawl->Settings().SetOption(CrawlOption::SearchPhones, false);
  Run(&CrawlController::Start);
  EXPECT_TRUE(view.Showed(Kind::Plain, G("请至少选择一个搜索项目才可以开始")));

  crawl->Settings().SetOption(CrawlOption::SearchLinks, true);
  Run(&CrawlController::Start);
  EXPECT_TRUE(view.Showed(Kind::Information, G("您还没有选择网址列表文件！")));

  UsePages(1);
  hostAddresses = {"10.0.0.2", "127.0.0.1"};
  Run(&CrawlController::Start);
  EXPECT_TRUE(view.Showed(Kind::Information, G("您还没有连接到网上！")));
  EXPECT_EQ(view.messages.size(), 3u);
  EXPECT_TRUE(view.commandHistory.empty());
  EXPECT_TRUE(browser.Navigations().empty());
}

TEST_F(WalkTest, OnlineUnlessTheLastAddressIsTheLoopback) {
  hostAddresses = {"10.0.0.2", "127.0.0.1"};
  EXPECT_FALSE(crawl->IsOnline());
  hostAddresses = {"127.0.0.1", "10.0.0.2"};
  EXPECT_TRUE(crawl->IsOnline());
  hostAddresses = {};  // the host name does not resolve
  EXPECT_TRUE(crawl->IsOnline());
}

}  // namespace
}  // namespace tolvarine
