#pragma once
// Helpers of the WebEngine tests: an event-recording listener and event-loop waits.
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <memory>

#include "base/gbk.h"
#include "tests/ui_web/event_loop_wait.h"
#include "engine/page_browser.h"
#include "tests/support/local_http_server.h"
#include "ui/web/web_page_browser.h"

namespace tolvarine::testing {

struct BrowserEvent {
  bool document;  // false: navigate-complete
  FrameId frame;
  std::string address;
};

class RecordingListener : public PageBrowserListener {
 public:
  void OnNavigateComplete(FrameId frame, const std::string& address) override {
    events.push_back({false, frame, address});
  }
  void OnLoadAnswered(FrameId frame, const LoadAnswer& answer) override {
    answers.push_back({frame, answer, Documents()});
  }
  void OnDocumentComplete(FrameId frame, const std::string& address) override {
    events.push_back({true, frame, address});
    if (onDocument) onDocument(frame);
  }
  void OnRevealed(const RevealAnswer& answer) override { revealed.push_back(answer); }
  int Documents() const {
    int n = 0;
    for (const auto& e : events) n += e.document ? 1 : 0;
    return n;
  }
  struct Answer {
    FrameId frame;
    LoadAnswer answer;
    int documentsBefore;  // documents completed when the answer came
  };
  std::vector<BrowserEvent> events;
  std::vector<Answer> answers;
  std::vector<RevealAnswer> revealed;
  std::function<void(FrameId)> onDocument;
};

// A shown pane with a recording listener, a local server, and the failures its guard saw.
class WebPaneTest : public ::testing::Test {
 protected:
  void SetUp() override { MakePane(1); }

  void MakePane(int recycleEvery, bool shown = true) {
    browser.reset();
    browser = std::make_unique<WebPageBrowser>(
        [this](const std::string& message) { failures.push_back(message); }, nullptr,
        recycleEvery);
    browser->SetListener(&listener);
    browser->resize(800, 600);
    if (shown) browser->show();
  }

  // Navigates and waits for the next document-complete; false when it never came.
  bool Load(const std::string& path) {
    const int before = listener.Documents();
    browser->Navigate(server.Url(path));
    return WaitUntil([&] { return listener.Documents() > before; });
  }

  static std::string Gbk(const std::string& utf8) { return Utf8ToGbk(utf8); }

  LocalHttpServer server;
  RecordingListener listener;
  std::vector<std::string> failures;
  std::unique_ptr<WebPageBrowser> browser;
};

}  // namespace tolvarine::testing

