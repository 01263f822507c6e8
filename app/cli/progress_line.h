#pragma once
// A one-line progress display for a terminal: position, rate and time left, redrawn in
// place on standard error. Where standard error is not a terminal it shows nothing, so
// logs and pipes keep the commands' plain lines. The line is cut to the terminal's width:
// a line that wrapped could not be redrawn in place.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "engine/page_log.h"

namespace tolvarine::cli {

// "<label> <done>/<total>  <extra>  <rate>/s  <time> left"; the rate and time left only
// once a rate is known (perSecond > 0), the extra only when given.
std::string ProgressText(std::string_view label, std::int64_t done, std::int64_t total,
                         double perSecond, std::string_view extra);

// A crawl's counts: the list line being walked, the pages done, the addresses waiting in
// the queue and the numbers found.
struct CrawlCounts {
  int line = 0;
  int lines = 0;
  long long pages = 0;
  long long queued = 0;
  long long phones = 0;
};

// "line <line>/<lines>  pages <n>  queued <n>  phones <n>", thousands set apart by commas.
std::string CrawlProgressText(const CrawlCounts& counts);

class ProgressLine {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  using Writer = std::function<void(std::string_view)>;
  // The terminal's width in columns, asked at each draw (the window may be resized); 0
  // when unknown, which leaves the line uncut.
  using Columns = std::function<int()>;

  // A display that writes through writer when onTerminal, timed by clock.
  ProgressLine(std::string label, bool onTerminal, Writer writer, Clock clock,
               Columns columns = {});
  // A display on standard error, shown when standard error is a terminal.
  explicit ProgressLine(std::string label);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  bool Shown() const { return onTerminal_; }
  // Redraws the line, at most every 100 ms; the first position and the last
  // (done == total) are always drawn. The rate counts from the first position given.
  void Update(std::int64_t done, std::int64_t total, std::string_view extra = {});
  // Redraws the line with the text as given (no label, rate or time left), at most every
  // 100 ms unless `last`.
  void UpdateText(std::string text, bool last = false);
  // Ends a drawn line so that what follows starts on a line of its own.
  void Finish();
  // Blanks a drawn line and puts the cursor at its start, so that a row printed next takes
  // its place; the next Update draws the line again below the row, however soon.
  void ClearForRow();

 private:
  friend void BreakProgressLine();

  // Whether a redraw is due now (the first and the last always are); notes the time.
  bool Due(bool last);
  // Draws the text in place, cut to the terminal's width.
  void Draw(std::string text);

  std::string label_;
  bool onTerminal_;
  Writer writer_;
  Clock clock_;
  Columns columns_;
  bool started_ = false;
  std::int64_t firstDone_ = 0;
  std::chrono::steady_clock::time_point start_{};
  std::chrono::steady_clock::time_point lastDraw_{};
  std::size_t drawnWidth_ = 0;
  bool lineOpen_ = false;
  bool cleared_ = false;  // blanked for a row: drawn again at the next Update
};

// A walk's progress, "page <done>/<total>  links <n>  phones <n>": redrawn in place on a
// terminal, a line of its own elsewhere.
void ShowPageProgress(ProgressLine& line, int done, int total, int links, int phones);

// "line N: page limit of M reached, K links not walked": what standard error says once of a
// line the pages-per-line limit cut, from its record (outcome Limit) and the limit.
std::string LineCutMessage(const PageRecord& record, int limit);

// A crawl's progress (CrawlProgressText): redrawn in place on a terminal, a line of its own
// elsewhere.
void ShowCrawlProgress(ProgressLine& line, const CrawlCounts& counts);

// Ends the line of the progress display drawn on the terminal, if any: called before a
// message goes to standard error so that the message does not land inside it.
void BreakProgressLine();

// Called before a row is written to `rows`: when the progress display holds a line on the
// terminal `rows` also goes to, blanks it (ClearForRow), so the row does not land inside
// it. Rows going to a file or a pipe leave the display alone.
void ClearProgressLineBefore(std::FILE* rows);

}  // namespace tolvarine::cli
