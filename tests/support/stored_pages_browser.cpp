#include "tests/support/stored_pages_browser.h"

#include <algorithm>
#include <stdexcept>

namespace tolvarine::testing {

class StoredPagesBrowser::StoredDocument : public PageDocument {
 public:
  StoredDocument(StoredPage page, int& bodyReads) : page_(std::move(page)), bodyReads_(bodyReads) {}
  int LinksLength() override {
    if (page_.noLinks) throw std::runtime_error("the document has no link collection");
    return static_cast<int>(page_.links.size());
  }
  std::string LinkItem(int index) override {
    if (page_.noLinks) throw std::runtime_error("the document has no link collection");
    return page_.links.at(static_cast<std::size_t>(index));
  }
  std::string BodyOuterText() override {
    ++bodyReads_;
    if (page_.noBody) throw std::runtime_error("the document has no body");
    return page_.outerText;
  }
  std::string BodyOuterHtml() override {
    ++bodyReads_;
    if (page_.noBody) throw std::runtime_error("the document has no body");
    return page_.outerHtml;
  }
  std::string HeadOuterHtml() override { return page_.headHtml; }
  std::vector<std::string> StructuredTelephones() override { return page_.structuredTelephones; }
  std::vector<std::string> TelTargets() override { return page_.telTargets; }
  const StoredPage& Stored() const { return page_; }
  void Grow(const StoredReveal& step) {
    page_.outerText += step.addText;
    page_.links.insert(page_.links.end(), step.addLinks.begin(), step.addLinks.end());
  }

 private:
  StoredPage page_;
  int& bodyReads_;
};

StoredPagesBrowser::StoredPagesBrowser(VirtualClock& clock) : clock_(clock) {}
StoredPagesBrowser::~StoredPagesBrowser() = default;

void StoredPagesBrowser::AddPage(const std::string& address, StoredPage page) {
  pages_[address] = std::move(page);
}

StoredPage& StoredPagesBrowser::Page(const std::string& address) { return pages_[address]; }

void StoredPagesBrowser::FailNavigateTo(const std::string& address) { failing_.push_back(address); }

void StoredPagesBrowser::Navigate(const std::string& address) {
  navigations_.push_back(address);
  navigationTimes_.push_back(clock_.Now());
  if (address.empty() || std::find(failing_.begin(), failing_.end(), address) != failing_.end())
    throw std::runtime_error("navigation failed");
  const int generation = ++generation_;
  const auto it = pages_.find(address);
  StoredPage page = it != pages_.end() ? it->second : StoredPage{};
  const std::size_t load = loads_[address]++;
  if (load < page.answers.size()) {
    page.answers = {page.answers[load]};
  } else {
    page.answers.clear();
  }
  const FrameId top = nextFrame_;
  nextFrame_ += 1 + static_cast<FrameId>(page.subFrames);
  clock_.CallAfter(page.navigateDelayMs, [this, generation, address, page, top] {
    if (generation != generation_) return;
    Arrive(address, page, top);
  });
  clock_.CallAfter(std::max(page.completeDelayMs, page.navigateDelayMs),
                   [this, generation, address, page, top] {
                     if (generation != generation_ || listener_ == nullptr) return;
                     for (int i = 1; i <= page.subFrames; ++i)
                       listener_->OnDocumentComplete(top + static_cast<FrameId>(i), address);
                     if (!page.neverCompletes) listener_->OnDocumentComplete(top, address);
                   });
}

void StoredPagesBrowser::Arrive(const std::string& address, const StoredPage& page, FrameId top) {
  document_ = std::make_unique<StoredDocument>(page, bodyReads_);
  revealStep_ = 0;
  location_ = page.redirectTo.empty() ? address : page.redirectTo;
  if (listener_ == nullptr) return;
  listener_->OnNavigateComplete(top, address);
  if (!page.noAnswer)
    listener_->OnLoadAnswered(top, page.answers.empty() ? LoadAnswer{} : page.answers.front());
  for (int i = 1; i <= page.subFrames; ++i)
    listener_->OnNavigateComplete(top + static_cast<FrameId>(i), address);
}

void StoredPagesBrowser::Reveal(const RevealStep& step) {
  reveals_.push_back(step);
  revealTimes_.push_back(clock_.Now());
  if (cannotReveal) throw std::runtime_error("this browser cannot reveal");
  if (!document_) throw std::runtime_error("no document");
  const StoredPage& page = document_->Stored();
  std::optional<StoredReveal> result =
      page.reveal ? page.reveal(revealStep_++, step) : StoredReveal{};
  if (!result) return;
  const int generation = generation_;
  clock_.CallAfter(page.revealDelayMs, [this, generation, result = *result] {
    if (generation != generation_ || !document_) return;
    document_->Grow(result);
    if (listener_) listener_->OnRevealed(result.answer);
  });
}

std::string StoredPagesBrowser::LocationURL() { return location_; }

PageDocument* StoredPagesBrowser::Document() { return document_.get(); }

void StoredPagesBrowser::SetListener(PageBrowserListener* listener) { listener_ = listener; }

void StoredPagesBrowser::AddText(const std::string& address, StoredText text) {
  texts_[address] = std::move(text);
}

void StoredPagesBrowser::FetchText(const std::string& address) { Fetch(address, false); }

void StoredPagesBrowser::FetchBytes(const std::string& address) { Fetch(address, true); }

void StoredPagesBrowser::Fetch(const std::string& address, bool bytes) {
  fetches_.push_back(address);
  auto found = texts_.find(address);
  const StoredText text = found != texts_.end() ? found->second : StoredText{404, {}, 100, false};
  if (text.noAnswer) return;
  clock_.CallAfter(text.delayMs, [this, address, text, bytes] {
    if (!listener_) return;
    if (bytes) {
      listener_->OnBytesFetched(address, text.status, text.body);
    } else {
      listener_->OnTextFetched(address, text.status, text.body);
    }
  });
}

}  // namespace tolvarine::testing
