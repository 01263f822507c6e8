// The running walk: loading the next address, the three timers' handlers, finishing, and
// the browser's completion events.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <string>

#include "base/errors.h"
#include "engine/crawl_controller.h"
#include "engine/crawl_state.h"
#include "engine/crawl_texts.h"
#include "engine/phone_extractor.h"

namespace tolvarine {

namespace {
constexpr int kWaitTicks = 30;
// The watchdog waits 15 pacing periods for a page, and never less than this.
constexpr int kShortestWatchdogMs = 15000;

// Reads and loads the next address, or finishes the walk at the end of the list or after
// Stop; returns whether an address was loaded. A list file that can no longer be read ends
// the walk as its end would (the position stays at the last address read, so Continue can
// pick up from there), and the read failure is reported once it has ended. Left running,
// every watchdog tick would retry the broken reader and report it again, and the walk
// would never end.
bool LoadAddressOrFinish(CrawlController& crawl, CrawlController::State& s) {
  std::exception_ptr readFailure;
  try {
    s.SkipOtherShards();
    if (!s.ListDone()) {
      s.ReadAddress();
      return true;
    }
  } catch (const InOutError&) {
    readFailure = std::current_exception();
  }
  if (!readFailure) {
    crawl.Finish();
    return false;
  }
  std::exception_ptr finishFailure;
  try {
    crawl.Finish();
  } catch (...) {
    finishFailure = std::current_exception();
  }
  s.Guarded([&readFailure] { std::rethrow_exception(readFailure); });
  if (finishFailure) s.Guarded([&finishFailure] { std::rethrow_exception(finishFailure); });
  return false;
}

// Marks both result lists with the page being harvested, for as long as it lives.
class PageSource {
 public:
  PageSource(CrawlController::State& s, const std::string& page) : s_(s) {
    const std::int64_t now = s.clock.WallSeconds();
    s.links.BeginSource(page, now);
    s.phones.BeginSource(page, now);
  }
  ~PageSource() {
    s_.links.EndSource();
    s_.phones.EndSource();
  }
  PageSource(const PageSource&) = delete;
  PageSource& operator=(const PageSource&) = delete;

 private:
  CrawlController::State& s_;
};
}  // namespace

void CrawlController::LoadNext() {
  State& s = *s_;
  if (!LoadAddressOrFinish(*this, s)) return;
  s.waitCounter = 0;
  s.pacing.SetEnabled(true);
  s.watchdog.SetInterval(std::max(15 * s.PacingPeriod(), kShortestWatchdogMs));
}

void CrawlController::PacingTick() {
  State& s = *s_;
  if (s.notAnAddress) {
    // Nothing was loaded for that line: move on without harvesting the page before it.
    s.notAnAddress = false;
    s.pacing.SetEnabled(false);
    s.pacing.SetInterval(s.PacingPeriod());
    s.waitCounter = 0;
    if (LoadAddressOrFinish(*this, s)) s.pacing.SetEnabled(true);
    return;
  }
  if (!s.pageComplete) s.tickFoundLoading = true;
  PageDocument* document = s.browser.Document();
  if (document == nullptr) return;
  s.pacing.SetEnabled(false);
  s.pacing.SetInterval(s.PacingPeriod());
  if (!s.pageComplete && s.waitCounter < kWaitTicks) {
    ++s.waitCounter;
    s.pacing.SetEnabled(true);
    return;
  }
  s.waitCounter = 0;

  // The rows of this page keep its address as the browser reports it (after redirects,
  // the address the site key is taken from) and the time of the harvest.
  const std::string location = s.browser.LocationURL();
  const PageSource source(s, location);
  const CrawlSettings& settings = s.settings;
  if (settings.Option(CrawlOption::SearchLinks)) {
    LinkRules rules;
    rules.onlySite = settings.Option(CrawlOption::OnlySite);
    rules.filter = settings.Option(CrawlOption::LinkFilter);
    rules.https = settings.extra.https;
    if (rules.filter) {
      rules.mustContain = RuleLines(settings.Rules(RuleList::MustContain));
      rules.mustNotContain = RuleLines(settings.Rules(RuleList::MustNotContain));
    }
    s.harvester.Harvest(location, *document, rules, s.links, [&s] {
      ++s.linksFound;
      s.view.ShowLinksFound(s.linksFound);
    });
  }
  if (settings.Option(CrawlOption::SearchPhones)) {
    ExtractPagePhones(*document, PrefixesFromText(settings.Rules(RuleList::Prefixes)),
                      settings.Option(CrawlOption::Dedup), s.phones, [&s] {
                        ++s.phonesFound;
                        s.view.ShowPhonesFound(s.phonesFound);
                      },
                      settings.extra.formatted);
  }

  s.autosave.SetEnabled(settings.Option(CrawlOption::Autosave));
  if (LoadAddressOrFinish(*this, s)) s.pacing.SetEnabled(true);
}

void CrawlController::WatchdogTick() {
  State& s = *s_;
  if (s.position == s.lastSeenPosition) {
    // No page went by in a whole watchdog period: give up on the one loading.
    if (s.walking && s.position > 0) ++s.pagesAbandoned;
    LoadNext();
  } else {
    s.lastSeenPosition = s.position;
  }
}

void CrawlController::AutosaveTick() {
  State& s = *s_;
  s.autosave.SetEnabled(false);
  WriteProgress();
  s.autosave.SetEnabled(s.settings.Option(CrawlOption::Autosave));
}

// The page at the position is still loading (or its line waits for the next tick): the
// saved position is the line before it, so a walk continued after a crash loads it again.
void CrawlController::PositionSaveTick() {
  State& s = *s_;
  if (!s.walking) return;
  s.files.Write(s.settings, std::max(s.position - 1, 0), s.total);
}

// The walk ends whatever fails on the way: the commands return to idle and the owner is
// told, and the failures (closing the list, writing the progress file) are reported after.
void CrawlController::Finish() {
  State& s = *s_;
  s.StopTimers();
  std::exception_ptr closeFailure;
  try {
    s.CloseReader();
  } catch (...) {
    closeFailure = std::current_exception();
  }
  std::exception_ptr writeFailure;
  try {
    WriteProgress();
  } catch (...) {
    writeFailure = std::current_exception();
  }
  s.walking = false;
  s.view.ShowMessage(texts::kFinished);
  s.view.Repaint();
  s.view.ShowCommandStates(kIdleStates);
  if (s.onFinished) s.onFinished();
  if (closeFailure && writeFailure) s.Guarded([&] { std::rethrow_exception(closeFailure); });
  if (writeFailure) std::rethrow_exception(writeFailure);
  if (closeFailure) std::rethrow_exception(closeFailure);
}

void CrawlController::OnNavigateComplete(FrameId frame, const std::string& /*address*/) {
  State& s = *s_;
  s.Guarded([&s, frame] {
    if (s.rememberedFrame == 0) s.rememberedFrame = frame;
  });
}

void CrawlController::OnDocumentComplete(FrameId frame, const std::string& /*address*/) {
  State& s = *s_;
  s.Guarded([this, &s, frame] {
    if (frame != 0 && frame == s.rememberedFrame) {
      s.pageComplete = true;
      s.rememberedFrame = 0;
      // A whole period has gone by since the load: the tick it waits for is due now.
      if (s.environment.harvestOnCompletion && s.tickFoundLoading && s.walking &&
          s.pacing.Enabled())
        PacingTick();
    }
  });
}

}  // namespace tolvarine
