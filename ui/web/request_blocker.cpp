#include "ui/web/request_blocker.h"

namespace tolvarine {

BlockedKinds BlockedKindsOf(const ExtraOptions& options) {
  return {options.blockImages, options.blockFonts, options.blockMedia};
}

bool Blocks(const BlockedKinds& kinds, QWebEngineUrlRequestInfo::ResourceType type) {
  switch (type) {
    case QWebEngineUrlRequestInfo::ResourceTypeImage:
    case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
      return kinds.images;
    case QWebEngineUrlRequestInfo::ResourceTypeFontResource:
      return kinds.fonts;
    case QWebEngineUrlRequestInfo::ResourceTypeMedia:
      return kinds.media;
    default:
      return false;
  }
}

RequestBlocker::RequestBlocker(std::function<BlockedKinds()> kinds, QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent), kinds_(std::move(kinds)) {}

void RequestBlocker::interceptRequest(QWebEngineUrlRequestInfo& info) {
  switch (info.resourceType()) {
    case QWebEngineUrlRequestInfo::ResourceTypeScript:
    case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
    case QWebEngineUrlRequestInfo::ResourceTypeXhr:
      ++requests_;
      break;
    default:
      break;
  }
  if (kinds_ && Blocks(kinds_(), info.resourceType())) info.block(true);
}

}  // namespace tolvarine
