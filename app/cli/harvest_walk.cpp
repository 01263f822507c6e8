#include "app/cli/harvest_walk.h"

#include <QApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "app/cli/command_io.h"
#include "app/cli/console_view.h"
#include "app/cli/harvest_output.h"
#include "app/cli/page_log_output.h"
#include "app/cli/report_command.h"
#include "app/cli/shard_records.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/guard.h"
#include "base/platform/environment.h"
#include "base/platform/file_system.h"
#include "base/platform/shard_processes.h"
#include "base/platform/streams.h"
#include "engine/crawl_controller.h"
#include "engine/crawl_settings.h"
#include "engine/progress_file.h"
#include "ui/clock/qt_clock.h"
#include "ui/web/web_engine_setup.h"
#include "ui/web/web_page_browser.h"

namespace tolvarine::cli {
namespace {

// How often a command-line walk saves its position; the environment may shorten it.
int PositionSavePeriodMs() {
  const QByteArray text = qgetenv("TOLVARINE_POSITION_SAVE_MS");
  bool ok = false;
  const int ms = text.toInt(&ok);
  return ok && ms > 0 && ms < 60000 ? ms : 60000;
}

CrawlEnvironment EnvironmentFor(const HarvestPlan& plan, std::function<void()> beforeSave) {
  CrawlEnvironment environment;
  // A walk killed and continued walks again at most the page that was loading.
  environment.saveEveryPage = true;
  environment.beforeSave = std::move(beforeSave);
  environment.stateFolder = plan.stateFolder;
  environment.lockStateFolder = false;  // the command holds it, or a shard's parent does
  if (plan.noOnlineCheck) environment.hostAddresses = [] { return std::vector<std::string>{}; };
  if (plan.intervalMs) environment.pacingIntervalMs = *plan.intervalMs;
  if (plan.shard) {
    environment.sharded = true;
    environment.shardIndex = plan.shard->index;
    environment.shardCount = plan.shard->count;
  }
  environment.positionSaveMs = PositionSavePeriodMs();
  environment.harvestOnCompletion = true;
  return environment;
}

// The flags over the rule lists and options read from the state folder.
void ApplyPlan(const HarvestPlan& plan, CrawlSettings& settings) {
  settings.SetOption(CrawlOption::SearchLinks, plan.links);
  settings.SetOption(CrawlOption::SearchPhones, plan.phones);
  settings.SetOption(CrawlOption::Dedup, plan.dedup);
  settings.SetOption(CrawlOption::LinkFilter, plan.filter);
  settings.SetOption(CrawlOption::OnlySite, plan.onlySite);
  settings.extra.https = plan.https;
  settings.extra.formatted = plan.formatted;
  // The window's follow options in the state folder never reach the command line's walk.
  settings.extra.follow = plan.follow.depth > 0;
  settings.extra.depth = std::max(plan.follow.depth, 1);
  settings.extra.ignoreRobots = plan.follow.ignoreRobots;
  settings.extra.scope = plan.follow.scope;
  settings.extra.maxPagesPerLine = plan.follow.maxPagesPerLine;
  // The page records count places with --enrich. --valid-only is applied where rows are
  // written, so that one walk and --jobs leave out the same numbers: never in the walk.
  settings.extra.places = plan.enrich;
  settings.extra.validOnly = false;
  for (const auto& [items, list] : {std::pair{plan.prefixes, RuleList::Prefixes},
                                    std::pair{plan.mustContain, RuleList::MustContain},
                                    std::pair{plan.mustNotContain, RuleList::MustNotContain}}) {
    if (items) settings.SetRules(list, RuleTextFromCommaList(*items));
  }
  if (plan.speed) settings.speed = *plan.speed;
}

// Where a --continue walk goes on: the saved position of the same list, or, with none, the
// top of the list, which it says.
std::optional<int> ContinuePosition(const ProgressFile& progress, const CrawlSettings& settings) {
  CrawlSettings stored;
  int position = 0, total = 0;
  if (progress.Read(stored, position, total) && stored.listFile == settings.listFile)
    return position;
  PrintMessage("no saved position of this list in " + GbkFileName(progress.ProgressPath()) +
               "; the walk starts at line 1");
  return std::nullopt;
}

// Each row appended to a result list goes to the walk's results at once.
class RowForwarder : public ResultListObserver {
 public:
  using Sink = std::function<bool(ResultKind, const std::string&, const RowSource&)>;
  RowForwarder(ResultList& list, ResultKind kind, Sink sink, std::function<void()> onLost)
      : list_(list), kind_(kind), sink_(std::move(sink)), onLost_(std::move(onLost)) {
    list_.AddObserver(this);
  }
  ~RowForwarder() override { list_.RemoveObserver(this); }
  void OnRowAppended(int row) override {
    if (!sink_(kind_, list_.Row(row), list_.SourceOf(row))) onLost_();
  }
  void OnCleared() override {}

 private:
  ResultList& list_;
  ResultKind kind_;
  Sink sink_;
  std::function<void()> onLost_;
};

// Where the rows go: the plan's outputs, or the parent's pipe for a shard of --jobs.
class WalkRows {
 public:
  explicit WalkRows(const HarvestPlan& plan) : output_(plan) {
    if (plan.recordsFd < 0) {
      output_.Open();
      return;
    }
    parent_ = platform::OpenDescriptorStream(plan.recordsFd, "wb");
    if (!parent_) throw FileCreateError("/dev/fd/" + std::to_string(plan.recordsFd));
    ackFd_ = plan.ackFd;
  }
  ~WalkRows() {
    if (parent_) std::fclose(parent_);
  }
  bool ToParent() const { return parent_ != nullptr; }
  bool Row(ResultKind kind, const std::string& value, const RowSource& source, int line) {
    if (!parent_) return output_.Write(kind, value, source);
    return Send(EncodeRow(kind, value, source, line));
  }
  bool Send(const std::string& message) {
    if (failed_) return false;
    unanswered_ = true;
    try {
      WriteRow(parent_, message, "");
    } catch (const Error& e) {
      failed_ = true;
      PrintFailure(e.what());
    }
    return !failed_;
  }
  // Before a shard saves pages as done: returns once the parent holds everything sent so
  // far. Throws when the parent could not write it; with the parent gone, the shard ends
  // at once, saving nothing.
  void Sync() {
    if (!parent_ || !unanswered_) return;
    if (!Send(EncodeSync()) || ackFd_ < 0) platform::ExitNow(1);
    const int answer = platform::ReadByte(ackFd_);
    if (answer < 0) platform::ExitNow(1);
    if (answer != kSyncHeld)
      throw CrawlStateError("the rows sent were not written; the position is not saved");
    unanswered_ = false;
  }
  const HarvestOutput& Output() const { return output_; }

 private:
  HarvestOutput output_;
  std::FILE* parent_ = nullptr;
  int ackFd_ = -1;
  bool failed_ = false;
  bool unanswered_ = false;  // sent since the parent's last answer
};

// A shard's page records go to its parent, which keeps the page log.
class PagesToParent : public PageLogSink {
 public:
  explicit PagesToParent(WalkRows& rows) : rows_(rows) {}
  void OnPage(const PageRecord& record) override { rows_.Send(EncodePage(record)); }

 private:
  WalkRows& rows_;
};

void PrintClosingLines(const WalkOutcome& outcome, const HarvestOutput& output) {
  output.PrintTotals(outcome.abandoned, outcome.early);
  if (outcome.stopSignal)
    std::fprintf(stderr,
                 "tolvarine: the walk was stopped (%s) after line %d; --continue goes on "
                 "from there\n",
                 platform::StopSignalName(outcome.stopSignal), outcome.position);
}

}  // namespace

int WalkStatus(const WalkOutcome& outcome) {
  if (!outcome.started || !outcome.finished || outcome.failed) return 1;
  return outcome.stopSignal ? platform::StatusForStopSignal(outcome.stopSignal) : 0;
}

namespace {

// One walk's parts, built in order, and its three steps: wiring, start and end.
class OneWalk {
 public:
  explicit OneWalk(const HarvestPlan& plan)
      : plan_(plan),
        view_(GbkFileName(plan.listPath)),
        rows_(plan),
        pageLog_(rows_.ToParent() ? HarvestPlan() : plan),
        pagesToParent_(rows_),
        progress_(PlanProgressFile(plan)),
        // The controller guards its own ticks and browser events, as in the window.
        browser_(sink_, nullptr, WebPageBrowser::kCommandLineRecycleEvery),
        controller_(view_, browser_, clock_, EnvironmentFor(plan, [this] { rows_.Sync(); })),
        phoneRows_(controller_.Phones(), ResultKind::Phone, ToRows(), [this] { OnRowLost(); }),
        linkRows_(controller_.Links(), ResultKind::Link, ToRows(), [this] { OnRowLost(); }) {
    browser_.SetListener(&controller_);
    view_.SetController(&controller_);
    controller_.SetNumberInfo(rows_.Output().Numbers());
    pageLog_.Open();
    if (pageLog_.Active()) controller_.SetPageLog(&pageLog_);
    if (rows_.ToParent() && plan.sendPages) controller_.SetPageLog(&pagesToParent_);
    if (rows_.ToParent())
      view_.ReportPositionsTo([this](int line) { rows_.Send(EncodePosition(line)); });
    controller_.SetOnFinished([this] {
      outcome_.finished = true;
      QCoreApplication::exit(0);
    });
  }

  // Runs the walk until it ends; a stop signal stops it as Stop does.
  void Run() {
    const int stopFd = platform::StopSignalsToPipe();
    QSocketNotifier stopNotifier(stopFd, QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, [&] {
      outcome_.stopSignal = platform::ReadStopSignal(stopFd);
      RunGuarded(sink_, [&] { controller_.Stop(); });
    });
    platform::IgnoreBrokenPipes();
    // The rule lists are the window's: read them from the state folder. The flags give
    // the rest.
    RunGuarded(sink_, [&] { controller_.LoadLists(); });
    ApplyPlan(plan_, controller_.Settings());
    controller_.UseListFile(GbkFileName(plan_.listPath));
    std::optional<int> from = plan_.from;
    if (plan_.continuing) from = ContinuePosition(progress_, controller_.Settings());
    outcome_.started = RunGuarded(sink_, [&] {
      if (from) {
        // Record this walk as the one to continue, then continue it as Continue does.
        controller_.WriteProgress();
        controller_.ContinueFrom(*from);
      } else {
        controller_.Start();
      }
    });
    if (outcome_.started && controller_.Running()) QCoreApplication::exec();
    platform::RestoreStopSignals();
  }

  WalkOutcome End() {
    if (outcome_.started && !controller_.Running()) outcome_.finished = true;
    if (view_.Complained()) outcome_.failed = true;
    if (lostOnLine_ > 0 && !controller_.Running()) {
      RunGuarded(sink_, [&] {
        rows_.Sync();
        progress_.Write(controller_.Settings(), lostOnLine_ - 1, controller_.Total());
      });
      PrintMessage("the rows of line " + std::to_string(lostOnLine_) +
                   " were not all written; the progress file continues before it");
    }
    outcome_.position = controller_.Position();
    outcome_.abandoned = controller_.PagesAbandoned();
    outcome_.early = controller_.PagesHarvestedEarly();
    view_.EndProgress();
    if (rows_.ToParent()) {
      rows_.Send(EncodeEnd(outcome_.abandoned, outcome_.early));
      return outcome_;
    }
    if (outcome_.started && !CloseWithReport(pageLog_, plan_)) outcome_.failed = true;
    if (outcome_.started) PrintClosingLines(outcome_, rows_.Output());
    return outcome_;
  }

 private:
  RowForwarder::Sink ToRows() {
    return [this](ResultKind kind, const std::string& value, const RowSource& source) {
      return rows_.Row(kind, value, source, controller_.Position());
    };
  }

  // A lost row stops the walk as Stop does, at once: the rest of the page is not written
  // either. The page it came from counts as not done, so that Continue walks it again.
  void OnRowLost() {
    if (outcome_.failed) return;
    outcome_.failed = true;
    lostOnLine_ = controller_.Position();
    RunGuarded(sink_, [&] { controller_.Stop(); });
  }

  const HarvestPlan& plan_;
  const ErrorSink sink_ = [](const std::string& message) { PrintFailure(message); };
  ConsoleView view_;
  WalkRows rows_;
  PageLogOutput pageLog_;
  PagesToParent pagesToParent_;
  const ProgressFile progress_;
  WebPageBrowser browser_;
  QtClock clock_;
  CrawlController controller_;
  RowForwarder phoneRows_, linkRows_;
  WalkOutcome outcome_;
  int lostOnLine_ = 0;
};

}  // namespace

WalkOutcome RunOneWalk(int argc, char** argv, const HarvestPlan& plan) {
  tolvarine::PrepareWebEngine();
  QuietQtMessages();
  platform::UseOffscreenUnlessPlatformChosen();
  QApplication app(argc, argv);
  OneWalk walk(plan);
  walk.Run();
  return walk.End();
}

}  // namespace tolvarine::cli
