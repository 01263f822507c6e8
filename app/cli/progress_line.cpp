#include "app/cli/progress_line.h"

#include "base/platform/streams.h"

namespace tolvarine::cli {
namespace {

constexpr auto kRedrawPeriod = std::chrono::milliseconds(100);

// The display currently holding an unfinished line on the terminal.
ProgressLine* openLine = nullptr;

std::string Duration(double seconds) {
  const auto total = static_cast<long long>(seconds + 0.5);
  const long long h = total / 3600, m = total / 60 % 60, s = total % 60;
  char text[48];
  if (h > 0)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", h, m, s);
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", m, s);
  return text;
}

std::string Rate(double perSecond) {
  char text[48];
  std::snprintf(text, sizeof text, perSecond < 10 ? "%.1f/s" : "%.0f/s", perSecond);
  return text;
}

// The number with its thousands set apart by commas: 1,030.
std::string Grouped(long long n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, ',');
  return n < 0 ? "-" + digits : digits;
}

}  // namespace

std::string CrawlProgressText(const CrawlCounts& c) {
  return "line " + Grouped(c.line) + '/' + Grouped(c.lines) + "  pages " + Grouped(c.pages) +
         "  queued " + Grouped(c.queued) + "  phones " + Grouped(c.phones);
}

std::string ProgressText(std::string_view label, std::int64_t done, std::int64_t total,
                         double perSecond, std::string_view extra) {
  std::string text(label);
  text += ' ' + std::to_string(done) + '/' + std::to_string(total);
  if (!extra.empty()) (text += "  ") += extra;
  if (perSecond > 0) {
    text += "  " + Rate(perSecond);
    const std::int64_t left = total > done ? total - done : 0;
    text += "  " + Duration(static_cast<double>(left) / perSecond) + " left";
  }
  return text;
}

ProgressLine::ProgressLine(std::string label, bool onTerminal, Writer writer, Clock clock,
                           Columns columns)
    : label_(std::move(label)),
      onTerminal_(onTerminal),
      writer_(std::move(writer)),
      clock_(std::move(clock)),
      columns_(std::move(columns)) {}

ProgressLine::ProgressLine(std::string label)
    : ProgressLine(
          std::move(label), platform::IsTerminal(stderr),
          [](std::string_view text) {
            std::fwrite(text.data(), 1, text.size(), stderr);
            std::fflush(stderr);
          },
          [] { return std::chrono::steady_clock::now(); },
          [] { return platform::TerminalColumns(stderr); }) {}

ProgressLine::~ProgressLine() { Finish(); }

bool ProgressLine::Due(bool last) {
  const auto now = clock_();
  if (!started_) {
    started_ = true;
    start_ = now;
  } else if (!last && !cleared_ && now - lastDraw_ < kRedrawPeriod) {
    return false;
  }
  lastDraw_ = now;
  cleared_ = false;
  return true;
}

void ProgressLine::Update(std::int64_t done, std::int64_t total, std::string_view extra) {
  if (!onTerminal_) return;
  if (!started_) firstDone_ = done;
  if (!Due(done >= total)) return;
  const double seconds = std::chrono::duration<double>(lastDraw_ - start_).count();
  const double perSecond = seconds > 0 ? static_cast<double>(done - firstDone_) / seconds : 0;
  Draw(ProgressText(label_, done, total, perSecond, extra));
}

void ProgressLine::UpdateText(std::string text, bool last) {
  if (onTerminal_ && Due(last)) Draw(std::move(text));
}

void ProgressLine::Draw(std::string text) {
  // One column short of the width, as a character in the last column makes some terminals
  // wrap at once; cut between fields where one fits. The text is ASCII, a column a byte.
  const int columns = columns_ ? columns_() : 0;
  if (columns > 1 && text.size() >= static_cast<std::size_t>(columns)) {
    const std::size_t limit = static_cast<std::size_t>(columns) - 1;
    const std::size_t field = text.rfind("  ", limit);
    text.resize(field != std::string::npos && field > 0 ? field : limit);
  }
  const std::size_t width = text.size();
  // Blanks over the rest of a longer earlier line.
  if (width < drawnWidth_) text.append(drawnWidth_ - width, ' ');
  if (openLine && openLine != this) BreakProgressLine();
  writer_("\r" + text);
  drawnWidth_ = width;
  lineOpen_ = true;
  openLine = this;
}

void ProgressLine::Finish() {
  if (lineOpen_) {
    writer_("\n");
    lineOpen_ = false;
    drawnWidth_ = 0;
  }
  if (openLine == this) openLine = nullptr;
}

void ProgressLine::ClearForRow() {
  if (!lineOpen_) return;
  writer_("\r" + std::string(drawnWidth_, ' ') + "\r");
  lineOpen_ = false;
  drawnWidth_ = 0;
  cleared_ = true;
}

void ShowPageProgress(ProgressLine& line, int done, int total, int links, int phones) {
  const std::string counts = "links " + std::to_string(links) + "  phones " + std::to_string(phones);
  if (line.Shown()) {
    line.Update(done, total, counts);
  } else {
    std::fprintf(stderr, "page %d/%d  %s\n", done, total, counts.c_str());
  }
}

std::string LineCutMessage(const PageRecord& record, int limit) {
  return "line " + std::to_string(record.line) + ": page limit of " + std::to_string(limit) +
         " reached, " + std::to_string(record.linksAll) +
         (record.linksAll == 1 ? " link" : " links") + " not walked";
}

void ShowCrawlProgress(ProgressLine& line, const CrawlCounts& counts) {
  std::string text = CrawlProgressText(counts);
  if (line.Shown()) {
    line.UpdateText(std::move(text), counts.line >= counts.lines && counts.queued == 0);
  } else {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

void BreakProgressLine() {
  if (openLine) openLine->Finish();
}

void ClearProgressLineBefore(std::FILE* rows) {
  if (openLine && platform::SameTerminal(rows, stderr)) openLine->ClearForRow();
}

}  // namespace tolvarine::cli
