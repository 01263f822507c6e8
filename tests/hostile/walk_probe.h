#pragma once
// A see-through PageBrowser between the crawl and the real pane: everything is passed on
// unchanged, and for every address the crawl loads it notes what the walk did with the
// page (harvested, harvest failed, or left unharvested for the next address).
#include <QElapsedTimer>
#include <memory>
#include <string>
#include <vector>

#include "engine/page_browser.h"
#include "ui/web/web_page_browser.h"

namespace tolvarine::testing {

enum class Outcome {
  Loading,        // still the current page
  Harvested,      // the harvesters read the whole document
  HarvestFailed,  // a read of the document threw (the crawl reports it and moves on later)
  Abandoned,      // the next address was loaded before any harvest (the watchdog's doing)
};
const char* OutcomeName(Outcome outcome);

struct Visit {
  std::string address;     // as the crawl asked for it (GBK)
  qint64 startMs = 0;      // since the probe was made
  qint64 completeMs = -1;  // first document-complete of this load, -1 when none
  qint64 endMs = -1;       // harvest done or failed, or the next address loaded
  Outcome outcome = Outcome::Loading;
  std::string failure;  // the read's failure message
  std::string text;     // the body text the harvest read (its first 64 KiB)
};

class WalkProbe : public PageBrowser, public PageBrowserListener {
 public:
  explicit WalkProbe(WebPageBrowser& inner);
  ~WalkProbe() override;

  void Navigate(const std::string& address) override;
  std::string LocationURL() override { return inner_.LocationURL(); }
  PageDocument* Document() override;
  void SetListener(PageBrowserListener* listener) override { listener_ = listener; }
  void FetchText(const std::string& address) override { inner_.FetchText(address); }
  void FetchBytes(const std::string& address) override { inner_.FetchBytes(address); }

  void OnNavigateComplete(FrameId frame, const std::string& address) override;
  void OnDocumentComplete(FrameId frame, const std::string& address) override;
  void OnTextFetched(const std::string& address, int status, const std::string& body) override {
    if (listener_) listener_->OnTextFetched(address, status, body);
  }
  void OnBytesFetched(const std::string& address, int status, const std::string& bytes) override {
    if (listener_) listener_->OnBytesFetched(address, status, bytes);
  }

  const std::vector<Visit>& Visits() const { return visits_; }
  // The visits as a table, one line per address.
  std::string Table() const;

 private:
  class Reader;
  Visit* Current() { return visits_.empty() ? nullptr : &visits_.back(); }

  WebPageBrowser& inner_;
  PageBrowserListener* listener_ = nullptr;
  QElapsedTimer clock_;
  std::vector<Visit> visits_;
  std::unique_ptr<Reader> reader_;
};

}  // namespace tolvarine::testing
