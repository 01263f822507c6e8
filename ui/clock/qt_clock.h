#pragma once
// The program's tick source: each ClockTimer is a repeating QTimer (Qt::PreciseTimer) on
// the thread that creates it. A failure thrown by a tick handler goes to the error sink and
// never leaves the Qt event.
#include <functional>
#include <memory>

#include "base/guard.h"
#include "engine/clock.h"

namespace tolvarine {

class QtClock : public Clock {
 public:
  // An empty sink drops handler failures silently.
  explicit QtClock(ErrorSink sink = {});
  ~QtClock() override;

  // The timer starts stopped. Start(ms) begins a fresh period, restarting a running one;
  // Stop ends it. The callback may destroy the timer that called it.
  std::unique_ptr<ClockTimer> CreateTimer(std::function<void()> onTick) override;

 private:
  ErrorSink sink_;
};

}  // namespace tolvarine
