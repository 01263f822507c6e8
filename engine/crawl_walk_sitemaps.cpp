// The walk's sitemap files: one asked for at a tick, before the next page, its answer
// handed to the source at the next.
#include <string>
#include <utility>

#include "engine/crawl_walk.h"

namespace tolvarine {

bool CrawlWalk::FetchSitemap() {
  sitemapAsked_ = source_->SitemapToFetch();
  if (sitemapAsked_.empty()) return false;
  ++reads_;
  state_ = PageState::AwaitingSitemap;
  try {
    browser_.FetchBytes(sitemapAsked_);
  } catch (...) {
    // Counted as no answer at the next tick.
    sitemapStatus_ = 0;
    sitemapBytes_.clear();
    state_ = PageState::SitemapAnswered;
  }
  return true;
}

void CrawlWalk::OnBytesFetched(const std::string& address, int status, const std::string& bytes) {
  Guarded([&] {
    if (state_ != PageState::AwaitingSitemap || address != sitemapAsked_) return;
    sitemapStatus_ = status;
    sitemapBytes_ = bytes;
    state_ = PageState::SitemapAnswered;
  });
}

void CrawlWalk::TakeSitemap() {
  state_ = PageState::Skipped;
  source_->AnswerSitemap(std::exchange(sitemapAsked_, {}), sitemapStatus_,
                         std::exchange(sitemapBytes_, {}));
}

}  // namespace tolvarine
