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

// Marks both result lists with the page being harvested, for as long as it lives.
class PageSource {
 public:
  PageSource(ResultList& links, ResultList& phones, const std::string& page, std::int64_t now,
             int depth)
      : links_(links), phones_(phones) {
    links_.BeginSource(page, now, depth);
    phones_.BeginSource(page, now, depth);
  }
  ~PageSource() {
    links_.EndSource();
    phones_.EndSource();
  }
  PageSource(const PageSource&) = delete;
  PageSource& operator=(const PageSource&) = delete;

 private:
  ResultList& links_;
  ResultList& phones_;
};
}  // namespace

void CrawlWalk::ReadAddress() {
  address_ = source_->Next();
  ++reads_;
  const std::string& line = address_.text;
  view_.ShowPosition(source_->Position());
  pageComplete_ = false;
  tickFoundLoading_ = false;
  // Frame identities belong to one navigation: a page abandoned before its document
  // completed must not keep the next page from being marked complete.
  rememberedFrame_ = 0;
  robotsAsked_.clear();
  robotsAnswered_ = false;
  const std::optional<std::string> address = AddressFromListLine(line);
  notAnAddress_ = !address;
  page_ = PageRecord{};
  page_.line = source_->Position();
  page_.depth = address_.depth;
  page_.listed = address ? *address : line;
  page_.site = HostOf(page_.listed);
  page_.startMs = clock_.WallMilliseconds();
  page_.places = countsPlaces_;
  if (!address) {
    EndPage(PageOutcome::NotAnAddress);
    view_.ShowMessage(texts::kNotAnAddress + line);
    return;
  }
  robotsAsked_ = source_->RobotsToAsk(address_);
  if (!robotsAsked_.empty()) {
    // The page loads at a later tick, once the site's robots.txt has answered.
    try {
      browser_.FetchText(robotsAsked_);
    } catch (...) {
      // No answer: the watchdog counts the site as unreachable.
    }
    return;
  }
  LoadOrRefuse();
}

bool CrawlWalk::LoadOrRefuse() {
  if (!source_->Allowed(address_)) {
    notAnAddress_ = true;
    EndPage(PageOutcome::Refused);
    return false;
  }
  try {
    browser_.Navigate(page_.listed);
  } catch (...) {
    // A failed navigate is left to the watchdog.
  }
  return true;
}

void CrawlWalk::OnTextFetched(const std::string& address, int status, const std::string& body) {
  Guarded([&] {
    if (robotsAsked_.empty() || robotsAnswered_ || address != robotsAsked_) return;
    source_->AnswerRobots(address, status, body);
    robotsAnswered_ = true;
  });
}

bool CrawlWalk::LoadAddressOrFinish() {
  if (!stopRequested_) source_->SkipOtherShards();
  if (!source_->Exhausted() && !stopRequested_) {
    ReadAddress();
    return true;
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
  notAnAddress_ = false;
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
  if (!robotsAsked_.empty()) {
    // The page waits for its site's robots.txt; the watchdog ends a wait with no answer.
    if (!robotsAnswered_) return;
    robotsAsked_.clear();
    robotsAnswered_ = false;
    // Loaded at this tick; refused, the walk moves on at once, as nothing was loaded.
    if (LoadOrRefuse()) return;
  }
  if (notAnAddress_) {
    // Nothing was loaded for that line: move on without harvesting the page before it.
    MoveOnWithoutHarvest();
    return;
  }
  if (!pageComplete_) tickFoundLoading_ = true;
  PageDocument* document = browser_.Document();
  if (document == nullptr) return;
  const int periodWaited = pacing_.Interval();
  pacing_.SetEnabled(false);
  pacing_.SetInterval(PacingPeriod());
  if (!pageComplete_ && !WaitedLongEnough()) {
    waitCounter_ = std::min(waitCounter_ + 1, kWaitTicks);
    waitedMs_ = std::min(waitedMs_ + periodWaited, kShortestWaitMs);
    pacing_.SetEnabled(true);
    return;
  }
  waitCounter_ = 0;
  waitedMs_ = 0;
  const std::string location = browser_.LocationURL();
  if (!source_->InScope(address_, location)) {
    // A followed link whose page ended on another site: neither harvested nor followed.
    page_.final = location;
    page_.site = HostOf(location);
    EndPage(PageOutcome::LeftSite);
  } else {
    if (!pageComplete_) ++pagesHarvestedEarly_;
    page_.outcome = pageComplete_ ? PageOutcome::Harvested : PageOutcome::HarvestedEarly;
    Harvest(*document, location);
  }
  autosave_.SetEnabled(settings_.Option(CrawlOption::Autosave));
  if (LoadAddressOrFinish()) pacing_.SetEnabled(true);
}

// The rows of the page keep its address as the browser reports it (after redirects, the
// address the site key is taken from) and the time of the harvest.
void CrawlWalk::Harvest(PageDocument& document, const std::string& location) {
  const int linksBefore = linksFound_, phonesBefore = phonesFound_;
  int phonesAll = 0;
  // Rows of a walk that follows links carry their page's depth.
  const PageSource source(links_, phones_, location, clock_.WallSeconds(),
                          source_->FollowsLinks() ? address_.depth : -1);
  if (settings_.Option(CrawlOption::SearchLinks)) {
    LinkRules rules;
    rules.onlySite = settings_.Option(CrawlOption::OnlySite);
    rules.filter = settings_.Option(CrawlOption::LinkFilter);
    rules.https = settings_.extra.https;
    if (rules.filter) {
      rules.mustContain = RuleLines(settings_.Rules(RuleList::MustContain));
      rules.mustNotContain = RuleLines(settings_.Rules(RuleList::MustNotContain));
    }
    harvester_.Harvest(location, document, rules, links_, [this] {
      ++linksFound_;
      view_.ShowLinksFound(linksFound_);
    });
    page_.linksAll = document.LinksLength();
  }
  if (settings_.Option(CrawlOption::SearchPhones)) {
    ExtractPagePhones(document, PrefixesFromText(settings_.Rules(RuleList::Prefixes)),
                      settings_.Option(CrawlOption::Dedup), phones_, [this] {
                        ++phonesFound_;
                        view_.ShowPhonesFound(phonesFound_);
                      },
                      settings_.extra.formatted, &phonesAll,
                      [this](std::string_view number) { return KeepNumber(number); });
  }
  // The links go to the source after the numbers are taken.
  source_->Follow(address_, document);
  page_.final = location;
  if (!location.empty()) page_.site = HostOf(location);
  page_.linksNew = linksFound_ - linksBefore;
  page_.phonesNew = phonesFound_ - phonesBefore;
  page_.phonesAll = phonesAll;
  CountPlaces(page_.phonesNew);
  EndPage(page_.outcome);
}

bool CrawlWalk::KeepNumber(std::string_view number) {
  if (!dropsInvalid_ || numbers_->Look(number).valid) return true;
  if (!settings_.Option(CrawlOption::Dedup) || droppedNumbers_.emplace(number).second)
    ++phonesDropped_;
  return false;
}

void CrawlWalk::CountPlaces(int newRows) {
  if (!page_.places || !pageLog_) return;
  for (int row = phones_.Count() - newRows; row < phones_.Count(); ++row)
    CountPlace(numbers_->Look(phones_.Row(row)), page_);
}

void CrawlWalk::EndPage(PageOutcome outcome) {
  if (page_.line <= 0) return;
  page_.outcome = outcome;
  page_.endMs = clock_.WallMilliseconds();
  if (pageLog_) pageLog_->OnPage(page_);
  page_.line = 0;
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
      saveProgress_(source_->Position());
    } catch (const Error&) {
      pageSaveFailed_ = true;
      const std::exception_ptr failure = std::current_exception();
      Guarded([&failure] { std::rethrow_exception(failure); });
    }
  }
}

void CrawlWalk::SavePosition(int position) {
  if (environment_.beforeSave) environment_.beforeSave();
  saveProgress_(position);
}

void CrawlWalk::WatchdogTick() {
  EndingOnFailure([this] { WatchdogStep(); });
}

void CrawlWalk::WatchdogStep() {
  if (reads_ == lastSeenReads_) {
    // No page went by in a whole watchdog period: give up on the one loading.
    if (walking_ && source_->Position() > 0) {
      if (!robotsAsked_.empty() && !robotsAnswered_) {
        // robots.txt never answered: its site counts as unreachable, so refused.
        source_->AnswerRobots(robotsAsked_, 0, {});
        robotsAsked_.clear();
        EndPage(PageOutcome::Refused);
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
      pageComplete_ = true;
      rememberedFrame_ = 0;
      // A whole period has gone by since the load: the tick it waits for is due now.
      if (environment_.harvestOnCompletion && tickFoundLoading_ && walking_ &&
          pacing_.Enabled())
        PacingTick();
    }
  });
}

}  // namespace tolvarine
