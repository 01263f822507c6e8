#pragma once
// A component-style timer: setting the interval it already has changes nothing; setting
// another restarts the period (when enabled); enabling a running timer changes nothing;
// disabling and enabling starts a fresh period. Initially disabled.
#include <functional>
#include <memory>

#include "engine/clock.h"

namespace tolvarine {

class Timer {
 public:
  Timer(Clock& clock, int intervalMs, std::function<void()> onTimer);
  void SetInterval(int intervalMs);
  int Interval() const { return interval_; }
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }

 private:
  std::unique_ptr<ClockTimer> tick_;
  int interval_;
  bool enabled_ = false;
};

}  // namespace tolvarine
