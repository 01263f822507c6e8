#pragma once
// A PageBrowser that serves pages given as data, with completion events on a virtual
// clock. Navigate starts a navigation with a fresh top-level frame: after the page's
// navigate delay its navigate-complete events arrive (top level first, then its sub-frames),
// and after its complete delay the sub-frames' document-complete events and then the top
// level's. A new Navigate replaces the one in flight (its pending events never arrive).
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "engine/page_browser.h"
#include "tests/support/virtual_clock.h"

namespace tolvarine::testing {

// What a reveal step does to a stored page: its answer, and the text and links the
// document gains (before the answer arrives).
struct StoredReveal {
  RevealAnswer answer;
  std::string addText;
  std::vector<std::string> addLinks;
};

struct StoredPage {
  std::vector<std::string> links;
  std::string outerText;
  std::string outerHtml;
  // The address the browser reports once the page has arrived, when it differs from the
  // one navigated to (a redirect); empty: the same.
  std::string redirectTo;
  bool noBody = false;          // reading the body (text or markup) throws
  bool noLinks = false;         // reading the link collection throws
  bool neverCompletes = false;  // the top-level document-complete never arrives
  // How each load of it is answered, in turn (OnLoadAnswered, as it arrives); past the
  // last, or with none, 200. noAnswer: no answer is ever sent.
  std::vector<LoadAnswer> answers;
  bool noAnswer = false;
  // What the document states for machines (read whatever the browser was asked).
  std::string headHtml;
  std::vector<std::string> structuredTelephones;
  std::vector<std::string> telTargets;
  // Reveal steps: step n (from 0) of the current load; none (nullopt): the step is never
  // answered. Without it, every step is answered as doing nothing.
  std::function<std::optional<StoredReveal>(int step, const RevealStep&)> reveal;
  int revealDelayMs = 500;
  int navigateDelayMs = 100;
  int completeDelayMs = 1000;
  int subFrames = 0;
};

class StoredPagesBrowser : public PageBrowser {
 public:
  explicit StoredPagesBrowser(VirtualClock& clock);
  ~StoredPagesBrowser() override;

  // Text files for FetchText: the HTTP status and body answered after `delayMs`. An address
  // not added is answered 404; one added with noAnswer never is.
  struct StoredText {
    int status = 200;
    std::string body;
    int delayMs = 100;
    bool noAnswer = false;
  };
  void AddText(const std::string& address, StoredText text);

  // Pages not added are served as empty pages that complete.
  void AddPage(const std::string& address, StoredPage page);
  StoredPage& Page(const std::string& address);
  // Navigate throws for these addresses (the empty address always throws).
  void FailNavigateTo(const std::string& address);

  void Navigate(const std::string& address) override;
  std::string LocationURL() override;
  PageDocument* Document() override;
  void SetListener(PageBrowserListener* listener) override;
  void FetchText(const std::string& address) override;
  // Answered from the same stored files, their body as the bytes.
  void FetchBytes(const std::string& address) override;
  // Every address given to FetchText or FetchBytes, in order.
  const std::vector<std::string>& Fetches() const { return fetches_; }

  // Every address given to Navigate, in order (failed ones too), and the virtual time of
  // each call.
  const std::vector<std::string>& Navigations() const { return navigations_; }
  const std::vector<std::int64_t>& NavigationTimes() const { return navigationTimes_; }
  // Answers each step through the listener after the page's revealDelayMs; with
  // cannotReveal set, throws as a browser that cannot reveal.
  void Reveal(const RevealStep& step) override;
  void SetReadsStructured(bool on) override { readsStructured_ = on; }
  bool ReadsStructured() const { return readsStructured_; }
  bool cannotReveal = false;
  // Every step asked for, and the virtual time of each.
  const std::vector<RevealStep>& Reveals() const { return reveals_; }
  const std::vector<std::int64_t>& RevealTimes() const { return revealTimes_; }
  // Body reads (outer text or markup) of all documents so far.
  int BodyReads() const { return bodyReads_; }

 private:
  class StoredDocument;
  void Fetch(const std::string& address, bool bytes);
  void Arrive(const std::string& address, const StoredPage& page, FrameId top);

  VirtualClock& clock_;
  PageBrowserListener* listener_ = nullptr;
  std::map<std::string, StoredPage> pages_;
  std::map<std::string, StoredText> texts_;
  std::map<std::string, std::size_t> loads_;  // loads of each address so far
  std::vector<std::string> fetches_;
  std::vector<std::string> failing_;
  std::vector<std::string> navigations_;
  std::vector<std::int64_t> navigationTimes_;
  std::unique_ptr<StoredDocument> document_;
  std::string location_;
  FrameId nextFrame_ = 1;
  int generation_ = 0;
  int bodyReads_ = 0;
  bool readsStructured_ = false;
  std::vector<RevealStep> reveals_;
  std::vector<std::int64_t> revealTimes_;
  int revealStep_ = 0;  // steps of the current load so far
};

}  // namespace tolvarine::testing
