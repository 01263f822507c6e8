#include "ui/clock/qt_clock.h"

#include <QTimer>
#include <algorithm>

namespace tolvarine {
namespace {

class QtClockTimer : public ClockTimer {
 public:
  explicit QtClockTimer(std::function<void()> onTick)
      : timer_(new QTimer), onTick_(std::move(onTick)) {
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setSingleShot(false);
    QObject::connect(timer_, &QTimer::timeout, timer_, [this] { Tick(); });
  }

  ~QtClockTimer() override {
    *alive_ = false;
    timer_->stop();
    QObject::disconnect(timer_, nullptr, nullptr, nullptr);
    // Destroyed from inside its own tick: the QTimer is still delivering that tick.
    if (ticking_)
      timer_->deleteLater();
    else
      delete timer_;
  }

  void Start(int intervalMs) override { timer_->start(std::max(intervalMs, 0)); }
  void Stop() override { timer_->stop(); }

 private:
  void Tick() noexcept {
    // The handler may destroy this timer: keep what the call needs on the stack.
    auto alive = alive_;
    auto onTick = onTick_;
    ticking_ = true;
    onTick();
    if (*alive) ticking_ = false;
  }

  QTimer* timer_;
  std::function<void()> onTick_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool ticking_ = false;
};

}  // namespace

QtClock::QtClock() = default;
QtClock::~QtClock() = default;

std::unique_ptr<ClockTimer> QtClock::CreateTimer(std::function<void()> onTick) {
  return std::make_unique<QtClockTimer>(std::move(onTick));
}

}  // namespace tolvarine
