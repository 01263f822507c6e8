#pragma once
// Adapters that run the crawl's timer ticks and browser events through the window's guard,
// so no failure of a tick or an event leaves its handler unreported.
#include <memory>

#include "base/guard.h"
#include "engine/clock.h"
#include "engine/page_browser.h"

namespace tolvarine {

// A clock whose timers call their handler inside RunGuarded.
class GuardedClock : public Clock {
 public:
  GuardedClock(Clock& inner, ErrorSink sink) : inner_(inner), sink_(std::move(sink)) {}
  std::unique_ptr<ClockTimer> CreateTimer(std::function<void()> onTick) override {
    return inner_.CreateTimer([sink = sink_, onTick = std::move(onTick)] {
      RunGuarded(sink, onTick);
    });
  }

 private:
  Clock& inner_;
  ErrorSink sink_;
};

// Forwards browser events to a listener inside RunGuarded.
class GuardedBrowserListener : public PageBrowserListener {
 public:
  GuardedBrowserListener(PageBrowserListener& inner, ErrorSink sink)
      : inner_(inner), sink_(std::move(sink)) {}
  void OnNavigateComplete(FrameId frame, const std::string& address) override {
    RunGuarded(sink_, [&] { inner_.OnNavigateComplete(frame, address); });
  }
  void OnDocumentComplete(FrameId frame, const std::string& address) override {
    RunGuarded(sink_, [&] { inner_.OnDocumentComplete(frame, address); });
  }

 private:
  PageBrowserListener& inner_;
  ErrorSink sink_;
};

}  // namespace tolvarine
