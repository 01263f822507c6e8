#pragma once
// A crawl controller wired to a recording view, a stored-pages browser and a virtual clock,
// with the state files in a temporary folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/gbk.h"
#include "base/guard.h"
#include "base/text_writer.h"
#include "engine/crawl_controller.h"
#include "tests/support/recording_view.h"
#include "tests/support/stored_pages_browser.h"
#include "tests/support/temp_folder.h"
#include "tests/support/virtual_clock.h"

namespace tolvarine {

inline std::string G(const char* utf8) { return Utf8ToGbk(utf8); }

class WalkTest : public ::testing::Test {
 protected:
  using Kind = testing::MessageKind;
  using Rows = std::vector<std::string>;

  WalkTest() { Rewire([](CrawlEnvironment&) {}); }

  // A new controller on an environment the test adjusts (pacing and the like).
  void Rewire(const std::function<void(CrawlEnvironment&)>& adjust) {
    CrawlEnvironment environment;
    environment.stateFolder = folder.Path();
    environment.hostAddresses = [this] { return hostAddresses; };
    environment.networkInterfaces = [this] { return networkInterfaces; };
    environment.retryJitterMs = [](int) { return 0; };
    adjust(environment);
    crawl = std::make_unique<CrawlController>(view, browser, clock, environment);
    browser.SetListener(crawl.get());
    crawl->SetOnFinished([this] { ++finishes; });
    crawl->Settings().SetOption(CrawlOption::SearchPhones, true);
  }

  // The mobile number shown on page i.
  static std::string Number(int i) {
    std::string digits = std::to_string(i);
    return "13800" + std::string(6 - digits.size(), '0') + digits;
  }
  static std::string Address(int i) { return "http://p" + std::to_string(i) + ".example/"; }

  // Pages 1..n, each with its number, completing after completeMs.
  void AddPages(int n, int completeMs = 1000) {
    for (int i = 1; i <= n; ++i) {
      testing::StoredPage page;
      page.outerText = G("电话：") + Number(i);
      page.completeDelayMs = completeMs;
      browser.AddPage(Address(i), page);
    }
  }
  // A page with its own number and the given links, redirected when `redirect` is given.
  void Page(const std::string& address, int number, Rows links, std::string redirect = {}) {
    testing::StoredPage page;
    page.outerText = G("电话：") + Number(number);
    page.links = std::move(links);
    page.redirectTo = std::move(redirect);
    browser.AddPage(address, page);
  }
  // Writes a list file of the given lines and chooses it.
  void UseList(const Rows& lines, const std::string& name = "list.txt") {
    folder.Write(name, JoinCrlf(lines));
    crawl->UseListFile(folder.PathOf(name));
  }
  void UsePages(int n, int completeMs = 1000) {
    AddPages(n, completeMs);
    Rows lines;
    for (int i = 1; i <= n; ++i) lines.push_back(Address(i));
    UseList(lines);
  }

  // Runs a command as the window does: a failure goes to the error dialog.
  void Run(void (CrawlController::*command)()) {
    RunGuarded([this](const std::string& m) { view.ShowError(m); }, [&] { ((*crawl).*command)(); });
  }
  void Run(const std::function<void()>& command) {
    RunGuarded([this](const std::string& m) { view.ShowError(m); }, command);
  }

  // The list file's name as the field shows it.
  std::string ListName(const std::string& name = "list.txt") const {
    return LowerAsciiGbk(folder.PathOf(name));
  }
  bool Harvested(int i) const { return crawl->Phones().Contains(Number(i)); }
  std::string ProgressLine(int index) {
    const std::string text = folder.Read("tolvarine.ini");
    std::size_t begin = 0;
    for (int i = 0; i < index; ++i) begin = text.find("\r\n", begin) + 2;
    return text.substr(begin, text.find("\r\n", begin) - begin);
  }

  testing::TempFolder folder;
  testing::VirtualClock clock;
  testing::StoredPagesBrowser browser{clock};
  testing::RecordingView view;
  std::vector<std::string> hostAddresses{"192.0.2.7"};
  std::vector<std::string> networkInterfaces;  // none: the host name alone decides
  int finishes = 0;
  std::unique_ptr<CrawlController> crawl;
};

}  // namespace tolvarine
