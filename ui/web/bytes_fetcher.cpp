#include "ui/web/bytes_fetcher.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <utility>

#include "base/platform/environment.h"
#include "ui/web/load_answer.h"

namespace tolvarine {

BytesFetcher::BytesFetcher(Answer answer, QObject* parent)
    : QObject(parent),
      answer_(std::move(answer)),
      network_(new QNetworkAccessManager(this)),
      engineFlags_(platform::GetEnvironment("QTWEBENGINE_CHROMIUM_FLAGS").value_or("")) {}

void BytesFetcher::Fetch(const std::string& address) {
  const QUrl url(QString::fromStdString(address));
  network_->setProxy(ChromiumProxyFor(engineFlags_, url.scheme())
                         .value_or(QNetworkProxy(QNetworkProxy::DefaultProxy)));
  QNetworkRequest request(url);
  request.setTransferTimeout(kTimeoutMs);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  QNetworkReply* reply = network_->get(request);
  // A body past the bound is not read on: the reader would cut it anyway.
  connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
    if (received > kMostBytes) reply->abort();
  });
  connect(reply, &QNetworkReply::finished, this, [this, reply, address] {
    reply->deleteLater();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // An HTTP error answer keeps its status; a connection, proxy or timeout failure, or a
    // body cut off, has none (Qt numbers those errors below the content errors).
    const QNetworkReply::NetworkError error = reply->error();
    const bool transport =
        error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
    const bool answered = status > 0 && !transport;
    answer_(address, answered ? status : 0, answered ? reply->readAll() : QByteArray());
  });
}

}  // namespace tolvarine
