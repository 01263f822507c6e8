#include "ui/web/quiet_web_page.h"

#include <QWebEngineLoadingInfo>
#include <QWebEngineSettings>

namespace tolvarine {

bool QuietWebPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
  if (!holding_ || !isMainFrame) return true;
  // A move within the document (a "#" link) leaves the page as it is.
  if (url.hasFragment() &&
      url.adjusted(QUrl::RemoveFragment) == this->url().adjusted(QUrl::RemoveFragment))
    return true;
  stopped_ = true;
  refused_ = url;
  return false;
}

bool QuietWebPage::IsRefusedLoad(const QWebEngineLoadingInfo& info) {
  if (refused_.isEmpty() || info.url() != refused_) return false;
  if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus) refused_.clear();
  return true;
}

void LockDown(QWebEngineSettings* s) {
  s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
  s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
  s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
  s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
  s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
  s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
  s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
  s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
  s->setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
  s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
  s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
  s->setAttribute(QWebEngineSettings::AllowGeolocationOnInsecureOrigins, false);
  s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
  s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
  s->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
  s->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
  s->setAttribute(QWebEngineSettings::ScrollAnimatorEnabled, false);
  s->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
  s->setAttribute(QWebEngineSettings::TouchIconsEnabled, false);
  s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
  s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
  s->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
}

}  // namespace tolvarine
