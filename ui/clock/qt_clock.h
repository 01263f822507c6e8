#pragma once
// The program's tick source: each ClockTimer is a repeating QTimer (Qt::PreciseTimer) on
// the thread that creates it. Tick handlers guard themselves (the crawl controller's timers
// do, and report failures to the error dialog); one that throws ends the program rather
// than have its failure cross the event loop or vanish.
#include <functional>
#include <memory>

#include "engine/clock.h"

namespace tolvarine {

class QtClock : public Clock {
 public:
  QtClock();
  ~QtClock() override;

  // The timer starts stopped. Start(ms) begins a fresh period, restarting a running one;
  // Stop ends it. The callback may destroy the timer that called it.
  std::unique_ptr<ClockTimer> CreateTimer(std::function<void()> onTick) override;
};

}  // namespace tolvarine
