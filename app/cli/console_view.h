#pragma once
// The crawl's view for the command line: one progress line per page (on a terminal, one
// line redrawn in place) and the messages go to standard error; the counts are read from
// the controller.
#include <functional>
#include <optional>
#include <utility>
#include <string>

#include "app/cli/progress_line.h"
#include "engine/crawl_view.h"

namespace tolvarine {
class CrawlController;
}

namespace tolvarine::cli {

class ConsoleView : public CrawlView {
 public:
  // listFile: the GBK name the list "dialog" answers with.
  explicit ConsoleView(std::string listFile);

  // The controller whose counts the progress lines show.
  void SetController(const CrawlController* controller) { controller_ = controller; }
  // Where a shard's positions go: the list line, the pages done in this walk and, with
  // links followed, the addresses queued.
  using PositionSink = std::function<void(int line, long long pages, long long queued)>;
  // A shard of a --jobs run: each new position goes to onPosition instead of a progress
  // line, and the end of the walk is left to the parent to tell.
  void ReportPositionsTo(PositionSink onPosition) {
    onPosition_ = std::move(onPosition);
  }
  // Ends the progress line; the walk's totals follow it.
  void EndProgress() { progress_.Finish(); }

  void ShowSettings(const CrawlSettings&) override {}
  void ShowTotal(int) override {}
  // A new position: one progress line per page (in a crawl, only when the line or the pages
  // done moved on).
  void ShowPosition(int line) override;
  void ShowLinksFound(int) override {}
  void ShowPhonesFound(int) override {}
  void ClearCounts() override { pagesDone_ = 0; }
  // A page of the walk has ended (its record is made); a line's limit record is no page.
  void PageEnded() { ++pagesDone_; }
  // Told before each position of a walk that follows links: its line shows the crawl's counts.
  void ShowQueued(long long addresses) override {
    queued_ = addresses;
    crawl_ = true;
  }
  void ShowMessage(const std::string& text) override;
  void ShowCommandStates(const CommandStates&) override {}

  void ShowInformation(const std::string& text) override;
  void ShowPlainMessage(const std::string& text) override;
  void ShowError(const std::string& message) override;
  std::optional<std::string> AskResumeLine(const std::string&, const std::string&,
                                           const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseListFile(const std::string&) override { return listFile_; }
  void Repaint() override {}
  void Pause(int milliseconds) override;

  // True once a message box or error was shown (the walk may not have started).
  bool Complained() const { return complained_; }

 private:
  std::string listFile_;
  const CrawlController* controller_ = nullptr;
  bool complained_ = false;
  PositionSink onPosition_;
  long long pagesDone_ = 0;  // pages ended in this walk
  // The crawl's counts shown last: a page set aside and read again later shows nothing new.
  std::optional<std::pair<int, long long>> shown_;
  long long queued_ = 0;
  bool crawl_ = false;
  ProgressLine progress_{"page"};  // on a terminal, instead of a line per page
};

}  // namespace tolvarine::cli
