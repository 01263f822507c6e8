#pragma once
// Makes a page show what it holds back until asked: one step at a time, it scrolls to the
// bottom (pages that load more on a scroll event or when an IntersectionObserver sees the
// end) or clicks one "more" control whose own text is on a list, then waits for the page
// to change. Scripts run in the application's isolated world, so nothing the page defines
// can change what they read or which elements they take for clicked.
//
// What a click may touch: a visible element whose own text (its text nodes, trimmed) is
// one of the list's, outside every form, no form control, and, inside a link, only a link
// that loads no other address (no href, "#..." or "javascript:..."). Each element is clicked
// at most once a document, unless its last click added elements to it (a "load more" control
// that stays): then it may be clicked again. A page whose scripts navigate anyway must be held by its owner
// (QWebEnginePage::acceptNavigationRequest); the step reports the page as it stands.
//
// Scrolled pages need rendering: a page in a hidden view runs no scroll events and no
// intersection checks. Its view must be shown, if need be off the screen
// (Qt::WA_DontShowOnScreen), at a desktop size.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWebEnginePage;

namespace tolvarine {

// The texts a click step looks for by default: the walk's own list.
QStringList DefaultMoreTexts();

class PageReveal : public QObject {
  Q_OBJECT

 public:
  struct Result {
    bool acted = false;    // scrolled (the page could move), or clicked an element
    bool changed = false;  // the page grew (scroll) or changed (click) within the wait
    QString clicked;       // the clicked element's text
  };
  using Done = std::function<void(const Result&)>;

  explicit PageReveal(QObject* parent = nullptr);

  // How often the page is asked whether it changed during a wait.
  static constexpr int kCheckMs = 100;
  // With a request count, a step after which the page asked for nothing (no script, no
  // fetch, no frame) and nothing in it moved for this long ends unchanged before its wait:
  // a page that loads more asks for it at once.
  static constexpr int kQuietMs = 400;
  // Where the requests the pages ask for are counted (none, or a count below 0: every step
  // waits its whole wait).
  void SetRequestCount(std::function<int()> count) { requestCount_ = std::move(count); }

  // Scrolls the page to its bottom, then waits up to waitMs for it to grow (more elements
  // or a taller document). A page already at its bottom (all of it in view) is done at
  // once with acted false. `done` comes once, from the event loop.
  void Scroll(QWebEnginePage* page, int waitMs, Done done);
  // Clicks the first element not clicked before whose own text is one of `texts`, then
  // waits up to waitMs for any change of the document. No such element: done at once with
  // acted false.
  void Click(QWebEnginePage* page, const QStringList& texts, int waitMs, Done done);
  // Drops the step under way: its `done` never comes.
  void Cancel();
  bool Busy() const { return static_cast<bool>(done_); }

 private:
  void Start(QWebEnginePage* page, const QString& script, int waitMs, Done done);
  void OnActed(const QVariant& answer);
  void Check();
  void Finish(bool changed);
  // No request asked for since the step began (false when requests are not counted).
  bool Quiet() const;

  QPointer<QWebEnginePage> page_;
  Done done_;
  Result result_;
  int waitMs_ = 0;
  int waitedMs_ = 0;
  bool answered_ = false;  // the step's own script has answered
  std::function<int()> requestCount_;
  int requestsAtStart_ = 0;
  int step_ = 0;  // tells a late answer of a cancelled step from the current one
  QTimer check_;
};

}  // namespace tolvarine
