#pragma once
// One crawl through the real WebEngine pane on the QTimer clock over a list of pages, with
// a plain page holding a known number before, between and after the given ones.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/crawl_controller.h"
#include "tests/hostile/hostile_pages.h"
#include "tests/support/local_http_server.h"
#include "tests/support/recording_view.h"
#include "tests/support/temp_folder.h"
#include "ui/clock/qt_clock.h"
#include "ui/web/web_page_browser.h"

namespace tolvarine::testing {

class HostileWalkTest : public ::testing::Test {
 protected:
  HostileWalkTest();
  ~HostileWalkTest() override;

  // The pane and the pacing rule of `harvest`: a page reused for many addresses, and a page
  // harvested as it completes once a period has passed.
  void UseCommandLineWalk();

  // Walks plain, pages[0], plain, pages[1], ..., plain, and returns once the walk finished
  // (false when the guard ran out first). The visits table goes to the test log.
  bool Walk(const std::vector<HostilePage>& pages, int pacingMs, int guardMs);
  // The known number of the plain page before pages[i] (i == pages.size(): the last one).
  static std::string PlainNumber(std::size_t i);
  // Checks every page's outcome, number and text, and that every plain number was found.
  void ExpectOutcomes(const std::vector<HostilePage>& pages);

  LocalHttpServer server;
  TempFolder folder;
  RecordingView view;
  std::unique_ptr<WebPageBrowser> browser;
  std::unique_ptr<WalkProbe> probe;
  std::unique_ptr<QtClock> clock;
  std::unique_ptr<CrawlController> crawl;
  std::vector<std::string> paneFailures;
  int renderersRecovered = 0;
  bool harvestOnCompletion = false;

 private:
  void MakePane(int recycleEvery);
};

}  // namespace tolvarine::testing
