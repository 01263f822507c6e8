// How much a walk adds to the browser's own time: N local pages loaded by a bare
// QWebEnginePage back to back, against the same pages walked the way `harvest` walks them
// (the crawl controller, the WebEngine pane, the QTimer clock, a short pacing period).
//
//   walk_speed [pages=15] [intervalMs=50] [rounds=7] [detail]
//
// Each round runs both in rotating order, after one warm-up run of each; the medians and
// the walk's ratio to the bare page come last. With "detail", four more: the walk as it was
// (a fresh page per address, harvests only at ticks), fresh plain pages, and the pane alone
// with fresh pages and with one page. Per page, the walk's time is split into "load" (from
// the tick that loads an address to the pane's document complete) and "wait" (from there to
// the harvest that loads the next one). A list longer than the command line's page reuse
// (WebPageBrowser::kCommandLineRecycleEvery addresses) also pays a fresh page now and then.
// A walk loads at most one page a pacing period: with pages quicker than that, its floor is
// pages x intervalMs.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/crawl_controller.h"
#include "tests/support/local_http_server.h"
#include "tests/support/recording_view.h"
#include "tests/support/temp_folder.h"
#include "ui/clock/qt_clock.h"
#include "ui/web/web_engine_setup.h"
#include "ui/web/web_page_browser.h"

namespace {

using tolvarine::testing::LocalHttpServer;

std::string PageHtml(int i) {
  std::string html = "<html><head><title>page " + std::to_string(i) + "</title></head><body>";
  for (int row = 0; row < 60; ++row) {
    html += "<p>第" + std::to_string(row) + "行 联系 138" + std::to_string(10000000 + i) +
            " <a href=\"/page/" + std::to_string((i + row) % 100) + "\">link</a></p>";
  }
  return html + "</body></html>";
}

double Ms(const QElapsedTimer& clock) { return static_cast<double>(clock.nsecsElapsed()) / 1e6; }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Runs the event loop until done() or 60 s.
void RunUntil(const std::function<bool()>& done) {
  QElapsedTimer limit;
  limit.start();
  while (!done() && limit.elapsed() < 60000)
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
}

QUrl PageUrl(const LocalHttpServer& server, int i) {
  return QUrl(QString::fromStdString(server.Url("/page/" + std::to_string(i))));
}

// Plain pages in an off-the-record profile, the next address as soon as one finishes: one
// page for the whole list, or (fresh) a new page for every address.
double BarePage(const LocalHttpServer& server, int pages, bool fresh) {
  QWebEngineProfile profile;
  std::unique_ptr<QWebEnginePage> page;
  int done = 0;
  std::function<void()> next = [&] {
    if (!page || fresh) {
      if (page) page.release()->deleteLater();
      page = std::make_unique<QWebEnginePage>(&profile);
      QObject::connect(page.get(), &QWebEnginePage::loadFinished, [&](bool) {
        if (++done < pages) next();
      });
    }
    page->load(PageUrl(server, done));
  };
  QElapsedTimer clock;
  clock.start();
  next();
  RunUntil([&] { return done >= pages; });
  const double ms = Ms(clock);
  page.reset();
  return ms;
}

// The pane alone, the next address as soon as it reports a document complete.
double Pane(const LocalHttpServer& server, int pages, int recycleEvery) {
  tolvarine::WebPageBrowser browser(
      [](const std::string& m) { std::fprintf(stderr, "failure: %s\n", m.c_str()); }, nullptr,
      recycleEvery);
  int done = 0;
  QObject::connect(&browser, &tolvarine::WebPageBrowser::documentCompleted, [&] {
    if (++done < pages) browser.Navigate(server.Url("/page/" + std::to_string(done)));
  });
  QElapsedTimer clock;
  clock.start();
  browser.Navigate(server.Url("/page/0"));
  RunUntil([&] { return done >= pages; });
  return Ms(clock);
}

struct WalkTimes {
  double totalMs = 0;
  double loadMs = 0;  // summed over the pages
  double waitMs = 0;
  int pagesCreated = 0;
};

// A view that notes when each address is loaded (the position moves just before Navigate).
class TimingView : public tolvarine::testing::RecordingView {
 public:
  explicit TimingView(QElapsedTimer& clock) : clock_(clock) {}
  void ShowPosition(int line) override {
    RecordingView::ShowPosition(line);
    loadedAt.push_back(Ms(clock_));
  }
  std::vector<double> loadedAt;

 private:
  QElapsedTimer& clock_;
};

// Passes the pane's events on to the walk, noting when each document completed.
class TimingListener : public tolvarine::PageBrowserListener {
 public:
  TimingListener(QElapsedTimer& clock, tolvarine::PageBrowserListener& walk)
      : clock_(clock), walk_(walk) {}
  void OnNavigateComplete(tolvarine::FrameId frame, const std::string& address) override {
    walk_.OnNavigateComplete(frame, address);
  }
  void OnDocumentComplete(tolvarine::FrameId frame, const std::string& address) override {
    completedAt.push_back(Ms(clock_));
    walk_.OnDocumentComplete(frame, address);
  }
  std::vector<double> completedAt;

 private:
  QElapsedTimer& clock_;
  tolvarine::PageBrowserListener& walk_;
};

// The walk as `harvest` sets it up (asBefore: with a fresh page per address and harvests
// only at ticks, as it was).
WalkTimes Walk(const LocalHttpServer& server, int pages, int intervalMs, bool asBefore) {
  tolvarine::testing::TempFolder state;
  std::string list;
  for (int i = 0; i < pages; ++i) list += server.Url("/page/" + std::to_string(i)) + "\r\n";
  const std::string listPath = state.Write("list.txt", list);

  QElapsedTimer clock;
  TimingView view(clock);
  tolvarine::CrawlEnvironment environment;
  environment.stateFolder = state.Path();
  environment.hostAddresses = [] { return std::vector<std::string>{}; };
  environment.pacingIntervalMs = intervalMs;
  environment.positionSaveMs = 60000;
  environment.harvestOnCompletion = !asBefore;
  tolvarine::WebPageBrowser browser(
      [](const std::string& m) { std::fprintf(stderr, "failure: %s\n", m.c_str()); }, nullptr,
      asBefore ? 1 : tolvarine::WebPageBrowser::kCommandLineRecycleEvery);
  tolvarine::QtClock qtClock;
  tolvarine::CrawlController controller(view, browser, qtClock, environment);
  TimingListener listener(clock, controller);
  browser.SetListener(&listener);
  bool finished = false;
  controller.SetOnFinished([&] { finished = true; });
  auto& settings = controller.Settings();
  settings.SetOption(tolvarine::CrawlOption::SearchLinks, true);
  settings.SetOption(tolvarine::CrawlOption::SearchPhones, true);
  controller.UseListFile(listPath);
  const int pagesBefore = browser.PagesCreated();

  clock.start();
  controller.Start();
  RunUntil([&] { return finished; });
  WalkTimes t;
  t.totalMs = Ms(clock);
  t.pagesCreated = browser.PagesCreated() - pagesBefore;
  if (!view.messages.empty())
    std::fprintf(stderr, "the walk complained: %s\n", view.messages[0].text.c_str());
  const auto& done = listener.completedAt;
  if (done.size() != view.loadedAt.size()) {
    std::fprintf(stderr, "%zu loads, %zu completions\n", view.loadedAt.size(), done.size());
    return t;
  }
  for (std::size_t i = 0; i < done.size(); ++i) {
    t.loadMs += done[i] - view.loadedAt[i];
    t.waitMs += (i + 1 < view.loadedAt.size() ? view.loadedAt[i + 1] : t.totalMs) - done[i];
  }
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  tolvarine::PrepareWebEngine();
  QApplication app(argc, argv);
  const int pages = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const int intervalMs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;
  const bool detail = argc > 4 && std::string(argv[4]) == "detail";

  LocalHttpServer server;
  for (int i = 0; i < 100; ++i) server.Page("/page/" + std::to_string(i), PageHtml(i));

  // What each variant took per round; with detail, also the steps between a bare page and
  // the walk: a fresh plain page per address, and the pane alone (fresh pages, one page).
  struct Variant {
    const char* name;
    std::function<double()> run;
    std::vector<double> ms;
  };
  WalkTimes last;
  std::vector<Variant> variants{
      {"bare page", [&] { return BarePage(server, pages, false); }, {}},
      {"walk", [&] { return (last = Walk(server, pages, intervalMs, false)).totalMs; }, {}}};
  if (detail) {
    variants.push_back(
        {"walk as before", [&] { return Walk(server, pages, intervalMs, true).totalMs; }, {}});
    variants.push_back({"fresh plain pages", [&] { return BarePage(server, pages, true); }, {}});
    variants.push_back({"pane, fresh pages", [&] { return Pane(server, pages, 1); }, {}});
    variants.push_back({"pane, one page", [&] { return Pane(server, pages, 0); }, {}});
  }
  for (auto& v : variants) v.run();  // warm-up: the engine's processes, the network service
  std::vector<double> ratio;
  for (int r = 0; r < rounds; ++r) {
    std::printf("round %d:", r + 1);
    for (std::size_t k = 0; k < variants.size(); ++k) {
      Variant& v = variants[(k + static_cast<std::size_t>(r)) % variants.size()];
      v.ms.push_back(v.run());
    }
    for (const auto& v : variants) std::printf(" %s %.0f ms,", v.name, v.ms.back());
    ratio.push_back(variants[1].ms.back() / variants[0].ms.back());
    std::printf(" walk load %.0f wait %.0f pages made %d, ratio %.2f\n", last.loadMs, last.waitMs,
                last.pagesCreated, ratio.back());
    std::fflush(stdout);
  }
  std::printf("pages=%d interval_ms=%d rounds=%d median:", pages, intervalMs, rounds);
  for (const auto& v : variants) std::printf(" %s %.1f ms,", v.name, Median(v.ms));
  std::printf(" ratio walk/bare %.2f\n", Median(ratio));
  return 0;
}
