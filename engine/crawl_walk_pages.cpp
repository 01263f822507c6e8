// The walk page by page: loading the next address, the timers' ticks, the browser's
// completion events and the harvest.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "base/errors.h"
#include "engine/crawl_scope.h"
#include "engine/crawl_texts.h"
#include "engine/crawl_walk.h"
#include "engine/list_address.h"
#include "engine/phone_extractor.h"

namespace tolvarine {

namespace {
constexpr int kWaitTicks = 30;
// The wait for a page to complete lasts kWaitTicks ticks and never less than that many
// at the fastest speed, so at a short pacing period the watchdog gives up a slow page
// before the wait would harvest it unloaded.
constexpr int kShortestWaitMs = kWaitTicks * kFastestSpeed * 1000;
// The watchdog waits 15 pacing periods for a page, and never less than this.
constexpr int kShortestWatchdogMs = 15 * kFastestSpeed * 1000;
// Addresses read a tick past those set aside before the walk waits for the next tick.
constexpr int kLookAhead = 8;

}  // namespace

bool CrawlWalk::ReadAddress() {
  address_ = source_->Next();
  ++reads_;
  const std::string& line = address_.text;
  if (source_->FollowsLinks()) view_.ShowQueued(source_->Queued());
  view_.ShowPosition(source_->Position());
  // Frame identities belong to one navigation: a page abandoned before its document
  // completed must not keep the next page from being marked complete.
  rememberedFrame_ = 0;
  robotsAsked_.clear();
  // A page set aside that the scheduler hands out again.
  if (std::any_of(waiting_.begin(), waiting_.end(), [this](const WaitingPage& w) {
        return !w.kept && w.address.text == address_.text && w.address.depth == address_.depth;
      }))
    return TakeBackWaiting();
  attempts_ = 0;
  const std::optional<std::string> address = AddressFromListLine(line);
  page_ = PageResult{};
  PageRecord& record = page_.record;
  record.line = source_->Position();
  record.depth = address_.depth;
  record.listed = address ? *address : line;
  record.site = HostOf(record.listed);
  record.startMs = clock_.WallMilliseconds();
  if (!address) {
    state_ = PageState::Skipped;
    EndPage(PageOutcome::NotAnAddress);
    view_.ShowMessage(texts::kNotAnAddress + line);
    return true;
  }
  return StartPage();
}

bool CrawlWalk::StartPage() {
  const std::string host = HostOf(page_.record.listed);
  const std::int64_t now = clock_.WallMilliseconds();
  const std::int64_t free = gate_.FreeAt(host);
  if (free > now) {
    SetAside(free, false);
    return false;
  }
  robotsAsked_ = filter_->RobotsToAsk(address_);
  if (!robotsAsked_.empty()) {
    // The page loads at a later tick, once the site's robots.txt has answered.
    state_ = PageState::AwaitingRobots;
    try {
      browser_.FetchText(robotsAsked_);
    } catch (...) {
      // No answer: the watchdog counts the site as unreachable.
    }
    return true;
  }
  LoadOrRefuse();
  return true;
}

bool CrawlWalk::LoadOrRefuse() {
  if (!filter_->Allowed(address_)) {
    state_ = PageState::Skipped;
    EndPage(filter_->RobotsUnavailable(address_) ? PageOutcome::RobotsUnavailable
                                                 : PageOutcome::Refused);
    return false;
  }
  const std::string host = HostOf(page_.record.listed);
  SpaceByCrawlDelay(host);
  const std::int64_t now = clock_.WallMilliseconds();
  if (const std::int64_t free = gate_.FreeAt(host); free > now) {
    SetAside(free, false);
    return false;
  }
  gate_.Requested(host, now);
  state_ = PageState::Loading;
  try {
    browser_.Navigate(page_.record.listed);
  } catch (...) {
    // A failed navigate is left to the watchdog.
  }
  return true;
}

void CrawlWalk::OnTextFetched(const std::string& address, int status, const std::string& body) {
  Guarded([&] {
    if (state_ != PageState::AwaitingRobots || address != robotsAsked_) return;
    if (RobotsUnanswered(status) && robotsTries_[address] < settings_.extra.retries) {
      robotsStatus_ = status;
      state_ = PageState::RobotsFailed;
      return;
    }
    filter_->AnswerRobots(address, status, body);
    state_ = PageState::RobotsAnswered;
  });
}

// A line the pages-per-line limit cut gets a record of its own once its pages are done.
void CrawlWalk::LogLineCut() {
  PageResult cut;
  if (std::optional<PageRecord> record = source_->TakeLineCut()) cut.record = std::move(*record);
  if (cut.record.line <= 0) return;
  cut.record.startMs = cut.record.endMs = clock_.WallMilliseconds();
  cut.record.reveals = reveals_;
  pipeline_.Run(cut, Rules());
  if (pageLog_) pageLog_->OnPage(cut.record);
  if (environment_.beforeSave) environment_.beforeSave();
  source_->Done();
}

// A page the walk holds comes first when due; then the scheduler's next addresses, a few a
// tick past those set aside. With only pages set aside left, the walk waits for them.
bool CrawlWalk::LoadAddressOrFinish() {
  if (!stopRequested_ && FetchSitemap()) return true;
  LogLineCut();
  if (!stopRequested_) {
    if (StartDuePage()) return true;
    for (int look = 0; look < kLookAhead; ++look) {
      source_->SkipOtherShards();
      if (source_->Exhausted()) break;
      if (ReadAddress()) return true;
    }
    if (!waiting_.empty() || !source_->Exhausted()) {
      state_ = PageState::Waiting;
      return true;
    }
  }
  Finish();
  return false;
}

void CrawlWalk::LoadNext() {
  EndingOnFailure([this] { LoadNextStep(); });
}

void CrawlWalk::LoadNextStep() {
  if (!LoadAddressOrFinish()) return;
  waitCounter_ = 0;
  waitedMs_ = 0;
  pacing_.SetEnabled(true);
  watchdog_.SetInterval(std::max(15 * PacingPeriod(), kShortestWatchdogMs));
}

bool CrawlWalk::WaitedLongEnough() const {
  return waitCounter_ >= kWaitTicks && waitedMs_ >= kShortestWaitMs;
}

void CrawlWalk::MoveOnWithoutHarvest() {
  state_ = PageState::None;
  pacing_.SetEnabled(false);
  pacing_.SetInterval(PacingPeriod());
  waitCounter_ = 0;
  waitedMs_ = 0;
  if (LoadAddressOrFinish()) pacing_.SetEnabled(true);
}

void CrawlWalk::PacingTick() {
  EndingOnFailure([this] { PacingStep(); });
}

void CrawlWalk::PacingStep() {
  // The page waits for its site's robots.txt, or the walk for a sitemap; the watchdog ends
  // a wait with no answer.
  // A reveal step's answer moves its page on.
  if (state_ == PageState::AwaitingRobots || state_ == PageState::AwaitingSitemap ||
      state_ == PageState::Revealing)
    return;
  if (state_ == PageState::SitemapAnswered) TakeSitemap();
  if (state_ == PageState::LoadFailed) RetryOrGiveUp();
  if (state_ == PageState::RobotsFailed) RetryRobotsOrRefuse(robotsStatus_);
  if (state_ == PageState::RobotsAnswered) {
    robotsAsked_.clear();
    // Loaded at this tick; refused, the walk moves on at once, as nothing was loaded.
    if (LoadOrRefuse()) return;
  }
  if (state_ == PageState::Skipped || state_ == PageState::Waiting) {
    // Nothing was loaded for that line: move on without harvesting the page before it.
    MoveOnWithoutHarvest();
    return;
  }
  if (state_ == PageState::Loading) state_ = PageState::LoadingSeen;
  const bool complete = state_ == PageState::Complete;
  PageDocument* document = browser_.Document();
  if (document == nullptr) return;
  const int periodWaited = pacing_.Interval();
  pacing_.SetEnabled(false);
  pacing_.SetInterval(PacingPeriod());
  if (!complete && !WaitedLongEnough()) {
    waitCounter_ = std::min(waitCounter_ + 1, kWaitTicks);
    waitedMs_ = std::min(waitedMs_ + periodWaited, kShortestWaitMs);
    pacing_.SetEnabled(true);
    return;
  }
  waitCounter_ = 0;
  waitedMs_ = 0;
  const std::string location = browser_.LocationURL();
  if (!filter_->InScope(address_, location)) {
    // A followed link whose page ended on another site: neither harvested nor followed.
    page_.record.final = location;
    page_.record.site = HostOf(location);
    EndPage(PageOutcome::LeftSite);
  } else if (source_->Duplicate(location)) {
    // A redirect to a page this walk has seen: neither harvested again nor followed.
    page_.record.final = location;
    EndPage(PageOutcome::Duplicate);
  } else {
    if (!complete) ++pagesHarvestedEarly_;
    Harvest(*document, location);
    // Revealing, the page ends and the next address loads when its last step is answered.
    if (StartReveal(complete, location)) return;
    FollowAndEnd(document, complete);
  }
  autosave_.SetEnabled(settings_.Option(CrawlOption::Autosave));
  if (LoadAddressOrFinish()) pacing_.SetEnabled(true);
}

void CrawlWalk::EndPage(PageOutcome outcome) {
  PageRecord& record = page_.record;
  if (record.line <= 0) return;
  record.outcome = outcome;
  record.endMs = clock_.WallMilliseconds();
  record.reveals = reveals_;
  record.site = HostShown(record.site);  // an international host in Unicode
  pipeline_.Run(page_, Rules());
  if (pageLog_) pageLog_->OnPage(record);
  record.line = 0;
  // The page counts as done in the saved state only once its rows are held.
  if (environment_.beforeSave) environment_.beforeSave();
  source_->Done();
  SavePageProgress();
}

// The position a crawl saves with every page belongs to its state, as the crawl store does:
// a walk that cannot keep it ends. A list walk that saves after every page (the command
// line) goes on without it, as a failed autosave does in the window; the failure is
// reported once here, and again by the save at the walk's end.
void CrawlWalk::SavePageProgress() {
  if (source_->SavesWithEveryPage()) {
    try {
      saveProgress_(source_->PositionToSave());
    } catch (const InOutError& e) {
      throw CrawlStateError(e.what());
    }
  } else if (environment_.saveEveryPage && !pageSaveFailed_) {
    try {
      // The page at the position has ended: its line is done.
      saveProgress_(Position());
    } catch (const Error&) {
      pageSaveFailed_ = true;
      const std::exception_ptr failure = std::current_exception();
      Guarded([&failure] { std::rethrow_exception(failure); });
    }
  }
}

void CrawlWalk::SavePosition(int position) {
  if (environment_.beforeSave) environment_.beforeSave();
  saveProgress_(BeforeWaitingLines(position));
}

void CrawlWalk::WatchdogTick() {
  EndingOnFailure([this] { WatchdogStep(); });
}

void CrawlWalk::WatchdogStep() {
  // A reveal step answered counts as progress, as a page read does.
  const bool revealed = revealAnswers_ != lastSeenRevealAnswers_;
  lastSeenRevealAnswers_ = revealAnswers_;
  if (reads_ == lastSeenReads_ && !revealed) {
    // No page went by in a whole watchdog period: give up on the one loading.
    if (state_ == PageState::AwaitingSitemap) {
      // A sitemap that never came is passed over.
      sitemapStatus_ = 0;
      sitemapBytes_.clear();
      TakeSitemap();
    } else if (walking_ && source_->Position() > 0) {
      if (state_ == PageState::AwaitingRobots) {
        // robots.txt never answered: tried again later, or its site counts as unreachable.
        RetryRobotsOrRefuse(0);
      } else if (state_ == PageState::Revealing) {
        // A step never answered: the page ends harvested with what it has.
        state_ = PageState::None;
        FollowAndEnd(browser_.Document(), reveal_.complete);
      } else if (state_ == PageState::Waiting) {
        // Only waiting for a page set aside: nothing to give up.
        lastSeenReads_ = reads_;
        return;
      } else {
        ++pagesAbandoned_;
        EndPage(PageOutcome::Abandoned);
      }
    }
    LoadNextStep();
  } else {
    lastSeenReads_ = reads_;
  }
}

void CrawlWalk::AutosaveTick() {
  autosave_.SetEnabled(false);
  SavePosition(source_->Position());
  autosave_.SetEnabled(settings_.Option(CrawlOption::Autosave));
}

// The page at the position is still loading (or its line waits for the next tick): the
// saved position is what a walk continued after a crash starts after, so it loads the page
// again (the list's line before it; a crawl's running line, whose queue keeps the page).
void CrawlWalk::PositionSaveTick() {
  if (!walking_) return;
  SavePosition(source_->PositionToSave());
}

void CrawlWalk::OnNavigateComplete(FrameId frame) {
  Guarded([this, frame] {
    if (rememberedFrame_ == 0) rememberedFrame_ = frame;
  });
}

void CrawlWalk::OnDocumentComplete(FrameId frame) {
  Guarded([this, frame] {
    if (frame != 0 && frame == rememberedFrame_) {
      const PageState before = state_;
      rememberedFrame_ = 0;
      // Only a page being loaded completes: a late event of the page before leaves a page
      // that waits for its robots.txt or was skipped as it is.
      if (before != PageState::Loading && before != PageState::LoadingSeen) return;
      state_ = PageState::Complete;
      // A whole period has gone by since the load: the tick it waits for is due now.
      if (environment_.harvestOnCompletion && before == PageState::LoadingSeen && walking_ &&
          pacing_.Enabled())
        PacingTick();
    }
  });
}

}  // namespace tolvarine
