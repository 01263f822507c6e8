#pragma once
// The whole contract between the crawl engine and a browser. Texts are GBK.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

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
  // What the document states for machines, read only when the browser was asked to
  // (PageBrowser::SetReadsStructured); empty otherwise. The head's outer markup; the
  // telephones of its structured data (JSON-LD "telephone" members at any depth, microdata
  // itemprop="telephone": the content attribute, else the text), as written; the targets of
  // its tel: links anywhere, "tel:" left off and percent-decoded.
  virtual std::string HeadOuterHtml() { return {}; }
  virtual std::vector<std::string> StructuredTelephones() { return {}; }
  virtual std::vector<std::string> TelTargets() { return {}; }
};

// One step that makes the current document show what it holds back until asked.
struct RevealStep {
  enum class Kind { Scroll, Click };
  Kind kind = Kind::Scroll;
  // Click: the own texts (GBK) an element must have to be clicked.
  std::vector<std::string> texts;
  int waitMs = 2000;  // how long to wait for the page to grow or change
  bool operator==(const RevealStep&) const = default;
};

// What a reveal step did.
struct RevealAnswer {
  // Scroll: the page could be scrolled; click: an element was clicked (none left: false).
  bool acted = false;
  bool changed = false;  // the page grew (scroll) or changed (click) within the wait
  // The page tried to load another address during the step: the load was stopped and the
  // document is as it stood.
  bool navigationStopped = false;
  bool operator==(const RevealAnswer&) const = default;
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
  // The answer to Reveal, once its wait is over. By then the document (Document()) shows the
  // page as the step left it.
  virtual void OnRevealed(const RevealAnswer& /*answer*/) {}
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
  // Whether documents read from now on include what they state for machines (see
  // PageDocument::HeadOuterHtml); off by default, as reading it costs a little on every page.
  virtual void SetReadsStructured(bool /*on*/) {}
  // Starts a reveal step on the current document and returns at once; the answer arrives as
  // OnRevealed, from the event loop. While a step runs, a load of another address the page
  // starts on its own is stopped. A browser that cannot reveal throws (callers swallow it).
  virtual void Reveal(const RevealStep& /*step*/) {
    throw std::logic_error("this browser cannot reveal");
  }
};

}  // namespace tolvarine
