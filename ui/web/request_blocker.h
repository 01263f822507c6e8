#pragma once
// Keeps a walk's pages from asking for what is never harvested (images, fonts, media):
// a request interceptor on the walk's profile that blocks those kinds of request before
// they are sent, which spares the sites the traffic and the walk the time.
#include <QWebEngineUrlRequestInterceptor>
#include <atomic>
#include <functional>

#include "engine/extra_options_file.h"

namespace tolvarine {

struct BlockedKinds {
  bool images = false;
  bool fonts = false;
  bool media = false;
};

BlockedKinds BlockedKindsOf(const ExtraOptions& options);

// Whether a request of this kind is blocked. Documents, scripts, style sheets and the
// page's own requests (fetch, XMLHttpRequest) always go out: they make the page.
bool Blocks(const BlockedKinds& kinds, QWebEngineUrlRequestInfo::ResourceType type);

class RequestBlocker : public QWebEngineUrlRequestInterceptor {
 public:
  // kinds is asked at each request (on the thread of the event loop), so that a change of
  // the options applies from the next request on.
  RequestBlocker(std::function<BlockedKinds()> kinds, QObject* parent);
  void interceptRequest(QWebEngineUrlRequestInfo& info) override;
  // Requests for what can make a page grow (scripts, fetches, frames) seen so far, blocked or not.
  int Requests() const { return requests_.load(); }

 private:
  std::function<BlockedKinds()> kinds_;
  std::atomic<int> requests_{0};
};

}  // namespace tolvarine
