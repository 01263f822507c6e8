#pragma once
// How a top-level load was answered, read from what Qt WebEngine reports at its end, and
// the Retry-After of a "try later" answer, which WebEngine does not pass on: it is asked
// again with a HEAD request of its own (one extra request per 429 or 503 answer).
#include <QDateTime>
#include <QNetworkProxy>
#include <QObject>
#include <QUrl>
#include <functional>
#include <optional>
#include <string>

#include "engine/page_browser.h"

class QNetworkAccessManager;
class QWebEngineLoadingInfo;

namespace tolvarine {

// The engine's name of a Chromium network error number (net::Error, negative).
std::string NetworkErrorName(int code);

// The answer of a finished load: 200 for success, the HTTP status of an error answer, or
// status 0 with the network error's name.
LoadAnswer AnswerOfLoad(const QWebEngineLoadingInfo& info);

// Whether an answer with this status may carry a Retry-After worth asking for.
bool MayCarryRetryAfter(int status);

// Seconds to wait from a Retry-After value (delay-seconds, or an HTTP date taken against
// `now`, the answer's own Date when it has one); -1 when the value is neither.
int RetryAfterSeconds(const QByteArray& value, const QDateTime& now);

// The proxy the web engine's command line (QTWEBENGINE_CHROMIUM_FLAGS) gives its pages for
// an address of `scheme`: "--proxy-server=[type://]host[:port]", or a list by scheme
// ("http=host:port;https=..."), or "--no-proxy-server". nullopt when the flags name none.
std::optional<QNetworkProxy> ChromiumProxyFor(const std::string& flags, const QString& scheme);

// Asks a server for the Retry-After of an address with HEAD requests through Qt's network
// stack, by the proxy the web engine's command line names, else Qt's application proxy,
// which the web engine follows too.
class RetryAfterProbe : public QObject {
  Q_OBJECT

 public:
  // done(seconds, -1 when none came) runs from the event loop; the caller guards it.
  using Done = std::function<void(int seconds)>;
  explicit RetryAfterProbe(QObject* parent = nullptr);

  // An answer that takes longer than this counts as none.
  static constexpr int kTimeoutMs = 5000;

  void Ask(const QUrl& address, Done done);

 private:
  QNetworkAccessManager* network_;
  std::string engineFlags_;  // QTWEBENGINE_CHROMIUM_FLAGS
};

}  // namespace tolvarine
