#include "app/cli/console_view.h"

#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <string>

#include "app/cli/command_io.h"
#include "engine/crawl_controller.h"
#include "engine/crawl_texts.h"

namespace tolvarine::cli {

ConsoleView::ConsoleView(std::string listFile) : listFile_(std::move(listFile)) {}

void ConsoleView::ShowPosition(int line) {
  const long long pages = pagesDone_;
  if (crawl_) {
    if (shown_ == std::pair{line, pages}) return;
    shown_ = std::pair{line, pages};
  }
  if (onPosition_) {
    onPosition_(line, pages, queued_);
    return;
  }
  if (!controller_) return;
  if (crawl_) {
    ShowCrawlProgress(progress_, {line, controller_->Total(), pages, queued_,
                                  controller_->PhonesFound()});
    return;
  }
  ShowPageProgress(progress_, line, controller_->Total(), controller_->LinksFound(),
                   controller_->PhonesFound());
}

void ConsoleView::ShowMessage(const std::string& text) {
  // The numbers left out that the window's closing message gives are in the closing totals.
  const bool finished = text.starts_with(texts::kFinished);
  if (finished && onPosition_) return;
  if (!text.empty()) PrintMessage(finished ? std::string(texts::kFinished) : text);
}

void ConsoleView::ShowInformation(const std::string& text) {
  complained_ = true;
  PrintMessage(text);
}

void ConsoleView::ShowPlainMessage(const std::string& text) {
  complained_ = true;
  PrintMessage(text);
}

void ConsoleView::ShowError(const std::string& message) {
  complained_ = true;
  PrintFailure(message);
}

void ConsoleView::Pause(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace tolvarine::cli
