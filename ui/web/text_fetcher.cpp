#include "ui/web/text_fetcher.h"

#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace tolvarine {

TextFetcher::TextFetcher(QWebEngineProfile* profile, Answer answer, QObject* parent)
    : QObject(parent), profile_(profile), answer_(std::move(answer)) {}

TextFetcher::~TextFetcher() {
  if (page_) delete page_.data();
}

void TextFetcher::Fetch(const std::string& address) {
  // A fresh page each time: the replaced fetch's signals can never answer the new one.
  if (page_) page_->deleteLater();
  auto* page = new QWebEnginePage(profile_, this);
  page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
  page->settings()->setAttribute(QWebEngineSettings::AutoLoadImages, false);
  page_ = page;
  address_ = address;
  connect(page, &QWebEnginePage::loadingChanged, this,
          [this, page](const QWebEngineLoadingInfo& info) { OnLoadingChanged(page, info); });
  page->load(QUrl(QString::fromStdString(address)));
}

void TextFetcher::OnLoadingChanged(QWebEnginePage* page, const QWebEngineLoadingInfo& info) {
  if (page != page_ || info.status() == QWebEngineLoadingInfo::LoadStartedStatus) return;
  int status = 0;
  if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus)
    status = 200;
  else if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain)
    status = info.errorCode();
  const std::string address = address_;
  if (status != 200) {
    page_ = nullptr;
    page->deleteLater();
    answer_(address, status, {});
    return;
  }
  QPointer<QWebEnginePage> alive(page);
  page->toPlainText([this, alive, address](const QString& text) {
    if (!alive || alive != page_) return;
    page_ = nullptr;
    alive->deleteLater();
    answer_(address, 200, text);
  });
}

}  // namespace tolvarine
