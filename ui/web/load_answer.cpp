#include "ui/web/load_answer.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QWebEngineLoadingInfo>
#include <algorithm>
#include <limits>
#include <sstream>

#include "base/platform/environment.h"

namespace tolvarine {
namespace {

// An HTTP date as servers send it, "Sun, 06 Nov 1994 08:49:37 GMT" (Qt reads the zone only
// as a numeric offset).
QDateTime HttpDate(QByteArray text) {
  if (text.endsWith(" GMT")) {
    text.chop(4);
    text += " +0000";
  }
  return QDateTime::fromString(QString::fromLatin1(text), Qt::RFC2822Date);
}

// "[type://]host[:port]" as Chromium reads a proxy.
std::optional<QNetworkProxy> ProxyOf(QString text) {
  QNetworkProxy::ProxyType type = QNetworkProxy::HttpProxy;
  quint16 port = 80;
  const int schemeEnd = text.indexOf(QLatin1String("://"));
  if (schemeEnd >= 0) {
    if (text.startsWith(QLatin1String("socks"))) {
      type = QNetworkProxy::Socks5Proxy;
      port = 1080;
    }
    text = text.mid(schemeEnd + 3);
  }
  const int colon = text.lastIndexOf(QLatin1Char(':'));
  if (colon >= 0) {
    bool ok = false;
    port = text.mid(colon + 1).toUShort(&ok);
    if (!ok) return std::nullopt;
    text.truncate(colon);
  }
  if (text.isEmpty()) return std::nullopt;
  return QNetworkProxy(type, text, port);
}

}  // namespace

std::optional<QNetworkProxy> ChromiumProxyFor(const std::string& flags, const QString& scheme) {
  std::optional<QNetworkProxy> proxy;
  std::istringstream words(flags);
  constexpr std::string_view kServer = "--proxy-server=";
  // The engine takes the last of each switch given.
  for (std::string word; words >> word;) {
    if (word == "--no-proxy-server") return QNetworkProxy(QNetworkProxy::NoProxy);
    if (!word.starts_with(kServer)) continue;
    proxy.reset();
    for (const QString& entry :
         QString::fromStdString(word.substr(kServer.size())).split(QLatin1Char(';'))) {
      const int equals = entry.indexOf(QLatin1Char('='));
      if (equals < 0) {
        if (!proxy) proxy = ProxyOf(entry);
      } else if (entry.left(equals) == scheme) {
        proxy = ProxyOf(entry.mid(equals + 1));
        break;
      }
    }
  }
  return proxy;
}

std::string NetworkErrorName(int code) {
  switch (code) {
    case -102:  // CONNECTION_REFUSED
      return "connection-refused";
    case -100:  // CONNECTION_CLOSED
    case -101:  // CONNECTION_RESET
      return "connection-reset";
    case -7:    // TIMED_OUT
    case -118:  // CONNECTION_TIMED_OUT
      return "timed-out";
    case -105:  // NAME_NOT_RESOLVED
    case -137:  // NAME_RESOLUTION_FAILED
      return "name-not-resolved";
    case -107:  // SSL_PROTOCOL_ERROR
    case -113:  // SSL_VERSION_OR_CIPHER_MISMATCH
      return "tls-failed";
    default:
      break;
  }
  if (code <= -200 && code >= -299) return "tls-failed";  // the certificate errors
  return "network-error";
}

LoadAnswer AnswerOfLoad(const QWebEngineLoadingInfo& info) {
  LoadAnswer answer;
  if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) return answer;
  if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain &&
      info.errorCode() > 0) {
    answer.status = info.errorCode();
    return answer;
  }
  answer.status = 0;
  answer.error = NetworkErrorName(info.errorCode());
  return answer;
}

bool MayCarryRetryAfter(int status) { return status == 429 || status == 503; }

int RetryAfterSeconds(const QByteArray& value, const QDateTime& now) {
  const QByteArray text = value.trimmed();
  if (text.isEmpty()) return -1;
  if (std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    bool ok = false;
    const qlonglong seconds = text.toLongLong(&ok);
    if (!ok || seconds > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(seconds);
  }
  // "Sun, 06 Nov 1994 08:49:37 GMT"; a date already past means no wait.
  const QDateTime when = HttpDate(text);
  if (!when.isValid()) return -1;
  const qint64 seconds = std::max<qint64>(0, now.secsTo(when));
  return static_cast<int>(std::min<qint64>(seconds, std::numeric_limits<int>::max()));
}

RetryAfterProbe::RetryAfterProbe(QObject* parent)
    : QObject(parent),
      network_(new QNetworkAccessManager(this)),
      engineFlags_(platform::GetEnvironment("QTWEBENGINE_CHROMIUM_FLAGS").value_or("")) {}

void RetryAfterProbe::Ask(const QUrl& address, Done done) {
  network_->setProxy(ChromiumProxyFor(engineFlags_, address.scheme())
                         .value_or(QNetworkProxy(QNetworkProxy::DefaultProxy)));
  QNetworkRequest request(address);
  request.setTransferTimeout(kTimeoutMs);
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                       QNetworkRequest::AlwaysNetwork);
  QNetworkReply* reply = network_->head(request);
  connect(reply, &QNetworkReply::finished, this, [reply, done = std::move(done)] {
    reply->deleteLater();
    QDateTime now = QDateTime::currentDateTimeUtc();
    // The server's own clock, so that a date-valued answer survives a skewed local clock.
    const QDateTime sent = HttpDate(reply->rawHeader("Date").trimmed());
    if (sent.isValid()) now = sent;
    done(RetryAfterSeconds(reply->rawHeader("Retry-After"), now));
  });
}

}  // namespace tolvarine
