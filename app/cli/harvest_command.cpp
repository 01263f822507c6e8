// tolvarine harvest: a walk through the WebEngine browser without a window, with the same
// crawl controller as the window. SIGINT and SIGTERM act as the Stop command.
#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/cli/arg_parser.h"
#include "app/cli/command_io.h"
#include "app/cli/command_list.h"
#include "app/cli/console_view.h"
#include "app/cli/row_writer.h"
#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/gbk.h"
#include "base/guard.h"
#include "base/number_text.h"
#include "base/state_folder.h"
#include "engine/crawl_controller.h"
#include "engine/progress_file.h"
#include "engine/result_list.h"
#include "ui/clock/qt_clock.h"
#include "ui/web/web_engine_setup.h"
#include "ui/web/web_page_browser.h"

namespace tolvarine::cli {
namespace {

const char kUsage[] =
    "usage: tolvarine harvest LIST [--links] [--phones] [--dedup] [--filter] [--only-site]\n"
    "                         [--speed N | --interval-ms N] [--from N]\n"
    "                         [--phones-out FILE] [--links-out FILE] [--state DIR]\n"
    "                         [--no-online-check] [--https] [--formatted]\n"
    "                         [--prefixes LIST] [--must LIST] [--must-not LIST]\n"
    "                         [--format csv|jsonl]\n"
    "  Walks the URL list LIST through the embedded browser, as the window's Search does.\n"
    "  --links, --phones   search links, search phones (at least one)\n"
    "  --dedup, --filter, --only-site   the window's options of the same names\n"
    "  --speed N           seconds per page, 1..60 (default 8)\n"
    "  --interval-ms N     the pacing period in milliseconds instead (local walks, tests)\n"
    "  --from N            continue after line N, as the window's Continue does\n"
    "  --phones-out FILE   write the numbers there instead of standard output\n"
    "  --links-out FILE    write the links there instead of standard output\n"
    "  --state DIR         folder of the progress and list files (default: the program's)\n"
    "  --no-online-check   walk even where the host resolves only to 127.0.0.1\n"
    "  --https             also keep \"https://\" links; with --filter the rule line\n"
    "                      \"http://\" then accepts \"https://\" as well\n"
    "  --formatted         also find numbers written in groups (138-1234-5678), after\n"
    "                      +86 or 0086, or in full-width digits\n"
    "  --prefixes LIST     number prefixes, comma-separated (e.g. 13,14,15,16,17,18,19)\n"
    "  --must LIST         the link filter's must-contain lines, comma-separated\n"
    "  --must-not LIST     the link filter's must-not-contain lines, comma-separated\n"
    "                      (the three lists replace the state folder's list files for\n"
    "                      this run and leave those files as they are)\n"
    "  --format csv|jsonl  each row with the page it was found on and when: CSV rows\n"
    "                      \"value,page,time\" after a header row (GBK, CR LF), or one JSON\n"
    "                      object {\"value\",\"page\",\"time\"} a line (UTF-8, LF)\n"
    "  Rows are written as found (GBK, CR LF but for jsonl); progress goes to standard\n"
    "  error. SIGINT or SIGTERM stops the walk at its next tick and writes the progress\n"
    "  file.\n"
    "  A row that cannot be written stops the walk as SIGINT does.\n"
    "  Exit status: 0 the walk finished, 1 a failure, 2 a usage error.\n";

int signalPipe[2] = {-1, -1};

void OnStopSignal(int) {
  const char byte = 1;
  [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &byte, 1);
}

struct OutputFile {
  std::FILE* file = stdout;
  bool owned = false;
  ~OutputFile() {
    if (owned) std::fclose(file);
  }
  void Open(const std::optional<std::string>& path) {
    if (!path) return;
    file = std::fopen(path->c_str(), "wb");
    if (!file) throw FileCreateError(GbkFileName(*path));
    owned = true;
  }
};

std::string FolderWithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// A comma-separated list from the command line as a rule field holds it: one GBK line per
// item, CR LF between them.
std::string RuleTextFromItems(const std::string& items) {
  std::string text;
  for (char c : Utf8ToGbk(items)) {
    if (c == ',') {
      text += "\r\n";
    } else {
      text += c;
    }
  }
  return text;
}

}  // namespace

int RunHarvest(int argc, char** argv, const std::vector<std::string>& args) {
  ParsedArgs parsed;
  std::optional<long long> intervalMs, from;
  RowFormat format = RowFormat::Plain;
  try {
    parsed = ArgParser()
                 .Switch("--links").Switch("--phones").Switch("--dedup").Switch("--filter")
                 .Switch("--only-site").Switch("--no-online-check").Switch("--help")
                 .Switch("--https").Switch("--formatted")
                 .Option("--prefixes").Option("--must").Option("--must-not")
                 .Option("--speed").Option("--interval-ms").Option("--from")
                 .Option("--phones-out").Option("--links-out").Option("--state")
                 .Option("--format")
                 .Parse(args);
    if (parsed.Has("--help")) return ShowUsage(kUsage);
    if (parsed.Positional().size() != 1) throw UsageError("give exactly one URL list file");
    if (parsed.Has("--speed") && parsed.Has("--interval-ms"))
      throw UsageError("--speed and --interval-ms exclude each other");
    intervalMs = parsed.Number("--interval-ms", 1, 3600000);
    from = parsed.Number("--from", INT32_MIN, INT32_MAX);
    format = RowFormatNamed(parsed.Value("--format"));
  } catch (const UsageError& e) {
    return ShowUsage(kUsage, e.what());
  }

  tolvarine::PrepareWebEngine();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  const std::string listPath = parsed.Positional()[0];
  ConsoleView view(GbkFileName(listPath));

  bool finished = false;
  const ErrorSink sink = [](const std::string& message) { PrintFailure(message); };
  try {
    OutputFile phonesOut, linksOut;
    phonesOut.Open(parsed.Value("--phones-out"));
    linksOut.Open(parsed.Value("--links-out"));
    // Both lists on one stream share one header.
    WriteRowsHeader(phonesOut.file, format);
    if (linksOut.file != phonesOut.file) WriteRowsHeader(linksOut.file, format);

    CrawlEnvironment environment;
    environment.stateFolder =
        parsed.Value("--state") ? FolderWithSlash(*parsed.Value("--state")) : StateFolder();
    if (parsed.Has("--no-online-check"))
      environment.hostAddresses = [] { return std::vector<std::string>{}; };
    if (intervalMs) environment.pacingIntervalMs = static_cast<int>(*intervalMs);

    // The controller guards its own ticks and browser events, as in the window.
    WebPageBrowser browser(sink);
    QtClock clock;
    CrawlController controller(view, browser, clock, environment);
    browser.SetListener(&controller);
    view.SetController(&controller);
    // A lost row stops the walk as Stop does, at once: the rest of the page is not written
    // either. The page it came from counts as not done, so that Continue walks it again.
    bool rowLost = false;
    int lostOnLine = 0;
    const auto onRowLost = [&](const std::string& message) {
      if (rowLost) return;
      rowLost = true;
      lostOnLine = controller.Position();
      PrintFailure(message);
      RunGuarded(sink, [&] { controller.Stop(); });
    };
    RowWriter phoneRows(controller.Phones(), phonesOut.file, format, onRowLost);
    RowWriter linkRows(controller.Links(), linksOut.file, format, onRowLost);
    controller.SetOnFinished([&] {
      finished = true;
      QCoreApplication::exit(0);
    });

    if (::pipe(signalPipe) != 0) throw Error("cannot set up the stop signal");
    QSocketNotifier stopNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, [&] {
      char byte;
      [[maybe_unused]] ssize_t n = ::read(signalPipe[0], &byte, 1);
      RunGuarded(sink, [&] { controller.Stop(); });
    });
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    // A closed output pipe is a failed write, reported like any other, not the end.
    std::signal(SIGPIPE, SIG_IGN);

    // The rule lists are the window's: read them from the state folder. The flags give
    // the rest.
    RunGuarded(sink, [&] { controller.LoadLists(); });
    CrawlSettings& settings = controller.Settings();
    settings.SetOption(CrawlOption::SearchLinks, parsed.Has("--links"));
    settings.SetOption(CrawlOption::SearchPhones, parsed.Has("--phones"));
    settings.SetOption(CrawlOption::Dedup, parsed.Has("--dedup"));
    settings.SetOption(CrawlOption::LinkFilter, parsed.Has("--filter"));
    settings.SetOption(CrawlOption::OnlySite, parsed.Has("--only-site"));
    settings.extra.https = parsed.Has("--https");
    settings.extra.formatted = parsed.Has("--formatted");
    for (const auto& [flag, list] : {std::pair{"--prefixes", RuleList::Prefixes},
                                     std::pair{"--must", RuleList::MustContain},
                                     std::pair{"--must-not", RuleList::MustNotContain}}) {
      if (auto items = parsed.Value(flag)) settings.SetRules(list, RuleTextFromItems(*items));
    }
    if (auto speed = parsed.Value("--speed")) settings.speed = ReadSpeed(Utf8ToGbk(*speed));
    if (!FileExists(listPath)) throw FileOpenError(GbkFileName(listPath));
    controller.UseListFile(GbkFileName(listPath));

    bool started = RunGuarded(sink, [&] {
      if (from) {
        // Record this walk as the one to continue, then continue it as Continue does.
        controller.WriteProgress();
        controller.ContinueFrom(static_cast<int>(*from));
      } else {
        controller.Start();
      }
    });
    if (started && controller.Running()) app.exec();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (!finished && !view.Complained() && started) finished = !controller.Running();
    if (rowLost && !controller.Running()) {
      RunGuarded(sink, [&] {
        ProgressFile(environment.stateFolder)
            .Write(controller.Settings(), lostOnLine - 1, controller.Total());
      });
      PrintMessage("the rows of line " + std::to_string(lostOnLine) +
                   " were not all written; the progress file continues before it");
    }
    if (started)
      std::fprintf(stderr, "pages abandoned by the watchdog: %d\n", controller.PagesAbandoned());
    // A walk that lost rows, or whose end could not be recorded (the progress file), failed.
    if (rowLost || (finished && view.Complained())) finished = false;
  } catch (const std::exception& e) {
    PrintFailure(e.what());
    return 1;
  }
  return finished ? 0 : 1;
}

}  // namespace tolvarine::cli
