// A crawl's sitemaps: the files each line's site lists its pages in, read before the
// line's pages below its own, and the pages they list queued as links are.
#include <string>
#include <utility>
#include <vector>

#include "engine/crawl_frontier_source.h"
#include "engine/crawl_scope.h"
#include "engine/sitemap_reader.h"

namespace tolvarine {

namespace {
constexpr char kRobotsFile[] = "/robots.txt";
constexpr char kSitemapFile[] = "/sitemap.xml";

// robots.txt gave no answer to go by: the walk asks for it again when a page needs it.
bool NoAnswer(int status) { return status == 0 || status == 429 || status >= 500; }
}  // namespace

void FrontierSource::PlanSitemaps(const std::string& address) {
  sitemaps_.clear();
  sitemapsAdded_.clear();
  sitemapFiles_ = 0;
  sitemapRobots_.clear();
  sitemapOrigin_.clear();
  if (!settings_.sitemaps || lineKey_.empty()) return;
  const std::string origin = AddressOrigin(address);
  if (origin.empty()) return;
  sitemapOrigin_ = origin;
  const KnownRobots* robots = settings_.ignoreRobots ? nullptr : RobotsFor(origin);
  if (settings_.ignoreRobots || robots != nullptr) {
    // A site whose robots.txt did not answer is refused: nothing of it is fetched.
    if (robots != nullptr && robots->unavailable) return;
    if (robots == nullptr || !AddSitemaps(robots->rules.Sitemaps())) AddSitemaps({kSitemapFile});
    return;
  }
  sitemapRobots_ = origin + kRobotsFile;
  sitemaps_.push_back(sitemapRobots_);
}

bool FrontierSource::AddSitemaps(const std::vector<std::string>& named) {
  bool added = false;
  for (const std::string& name : named) {
    std::string address = name.starts_with('/') ? sitemapOrigin_ + name : name;
    if (AddressOrigin(address).empty() || !sitemapsAdded_.insert(address).second) continue;
    sitemaps_.push_back(std::move(address));
    added = true;
  }
  return added;
}

std::string FrontierSource::SitemapToFetch() {
  if (sitemapFiles_ >= kMostSitemapFiles) sitemaps_.clear();
  return sitemaps_.empty() ? std::string() : sitemaps_.front();
}

void FrontierSource::AnswerSitemap(const std::string& address, int status,
                                   const std::string& bytes) {
  if (sitemaps_.empty() || sitemaps_.front() != address) return;
  sitemaps_.pop_front();
  if (address == sitemapRobots_) {
    sitemapRobots_.clear();
    bool named = false;
    if (!NoAnswer(status)) {
      // Kept as the site's robots.txt answer, so its pages need not ask for it again.
      AnswerRobots(address, status, bytes);
      named = AddSitemaps(robots_.at(sitemapOrigin_).rules.Sitemaps());
    }
    if (!named) AddSitemaps({kSitemapFile});
    Done();
    return;
  }
  ++sitemapFiles_;
  // A sitemap that does not come is passed over.
  if (status < 200 || status >= 300) return;
  const SitemapContents contents = ReadSitemap(bytes);
  AddSitemaps(contents.sitemaps);
  QueueSitemapPages(address, contents.pages);
}

void FrontierSource::QueueSitemapPages(const std::string& sitemap,
                                       const std::vector<std::string>& pages) {
  for (const std::string& page : pages) {
    const std::string link = FollowableAddress(page, settings_.https);
    if (link.empty() || KeyOf(link) != lineKey_) continue;
    links_.push_back(FrontierEntry{link, 1, position_, sitemap});
  }
  Done();
}

}  // namespace tolvarine
