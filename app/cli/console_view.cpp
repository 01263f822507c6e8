#include "app/cli/console_view.h"

#include <QEventLoop>
#include <QTimer>
#include <cstdio>

#include "app/cli/command_io.h"
#include "base/gbk.h"
#include "base/number_text.h"

namespace tolvarine::cli {

ConsoleView::ConsoleView(std::string listFile) : listFile_(std::move(listFile)) {
  // The rule fields' defaults, as in the window.
  rules_[RuleList::Prefixes] = "13\r\n15\r\n18";
  rules_[RuleList::MustContain] = "http://\r\n.";
  rules_[RuleList::MustNotContain] = "$\r\n#";
}

bool ConsoleView::Option(CrawlOption option) {
  auto it = options_.find(option);
  return it != options_.end() && it->second;
}

void ConsoleView::SetOption(CrawlOption option, bool ticked) { options_[option] = ticked; }

void ConsoleView::SetSpeed(int seconds) { speedText_ = IntToStr(seconds); }

std::string ConsoleView::RuleText(RuleList list) { return rules_[list]; }

void ConsoleView::SetRuleText(RuleList list, const std::string& text) { rules_[list] = text; }

void ConsoleView::SetPanel(int index, const std::string& text) {
  if (index < 0 || index >= static_cast<int>(panels_.size())) return;
  panels_[static_cast<size_t>(index)] = text;
  if (index == 8 && !text.empty()) PrintMessage(text);
  // A new position means the previous page is done: one progress line per page.
  if (index == 3 && !text.empty()) PrintProgress();
}

void ConsoleView::PrintProgress() {
  auto number = [](const std::string& s) { return s.empty() ? std::string("0") : s; };
  if (progress_.Shown()) {
    progress_.Update(TryStrToInt(panels_[3]).value_or(0), TryStrToInt(panels_[1]).value_or(0),
                     "links " + number(panels_[5]) + "  phones " + number(panels_[7]));
    return;
  }
  std::fprintf(stderr, "page %s/%s  links %s  phones %s\n", panels_[3].c_str(),
               number(panels_[1]).c_str(), number(panels_[5]).c_str(),
               number(panels_[7]).c_str());
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
