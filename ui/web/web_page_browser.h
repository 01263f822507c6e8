#pragma once
// The page browser on Qt WebEngine: a QWebEngineView pane (the main window's lower pane)
// behind the engine's PageBrowser interface.
//
// Events, for top-level documents only (frames inside the page raise nothing): once a
// top-level load has finished (LoadSucceededStatus, or LoadFailedStatus with an error page
// or the server's error document shown) and the snapshot of the new document has been
// taken, OnNavigateComplete(frame, address) and then OnDocumentComplete(frame, address) are
// raised back to back, with a fresh FrameId for each load and the final address (after
// redirects), percent-encoded as the browser serialises it (so every character survives the
// conversion to GBK). The listener guards its own handlers (the crawl controller does): the
// pane calls it outside its guard, and a listener that throws ends the program. Raising navigate-complete only together with its document-complete means a
// load that never finishes leaves no frame behind that the crawl would wait on for ever.
// Each completed load first raises OnLoadAnswered(frame, answer): the HTTP status (200 for
// any success), or status 0 and the network error's name; for a 429 or 503 the pane asks the
// address again with a HEAD request for its Retry-After (WebEngine gives no headers), and
// the completion waits for that answer (at most RetryAfterProbe::kTimeoutMs). A failed load
// that leaves no document to read raises OnLoadAnswered alone.
// A load that leaves no new document (stopped, or turned into a refused download), a load
// replaced by a later Navigate, and a load whose renderer died raise nothing else; the
// crawl's watchdog moves on from those. A Navigate while a load is still running (or its snapshot
// has not come back) moves to a fresh page, so no signal of the replaced load can be taken
// for the new one and a renderer stuck in a script is left behind. Events come from the
// event loop, never from inside Navigate.
//
// Document() reads the pane's copy of the page: links (absolute, as the page serialises
// them: percent-encoded), the body's outer text and outer markup, converted to GBK. From a
// Navigate until that load has produced its document there is none (nullptr), on a fresh
// page as on a reused one, so a load that never completes is never read as the page before. A document without a body (an SVG image, say) gives a
// document whose reads throw. The copy is first taken, with one script call, when the
// top-level load has finished, and is kept up to date while the page changes after that
// (content set by timers, fetched by scripts, appended over time): the same call starts a
// MutationObserver, and the pane asks the page every kRefreshMs whether anything changed,
// copying it again only when it did. A copy of a large page takes longer, so the next
// question waits max(kRefreshMs, kCostFactor x what the last read took): on a page that
// never stops changing a read is under way at most a tenth of the time, however large the
// page. The first question after a load comes kRefreshMs after it (the load-end read also
// paid for the page's first layout). Only one question is ever outstanding; a page whose
// scripts never yield leaves the copy as it was. So at any moment the copy shows the page
// as it stood at most max(kRefreshMs, kCostFactor x c) + 2c ago, c being what one read
// takes: under 250 ms while c stays under 20 ms (pages up to a few hundred kilobytes on an
// idle machine), about 11 x c beyond (seconds for a page of megabytes that keeps changing).
// Changes the DOM does not see (style sheet rules edited through CSSOM, content inside
// shadow roots) wait for the next DOM change. While a load the page started on its own runs
// the copy of the last document stays and is not refreshed.
//
// Reveal runs one PageReveal step on the current document. While it runs, loads of another
// address the page starts itself are refused (the answer says so), and once its wait is
// over a fresh copy is taken before OnRevealed is raised, from the event loop. A Reveal
// with no document, during a load or during another step answers acted=false; a Navigate
// drops the step under way (no answer comes); a renderer that dies during a step answers
// acted=false. A page in a hidden view runs no scroll events and no intersection checks, so
// a Reveal first makes sure the view renders: a pane whose window is hidden (a pane never
// shown, a window hidden to the tray) has its window shown off the screen
// (Qt::WA_DontShowOnScreen), a pane never shown at a desktop size. Whoever shows the window
// again clears that attribute first (hide, clear, show).
//
// The pane is locked down so that no page can stop a walk: an off-the-record profile, page
// dialogs answered at once without showing anything, no new windows, no downloads, every
// permission request denied, and a fresh page after a renderer crash. By default every
// navigation also gets a fresh page (recycleEvery = 1), so nothing one page leaves behind
// (a script that never ends and the renderer stuck in it, memory it holds) reaches the next
// address; that costs a new renderer process per page, a fraction of a second, well inside
// the window's pacing period but most of a short one. A larger recycleEvery reuses a page
// (and its renderer) for that many navigations, and still never lets a renderer stuck in a
// script hold the next address: a page whose last load or copy has not come back is never
// reused, and a load on a reused page that has not finished is checked every kStuckCheckMs:
// when the renderer has not answered a trivial script by the next check, it is stuck (in
// the old document's script, even one that started after its copy was taken, or in the new
// one's), and the address is loaded again on a fresh page, once.
#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/guard.h"
#include "engine/page_browser.h"
#include "ui/web/request_blocker.h"

class QWebEngineProfile;
class QWebEngineView;
class QWebEngineLoadingInfo;
class QTimer;

namespace tolvarine {

class PageReveal;
class QuietWebPage;
class RetryAfterProbe;
class SnapshotDocument;
class TextFetcher;
class BytesFetcher;
struct SnapshotAnswer;
enum class SnapshotMode;

class WebPageBrowser : public QWidget, public PageBrowser {
  Q_OBJECT

 public:
  // sink receives failures raised inside the pane's own event handlers. recycleEvery <= 0
  // never replaces a page that is still usable.
  explicit WebPageBrowser(ErrorSink sink, QWidget* parent = nullptr, int recycleEvery = 1);
  ~WebPageBrowser() override;

  // PageBrowser. Navigate throws Error for an empty or invalid address. LocationURL is
  // percent-encoded, and empty while a load has not committed, on a reused page as on a
  // fresh one.
  void Navigate(const std::string& address) override;
  std::string LocationURL() override;
  PageDocument* Document() override;
  void SetListener(PageBrowserListener* listener) override;
  // Through the pane's profile, on a hidden page of its own (TextFetcher).
  void FetchText(const std::string& address) override;
  // Through Qt's network stack (BytesFetcher).
  void FetchBytes(const std::string& address) override;
  // Documents copied from now on also hold the head's markup and the structured texts.
  void SetReadsStructured(bool on) override { readsStructured_ = on; }
  void Reveal(const RevealStep& step) override;

  // The kinds of request the pane's pages never send, asked at each request (a walk's
  // options); none until this is called.
  void SetBlockedKinds(std::function<BlockedKinds()> kinds);

  // The shortest spacing of the change questions, and how many times its cost a copy waits
  // before the next one.
  static constexpr int kRefreshMs = 200;
  static constexpr int kCostFactor = 9;
  // How often a load on a reused page checks that its renderer still answers.
  static constexpr int kStuckCheckMs = 1000;
  // The command line's recycleEvery: a new renderer per address would take most of a short
  // pacing period; one per hundred keeps what a renderer gathers over many pages bounded.
  static constexpr int kCommandLineRecycleEvery = 100;

  // Takes a fresh snapshot of the current top-level document; done(true) once Document()
  // reads it, done(false) when the page went away first. done runs inside the guard.
  void RefreshDocument(std::function<void(bool ok)> done);
  // How many copies of a page have been taken so far (load ends, changes, refreshes).
  int CopiesTaken() const { return copiesTaken_; }
  // What the last read of the page took, from asking to the copy in GBK, in ms.
  qint64 LastReadMs() const { return lastCostMs_; }

  QWebEngineView* View() const { return view_; }
  QWebEngineProfile* Profile() const { return profile_.get(); }
  // How many pages have been created so far (recycling and crash recovery add one each).
  int PagesCreated() const { return pagesCreated_; }
  // The process id of the current renderer, 0 when there is none.
  qint64 RendererPid() const;

 signals:
  // Emitted after the listener has been told (tests and diagnostics wait on these).
  void navigateCompleted(quint64 frame, const QString& address);
  void documentCompleted(quint64 frame, const QString& address);
  // A crashed renderer's page has been replaced by a fresh one.
  void rendererRecovered();
  // Emitted after the listener has been told of a reveal step's answer.
  void revealed();

 private:
  void Guarded(const std::function<void()>& handler);
  void InstallNewPage();
  void RetirePage(QuietWebPage* page);
  void OnLoadingChanged(QuietWebPage* page, const QWebEngineLoadingInfo& info);
  void OnRendererTerminated(QuietWebPage* page);
  // Tells the listener (and the signals) of a completed load, outside the pane's guard.
  void RaiseCompletion() noexcept;
  // Tells the listener of a reveal step's answer (revealed_), outside the pane's guard.
  void RaiseRevealed() noexcept;
  // The step's wait is over: copy the page, then answer.
  void OnStepDone(int step, QuietWebPage* page, bool acted, bool changed);
  // Answers reveal `step` acted=false from the event loop, unless a later one replaced it.
  void RefuseReveal(int step);
  // Drops the step under way; its answer never comes.
  void CancelReveal();
  // Makes the view render even when its window is not on the screen.
  void KeepRendering();
  // Runs the snapshot script on the current page; done(answer, with Kind::Nothing when the
  // page went away or the script gave nothing) runs inside the guard, never after the pane
  // is gone.
  void TakeSnapshot(SnapshotMode mode, std::function<void(SnapshotAnswer)> done);
  // Keeps the copy of frame's document up to date (see above); 0 stops.
  void Watch(FrameId frame);
  void AskForChanges();
  // The reused page's load is still running: ask the renderer, or give the load a fresh page
  // when it has not answered since the last check.
  void Load(const QUrl& url);
  void CheckRenderer();
  // Asks the address's Retry-After for the answer of frame; its completion waits meanwhile.
  void AskRetryAfter(FrameId frame, const QUrl& address);

  ErrorSink sink_;
  int recycleEvery_;
  PageBrowserListener* listener_ = nullptr;
  TextFetcher* fetcher_ = nullptr;  // made at the first FetchText, a child of the pane
  BytesFetcher* bytesFetcher_ = nullptr;  // made at the first FetchBytes, a child of the pane
  // Must outlive every page made from it: the destructor deletes the pages first.
  std::unique_ptr<QWebEngineProfile> profile_;
  QWebEngineView* view_ = nullptr;
  QuietWebPage* page_ = nullptr;
  // Pages taken out of service and waiting for deferred deletion.
  std::vector<QPointer<QObject>> retired_;
  int pagesCreated_ = 0;
  int navigationsOnPage_ = 0;
  // The top-level load in progress (busy_) or the last one; 0 when none may complete.
  FrameId frame_ = 0;
  FrameId lastFrame_ = 0;
  bool busy_ = false;
  // The snapshot of the last load has not come back: the renderer may be stuck in a script.
  bool snapshotPending_ = false;
  std::unique_ptr<SnapshotDocument> document_;
  // A load whose document has just been copied, to be told once the guard has ended.
  struct Completion {
    FrameId frame;
    QString address;  // percent-encoded
    bool readable;    // false: the failed load left no document; only its answer is told
  };
  std::optional<Completion> completed_;
  // How the load of frame_ was answered, once it has ended.
  LoadAnswer answer_;
  // The frame whose Retry-After is being asked for; its completion waits. 0: none.
  FrameId probing_ = 0;
  RetryAfterProbe* probe_ = nullptr;  // made at the first 429 or 503, a child of the pane
  RequestBlocker* blocker_ = nullptr;
  // The completed frame whose document the copy follows; 0 when none is followed.
  FrameId watched_ = 0;
  // A change question is outstanding (its answer is dropped when the page moved on).
  bool askPending_ = false;
  QTimer* askTimer_ = nullptr;
  qint64 lastCostMs_ = 0;
  // The load Navigate started on a reused page, which CheckRenderer watches; 0 when none.
  FrameId checkedFrame_ = 0;
  QUrl checkedAddress_;
  QTimer* stuckTimer_ = nullptr;
  // A check's trivial script has not come back from the current page.
  bool pingPending_ = false;
  // A reused page still shows the last address until the new load commits; a fresh page
  // shows none, and LocationURL answers as a fresh page would.
  bool staleLocation_ = false;
  int copiesTaken_ = 0;
  bool readsStructured_ = false;
  PageReveal* reveal_ = nullptr;  // made at the first Reveal, a child of the pane
  int revealStep_ = 0;     // the latest Reveal's number; a Navigate moves it on too
  bool revealing_ = false;  // a step (or the copy after it) is under way
  std::optional<RevealAnswer> revealed_;  // to be told once the guard has ended
  // Cleared when the pane goes away; late callbacks test it first.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tolvarine
