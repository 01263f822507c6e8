// The walk's answers to "try later": pages set aside and tried again after a back-off or
// the server's Retry-After, hosts held back meanwhile, robots.txt asked again, and the
// Crawl-delay that spaces a host's requests.
#include <algorithm>
#include <string>
#include <utility>

#include "engine/crawl_scope.h"
#include "engine/crawl_texts.h"
#include "engine/crawl_walk.h"

namespace tolvarine {

namespace {
// A Retry-After longer than this gives the page up at once; a Crawl-delay longer counts as it.
constexpr int kLongestWaitMs = 60000;
constexpr int kFirstBackOffMs = 2000;
constexpr char kCrawlDelayCappedNote[] = "crawl-delay-capped";

// Answers a server gives when it is overloaded or asks for fewer requests.
bool HoldsHost(int status) { return status == 429 || status == 503; }
}  // namespace

bool TryLater(const LoadAnswer& answer) {
  const int s = answer.status;
  return s == 0 || s == 429 || s == 500 || s == 502 || s == 503 || s == 504;
}

bool RobotsUnanswered(int status) { return status == 0 || status == 429 || status >= 500; }

void CrawlWalk::OnLoadAnswered(FrameId frame, const LoadAnswer& answer) {
  Guarded([&] {
    if (state_ != PageState::Loading && state_ != PageState::LoadingSeen) return;
    if (rememberedFrame_ != 0 && frame != rememberedFrame_) return;
    page_.record.status = answer.status;
    // A note the record already has (a capped Crawl-delay) stays unless an error replaces it.
    if (!answer.error.empty()) page_.record.error = answer.error;
    retryAfterSeconds_ = answer.retryAfterSeconds;
    // Its body is the server's refusal, not the page: never harvested.
    if (TryLater(answer)) state_ = PageState::LoadFailed;
  });
}

int CrawlWalk::BackOffMs(int tries) {
  const int base = kFirstBackOffMs << std::clamp(tries, 0, 5);
  const int most = base / 4;
  const int jitter = environment_.retryJitterMs
                         ? environment_.retryJitterMs(most)
                         : static_cast<int>(jitter_() % static_cast<unsigned>(most + 1));
  return base + std::clamp(jitter, 0, most);
}

void CrawlWalk::RetryOrGiveUp() {
  const int status = page_.record.status;
  const int retryAfter = retryAfterSeconds_;
  retryAfterSeconds_ = -1;
  if (attempts_ >= settings_.extra.retries || retryAfter * 1000 > kLongestWaitMs) {
    state_ = PageState::Skipped;
    EndPage(PageOutcome::GaveUp);
    return;
  }
  const int delay = retryAfter >= 0 ? retryAfter * 1000 : BackOffMs(attempts_);
  ++attempts_;
  // The next attempt's answer is its own.
  page_.record.status = 0;
  page_.record.error.clear();
  SetAside(clock_.WallMilliseconds() + delay, HoldsHost(status));
}

void CrawlWalk::RetryRobotsOrRefuse(int status) {
  const std::string robots = std::exchange(robotsAsked_, {});
  int& tries = robotsTries_[robots];
  if (tries < settings_.extra.retries) {
    const int delay = BackOffMs(tries);
    ++tries;
    SetAside(clock_.WallMilliseconds() + delay, true);
    return;
  }
  filter_->AnswerRobots(robots, status, {});
  state_ = PageState::Skipped;
  EndPage(PageOutcome::RobotsUnavailable);
}

void CrawlWalk::SetAside(std::int64_t dueMs, bool holdHost) {
  const std::string host = HostOf(page_.record.listed);
  if (holdHost) gate_.Hold(host, dueMs);
  WaitingPage waiting{address_, page_, attempts_, dueMs, false};
  // A scheduler that keeps a queue keeps the page in it (and so in its saved state).
  waiting.kept = !source_->Requeue();
  waiting_.push_back(std::move(waiting));
  page_.record.line = 0;  // its record stays open in the waiting page
  state_ = PageState::Skipped;
}

bool CrawlWalk::StartDuePage() {
  const std::int64_t now = clock_.WallMilliseconds();
  for (auto it = waiting_.begin(); it != waiting_.end(); ++it) {
    if (!it->kept || it->dueMs > now || gate_.FreeAt(HostOf(it->page.record.listed)) > now)
      continue;
    address_ = it->address;
    page_ = std::move(it->page);
    attempts_ = it->attempts;
    waiting_.erase(it);
    ++reads_;
    rememberedFrame_ = 0;
    robotsAsked_.clear();
    return StartPage();
  }
  return false;
}

bool CrawlWalk::TakeBackWaiting() {
  auto it = std::find_if(waiting_.begin(), waiting_.end(), [this](const WaitingPage& w) {
    return !w.kept && w.address.text == address_.text && w.address.depth == address_.depth;
  });
  page_ = std::move(it->page);
  attempts_ = it->attempts;
  const std::int64_t due = it->dueMs;
  waiting_.erase(it);
  if (due > clock_.WallMilliseconds()) {
    SetAside(due, false);
    return false;
  }
  return StartPage();
}

int CrawlWalk::BeforeWaitingLines(int position) const {
  for (const WaitingPage& w : waiting_)
    if (w.kept) position = std::min(position, w.page.record.line - 1);
  return position;
}

void CrawlWalk::SpaceByCrawlDelay(const std::string& host) {
  const int delay = filter_->CrawlDelayMs(address_);
  if (delay <= 0) return;
  gate_.Space(host, std::min(delay, kLongestWaitMs));
  if (delay > kLongestWaitMs && cappedHosts_.insert(host).second) {
    view_.ShowMessage(texts::kCrawlDelayCapped + host);
    page_.record.error = kCrawlDelayCappedNote;
  }
}

}  // namespace tolvarine
