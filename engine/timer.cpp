#include "engine/timer.h"

namespace tolvarine {

Timer::Timer(Clock& clock, int intervalMs, std::function<void()> onTimer)
    : tick_(clock.CreateTimer(std::move(onTimer))), interval_(intervalMs) {}

void Timer::SetInterval(int intervalMs) {
  if (intervalMs == interval_) return;
  interval_ = intervalMs;
  if (enabled_) tick_->Start(interval_);
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_)
    tick_->Start(interval_);
  else
    tick_->Stop();
}

}  // namespace tolvarine
