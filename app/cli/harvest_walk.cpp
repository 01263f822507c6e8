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
#include "base/number_text.h"
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
  const std::optional<std::string> text = platform::GetEnvironment("TOLVARINE_POSITION_SAVE_MS");
  const std::optional<long long> ms = text ? ParseDecimal(*text, 1, 59999) : std::nullopt;
  return ms ? static_cast<int>(*ms) : 60000;
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
  settings.extra.sitemaps = plan.follow.sitemaps;
  settings.extra.retries = plan.retries;
  settings.extra.blockImages = plan.block.images;
  settings.extra.blockFonts = plan.block.fonts;
  settings.extra.blockMedia = plan.block.media;
  settings.extra.scroll = plan.scroll;
  settings.extra.clickMore = plan.clickMore;
  settings.extra.clickTexts = plan.clickTexts;
  settings.extra.structured = plan.structured;
  // A shard leaves both to its parent, which runs every page through the same pipeline.
  const bool toParent = plan.recordsFd >= 0;
  settings.extra.places = plan.enrich && !toParent;
  settings.extra.validOnly = plan.validOnly && !toParent;
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

// Where the rows go: the plan's outputs, or the parent's pipe for a shard of --jobs.
class WalkRows {
 public:
  explicit WalkRows(const HarvestPlan& plan) : output_(plan) {
    if (plan.recordsFd < 0) return;
    parent_ = platform::OpenDescriptorStream(plan.recordsFd, "wb");
    if (!parent_) throw FileCreateError("/dev/fd/" + std::to_string(plan.recordsFd));
    ackFd_ = plan.ackFd;
  }
  ~WalkRows() {
    if (parent_) std::fclose(parent_);
  }
  bool ToParent() const { return parent_ != nullptr; }
  // Opens the outputs of a walk that writes them itself.
  void Open(PagePipeline& pipeline) {
    if (!parent_) output_.Open(&pipeline);
  }
  // The page's rows, to the outputs or, followed by its record, to the parent.
  bool Page(const PageResult& page) {
    if (!parent_) return output_.WriteRows(page);
    std::string message;
    for (const std::string& link : page.links)
      message += EncodeRow(ResultKind::Link, link, page.source, page.record.line);
    for (std::size_t i = 0; i < page.phones.size(); ++i)
      message += EncodeRow(ResultKind::Phone, page.phones[i], NumberSource(page, i),
                           page.record.line);
    message += EncodePage(page.record);
    return Send(message);
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

// Each page's result, once the walk's pipeline has settled its rows, goes to the rows.
// A line cut by the pages-per-line limit is told here, or by the parent of a shard.
class RowsOut : public PageResultSink {
 public:
  RowsOut(WalkRows& rows, ConsoleView& view, int limit, std::function<void()> onLost)
      : rows_(rows), view_(view), limit_(limit), onLost_(std::move(onLost)) {}
  void OnPage(const PageResult& page) override {
    if (page.record.outcome == PageOutcome::Limit && !rows_.ToParent())
      PrintMessage(LineCutMessage(page.record, limit_));
    if (page.record.outcome != PageOutcome::Limit) view_.PageEnded();
    if (!rows_.Page(page)) onLost_();
  }

 private:
  WalkRows& rows_;
  ConsoleView& view_;
  int limit_;
  std::function<void()> onLost_;
};

void PrintClosingLines(const WalkOutcome& outcome, const HarvestOutput& output, int dropped) {
  output.PrintTotals(outcome.abandoned, outcome.early, dropped);
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
        progress_(PlanProgressFile(plan)),
        // The controller guards its own ticks and browser events, as in the window.
        browser_(sink_, nullptr, WebPageBrowser::kCommandLineRecycleEvery),
        controller_(view_, browser_, clock_, EnvironmentFor(plan, [this] { rows_.Sync(); })),
        rowsOut_(rows_, view_, plan.follow.maxPagesPerLine, [this] { OnRowLost(); }) {
    browser_.SetListener(&controller_);
    browser_.SetBlockedKinds([this] { return BlockedKindsOf(controller_.Settings().extra); });
    view_.SetController(&controller_);
    if (!rows_.ToParent()) controller_.SetNumberInfo(rows_.Output().Numbers());
    controller_.Pipeline().AddSink(&rowsOut_);
    rows_.Open(controller_.Pipeline());
    pageLog_.Open();
    if (pageLog_.Active()) controller_.SetPageLog(&pageLog_);
    if (rows_.ToParent())
      view_.ReportPositionsTo([this](int line, long long pages, long long queued) {
        rows_.Send(EncodePosition(line, pages, queued));
      });
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
    if (outcome_.started)
      PrintClosingLines(outcome_, rows_.Output(), controller_.PhonesDropped());
    return outcome_;
  }

 private:
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
  const ProgressFile progress_;
  WebPageBrowser browser_;
  QtClock clock_;
  CrawlController controller_;
  RowsOut rowsOut_;
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
