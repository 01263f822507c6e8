#pragma once
// Where a walk's addresses come from, and which of them it may load. The scheduler hands out
// the addresses and keeps the walk's place: with links not followed it is the URL list file,
// read line by line (ListSource); with links followed it is the crawl frontier
// (FrontierSource): the list's lines as starting points and the pages found below them. The
// request filter decides whether an address may be loaded (robots.txt) and whether a page
// that was loaded still belongs to its line (scope). The walk's owner builds both
// (MakeWalkSources) and hands them to the walk.
#include <memory>
#include <optional>
#include <string>

#include "engine/clock.h"
#include "engine/page_browser.h"
#include "engine/page_log.h"

namespace tolvarine {

struct SourcedAddress {
  std::string text;  // a list line as read, or a queued address
  int depth = 0;     // 0: the list's own line
  bool Discovered() const { return depth > 0; }
};

class AddressScheduler {
 public:
  virtual ~AddressScheduler() = default;

  // The list line read last, or whose pages are being walked (0: none yet).
  virtual int Position() const = 0;
  // Places the walk after line `position` (from a progress file or a resume line).
  virtual void SetPosition(int position) = 0;
  // Opens the list at its first line; the position stays as it is.
  virtual void Open(const std::string& listPath) = 0;
  // A walk from the list's first line, after Open: a scheduler that keeps state drops it.
  virtual void StartAfresh() {}
  // Moves past what an earlier walk has read, up to the position.
  virtual void SkipToPosition() = 0;
  // Closes the list; a failure is thrown.
  virtual void Close() = 0;
  // No address is left: the list is closed or at its end (and nothing is queued).
  virtual bool Exhausted() = 0;
  // Reads past the lines of other shards, counting them.
  virtual void SkipOtherShards() = 0;
  // The next address; counts the line when it comes from the list.
  virtual SourcedAddress Next() = 0;
  // The position a running walk saves: what a walk continued after a crash starts after.
  virtual int PositionToSave() const { return Position() > 0 ? Position() - 1 : 0; }
  // Whether pages below the list's lines are walked (their rows then carry their depth).
  virtual bool FollowsLinks() const { return false; }
  // Whether the scheduler keeps its own state with each page, so the walk saves its position
  // after every page, in the same step.
  virtual bool SavesWithEveryPage() const { return false; }
  // Whether the page handed out last, its load ended at `finalAddress` after redirects, is
  // one this walk has already seen under another address (a new one counts as seen from
  // then on). A duplicate is neither harvested nor followed.
  virtual bool Duplicate(const std::string& /*finalAddress*/) { return false; }
  // Addresses waiting to be walked, the one read last left out (0 with no queue).
  virtual long long Queued() { return 0; }
  // Once the pages of a line that the pages-per-line limit cut are all done: that line's
  // record (outcome Limit, links left unwalked in linksAll), given once a crawl; the next
  // Done makes that durable. None otherwise.
  virtual std::optional<PageRecord> TakeLineCut() { return std::nullopt; }
  // The page was harvested: its links may be queued (once it is done).
  virtual void Follow(const SourcedAddress& /*address*/, PageDocument& /*document*/) {}
  // The address read last is done with (loaded, given up, refused or no address): a
  // scheduler that keeps state saves the page's changes, or throws CrawlStateError.
  virtual void Done() {}
  // The address read last is to be tried again later, in place of Done: a scheduler that
  // keeps a queue puts it back at the queue's end (with the page's other changes) and hands
  // it out again; false: it keeps none, and the walk holds the address itself.
  virtual bool Requeue() { return false; }
  // The next file to fetch for the running line's sitemaps (its site's robots.txt first,
  // for its Sitemap lines), fetched before the line's next page; empty: none.
  virtual std::string SitemapToFetch() { return {}; }
  // The answer to that file (status 0: none came); the addresses it lists are queued at
  // once, or CrawlStateError is thrown.
  virtual void AnswerSitemap(const std::string& /*address*/, int /*status*/,
                             const std::string& /*bytes*/) {}
};

// Lets every address through; the filter of a walk that keeps to its list.
class RequestFilter {
 public:
  virtual ~RequestFilter() = default;
  // Before a discovered address is loaded: the robots.txt address to ask first, or empty.
  virtual std::string RobotsToAsk(const SourcedAddress& /*address*/) { return {}; }
  // The answer to it (HTTP status, 0 when none came; its body).
  virtual void AnswerRobots(const std::string& /*robotsAddress*/, int /*status*/,
                            const std::string& /*body*/) {}
  // Whether the address may be loaded.
  virtual bool Allowed(const SourcedAddress& /*address*/) { return true; }
  // Whether a refused address is refused because its site's robots.txt never answered.
  virtual bool RobotsUnavailable(const SourcedAddress& /*address*/) { return false; }
  // The Crawl-delay its site's robots.txt sets for the address's host, in ms (0: none).
  virtual int CrawlDelayMs(const SourcedAddress& /*address*/) { return 0; }
  // The clock robots.txt answers are dated by: one older than a day is asked again.
  virtual void UseClock(const Clock* /*clock*/) {}
  // Whether a loaded page, ended at `finalAddress`, is still within its line's scope.
  virtual bool InScope(const SourcedAddress& /*address*/, const std::string& /*finalAddress*/) {
    return true;
  }
};

// A walk's scheduler and its filter (which may be the scheduler itself, when robots answers
// and scope belong to the crawl's saved state; then `ownFilter` is empty).
struct WalkSources {
  std::unique_ptr<AddressScheduler> scheduler;
  std::unique_ptr<RequestFilter> ownFilter;
  RequestFilter* filter = nullptr;
};

}  // namespace tolvarine
