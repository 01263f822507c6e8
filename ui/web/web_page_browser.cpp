#include "ui/web/web_page_browser.h"

#include <QAuthenticator>
#include <QElapsedTimer>
#include <QTimer>
#include <QtGlobal>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
#include <QWebEngineQuotaRequest>
#endif
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "base/errors.h"
#include "base/gbk.h"
#include "ui/qt_gbk.h"
#include "ui/web/bytes_fetcher.h"
#include "ui/web/load_answer.h"
#include "ui/web/page_reveal.h"
#include "ui/web/page_snapshot.h"
#include "ui/web/quiet_web_page.h"
#include "ui/web/text_fetcher.h"
#include "ui/web/web_engine_setup.h"

namespace tolvarine {

WebPageBrowser::WebPageBrowser(ErrorSink sink, QWidget* parent, int recycleEvery)
    : QWidget(parent),
      sink_(std::move(sink)),
      recycleEvery_(recycleEvery),
      profile_(std::make_unique<QWebEngineProfile>()),  // no storage name: off the record
      document_(std::make_unique<SnapshotDocument>()) {
  LockDown(profile_->settings());
  SetUpWalkProfile(profile_.get());
  profile_->setSpellCheckEnabled(false);
  connect(profile_.get(), &QWebEngineProfile::downloadRequested, this,
          [this](QWebEngineDownloadRequest* download) {
            Guarded([download] { download->cancel(); });
          });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  setObjectName(QStringLiteral("pageBrowser"));
  askTimer_ = new QTimer(this);
  askTimer_->setSingleShot(true);
  connect(askTimer_, &QTimer::timeout, this, [this] { Guarded([this] { AskForChanges(); }); });
  stuckTimer_ = new QTimer(this);
  stuckTimer_->setSingleShot(true);
  connect(stuckTimer_, &QTimer::timeout, this, [this] { Guarded([this] { CheckRenderer(); }); });
  view_ = new QWebEngineView(this);
  layout->addWidget(view_);
  InstallNewPage();
}

WebPageBrowser::~WebPageBrowser() {
  *alive_ = false;
  // Every page goes before the profile it was made from.
  delete view_;
  view_ = nullptr;
  for (auto& page : retired_) delete page.data();
  delete page_;
  page_ = nullptr;
  delete fetcher_;
  fetcher_ = nullptr;
  delete bytesFetcher_;
  bytesFetcher_ = nullptr;
}

void WebPageBrowser::Guarded(const std::function<void()>& handler) { RunGuarded(sink_, handler); }

void WebPageBrowser::SetListener(PageBrowserListener* listener) { listener_ = listener; }

void WebPageBrowser::FetchText(const std::string& address) {
  if (fetcher_ == nullptr) {
    fetcher_ = new TextFetcher(
        profile_.get(),
        [this](const std::string& fetched, int status, const QString& body) {
          Guarded([&] {
            if (listener_) listener_->OnTextFetched(fetched, status, body.toStdString());
          });
        },
        this);
  }
  fetcher_->Fetch(address);
}

void WebPageBrowser::FetchBytes(const std::string& address) {
  if (bytesFetcher_ == nullptr) {
    bytesFetcher_ = new BytesFetcher(
        [this](const std::string& fetched, int status, const QByteArray& bytes) {
          Guarded([&] {
            if (listener_) listener_->OnBytesFetched(fetched, status, bytes.toStdString());
          });
        },
        this);
  }
  bytesFetcher_->Fetch(address);
}

void WebPageBrowser::SetBlockedKinds(std::function<BlockedKinds()> kinds) {
  RequestBlocker* old = blocker_;
  blocker_ = new RequestBlocker(std::move(kinds), this);
  profile_->setUrlRequestInterceptor(blocker_);
  if (old) old->deleteLater();
}

void WebPageBrowser::InstallNewPage() {
  auto* page = new QuietWebPage(profile_.get(), this);
  ++pagesCreated_;
  navigationsOnPage_ = 0;

  connect(page, &QWebEnginePage::loadingChanged, this,
          [this, page](const QWebEngineLoadingInfo& info) {
            Guarded([&] { OnLoadingChanged(page, info); });
          });
  connect(page, &QWebEnginePage::urlChanged, this, [this, page] {
    if (page == page_) staleLocation_ = false;
  });
  connect(page, &QWebEnginePage::renderProcessTerminated, this,
          [this, page](QWebEnginePage::RenderProcessTerminationStatus, int) {
            Guarded([&] { OnRendererTerminated(page); });
          });
  // Whatever a page asks for beyond showing itself is refused.
  connect(page, &QWebEnginePage::featurePermissionRequested, this,
          [this, page](const QUrl& origin, QWebEnginePage::Feature feature) {
            Guarded([&] {
              page->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
            });
          });
  connect(page, &QWebEnginePage::fullScreenRequested, this,
          [this](QWebEngineFullScreenRequest request) { Guarded([&] { request.reject(); }); });
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)  // later versions no longer ask
  connect(page, &QWebEnginePage::quotaRequested, this,
          [this](QWebEngineQuotaRequest request) { Guarded([&] { request.reject(); }); });
#endif
  connect(page, &QWebEnginePage::registerProtocolHandlerRequested, this,
          [this](QWebEngineRegisterProtocolHandlerRequest request) {
            Guarded([&] { request.reject(); });
          });
  connect(page, &QWebEnginePage::fileSystemAccessRequested, this,
          [this](QWebEngineFileSystemAccessRequest request) {
            Guarded([&] { request.reject(); });
          });
  // A null authenticator cancels the login; the server's own answer is then shown.
  connect(page, &QWebEnginePage::authenticationRequired, this,
          [this](const QUrl&, QAuthenticator* authenticator) {
            Guarded([&] { *authenticator = QAuthenticator(); });
          });
  connect(page, &QWebEnginePage::proxyAuthenticationRequired, this,
          [this](const QUrl&, QAuthenticator* authenticator, const QString&) {
            Guarded([&] { *authenticator = QAuthenticator(); });
          });

  QuietWebPage* old = page_;
  page_ = page;
  view_->setPage(page);
  if (old) RetirePage(old);
  busy_ = false;
  snapshotPending_ = false;
  askPending_ = false;
  pingPending_ = false;
  staleLocation_ = false;
  checkedFrame_ = 0;
  stuckTimer_->stop();
  frame_ = 0;
  completed_.reset();
  probing_ = 0;
  Watch(0);
  CancelReveal();
}

void WebPageBrowser::RetirePage(QuietWebPage* page) {
  disconnect(page, nullptr, this, nullptr);
  std::erase_if(retired_, [](const QPointer<QObject>& p) { return p.isNull(); });
  retired_.emplace_back(page);
  // Deferred: the page may be the one whose signal is being delivered right now.
  page->deleteLater();
}

void WebPageBrowser::Navigate(const std::string& address) {
  const QString text = FromGbk(address);
  const QUrl url(text);
  if (text.trimmed().isEmpty() || !url.isValid() || url.isRelative())
    throw Error("Cannot navigate to '" + address + "'");
  // A load still running on the page would report its end as if it were this one's, and a
  // renderer that never answered the last snapshot may be stuck in a script for good.
  if (busy_ || snapshotPending_ || askPending_ || pingPending_ ||
      (recycleEvery_ > 0 && navigationsOnPage_ >= recycleEvery_))
    InstallNewPage();
  Load(url);
  // The page's renderer ran the last document's scripts: it may get stuck in one yet.
  if (navigationsOnPage_ > 1) {
    staleLocation_ = true;
    checkedFrame_ = frame_;
    checkedAddress_ = url;
    stuckTimer_->start(kStuckCheckMs);
  }
}

// Starts a load on the current page as a new frame.
void WebPageBrowser::Load(const QUrl& url) {
  CancelReveal();
  frame_ = ++lastFrame_;
  busy_ = true;
  completed_.reset();
  probing_ = 0;
  Watch(0);
  // Until this load produces a document there is none, on a reused page as on a fresh one:
  // a load that never completes must not be read as the page before it.
  document_->Set(nullptr);
  ++navigationsOnPage_;
  page_->load(url);
}

void WebPageBrowser::CheckRenderer() {
  if (!busy_ || checkedFrame_ != frame_) return;  // the load ended, or another replaced it
  if (pingPending_) {
    // No answer for a whole check period: the address goes to a fresh page, which is not
    // checked again (a page stuck in its own script is the watchdog's to give up).
    const QUrl address = checkedAddress_;
    InstallNewPage();
    Load(address);
    return;
  }
  pingPending_ = true;
  QuietWebPage* page = page_;
  std::weak_ptr<bool> alive = alive_;
  page->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                      [this, alive, page](const QVariant&) {
                        auto token = alive.lock();
                        if (token && *token && page == page_) pingPending_ = false;
                      });
  stuckTimer_->start(kStuckCheckMs);
}

std::string WebPageBrowser::LocationURL() {
  return staleLocation_ ? std::string() : page_->url().toString(QUrl::FullyEncoded).toStdString();
}

PageDocument* WebPageBrowser::Document() {
  return document_->Empty() ? nullptr : document_.get();
}

qint64 WebPageBrowser::RendererPid() const { return page_ ? page_->renderProcessPid() : 0; }

void WebPageBrowser::OnLoadingChanged(QuietWebPage* page, const QWebEngineLoadingInfo& info) {
  if (page != page_ || page->IsRefusedLoad(info)) return;
  if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
    // A load the page started on its own (a script, a refresh) gets its own frame.
    if (!busy_) {
      frame_ = ++lastFrame_;
      busy_ = true;
      Watch(0);
    }
    return;
  }
  if (!busy_) return;
  busy_ = false;
  staleLocation_ = false;
  const FrameId frame = frame_;
  const QUrl address = info.url();
  answer_ = AnswerOfLoad(info);
  if (MayCarryRetryAfter(answer_.status)) AskRetryAfter(frame, address);
  snapshotPending_ = true;
  TakeSnapshot(SnapshotMode::LoadEnd, [this, page, frame, address](SnapshotAnswer answer) {
    if (page != page_) return;
    snapshotPending_ = false;
    if (frame != frame_ || busy_) return;
    std::shared_ptr<PageSnapshot> snapshot = std::move(answer.snapshot);
    // No snapshot, or the page still shows an older document (or the empty one a fresh
    // page starts with): this load produced nothing to read.
    const bool readable =
        snapshot && snapshot->fresh &&
        !(snapshot->location == "about:blank" && address.toString() != QLatin1String("about:blank"));
    if (readable) {
      document_->Set(std::move(snapshot));
      // The load-end read also paid for the page's first layout: space the next one by the
      // shortest period, and by what a read of the laid-out page costs from then on.
      lastCostMs_ = 0;
      Watch(frame);
    }
    if (readable || answer_.status != 200)
      completed_ = Completion{frame, address.toString(QUrl::FullyEncoded), readable};
  });
}

void WebPageBrowser::AskRetryAfter(FrameId frame, const QUrl& address) {
  if (!probe_) probe_ = new RetryAfterProbe(this);
  probing_ = frame;
  std::weak_ptr<bool> alive = alive_;
  probe_->Ask(address, [this, alive, frame](int seconds) {
    auto token = alive.lock();
    if (!token || !*token || probing_ != frame) return;
    Guarded([&] {
      probing_ = 0;
      if (frame == frame_) answer_.retryAfterSeconds = seconds;
    });
    // Outside the pane's guard: the listener guards its own handlers.
    RaiseCompletion();
  });
}

void WebPageBrowser::RaiseCompletion() noexcept {
  if (!completed_ || probing_ == completed_->frame) return;
  const Completion done = std::move(*completed_);
  completed_.reset();
  const LoadAnswer answer = answer_;
  if (listener_) listener_->OnLoadAnswered(done.frame, answer);
  if (!done.readable || done.frame != frame_ || busy_) return;  // the listener started another load
  const std::string address = done.address.toStdString();  // percent-encoded: plain ASCII
  if (listener_) listener_->OnNavigateComplete(done.frame, address);
  emit navigateCompleted(done.frame, done.address);
  if (done.frame != frame_ || busy_) return;  // the listener started another load
  if (listener_) listener_->OnDocumentComplete(done.frame, address);
  emit documentCompleted(done.frame, done.address);
}

void WebPageBrowser::TakeSnapshot(SnapshotMode mode, std::function<void(SnapshotAnswer)> done) {
  QuietWebPage* page = page_;
  std::weak_ptr<bool> alive = alive_;
  QElapsedTimer cost;
  cost.start();
  page->runJavaScript(
      SnapshotScript(mode, readsStructured_), QWebEngineScript::ApplicationWorld,
      [this, alive, page, cost, done = std::move(done)](const QVariant& result) {
        // Pending calls may be answered while the page or the pane is being destroyed.
        auto token = alive.lock();
        if (!token || !*token) return;
        Guarded([&] {
          SnapshotAnswer answer;
          if (page == page_) answer = ReadSnapshotAnswer(result);
          if (answer.kind == SnapshotAnswer::Kind::Copy) ++copiesTaken_;
          lastCostMs_ = cost.elapsed();  // the round trip and the conversion to GBK
          done(std::move(answer));
        });
        // Outside the pane's guard: the listener guards its own handlers.
        if (*token) RaiseCompletion();
        if (*token) RaiseRevealed();
      });
}

void WebPageBrowser::Watch(FrameId frame) {
  watched_ = frame;
  if (frame == 0) {
    askTimer_->stop();
    return;
  }
  askTimer_->start(static_cast<int>(std::max<qint64>(kRefreshMs, kCostFactor * lastCostMs_)));
}

void WebPageBrowser::AskForChanges() {
  if (watched_ == 0 || watched_ != frame_ || busy_ || askPending_) return;
  askPending_ = true;
  QuietWebPage* page = page_;
  const FrameId frame = watched_;
  TakeSnapshot(SnapshotMode::IfChanged, [this, page, frame](SnapshotAnswer answer) {
    if (page != page_) return;  // a fresh page has reset everything
    askPending_ = false;
    if (frame != watched_ || frame != frame_ || busy_) return;  // a new load took over
    switch (answer.kind) {
      case SnapshotAnswer::Kind::Copy:
        document_->Set(std::move(answer.snapshot));
        break;
      case SnapshotAnswer::Kind::Unchanged:
      case SnapshotAnswer::Kind::Nothing:  // asked again at the next turn
        break;
      case SnapshotAnswer::Kind::Unwatched:
        // The page shows a document other than the completed one: the copy stays as it is.
        Watch(0);
        return;
    }
    Watch(frame);
  });
}

void WebPageBrowser::RefreshDocument(std::function<void(bool ok)> done) {
  TakeSnapshot(SnapshotMode::Always, [this, done = std::move(done)](SnapshotAnswer answer) {
    const bool ok = answer.snapshot != nullptr;
    if (ok) document_->Set(std::move(answer.snapshot));
    if (done) done(ok);
  });
}

void WebPageBrowser::OnRendererTerminated(QuietWebPage* page) {
  if (page != page_) return;
  // The crashed load completes never; a fresh page takes the next Navigate. A step ends.
  const bool stepLost = revealing_;
  InstallNewPage();
  if (stepLost) RefuseReveal(revealStep_);
  emit rendererRecovered();
}

}  // namespace tolvarine
