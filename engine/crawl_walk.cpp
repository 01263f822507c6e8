// The walk's beginning and end: starting from the top of the list or after a line, giving
// up a start, and finishing.
#include "engine/crawl_walk.h"

#include <algorithm>
#include <exception>

#include "base/collation.h"
#include "base/errors.h"
#include "base/guard.h"
#include "engine/crawl_list_source.h"
#include "engine/crawl_texts.h"

namespace tolvarine {

CrawlWalk::CrawlWalk(CrawlView& view, PageBrowser& browser, Clock& clock,
                     const CrawlEnvironment& environment, const CrawlSettings& settings,
                     ProgressWriter saveProgress, SourceMaker makeSources)
    : view_(view),
      browser_(browser),
      clock_(clock),
      environment_(environment),
      settings_(settings),
      saveProgress_(std::move(saveProgress)),
      makeSources_(std::move(makeSources)),
      // Holds the position between walks.
      source_(std::make_unique<ListSource>(environment.shardIndex, environment.shardCount)),
      ownFilter_(std::make_unique<RequestFilter>()),
      filter_(ownFilter_.get()),
      harvester_(UserCollator()),
      pacing_(clock, kDefaultSpeed * 1000, [this] { Guarded([this] { PacingTick(); }); }),
      autosave_(clock, 300000, [this] { Guarded([this] { AutosaveTick(); }); }),
      watchdog_(clock, 300000, [this] { Guarded([this] { WatchdogTick(); }); }),
      positionSave_(clock, std::max(environment.positionSaveMs, 1),
                    [this] { Guarded([this] { PositionSaveTick(); }); }) {
  pipeline_.AddSink(&listSink_);
}

void CrawlWalk::Guarded(const std::function<void()>& handler) {
  RunGuarded([this](const std::string& message) { view_.ShowError(message); }, handler);
}

int CrawlWalk::PacingPeriod() const {
  if (environment_.pacingIntervalMs > 0) return environment_.pacingIntervalMs;
  return ClampSpeed(settings_.speed) * 1000;
}

void CrawlWalk::StopTimers() {
  pacing_.SetEnabled(false);
  autosave_.SetEnabled(false);
  watchdog_.SetEnabled(false);
  positionSave_.SetEnabled(false);
}

void CrawlWalk::StartPositionSave() {
  if (environment_.positionSaveMs > 0) positionSave_.SetEnabled(true);
}

void CrawlWalk::Begin() {
  stopRequested_ = false;
  phonesFound_ = 0;
  linksFound_ = 0;
  links_.Clear();
  phones_.Clear();
  pagesAbandoned_ = 0;
  pagesHarvestedEarly_ = 0;
  dropsInvalid_ = pipeline_.Numbers() && settings_.extra.validOnly;
  countsPlaces_ = pipeline_.Numbers() && settings_.extra.places;
  reveals_ = settings_.extra.scroll > 0 || settings_.extra.clickMore;
  structured_ = settings_.extra.structured;
  browser_.SetReadsStructured(structured_);
  pipeline_.Begin();
  pageSaveFailed_ = false;
  waiting_.clear();
  gate_.Clear();
  robotsTries_.clear();
  cappedHosts_.clear();
  jitter_.seed(static_cast<unsigned>(clock_.WallMilliseconds()));
  view_.ShowCommandStates(kRunningStates);
  walking_ = true;
  pacing_.SetInterval(PacingPeriod());
}

void CrawlWalk::ChooseSource() {
  const int position = source_->Position();
  WalkSources sources = makeSources_(settings_);
  source_ = std::move(sources.scheduler);
  ownFilter_ = std::move(sources.ownFilter);
  filter_ = sources.filter;
  filter_->UseClock(&clock_);
  source_->SetPosition(position);
  robotsAsked_.clear();
  state_ = PageState::None;
  reads_ = 0;
  lastSeenReads_ = 0;
  revealAnswers_ = 0;
  lastSeenRevealAnswers_ = 0;
}

void CrawlWalk::StartFromTop(const std::string& listPath) {
  source_->SetPosition(0);
  if (settings_.Option(CrawlOption::Autosave)) autosave_.SetEnabled(true);
  watchdog_.SetEnabled(true);
  StartPositionSave();
  try {
    ChooseSource();
    source_->Open(listPath);
    source_->StartAfresh();
  } catch (...) {
    Abandon();
    throw;
  }
  LoadNext();
}

void CrawlWalk::ResumeAfter(const std::string& listPath, int position) {
  // Lines up to the position were read in the earlier walk; a position of 0 or below
  // starts again at the first line.
  source_->SetPosition(std::max(position, 0));
  try {
    ChooseSource();
    source_->Open(listPath);
    source_->SkipToPosition();
    if (source_->Exhausted()) {
      view_.ShowMessage(texts::kListExhausted);
      walking_ = false;
      view_.ShowCommandStates(kIdleStates);
      source_->Close();
      return;
    }
  } catch (...) {
    Abandon();
    throw;
  }
  view_.ShowMessage(texts::kResuming);
  lastSeenReads_ = reads_;
  watchdog_.SetEnabled(true);
  StartPositionSave();
  if (settings_.Option(CrawlOption::Autosave)) autosave_.SetEnabled(true);
  LoadNext();
}

void CrawlWalk::Abandon() {
  StopTimers();
  try {
    source_->Close();
  } catch (...) {
    // The failure that made the start fail is the one reported.
  }
  walking_ = false;
  view_.ShowCommandStates(kIdleStates);
}

// A list file that can no longer be read, or a crawl state that can no longer be saved, ends
// the walk as its end would (the position stays at the last page whose state was saved, so
// Continue picks up from there), and the failure is reported once it has ended. Left
// running, every watchdog tick would meet it again, report it again and load the same page
// again. Once the walk has ended, a failure of its end (Finish) is reported as it is.
void CrawlWalk::EndingOnFailure(const std::function<void()>& step) {
  std::exception_ptr failure;
  bool stateFailure = false;
  try {
    step();
  } catch (const InOutError&) {
    failure = std::current_exception();
  } catch (const CrawlStateError&) {
    failure = std::current_exception();
    stateFailure = true;
  }
  if (!failure) return;
  if (!walking_) std::rethrow_exception(failure);
  // The state that could not be saved is reported once: its last save at the end, failing
  // as well, would tell nothing more.
  FinishAfter(failure, !stateFailure);
}

void CrawlWalk::FinishAfter(const std::exception_ptr& failure, bool reportFinishFailure) {
  std::exception_ptr finishFailure;
  try {
    Finish();
  } catch (...) {
    finishFailure = std::current_exception();
  }
  Guarded([&failure] { std::rethrow_exception(failure); });
  if (finishFailure && reportFinishFailure)
    Guarded([&finishFailure] { std::rethrow_exception(finishFailure); });
}

// The walk ends whatever fails on the way: the commands return to idle and the owner is
// told, and the failures (closing the list, writing the progress file) are reported after.
void CrawlWalk::Finish() {
  StopTimers();
  std::exception_ptr closeFailure;
  try {
    source_->Close();
  } catch (...) {
    closeFailure = std::current_exception();
  }
  std::exception_ptr writeFailure;
  try {
    SavePosition(source_->Position());
  } catch (...) {
    writeFailure = std::current_exception();
  }
  walking_ = false;
  view_.ShowMessage(dropsInvalid_ ? texts::kFinished + std::string(" ") +
                                        texts::kInvalidDropped + std::to_string(PhonesDropped()) +
                                        texts::kInvalidDroppedUnit
                                  : std::string(texts::kFinished));
  view_.Repaint();
  view_.ShowCommandStates(kIdleStates);
  if (onFinished_) onFinished_();
  if (closeFailure && writeFailure) Guarded([&] { std::rethrow_exception(closeFailure); });
  if (writeFailure) std::rethrow_exception(writeFailure);
  if (closeFailure) std::rethrow_exception(closeFailure);
}

}  // namespace tolvarine
