#pragma once
// Event-loop waits of the WebEngine tests (the pane's own tests and the hostile-page walk).
#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace tolvarine::testing {

// Generous upper bound for anything the tests wait for; only reached when a test fails.
inline constexpr int kGuardMs = 30000;

// Runs the event loop until pred holds; false when the guard ran out first. The loop waits
// for events the whole time (the condition is looked at every few milliseconds), so the
// browser's own tasks run at full speed meanwhile.
inline bool WaitUntil(const std::function<bool()>& pred, int guardMs = kGuardMs) {
  if (pred()) return true;
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    if (pred()) loop.quit();
  });
  check.start(5);
  QTimer::singleShot(guardMs, &loop, &QEventLoop::quit);
  loop.exec();
  return pred();
}

// Runs the event loop for a short, fixed while. Used only to show that something does NOT
// happen, never to wait for something that should.
inline void RunEventsFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace tolvarine::testing
