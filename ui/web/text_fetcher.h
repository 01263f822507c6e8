#pragma once
// Fetches a text file (a site's robots.txt) through a walk's WebEngine profile: the same
// network stack, proxy and host rules as its pages, on a hidden page of its own with
// scripts off. One fetch at a time; a new one replaces the one in flight (which never
// answers). The answer gives the HTTP status after redirects (200 for a load that
// succeeded, the server's status for an HTTP error, 0 when no answer came: no connection,
// no such host) and the body as text.
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <string>

class QWebEngineProfile;
class QWebEnginePage;
class QWebEngineLoadingInfo;

namespace tolvarine {

class TextFetcher : public QObject {
  Q_OBJECT

 public:
  // Called from the event loop; the caller guards it.
  using Answer = std::function<void(const std::string& address, int status,
                                    const QString& body)>;
  TextFetcher(QWebEngineProfile* profile, Answer answer, QObject* parent = nullptr);
  ~TextFetcher() override;

  // Starts the fetch and returns at once; the answer comes from the event loop.
  void Fetch(const std::string& address);

 private:
  void OnLoadingChanged(QWebEnginePage* page, const QWebEngineLoadingInfo& info);

  QWebEngineProfile* profile_;
  Answer answer_;
  QPointer<QWebEnginePage> page_;
  std::string address_;
};

}  // namespace tolvarine
