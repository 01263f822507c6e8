#pragma once
// The page browser on Qt WebEngine: a QWebEngineView pane (the main window's lower pane,
// `WebBrowser1`) behind the engine's PageBrowser interface.
//
// Events, for top-level navigations only (frames inside the page raise nothing):
// - OnNavigateComplete(frame, address) when the page reports that a top-level load has
//   started (QWebEnginePage::loadingChanged, LoadStartedStatus). Every start gets a fresh
//   FrameId; a start while another load runs supersedes that load.
// - OnDocumentComplete(frame, address) with the same FrameId once that load has finished
//   (succeeded, failed into an error page, or stopped) and the document snapshot has been
//   taken. A superseded load, or one whose renderer died, never raises it.
//
// Document() reads a snapshot taken with one script call when the top-level load finished:
// links (absolute), the body's outer text and outer markup, converted to GBK. A page
// without a body (an XML document, say) gives a document whose reads throw.
//
// The pane is locked down so that no page can stop a walk: an off-the-record profile, page
// dialogs answered at once without showing anything, no new windows, no downloads, every
// permission request denied, and a fresh page after a renderer crash. The page is also
// replaced every `recycleEvery` navigations to keep memory bounded on long walks.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "base/guard.h"
#include "engine/page_browser.h"

class QWebEngineProfile;
class QWebEngineView;
class QWebEngineLoadingInfo;

namespace tolvarine {

class QuietWebPage;
struct PageSnapshot;

class WebPageBrowser : public QWidget, public PageBrowser {
  Q_OBJECT

 public:
  // sink receives failures raised inside the pane's event handlers (the listener's
  // included). recycleEvery <= 0 never recycles the page.
  explicit WebPageBrowser(ErrorSink sink, QWidget* parent = nullptr, int recycleEvery = 100);
  ~WebPageBrowser() override;

  // PageBrowser. Navigate throws Error for an empty or invalid address.
  void Navigate(const std::string& address) override;
  std::string LocationURL() override;
  PageDocument* Document() override;
  void SetListener(PageBrowserListener* listener) override;

  // Takes a fresh snapshot of the current top-level document; done(true) once Document()
  // reads it, done(false) when the page went away first. done runs inside the guard.
  void RefreshDocument(std::function<void(bool ok)> done);

  QWebEngineView* View() const { return view_; }
  QWebEngineProfile* Profile() const { return profile_; }
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

 private:
  class Document;
  void Guarded(const std::function<void()>& handler);
  void InstallNewPage();
  void OnLoadingChanged(QuietWebPage* page, const QWebEngineLoadingInfo& info);
  void TakeSnapshot(FrameId frame, std::function<void(bool)> done);
  void OnRendererTerminated(QuietWebPage* page);

  ErrorSink sink_;
  int recycleEvery_;
  PageBrowserListener* listener_ = nullptr;
  QWebEngineProfile* profile_ = nullptr;
  QWebEngineView* view_ = nullptr;
  QuietWebPage* page_ = nullptr;
  int pagesCreated_ = 0;
  int navigationsOnPage_ = 0;
  // The load in progress or last finished; 0 when none may complete.
  FrameId currentFrame_ = 0;
  FrameId lastFrame_ = 0;
  bool currentFinished_ = false;
  // Set by Navigate until the page reports the start of that load; a finish reported in
  // between belongs to the load it replaced.
  bool awaitingStart_ = false;
  std::unique_ptr<Document> document_;
};

}  // namespace tolvarine
