// The QTimer clock: repeating ticks, stop, a failure that escapes a tick, and a timer that
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

// Tick handlers guard themselves; a failure that escapes one is never swallowed.
TEST(QtClockTest, AFailureEscapingATickEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        QtClock clock;
        auto timer = clock.CreateTimer([] { throw Error("tick failed"); });
        timer->Start(5);
        RunEventsFor(2000);
      },
      "tick failed");
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
