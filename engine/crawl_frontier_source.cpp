#include "engine/crawl_frontier_source.h"

#include <algorithm>
#include <climits>
#include <string_view>
#include <utility>

#include "base/number_text.h"
#include "engine/crawl_frontier_store.h"
#include "engine/crawl_scope.h"
#include "engine/list_address.h"
#include "engine/state_file_names.h"
#include "engine/url_key.h"

namespace tolvarine {

namespace {
// Keys of the state file's own values.
constexpr char kListKey[] = "list";
constexpr char kLineKey[] = "line";
constexpr char kScopeKey[] = "scope";
constexpr char kLineAddressKey[] = "line address";
// The last line whose cut by the pages-per-line limit was told.
constexpr char kCutToldKey[] = "cut told";
constexpr char kRobotsKeyPrefix[] = "robots ";
constexpr char kRobotsFile[] = "/robots.txt";
// A stored robots.txt answer starts with this comment line: when it came, and "unavailable"
// when the file did not answer. Answers stored without it count as undated.
constexpr std::string_view kAnsweredTag = "# answered ";
constexpr std::string_view kUnavailableTag = " unavailable";
// An answer older than this is asked again.
constexpr std::int64_t kRobotsMaxAgeMs = 24LL * 3600 * 1000;

bool Unanswered(int status) { return status == 0 || status == 429 || status >= 500; }
}  // namespace

std::string CrawlStateName(bool sharded, int index, int count) {
  return StateFileNamesFor(sharded, index, count).crawlState;
}

FrontierSource::FrontierSource(std::string statePath, const FollowSettings& settings,
                               int shardIndex, int shardCount)
    : statePath_(std::move(statePath)),
      settings_(settings),
      shardIndex_(shardIndex),
      shardCount_(shardCount),
      list_(0, 1) {}

FrontierSource::~FrontierSource() = default;

void FrontierSource::Open(const std::string& listPath) {
  if (!sites_) sites_ = std::make_unique<RegistrableSites>();
  if (!store_) store_ = std::make_unique<CrawlFrontierStore>(statePath_, settings_.storeBusyMs);
  listPath_ = listPath;
  pendingLine_.reset();
  fromQueue_ = false;
  robots_.clear();
  links_.clear();
  robotsAnswers_.clear();
  finalAddress_.clear();
  PlanSitemaps({});
  list_.SetPosition(0);
  list_.Open(listPath);
}

void FrontierSource::StartAfresh() {
  store_->Reset();
  store_->SetValue(kListKey, listPath_);
  store_->Commit();
  position_ = 0;
  lineKey_.clear();
  lineAddress_.clear();
}

void FrontierSource::SkipToPosition() {
  const std::optional<std::string> list = store_->Value(kListKey);
  const std::optional<std::string> line = store_->Value(kLineKey);
  int running = -1;
  if (list && *list == listPath_ && line) running = TryStrToInt(*line).value_or(-1);
  if (running >= 0 && (running == position_ || running == position_ + 1)) {
    position_ = running;
    lineKey_ = store_->Value(kScopeKey).value_or("");
    lineAddress_ = store_->Value(kLineAddressKey).value_or("");
  } else {
    const int position = position_;
    StartAfresh();
    position_ = position;
  }
  list_.SetPosition(position_);
  list_.SkipToPosition();
  list_.SetPosition(position_);
}

void FrontierSource::Close() {
  pendingLine_.reset();
  list_.Close();
}

bool FrontierSource::Exhausted() {
  return !pendingLine_ && store_->Empty() && list_.Exhausted();
}

std::string FrontierSource::KeyOf(const std::string& address) const {
  return sites_->ScopeKey(settings_.scope, address);
}

bool FrontierSource::Ours(const std::string& line, int position) const {
  return ShardOfListLine(line, position, shardCount_, sites_.get(), settings_.scope) ==
         shardIndex_;
}

// The line's address as the queue holds it.
std::string FrontierSource::QueuedLineAddress(const std::string& address) {
  const std::string followable = FollowableAddress(address, true);
  return followable.empty() ? address : followable;
}

// A line whose address this crawl has seen (the line repeated, or a page an earlier line
// reached) is not walked again.
bool FrontierSource::Repeated(const std::string& line) {
  const std::optional<std::string> address = AddressFromListLine(line);
  return address && store_->Seen(QueuedLineAddress(*address));
}

void FrontierSource::SkipOtherShards() {
  if (pendingLine_ || !store_->Empty()) return;
  while (!list_.Exhausted()) {
    std::string line = list_.NextLine();
    if (Ours(line, list_.Position()) && !Repeated(line)) {
      pendingLine_ = std::move(line);
      pendingPosition_ = list_.Position();
      return;
    }
  }
}

void FrontierSource::RememberLine() {
  store_->SetValue(kLineKey, IntToStr(position_));
  store_->SetValue(kScopeKey, lineKey_);
  store_->SetValue(kLineAddressKey, lineAddress_);
}

SourcedAddress FrontierSource::Next() {
  if (std::optional<FrontierEntry> front = store_->Front()) {
    fromQueue_ = true;
    current_ = *front;
    loadingKey_ = AddressKey(front->address);
    return SourcedAddress{std::move(front->address), front->depth};
  }
  SkipOtherShards();
  std::string line = pendingLine_ ? std::move(*pendingLine_) : std::string();
  pendingLine_.reset();
  position_ = pendingPosition_;
  fromQueue_ = false;
  const std::optional<std::string> address = AddressFromListLine(line);
  lineKey_ = address ? KeyOf(*address) : std::string();
  lineAddress_ = address.value_or(std::string());
  RememberLine();
  loadingKey_.clear();
  if (address) {
    // The line's own address is loaded as listed; queued, it is never queued again from
    // a page of this crawl.
    const std::string queued = QueuedLineAddress(*address);
    loadingKey_ = AddressKey(queued);
    fromQueue_ =
        store_->Enqueue(FrontierEntry{queued, 0, position_, ""}, settings_.maxPagesPerLine);
  }
  PlanSitemaps(address ? QueuedLineAddress(*address) : std::string());
  // Queued again, the line's page comes back as the line itself (depth 0).
  current_ = FrontierEntry{address ? line : std::string(), 0, position_, ""};
  store_->Commit();
  return SourcedAddress{std::move(line), 0};
}

long long FrontierSource::Queued() {
  if (!store_) return 0;
  const long long queued = store_->QueuedCount() - (fromQueue_ ? 1 : 0);
  return queued > 0 ? queued : 0;
}

// A line ends when the queue is empty (its pages and the pages below them are done).
std::optional<PageRecord> FrontierSource::TakeLineCut() {
  if (!store_ || position_ <= 0 || lineKey_.empty() || !store_->Empty()) return std::nullopt;
  const std::string line = IntToStr(position_);
  if (store_->Value(kCutToldKey) == line) return std::nullopt;
  const long long cut = store_->CutCount(position_);
  if (cut == 0) return std::nullopt;
  store_->SetValue(kCutToldKey, line);
  PageRecord record;
  record.line = position_;
  record.listed = lineAddress_;
  record.site = HostOf(lineAddress_);
  record.outcome = PageOutcome::Limit;
  record.linksAll = static_cast<int>(std::min<long long>(cut, INT_MAX));
  return record;
}

std::string FrontierSource::RobotsToAsk(const SourcedAddress& address) {
  if (settings_.ignoreRobots || !address.Discovered()) return {};
  const std::string origin = AddressOrigin(address.text);
  if (origin.empty() || RulesFor(origin) != nullptr) return {};
  return origin + kRobotsFile;
}

const FrontierSource::KnownRobots* FrontierSource::RobotsFor(const std::string& origin) {
  auto known = robots_.find(origin);
  if (known == robots_.end()) {
    const std::optional<std::string> stored = store_->Value(kRobotsKeyPrefix + origin);
    if (!stored) return nullptr;
    KnownRobots robots{RobotsRules::Parse(*stored, kRobotsProductToken)};
    std::string_view text = *stored;
    if (text.starts_with(kAnsweredTag)) {
      text = text.substr(kAnsweredTag.size(), text.find('\n') - kAnsweredTag.size());
      robots.unavailable = text.ends_with(kUnavailableTag);
      if (robots.unavailable) text.remove_suffix(kUnavailableTag.size());
      robots.answeredMs = ParseDecimalAs<std::int64_t>(text).value_or(-1);
    }
    known = robots_.emplace(origin, std::move(robots)).first;
  }
  const std::int64_t answered = known->second.answeredMs;
  if (clock_ != nullptr && answered >= 0 && clock_->WallMilliseconds() - answered > kRobotsMaxAgeMs) {
    robots_.erase(known);
    return nullptr;
  }
  return &known->second;
}

const RobotsRules* FrontierSource::RulesFor(const std::string& origin) {
  const KnownRobots* robots = RobotsFor(origin);
  return robots ? &robots->rules : nullptr;
}

void FrontierSource::AnswerRobots(const std::string& robotsAddress, int status,
                                  const std::string& body) {
  std::string_view origin = robotsAddress;
  if (origin.ends_with(kRobotsFile)) origin.remove_suffix(std::string_view(kRobotsFile).size());
  KnownRobots robots{RobotsRules::FromAnswer(status, body, kRobotsProductToken),
                     clock_ ? clock_->WallMilliseconds() : -1, Unanswered(status)};
  const std::string key(origin);
  std::string stored;
  if (robots.answeredMs >= 0 || robots.unavailable) {
    stored = std::string(kAnsweredTag) + IntToStr(robots.answeredMs) +
             (robots.unavailable ? std::string(kUnavailableTag) : std::string()) + "\n";
  }
  robotsAnswers_.emplace_back(key, stored + robots.rules.Serialized());
  robots_.insert_or_assign(key, std::move(robots));
}

bool FrontierSource::RobotsUnavailable(const SourcedAddress& address) {
  if (settings_.ignoreRobots || !address.Discovered()) return false;
  const KnownRobots* robots = RobotsFor(AddressOrigin(address.text));
  return robots != nullptr && robots->unavailable;
}

int FrontierSource::CrawlDelayMs(const SourcedAddress& address) {
  if (settings_.ignoreRobots) return 0;
  const RobotsRules* rules = RulesFor(AddressOrigin(address.text));
  return rules ? rules->CrawlDelayMs() : 0;
}

bool FrontierSource::Allowed(const SourcedAddress& address) {
  if (settings_.ignoreRobots || !address.Discovered()) return true;
  const RobotsRules* rules = RulesFor(AddressOrigin(address.text));
  return rules == nullptr || rules->Allowed(AddressPathAndQuery(address.text));
}

bool FrontierSource::InScope(const SourcedAddress& address, const std::string& finalAddress) {
  if (!address.Discovered() || finalAddress.empty()) return true;
  return KeyOf(finalAddress) == lineKey_;
}

bool FrontierSource::Duplicate(const std::string& finalAddress) {
  if (finalAddress.empty()) return false;
  const std::string key = AddressKey(finalAddress);
  if (key == loadingKey_) return false;
  if (store_->Seen(finalAddress)) return true;
  finalAddress_ = finalAddress;
  return false;
}

void FrontierSource::Follow(const SourcedAddress& address, PageDocument& document) {
  if (address.depth >= settings_.depth || lineKey_.empty()) return;
  int count = 0;
  try {
    count = document.LinksLength();
  } catch (...) {
    return;  // a page without a link collection has nothing to follow
  }
  for (int i = 0; i < count; ++i) {
    const std::string link = FollowableAddress(document.LinkItem(i), settings_.https);
    if (link.empty() || KeyOf(link) != lineKey_) continue;
    links_.push_back(FrontierEntry{link, address.depth + 1, position_, address.text});
  }
}

bool FrontierSource::Requeue() {
  requeue_ = true;
  Done();
  return true;
}

// The page's changes are given up whatever happens: failed, they are rolled back, and the
// page stays at the queue's front for a walk continued later.
void FrontierSource::Done() {
  const std::vector<FrontierEntry> links = std::exchange(links_, {});
  const std::vector<std::pair<std::string, std::string>> robots =
      std::exchange(robotsAnswers_, {});
  const std::string finalAddress = std::exchange(finalAddress_, {});
  if (std::exchange(fromQueue_, false)) store_->PopFront();
  if (std::exchange(requeue_, false) && !current_.address.empty()) store_->Requeue(current_);
  if (!finalAddress.empty()) store_->MarkSeen(finalAddress);
  for (const FrontierEntry& link : links) store_->Enqueue(link, settings_.maxPagesPerLine);
  for (const auto& [origin, rules] : robots) store_->SetValue(kRobotsKeyPrefix + origin, rules);
  store_->Commit();
}

}  // namespace tolvarine
