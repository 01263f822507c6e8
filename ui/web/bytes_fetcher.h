#pragma once
// Fetches a file's raw bytes (a sitemap, maybe gzip) with a GET through Qt's network stack,
// by the proxy the web engine's command line names, else Qt's application proxy, as the
// Retry-After probe does. Redirects are followed; the answer gives the HTTP status after
// them (0 when none came) and the body as it came.
#include <QByteArray>
#include <QObject>
#include <functional>
#include <string>

class QNetworkAccessManager;

namespace tolvarine {

class BytesFetcher : public QObject {
  Q_OBJECT

 public:
  // Called from the event loop; the caller guards it.
  using Answer =
      std::function<void(const std::string& address, int status, const QByteArray& bytes)>;
  BytesFetcher(Answer answer, QObject* parent = nullptr);

  // A transfer that stalls this long, or a body larger than kMostBytes, counts as no answer.
  static constexpr int kTimeoutMs = 30000;
  static constexpr qint64 kMostBytes = 60LL * 1024 * 1024;

  // Starts the fetch and returns at once.
  void Fetch(const std::string& address);

 private:
  Answer answer_;
  QNetworkAccessManager* network_;
  std::string engineFlags_;  // QTWEBENGINE_CHROMIUM_FLAGS
};

}  // namespace tolvarine
