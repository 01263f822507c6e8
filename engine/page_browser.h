#pragma once
// The whole contract between the crawl engine and a browser. Texts are GBK.
#include <cstdint>
#include <string>

namespace tolvarine {

// Opaque frame identity: stored and compared, never looked into. 0 is no frame.
using FrameId = std::uint64_t;

// A loaded document, read through the few operations the harvesters need. Reading a part
// that is missing (no body, no link collection) throws.
class PageDocument {
 public:
  virtual ~PageDocument() = default;
  virtual int LinksLength() = 0;
  virtual std::string LinkItem(int index) = 0;  // absolute target address
  virtual std::string BodyOuterText() = 0;
  virtual std::string BodyOuterHtml() = 0;
};

// How the server answered a top-level load.
struct LoadAnswer {
  int status = 200;  // the HTTP status after redirects (any success: 200); 0: none came
  // With status 0, the network error's name: "connection-refused", "connection-reset",
  // "timed-out", "name-not-resolved", "tls-failed" or "network-error".
  std::string error;
  int retryAfterSeconds = -1;  // the answer's Retry-After in seconds; -1: none given
  bool operator==(const LoadAnswer&) const = default;
};

// Receives the browser's events (the crawl controller, which guards them itself).
class PageBrowserListener {
 public:
  virtual ~PageBrowserListener() = default;
  virtual void OnNavigateComplete(FrameId frame, const std::string& address) = 0;
  virtual void OnDocumentComplete(FrameId frame, const std::string& address) = 0;
  // How the top-level load of `frame` was answered; comes before its OnDocumentComplete (a
  // failed load may have no document complete at all). A browser that sends none leaves
  // every page counted as answered 200.
  virtual void OnLoadAnswered(FrameId /*frame*/, const LoadAnswer& /*answer*/) {}
  // The answer to FetchText: the HTTP status after redirects (0 when none came) and the
  // body as UTF-8 text (robots.txt rules match percent-encoded UTF-8 addresses).
  virtual void OnTextFetched(const std::string& /*address*/, int /*status*/,
                             const std::string& /*body*/) {}
  // The answer to FetchBytes: the HTTP status after redirects (0 when none came) and the
  // body's bytes as they came (a sitemap, maybe gzip).
  virtual void OnBytesFetched(const std::string& /*address*/, int /*status*/,
                              const std::string& /*bytes*/) {}
};

class PageBrowser {
 public:
  virtual ~PageBrowser() = default;
  // Starts loading and returns at once; may throw (callers swallow it).
  virtual void Navigate(const std::string& address) = 0;
  // The current top-level address; empty when nothing is loaded.
  virtual std::string LocationURL() = 0;
  // The current document, or nullptr while none exists.
  virtual PageDocument* Document() = 0;
  virtual void SetListener(PageBrowserListener* listener) = 0;
  // Asks for a text file (a site's robots.txt) through the browser's own network stack,
  // beside the page; the answer arrives as OnTextFetched. May throw (callers swallow it).
  virtual void FetchText(const std::string& address) = 0;
  // Asks for a file's raw bytes (a sitemap) as FetchText does; the answer arrives as
  // OnBytesFetched. May throw (callers swallow it).
  virtual void FetchBytes(const std::string& address) = 0;
};

}  // namespace tolvarine
