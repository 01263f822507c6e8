#pragma once
// The addresses of a walk that follows links: each list line is a starting point at depth
// 0; the links of a page at depth d < the set depth, within the scope of the line they
// descend from, are queued at depth d + 1, breadth-first, each address once a crawl (by its
// AddressKey: a list line already seen is passed over, and a page redirected to one already
// seen is a duplicate). The
// queue, the addresses ever queued, the running line and the robots.txt answers live in
// the crawl's state file. A page's changes (its leaving the queue, the links it queued, the
// robots.txt answers it needed) are kept in memory until it is done and then committed
// together, so no transaction is open while a page loads, and a stop, a crash or another
// machine resumes the crawl where it was. A line's start commits on its own.
//
// Shards split the list by site (or host): a line belongs to the shard its scope key
// hashes to, so one site's pages stay in one shard and its frontier is local.
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/crawl_follow.h"
#include "engine/crawl_frontier_store.h"
#include "engine/crawl_list_source.h"
#include "engine/robots_rules.h"

namespace tolvarine {

class RegistrableSites;

class FrontierSource : public AddressScheduler, public RequestFilter {
 public:
  // `statePath`: the crawl's state file, opened at the walk's start. Its failures throw
  // CrawlStateError.
  FrontierSource(std::string statePath, const FollowSettings& settings, int shardIndex,
                 int shardCount);
  ~FrontierSource() override;

  int Position() const override { return position_; }
  void SetPosition(int position) override { position_ = position; }
  void Open(const std::string& listPath) override;
  // Empties the state file: a crawl from the list's first line.
  void StartAfresh() override;
  // Continues the crawl the state file holds when it belongs to this list and its running
  // line is the position or the one after it (a crash between the state and the progress
  // file); otherwise starts a new crawl after the position.
  void SkipToPosition() override;
  void Close() override;
  bool Exhausted() override;
  // Reads past the lines of other shards and the lines whose address this crawl has seen.
  void SkipOtherShards() override;
  SourcedAddress Next() override;
  int PositionToSave() const override { return position_; }
  bool SavesWithEveryPage() const override { return true; }
  bool FollowsLinks() const override { return true; }
  long long Queued() override;
  std::optional<PageRecord> TakeLineCut() override;

  std::string RobotsToAsk(const SourcedAddress& address) override;
  void AnswerRobots(const std::string& robotsAddress, int status,
                    const std::string& body) override;
  bool Allowed(const SourcedAddress& address) override;
  bool RobotsUnavailable(const SourcedAddress& address) override;
  int CrawlDelayMs(const SourcedAddress& address) override;
  void UseClock(const Clock* clock) override { clock_ = clock; }
  bool InScope(const SourcedAddress& address, const std::string& finalAddress) override;
  bool Duplicate(const std::string& finalAddress) override;
  // Keeps the page's links until it is done.
  void Follow(const SourcedAddress& address, PageDocument& document) override;
  // Commits the page's changes in one transaction.
  void Done() override;
  // Commits as Done does, with the page queued again at the end.
  bool Requeue() override;
  // With sitemaps on, a new line's site: its robots.txt (unless its answer is known or
  // robots are ignored), then the sitemaps it names or /sitemap.xml, then the sitemaps an
  // index names, at most kMostSitemapFiles files a line. Their pages are queued at depth 1
  // as links are. Kept in memory: a crawl continued later does not read them again.
  std::string SitemapToFetch() override;
  void AnswerSitemap(const std::string& address, int status, const std::string& bytes) override;
  static constexpr int kMostSitemapFiles = 50;

 private:
  // Whether list line `line` (its text) at `position` is this shard's.
  bool Ours(const std::string& line, int position) const;
  // The scope key of an address: its site or its host.
  std::string KeyOf(const std::string& address) const;
  // A robots.txt answer as known: its rules, when it came (ms since 1970; -1: not known)
  // and whether the file did not answer (the site is then refused).
  struct KnownRobots {
    RobotsRules rules;
    std::int64_t answeredMs = -1;
    bool unavailable = false;
  };
  // The answer for the origin, or none when it is not known or older than a day.
  const KnownRobots* RobotsFor(const std::string& origin);
  static std::string QueuedLineAddress(const std::string& address);
  bool Repeated(const std::string& line);
  const RobotsRules* RulesFor(const std::string& origin);
  void RememberLine();
  // The running line's sitemap files to fetch, from the start of the line at `address`.
  void PlanSitemaps(const std::string& address);
  // Adds the sitemap addresses named (relative ones from the line's origin) not added
  // before for the line; returns whether one was.
  bool AddSitemaps(const std::vector<std::string>& named);
  // Queues a sitemap's pages within the line's scope.
  void QueueSitemapPages(const std::string& sitemap, const std::vector<std::string>& pages);

  std::string statePath_;
  FollowSettings settings_;
  int shardIndex_;
  int shardCount_;
  std::unique_ptr<RegistrableSites> sites_;
  std::unique_ptr<CrawlFrontierStore> store_;
  ListSource list_;
  std::string listPath_;
  int position_ = 0;
  // The list line read ahead by SkipOtherShards (this shard's next), and its number.
  std::optional<std::string> pendingLine_;
  int pendingPosition_ = 0;
  // The scope key of the running line, and its address.
  std::string lineKey_;
  std::string lineAddress_;
  // The address handed out last came from the queue's front (and leaves it when done).
  bool fromQueue_ = false;
  std::map<std::string, KnownRobots> robots_;
  const Clock* clock_ = nullptr;
  // The address handed out last, for Requeue.
  FrontierEntry current_;
  // Done puts the page back at the queue's end.
  bool requeue_ = false;
  // The key of the address handed out last.
  std::string loadingKey_;
  // Where the page in hand ended after a redirect to an address not seen before: seen
  // once the page is done.
  std::string finalAddress_;
  // The changes of the page in hand, committed when it is done: the links it found (queued
  // in order, each subject to the seen-set and the line's limit) and the robots.txt
  // answers (origin, serialized rules).
  std::vector<FrontierEntry> links_;
  std::vector<std::pair<std::string, std::string>> robotsAnswers_;
  // The running line's sitemap files to fetch, in order, the ones ever added for it, the
  // files fetched so far, the robots.txt asked for its Sitemap lines (empty: none), and
  // the line's origin, which relative sitemap addresses are read from.
  std::deque<std::string> sitemaps_;
  std::set<std::string> sitemapsAdded_;
  int sitemapFiles_ = 0;
  std::string sitemapRobots_;
  std::string sitemapOrigin_;
};

}  // namespace tolvarine
