#pragma once
// Small helpers for driving widgets in tests: pointer enter/leave, paint counting, and
// letting a shown window become exposed.
#include <QCoreApplication>
#include <QEnterEvent>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <QWindow>

namespace tolvarine::testing {

inline void SendEnter(QWidget* w) {
  QEnterEvent event(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
  QCoreApplication::sendEvent(w, &event);
}

inline void SendLeave(QWidget* w) {
  QEvent event(QEvent::Leave);
  QCoreApplication::sendEvent(w, &event);
}

// Shows a window and processes events until the platform has exposed it.
inline bool ShowExposed(QWidget* window) {
  window->show();
  for (int i = 0; i < 100; ++i) {
    if (window->windowHandle() && window->windowHandle()->isExposed()) return true;
    QCoreApplication::processEvents();
  }
  return window->windowHandle() && window->windowHandle()->isExposed();
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

}  // namespace tolvarine::testing
