#pragma once
// A Clock on virtual time: nothing happens until the test advances it, and then every due
// tick and call fires in time order (equal times in the order they were scheduled), so a
// walk of many minutes runs at once and always the same way. Ticks may start and stop
// timers and schedule calls. The clock must outlive the timers it creates.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/clock.h"

namespace tolvarine::testing {

class VirtualClock : public Clock {
 public:
  VirtualClock();
  ~VirtualClock() override;

  std::unique_ptr<ClockTimer> CreateTimer(std::function<void()> onTick) override;
  // The wall time runs with the virtual time from a fixed start, so stamps are the same
  // in every run.
  static constexpr std::int64_t kWallStartSeconds = 1700000000;  // 2023-11-14 22:13:20 UTC
  std::int64_t WallSeconds() const override { return kWallStartSeconds + now_ / 1000; }
  std::int64_t WallMilliseconds() const override { return kWallStartSeconds * 1000 + now_; }

  // Runs fn once, delayMs from now.
  void CallAfter(std::int64_t delayMs, std::function<void()> fn);
  // Moves time forward, firing everything due up to and including the new time.
  void Advance(std::int64_t ms);
  void AdvanceTo(std::int64_t timeMs);
  std::int64_t Now() const { return now_; }
  // Number of timers currently running.
  int RunningTimers() const;

 private:
  class VirtualTimer;
  struct Call {
    std::int64_t due;
    std::uint64_t seq;
    std::function<void()> fn;
  };
  friend class VirtualTimer;

  std::int64_t now_ = 0;
  std::uint64_t nextSeq_ = 0;
  std::vector<VirtualTimer*> timers_;
  std::vector<Call> calls_;
};

}  // namespace tolvarine::testing
