#pragma once
// A crawl controller whose state folder is a small disk of its own (full or read-only on
// demand), wired to a recording view, a stored-pages browser and a virtual clock. The URL
// list lives in an ordinary temporary folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/gbk.h"
#include "base/guard.h"
#include "base/text_writer.h"
#include "engine/crawl_controller.h"
#include "engine/crawl_texts.h"
#include "tests/faults/small_disk.h"
#include "tests/support/recording_view.h"
#include "tests/support/stored_pages_browser.h"
#include "tests/support/temp_folder.h"
#include "tests/support/virtual_clock.h"

namespace tolvarine {

class FaultWalk : public ::testing::Test {
 protected:
  using Kind = testing::MessageKind;
  using Rows = std::vector<std::string>;

  void SetUp() override {
    std::string why;
    if (!testing::SmallDisk::Supported(&why)) GTEST_SKIP() << "no small disk to fill: " << why;
    disk = std::make_unique<testing::SmallDisk>();
    CrawlEnvironment environment;
    environment.stateFolder = disk->Path();
    environment.hostAddresses = [] { return std::vector<std::string>{"192.0.2.7"}; };
    crawl = std::make_unique<CrawlController>(view, browser, clock, environment);
    browser.SetListener(crawl.get());
    crawl->Settings().SetOption(CrawlOption::SearchPhones, true);
  }

  static std::string Number(int i) {
    std::string digits = std::to_string(i);
    return "13800" + std::string(6 - digits.size(), '0') + digits;
  }
  static std::string Address(int i) { return "http://p" + std::to_string(i) + ".example/"; }

  // Pages 1..n, each showing its number, and a list of them chosen as the URL list. Each
  // line may carry a remark after a blank (ignored by the walk) to make the file long.
  void UsePages(int n, std::size_t remarkBytes = 0) {
    Rows lines;
    for (int i = 1; i <= n; ++i) {
      testing::StoredPage page;
      page.outerText = Utf8ToGbk("电话：") + Number(i);
      browser.AddPage(Address(i), page);
      lines.push_back(Address(i) + (remarkBytes ? " " + std::string(remarkBytes, 'r') : ""));
    }
    lists.Write("list.txt", JoinCrlf(lines));
    crawl->UseListFile(lists.PathOf("list.txt"));
  }

  // Runs a command as the window does: a failure goes to the error dialog.
  void Run(void (CrawlController::*command)()) {
    RunGuarded([this](const std::string& m) { view.ShowError(m); }, [&] { ((*crawl).*command)(); });
  }

  // Runs the clock until the walk has ended (at most a virtual hour).
  void RunToEnd() {
    for (int minute = 0; minute < 60 && crawl->Running(); ++minute) clock.Advance(60000);
  }

  // The walk is over and everything is back at rest.
  void ExpectIdle() {
    EXPECT_FALSE(crawl->Running());
    EXPECT_EQ(view.commands, kIdleStates);
    EXPECT_EQ(clock.RunningTimers(), 0);
  }

  bool Harvested(int i) const { return crawl->Phones().Contains(Number(i)); }
  std::string ProgressLine(int index) const {
    const std::string text = disk->Files().at(texts::kProgressFileName);
    std::size_t begin = 0;
    for (int i = 0; i < index; ++i) begin = text.find("\r\n", begin) + 2;
    return text.substr(begin, text.find("\r\n", begin) - begin);
  }

  testing::TempFolder lists;
  testing::VirtualClock clock;
  testing::StoredPagesBrowser browser{clock};
  testing::RecordingView view;
  std::unique_ptr<testing::SmallDisk> disk;
  std::unique_ptr<CrawlController> crawl;
};

}  // namespace tolvarine
