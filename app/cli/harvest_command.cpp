// tolvarine harvest: a walk through the WebEngine browser without a window, with the same
// crawl controller as the window. SIGINT and SIGTERM act as the Stop command.
#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <unordered_set>
#include <vector>

#include "app/cli/arg_parser.h"
#include "app/cli/command_io.h"
#include "app/cli/command_list.h"
#include "app/cli/console_view.h"
#include "app/cli/row_writer.h"
#include "app/cli/harvest_jobs.h"
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
    "                         [--no-online-check] [--shard K/N | --jobs N] [--continue]\n"
    "  Walks the URL list LIST through the embedded browser, as the window's Search does.\n"
    "  --links, --phones   search links, search phones (at least one)\n"
    "  --dedup, --filter, --only-site   the window's options of the same names\n"
    "  --speed N           seconds per page, 1..60 (default 8): the least time between two\n"
    "                      loads; a page slower than that is harvested as it completes\n"
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
    "  --shard K/N         walk only shard K (0..N-1) of N: line i (from 1) belongs to shard\n"
    "                      (i-1) mod N; its progress file is tolvarine-shard-K-of-N.ini\n"
    "  --jobs N            walk N shards at once, each in a process of its own, their rows\n"
    "                      joined into the one output (--dedup: each row once over all)\n"
    "  --continue          go on where the same command stopped (its progress file), adding\n"
    "                      to the output files; with --dedup the rows already in them are\n"
    "                      not written again\n"
    "                      (--format csv|jsonl goes with neither --jobs nor --continue --dedup)\n"
    "  Rows are written as found (GBK, CR LF but for jsonl); progress goes to standard\n"
    "  error. SIGINT or SIGTERM stops the walk at its next tick and writes the progress\n"
    "  file; the position is also saved every 60 s, so a killed walk continues from at most\n"
    "  a minute back.\n"
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
  // A continued walk adds to the file. A row cut short by a killed process is ended first,
  // so that the next row does not run into it.
  void Open(const std::optional<std::string>& path, bool append) {
    if (!path) return;
    file = std::fopen(path->c_str(), append ? "ab+" : "wb");
    if (!file) throw FileCreateError(GbkFileName(*path));
    owned = true;
    if (!append || std::fseek(file, -1, SEEK_END) != 0) return;
    const bool cutShort = std::fgetc(file) != '\n';
    std::fseek(file, 0, SEEK_END);
    if (cutShort) WriteRow(file, "");
  }
};

// The whole rows of an output file (a row cut short at the end is not one).
std::unordered_set<std::string> RowsInFile(const std::optional<std::string>& path) {
  std::unordered_set<std::string> rows;
  if (!path) return rows;
  std::ifstream in(*path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (in.eof()) break;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    rows.insert(line);
  }
  return rows;
}

struct Shard {
  int index = 0;
  int count = 1;
};

// "K/N" with 0 <= K < N.
Shard ParseShard(const std::string& text) {
  const std::size_t slash = text.find('/');
  const auto number = [](const std::string& digits) {
    if (digits.empty() || digits.size() > 6 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
      throw UsageError("--shard takes K/N, for example 0/4");
    return std::stoi(digits);
  };
  if (slash == std::string::npos) throw UsageError("--shard takes K/N, for example 0/4");
  Shard shard{number(text.substr(0, slash)), number(text.substr(slash + 1))};
  if (shard.count < 1 || shard.index >= shard.count)
    throw UsageError("--shard K/N needs 0 <= K < N");
  return shard;
}

// How often a command-line walk saves its position; the environment may shorten it.
int PositionSavePeriodMs() {
  const QByteArray text = qgetenv("TOLVARINE_POSITION_SAVE_MS");
  bool ok = false;
  const int ms = text.toInt(&ok);
  return ok && ms > 0 && ms < 60000 ? ms : 60000;
}

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
  std::optional<Shard> shard;
  std::optional<long long> jobs;
  try {
    parsed = ArgParser()
                 .Switch("--links").Switch("--phones").Switch("--dedup").Switch("--filter")
                 .Switch("--only-site").Switch("--no-online-check").Switch("--help")
                 .Switch("--https").Switch("--formatted")
                 .Option("--prefixes").Option("--must").Option("--must-not")
                 .Switch("--continue").Option("--shard").Option("--jobs")
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
    if (from && parsed.Has("--continue")) throw UsageError("--from and --continue exclude each other");
    if (auto text = parsed.Value("--shard")) shard = ParseShard(*text);
    jobs = parsed.Number("--jobs", 1, 64);
    if (jobs && shard) throw UsageError("--shard and --jobs exclude each other");
    if (jobs && from) throw UsageError("--from and --jobs exclude each other");
    if (format != RowFormat::Plain && jobs)
      throw UsageError("--format goes with plain rows only under --jobs");
    if (format != RowFormat::Plain && parsed.Has("--continue") && parsed.Has("--dedup"))
      throw UsageError("--continue --dedup reads back plain rows only; leave out --format");
  } catch (const UsageError& e) {
    return ShowUsage(kUsage, e.what());
  }
  if (jobs) {
    JobsPlan plan;
    plan.jobs = static_cast<int>(*jobs);
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "--jobs" || args[i] == "--phones-out" || args[i] == "--links-out") {
        ++i;
      } else if (args[i] != "--dedup") {
        plan.childArgs.push_back(args[i]);
      }
    }
    plan.phonesOut = parsed.Value("--phones-out");
    plan.linksOut = parsed.Value("--links-out");
    plan.dedup = parsed.Has("--dedup");
    plan.continuing = parsed.Has("--continue");
    try {
      return RunHarvestJobs(plan);
    } catch (const std::exception& e) {
      PrintFailure(e.what());
      return 1;
    }
  }

  tolvarine::PrepareWebEngine();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  const std::string listPath = parsed.Positional()[0];
  ConsoleView view(GbkFileName(listPath));

  bool finished = false;
  const ErrorSink sink = [](const std::string& message) { PrintFailure(message); };
  try {
    const bool continuing = parsed.Has("--continue");
    // Rows written before a crash may be found again on the pages walked since the last
    // saved position; with --dedup they are not written twice. They are read before a row
    // cut short is ended, which keeps it from counting as written.
    const bool readBack = continuing && parsed.Has("--dedup");
    std::unordered_set<std::string> phonesWritten, linksWritten;
    if (readBack) {
      phonesWritten = RowsInFile(parsed.Value("--phones-out"));
      linksWritten = RowsInFile(parsed.Value("--links-out"));
    }
    OutputFile phonesOut, linksOut;
    phonesOut.Open(parsed.Value("--phones-out"), continuing);
    linksOut.Open(parsed.Value("--links-out"), continuing);
    // Both lists on one stream share one header; a continued output has its header.
    if (!continuing) {
      WriteRowsHeader(phonesOut.file, format);
      if (linksOut.file != phonesOut.file) WriteRowsHeader(linksOut.file, format);
    }

    CrawlEnvironment environment;
    environment.stateFolder =
        parsed.Value("--state") ? FolderWithSlash(*parsed.Value("--state")) : StateFolder();
    if (parsed.Has("--no-online-check"))
      environment.hostAddresses = [] { return std::vector<std::string>{}; };
    if (intervalMs) environment.pacingIntervalMs = static_cast<int>(*intervalMs);
    if (shard) {
      environment.sharded = true;
      environment.shardIndex = shard->index;
      environment.shardCount = shard->count;
    }
    environment.positionSaveMs = PositionSavePeriodMs();
    environment.harvestOnCompletion = true;
    const ProgressFile progress =
        shard ? ProgressFile(environment.stateFolder, ShardProgressName(shard->index, shard->count))
              : ProgressFile(environment.stateFolder);

    // The controller guards its own ticks and browser events, as in the window.
    WebPageBrowser browser(sink, nullptr, WebPageBrowser::kCommandLineRecycleEvery);
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
    RowWriter phoneRows(controller.Phones(), phonesOut.file, format, onRowLost,
                        std::move(phonesWritten));
    RowWriter linkRows(controller.Links(), linksOut.file, format, onRowLost,
                       std::move(linksWritten));
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

    if (continuing) {
      // Where the same command stopped; without a progress file, or with one of another
      // list (the window's walk), it starts at the top.
      CrawlSettings stored;
      int position = 0, total = 0;
      if (progress.Read(stored, position, total) && stored.listFile == settings.listFile)
        from = position;
    }
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
        progress.Write(controller.Settings(), lostOnLine - 1, controller.Total());
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
