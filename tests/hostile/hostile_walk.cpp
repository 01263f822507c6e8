#include "tests/hostile/hostile_walk.h"

#include <gmock/gmock.h>

#include <iostream>

#include "tests/ui_web/event_loop_wait.h"

namespace tolvarine::testing {

HostileWalkTest::HostileWalkTest() { MakePane(1); }

void HostileWalkTest::UseCommandLineWalk() {
  MakePane(WebPageBrowser::kCommandLineRecycleEvery);
  harvestOnCompletion = true;
}

void HostileWalkTest::MakePane(int recycleEvery) {
  browser = std::make_unique<WebPageBrowser>(
      [this](const std::string& message) { paneFailures.push_back(message); }, nullptr,
      recycleEvery);
  browser->resize(800, 600);
  browser->show();
  QObject::connect(browser.get(), &WebPageBrowser::rendererRecovered,
                   [this] { ++renderersRecovered; });
}

HostileWalkTest::~HostileWalkTest() {
  crawl.reset();
  clock.reset();
  probe.reset();
  browser.reset();
}

std::string HostileWalkTest::PlainNumber(std::size_t i) {
  const std::string digits = std::to_string(i);
  return "1380000" + std::string(4 - digits.size(), '0') + digits;
}

bool HostileWalkTest::Walk(const std::vector<HostilePage>& pages, int pacingMs, int guardMs) {
  // The first load starts the browser's processes; keep that out of the walk's timing.
  int warm = 0;
  const auto warming =
      QObject::connect(browser.get(), &WebPageBrowser::documentCompleted, [&warm] { ++warm; });
  server.Page("/warmup", "<html><body>warm</body></html>");
  browser->Navigate(server.Url("/warmup"));
  const bool warmed = WaitUntil([&] { return warm > 0; }, 60000);
  QObject::disconnect(warming);
  if (!warmed) return false;

  std::string list;
  for (std::size_t i = 0; i <= pages.size(); ++i) {
    const std::string path = "/plain/" + std::to_string(i);
    server.Page(path, "<html><body><p>plain page " + PlainNumber(i) + "</p></body></html>");
    list += server.Url(path) + "\r\n";
    if (i < pages.size()) list += pages[i].address + "\r\n";
  }
  folder.Write("list.txt", list);

  clock = std::make_unique<QtClock>();
  CrawlEnvironment environment;
  environment.stateFolder = folder.Path();
  environment.hostAddresses = [] { return std::vector<std::string>{}; };
  environment.pacingIntervalMs = pacingMs;
  environment.harvestOnCompletion = harvestOnCompletion;
  probe = std::make_unique<WalkProbe>(*browser);
  crawl = std::make_unique<CrawlController>(view, *probe, *clock, environment);
  crawl->Settings().SetOption(CrawlOption::SearchLinks, true);
  crawl->Settings().SetOption(CrawlOption::SearchPhones, true);
  probe->SetListener(crawl.get());
  bool finished = false;
  crawl->SetOnFinished([&finished] { finished = true; });
  crawl->UseListFile(folder.PathOf("list.txt"));
  crawl->Start();
  const bool ended = WaitUntil([&] { return finished; }, guardMs);
  crawl->SetOnFinished({});
  std::cout << probe->Table() << std::flush;
  return ended;
}

void HostileWalkTest::ExpectOutcomes(const std::vector<HostilePage>& pages) {
  using ::testing::Contains;
  using ::testing::HasSubstr;
  const std::vector<Visit>& visits = probe->Visits();
  ASSERT_EQ(visits.size(), 2 * pages.size() + 1);
  const auto& phones = crawl->Phones().Rows();
  for (std::size_t i = 0; i <= pages.size(); ++i) {
    const Visit& plain = visits[2 * i];
    EXPECT_EQ(plain.outcome, Outcome::Harvested) << plain.address;
    EXPECT_THAT(phones, Contains(PlainNumber(i))) << "plain page " << i;
    if (i == pages.size()) break;
    const HostilePage& page = pages[i];
    const Visit& visit = visits[2 * i + 1];
    EXPECT_EQ(visit.address, page.address);
    EXPECT_STREQ(OutcomeName(visit.outcome), OutcomeName(page.expected)) << page.name;
    if (!page.number.empty()) {
      EXPECT_THAT(phones, Contains(page.number)) << page.name;
    }
    if (!page.text.empty()) {
      EXPECT_THAT(visit.text, HasSubstr(page.text)) << page.name;
    }
  }
  EXPECT_EQ(crawl->Position(), static_cast<int>(visits.size()));
  EXPECT_TRUE(paneFailures.empty()) << paneFailures.front();
}

}  // namespace tolvarine::testing
