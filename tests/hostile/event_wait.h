#pragma once
// Event-loop waits of the hostile-page tests.
#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace tolvarine::testing {

// Runs the event loop until pred holds (looked at every few milliseconds); false when the
// guard ran out first.
inline bool WaitFor(const std::function<bool()>& pred, int guardMs = 30000) {
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

}  // namespace tolvarine::testing
