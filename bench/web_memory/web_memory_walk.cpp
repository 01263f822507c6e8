// Walks N local pages through the WebEngine pane, one after the other as fast as they
// complete, and prints the resident memory of this process and its renderer processes
// every 100 pages, with the time each page took on average.
//
//   web_memory_walk [pages=1000] [recycleEvery=1]
//
// Memory is read from /proc: RSS (shared pages counted in every process) and PSS (shared
// pages split between the processes that map them, so the sum is meaningful).
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/support/process_tree.h"
#include "tests/support/local_http_server.h"
#include "ui/web/web_engine_setup.h"
#include "ui/web/web_page_browser.h"

namespace {

struct Memory {
  long rssKb = 0;
  long pssKb = 0;
  int processes = 0;
};

long FieldKb(const std::string& file, const std::string& name) {
  std::ifstream in(file);
  std::string line;
  long total = 0;
  while (std::getline(in, line))
    if (line.rfind(name, 0) == 0) total += std::stol(line.substr(name.size()));
  return total;
}

// This process and every process below it (the WebEngine zygote and renderers).
Memory Measure() {
  Memory m;
  for (const auto& entry : tolvarine::bench::ProcessTree()) {
    const std::string base = "/proc/" + std::to_string(entry.first);
    m.rssKb += FieldKb(base + "/status", "VmRSS:");
    m.pssKb += FieldKb(base + "/smaps_rollup", "Pss:");
    ++m.processes;
  }
  return m;
}

std::string PageHtml(int i) {
  std::string html = "<html><head><title>page " + std::to_string(i) + "</title></head><body>";
  for (int row = 0; row < 200; ++row) {
    html += "<p>第" + std::to_string(row) + "行 联系 138" + std::to_string(10000000 + i) +
            " <a href=\"/page/" + std::to_string((i + row) % 1000) + "\">link</a></p>";
  }
  return html + "<script>var x = [];for (var k = 0; k < 1000; ++k) x.push(k);</script></body></html>";
}

class Walker : public tolvarine::PageBrowserListener {
 public:
  Walker(tolvarine::WebPageBrowser& browser, tolvarine::testing::LocalHttpServer& server,
         int pages)
      : browser_(browser), server_(server), pages_(pages) {}

  void Next() {
    if (done_ == pages_) {
      QApplication::quit();
      return;
    }
    clock_.restart();
    browser_.Navigate(server_.Url("/page/" + std::to_string(done_)));
  }

  void OnNavigateComplete(tolvarine::FrameId, const std::string&) override {}
  void OnDocumentComplete(tolvarine::FrameId, const std::string&) override {
    // Read the document as the harvesters would.
    auto* doc = browser_.Document();
    chars_ += doc->BodyOuterText().size() + doc->BodyOuterHtml().size();
    for (int i = 0; i < doc->LinksLength(); ++i) chars_ += doc->LinkItem(i).size();
    totalMs_ += clock_.elapsed();
    ++done_;
    if (done_ % 100 == 0) {
      const Memory m = Measure();
      std::printf("pages=%d rss_kb=%ld pss_kb=%ld processes=%d avg_ms_per_page=%.1f pages_made=%d\n",
                  done_, m.rssKb, m.pssKb, m.processes, totalMs_ / 100.0,
                  browser_.PagesCreated());
      std::fflush(stdout);
      totalMs_ = 0;
    }
    QTimer::singleShot(0, [this] { Next(); });
  }

 private:
  tolvarine::WebPageBrowser& browser_;
  tolvarine::testing::LocalHttpServer& server_;
  int pages_;
  int done_ = 0;
  qint64 totalMs_ = 0;
  std::size_t chars_ = 0;
  QElapsedTimer clock_;
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  tolvarine::PrepareWebEngine();
  QApplication app(argc, argv);
  const int pages = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int recycle = argc > 2 ? std::atoi(argv[2]) : 1;

  tolvarine::testing::LocalHttpServer server;
  for (int i = 0; i < 1000; ++i) server.Page("/page/" + std::to_string(i), PageHtml(i));
  tolvarine::WebPageBrowser browser(
      [](const std::string& m) { std::fprintf(stderr, "failure: %s\n", m.c_str()); }, nullptr,
      recycle);
  browser.resize(1024, 768);
  browser.show();
  Walker walker(browser, server, pages);
  browser.SetListener(&walker);
  const Memory start = Measure();
  std::printf("start rss_kb=%ld pss_kb=%ld recycleEvery=%d\n", start.rssKb, start.pssKb, recycle);
  QTimer::singleShot(0, [&] { walker.Next(); });
  return app.exec();
}
