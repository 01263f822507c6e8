#include "tests/support/virtual_clock.h"

#include <algorithm>
#include <limits>

namespace tolvarine::testing {

class VirtualClock::VirtualTimer : public ClockTimer {
 public:
  VirtualTimer(VirtualClock& clock, std::function<void()> onTick)
      : clock_(clock), onTick_(std::move(onTick)) {
    clock_.timers_.push_back(this);
  }
  ~VirtualTimer() override {
    auto& timers = clock_.timers_;
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
  }
  void Start(int intervalMs) override {
    interval_ = std::max(intervalMs, 1);
    running_ = true;
    due_ = clock_.now_ + interval_;
    seq_ = clock_.nextSeq_++;
  }
  void Stop() override { running_ = false; }

  VirtualClock& clock_;
  std::function<void()> onTick_;
  bool running_ = false;
  int interval_ = 1;
  std::int64_t due_ = 0;
  std::uint64_t seq_ = 0;
};

VirtualClock::VirtualClock() = default;
VirtualClock::~VirtualClock() = default;

std::unique_ptr<ClockTimer> VirtualClock::CreateTimer(std::function<void()> onTick) {
  return std::make_unique<VirtualTimer>(*this, std::move(onTick));
}

void VirtualClock::CallAfter(std::int64_t delayMs, std::function<void()> fn) {
  calls_.push_back({now_ + std::max<std::int64_t>(delayMs, 0), nextSeq_++, std::move(fn)});
}

void VirtualClock::Advance(std::int64_t ms) { AdvanceTo(now_ + ms); }

void VirtualClock::AdvanceTo(std::int64_t timeMs) {
  for (;;) {
    std::int64_t bestDue = std::numeric_limits<std::int64_t>::max();
    std::uint64_t bestSeq = std::numeric_limits<std::uint64_t>::max();
    VirtualTimer* bestTimer = nullptr;
    std::size_t bestCall = calls_.size();
    for (VirtualTimer* t : timers_) {
      if (t->running_ && (t->due_ < bestDue || (t->due_ == bestDue && t->seq_ < bestSeq))) {
        bestDue = t->due_;
        bestSeq = t->seq_;
        bestTimer = t;
      }
    }
    for (std::size_t i = 0; i < calls_.size(); ++i) {
      const Call& c = calls_[i];
      if (c.due < bestDue || (c.due == bestDue && c.seq < bestSeq)) {
        bestDue = c.due;
        bestSeq = c.seq;
        bestTimer = nullptr;
        bestCall = i;
      }
    }
    if (bestDue > timeMs) break;
    now_ = bestDue;
    if (bestTimer != nullptr) {
      // The next period is booked before the tick runs, so the tick may restart or stop it.
      bestTimer->due_ += bestTimer->interval_;
      bestTimer->seq_ = nextSeq_++;
      std::function<void()> tick = bestTimer->onTick_;
      tick();
    } else {
      std::function<void()> fn = std::move(calls_[bestCall].fn);
      calls_.erase(calls_.begin() + static_cast<std::ptrdiff_t>(bestCall));
      fn();
    }
  }
  now_ = std::max(now_, timeMs);
}

int VirtualClock::RunningTimers() const {
  return static_cast<int>(
      std::count_if(timers_.begin(), timers_.end(), [](const VirtualTimer* t) { return t->running_; }));
}

}  // namespace tolvarine::testing
