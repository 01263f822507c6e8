// The QTimer clock: repeating ticks, stop, failures kept inside the tick, and a timer that
// destroys itself from its own tick.
#include <gtest/gtest.h>

#include "base/errors.h"
#include "tests/ui_web/event_loop_wait.h"
#include "ui/clock/qt_clock.h"

namespace tolvarine::testing {
namespace {

TEST(QtClockTest, TicksRepeatUntilStopped) {
  QtClock clock;
  int ticks = 0;
  auto timer = clock.CreateTimer([&] { ++ticks; });
  RunEventsFor(50);
  EXPECT_EQ(ticks, 0);  // created stopped
  timer->Start(5);
  ASSERT_TRUE(WaitUntil([&] { return ticks >= 3; }));
  timer->Stop();
  const int stoppedAt = ticks;
  RunEventsFor(50);  // a stopped timer stays silent
  EXPECT_EQ(ticks, stoppedAt);
  timer->Start(5);  // and starts again
  ASSERT_TRUE(WaitUntil([&] { return ticks >= stoppedAt + 2; }));
}

TEST(QtClockTest, AFailingTickGoesToTheSinkAndTheTimerGoesOn) {
  std::vector<std::string> failures;
  QtClock clock([&](const std::string& message) { failures.push_back(message); });
  auto timer = clock.CreateTimer([] { throw Error("tick failed"); });
  timer->Start(5);
  ASSERT_TRUE(WaitUntil([&] { return failures.size() >= 2; }));
  EXPECT_EQ(failures[0], "tick failed");
}

TEST(QtClockTest, ATickMayDestroyItsOwnTimer) {
  QtClock clock;
  int ticks = 0;
  std::unique_ptr<ClockTimer> timer;
  timer = clock.CreateTimer([&] {
    ++ticks;
    timer.reset();
  });
  timer->Start(5);
  ASSERT_TRUE(WaitUntil([&] { return timer == nullptr; }));
  RunEventsFor(50);
  EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace tolvarine::testing
