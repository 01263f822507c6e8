// Loads one local page that never stops changing into the WebEngine pane, waits for its
// document-complete, then lets it run and prints the CPU seconds this process and its
// child processes (WebEngine's zygote, renderers, GPU process) used meanwhile, read from
// /proc, with how many copies of the page the pane took.
//
//   web_cpu_load [page=clock|append|still|bigstill] [seconds=30]
//
//   clock     a clock that ticks every 50 ms
//   append    a 5 MB page that appends a row every 50 ms
//   still     the clock's page without its timer (nothing changes)
//   bigstill  the 5 MB page without its timer
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/support/process_tree.h"
#include "tests/support/local_http_server.h"
#include "ui/web/web_engine_setup.h"
#include "ui/web/web_page_browser.h"

namespace {

struct Cpu {
  double self = 0;
  double children = 0;
  int processes = 0;
};

// CPU seconds so far of this process and of every process below it.
Cpu Measure() {
  const int self = static_cast<int>(getpid());
  const double hz = static_cast<double>(sysconf(_SC_CLK_TCK));
  Cpu cpu;
  for (const auto& [pid, stat] : tolvarine::bench::ProcessTree()) {
    ++cpu.processes;
    (pid == self ? cpu.self : cpu.children) += static_cast<double>(stat.cpuTicks) / hz;
  }
  return cpu;
}

std::string Page(const std::string& kind) {
  const bool big = kind == "append" || kind == "bigstill";
  const bool ticking = kind == "clock" || kind == "append";
  std::string html = "<html><body><p id=\"clock\">0</p><div id=\"rows\">";
  if (big) {
    // About 5 MB of rows, each with a number and a link.
    for (int row = 0; html.size() < 5 * 1024 * 1024; ++row)
      html += "<p>row " + std::to_string(row) + " 138" + std::to_string(10000000 + row) +
              " <a href=\"/r/" + std::to_string(row) + "\">link</a> filler filler filler</p>";
  }
  html += "</div><script>var n = 0;";
  if (ticking && big)
    html += "setInterval(function () { var p = document.createElement('p');"
            " p.textContent = 'added ' + (++n) + ' 15912345678';"
            " document.getElementById('rows').appendChild(p); }, 50);";
  else if (ticking)
    html += "setInterval(function () { document.getElementById('clock').textContent ="
            " new Date().toISOString() + ' ' + (++n); }, 50);";
  return html + "</script></body></html>";
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  tolvarine::PrepareWebEngine();
  QApplication app(argc, argv);
  const std::string kind = argc > 1 ? argv[1] : "clock";
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;

  tolvarine::testing::LocalHttpServer server;
  server.Page("/page", Page(kind));
  tolvarine::WebPageBrowser browser(
      [](const std::string& m) { std::fprintf(stderr, "failure: %s\n", m.c_str()); });
  browser.resize(1024, 768);
  browser.show();

  Cpu start;
  int copiesAtStart = 0;
  long long firstReadMs = 0;
  QObject::connect(&browser, &tolvarine::WebPageBrowser::documentCompleted, &app, [&] {
    start = Measure();
    copiesAtStart = browser.CopiesTaken();
    firstReadMs = browser.LastReadMs();
    QTimer::singleShot(seconds * 1000, &app, [&] {
      const Cpu end = Measure();
      auto* doc = browser.Document();
      std::printf("page=%s seconds=%d cpu_self_s=%.2f cpu_children_s=%.2f processes=%d "
                  "copies=%d last_read_ms=%lld first_read_ms=%lld copy_text_bytes=%zu\n",
                  kind.c_str(), seconds, end.self - start.self, end.children - start.children,
                  end.processes, browser.CopiesTaken() - copiesAtStart,
                  static_cast<long long>(browser.LastReadMs()), firstReadMs,
                  doc ? doc->BodyOuterText().size() : 0);
      QApplication::quit();
    });
  });
  browser.Navigate(server.Url("/page"));
  return app.exec();
}
