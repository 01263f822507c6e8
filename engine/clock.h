#pragma once
// The source of periodic ticks behind Timer (a QTimer-backed clock in the program, a
// virtual clock in tests), and of the wall time that results are stamped with.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace tolvarine {

// One periodic tick source. Start begins a fresh period of the given length (restarting
// one that runs); Stop ends it. Ticks come on the owner's thread, one per period.
class ClockTimer {
 public:
  virtual ~ClockTimer() = default;
  virtual void Start(int intervalMs) = 0;
  virtual void Stop() = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::unique_ptr<ClockTimer> CreateTimer(std::function<void()> onTick) = 0;
  // The wall time in seconds since 1970.
  virtual std::int64_t WallSeconds() const {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  }
  // The wall time in milliseconds since 1970.
  virtual std::int64_t WallMilliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  }
};

}  // namespace tolvarine
