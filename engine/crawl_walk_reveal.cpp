// The harvest of a page and its reveal steps: scrolling to the bottom and clicking "more"
// controls, the page harvested again after each step and its new rows added, then its
// links followed and the page ended; and the result lists as the pipeline's first sink.
#include <algorithm>
#include <exception>
#include <iterator>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/collation.h"
#include "engine/crawl_scope.h"
#include "engine/crawl_texts.h"
#include "engine/crawl_walk.h"
#include "engine/phone_extractor.h"

namespace tolvarine {

namespace {
// Clicks on one page at most.
constexpr int kMostClicks = 20;
}  // namespace

// The rows of the page keep its address as the browser reports it (after redirects, the
// address the site key is taken from) and the time of the harvest.
void CrawlWalk::Harvest(PageDocument& document, const std::string& location) {
  // Rows of a walk that follows links carry their page's depth.
  page_.source = {location, clock_.WallSeconds(), source_->FollowsLinks() ? address_.depth : -1};
  HarvestRows(document, location, page_);
  page_.record.final = location;
  if (!location.empty()) page_.record.site = HostOf(location);
}

void CrawlWalk::HarvestRows(PageDocument& document, const std::string& location,
                            PageResult& into) {
  if (settings_.Option(CrawlOption::SearchLinks)) {
    LinkRules rules;
    rules.onlySite = settings_.Option(CrawlOption::OnlySite);
    rules.filter = settings_.Option(CrawlOption::LinkFilter);
    rules.https = settings_.extra.https;
    if (rules.filter) {
      rules.mustContain = RuleLines(settings_.Rules(RuleList::MustContain));
      rules.mustNotContain = RuleLines(settings_.Rules(RuleList::MustNotContain));
    }
    harvester_.Harvest(location, document, rules, into.links);
    into.record.linksAll = document.LinksLength();
  }
  if (settings_.Option(CrawlOption::SearchPhones)) {
    const std::vector<std::string> prefixes =
        PrefixesFromText(settings_.Rules(RuleList::Prefixes));
    if (structured_) {
      for (FoundNumber& found : PageNumbersFound(document, prefixes, settings_.extra.formatted)) {
        into.phones.push_back(std::move(found.number));
        into.phonesFoundIn.push_back(found.foundIn);
      }
    } else {
      into.phones = PageNumbers(document, prefixes, settings_.extra.formatted);
    }
    into.record.phonesAll = static_cast<int>(into.phones.size());
  }
}

// The links go to the source after the numbers are taken; a site's error page (4xx, 5xx)
// is harvested but its links are not followed.
void CrawlWalk::FollowAndEnd(PageDocument* document, bool complete) {
  if (document != nullptr && page_.record.status < 400) source_->Follow(address_, *document);
  EndPage(complete ? PageOutcome::Harvested : PageOutcome::HarvestedEarly);
}

bool CrawlWalk::StartReveal(bool complete, const std::string& location) {
  if (!reveals_ || page_.record.status >= 400) return false;
  reveal_ = {};
  reveal_.scrollsLeft = std::clamp(settings_.extra.scroll, 0, kMaxScrolls);
  reveal_.clicksLeft = settings_.extra.clickMore ? kMostClicks : 0;
  reveal_.complete = complete;
  reveal_.location = location;
  return AskRevealStep();
}

// Scroll steps come first, then click steps.
bool CrawlWalk::AskRevealStep() {
  RevealStep step;
  if (reveal_.scrollsLeft > 0) {
    --reveal_.scrollsLeft;
    step.kind = RevealStep::Kind::Scroll;
  } else if (reveal_.clicksLeft > 0) {
    --reveal_.clicksLeft;
    step.kind = RevealStep::Kind::Click;
    step.texts = settings_.extra.clickTexts;
    if (step.texts.empty())
      step.texts.assign(std::begin(texts::kMoreTexts), std::end(texts::kMoreTexts));
  } else {
    return false;
  }
  reveal_.asked = step.kind;
  const PageState before = state_;
  state_ = PageState::Revealing;
  try {
    browser_.Reveal(step);
  } catch (...) {
    // A browser that cannot reveal: the page ends as it was harvested.
    state_ = before;
    return false;
  }
  return true;
}

void CrawlWalk::OnRevealed(const RevealAnswer& answer) {
  Guarded([&] {
    if (state_ != PageState::Revealing) return;
    ++revealAnswers_;
    EndingOnFailure([&] { RevealAnswered(answer); });
  });
}

void CrawlWalk::RevealAnswered(const RevealAnswer& answer) {
  const bool scroll = reveal_.asked == RevealStep::Kind::Scroll;
  if (answer.acted) ++(scroll ? page_.record.scrolls : page_.record.clicks);
  bool more = !stopRequested_;
  if (PageDocument* document = browser_.Document()) {
    try {
      MergeRevealed(*document);
    } catch (const std::exception&) {
      // The document can no longer be read: the page keeps what it has.
      more = false;
    }
  }
  // Scrolling stops once the page no longer grows; clicking once no control is left. A click
  // whose load of another address was stopped left the page as it stood: the next goes on.
  if (scroll && !answer.changed) reveal_.scrollsLeft = 0;
  if (!scroll && !answer.acted) reveal_.clicksLeft = 0;
  if (more && AskRevealStep()) return;
  EndReveal();
}

// A number is counted once a page: only numbers the page has not given yet are added, and
// they count as revealed. Links are added once a page too (ignoring letter case, as the
// harvester does).
void CrawlWalk::MergeRevealed(PageDocument& document) {
  PageResult found;
  HarvestRows(document, reveal_.location, found);
  if (settings_.Option(CrawlOption::SearchLinks)) {
    std::unordered_set<std::string> keys;
    for (const std::string& link : page_.links) keys.insert(UserCollator().SortKey(link));
    for (std::string& link : found.links)
      if (keys.insert(UserCollator().SortKey(link)).second) page_.links.push_back(std::move(link));
    page_.record.linksAll = found.record.linksAll;
  }
  std::unordered_set<std::string> known(page_.phones.begin(), page_.phones.end());
  for (std::size_t i = 0; i < found.phones.size(); ++i) {
    if (!known.insert(found.phones[i]).second) continue;
    page_.phones.push_back(found.phones[i]);
    if (i < found.phonesFoundIn.size()) page_.phonesFoundIn.push_back(found.phonesFoundIn[i]);
    ++page_.record.phonesRevealed;
    ++page_.record.phonesAll;
  }
}

// The pacing period counts from the page's end: the next address loads now.
void CrawlWalk::EndReveal() {
  state_ = PageState::None;
  FollowAndEnd(browser_.Document(), reveal_.complete);
  autosave_.SetEnabled(settings_.Option(CrawlOption::Autosave));
  pacing_.SetInterval(PacingPeriod());
  if (LoadAddressOrFinish()) pacing_.SetEnabled(true);
}

RowRules CrawlWalk::Rules() const {
  return {dropsInvalid_, settings_.Option(CrawlOption::Dedup), countsPlaces_};
}

namespace {

// Appends the rows to the list as found on the page; returns how many. With kinds, a new
// source run starts wherever the kind changes, so each row's source tells how it was found.
int AppendRows(ResultList& list, const std::vector<std::string>& rows, const RowSource& source,
               const std::vector<FoundIn>& kinds = {}) {
  if (rows.empty()) return 0;
  RowSource run = source;
  list.BeginSource(run);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i < kinds.size() && kinds[i] != run.foundIn) {
      run.foundIn = kinds[i];
      list.BeginSource(run);
    }
    list.Append(rows[i]);
  }
  list.EndSource();
  return static_cast<int>(rows.size());
}

}  // namespace

void CrawlWalk::ListSink::OnPage(const PageResult& page) {
  CrawlWalk& walk = walk_;
  if (const int added = AppendRows(walk.links_, page.links, page.source)) {
    walk.linksFound_ += added;
    walk.view_.ShowLinksFound(walk.linksFound_);
  }
  if (const int added = AppendRows(walk.phones_, page.phones, page.source, page.phonesFoundIn)) {
    walk.phonesFound_ += added;
    walk.view_.ShowPhonesFound(walk.phonesFound_);
  }
}

}  // namespace tolvarine
