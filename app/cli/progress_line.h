#pragma once
// A one-line progress display for a terminal: position, rate and time left, redrawn in
// place on standard error. Where standard error is not a terminal it shows nothing, so
// logs and pipes keep the commands' plain lines.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tolvarine::cli {

// "<label> <done>/<total>  <extra>  <rate>/s  <time> left"; the rate and time left only
// once a rate is known (perSecond > 0), the extra only when given.
std::string ProgressText(std::string_view label, std::int64_t done, std::int64_t total,
                         double perSecond, std::string_view extra);

class ProgressLine {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  using Writer = std::function<void(std::string_view)>;

  // A display that writes through writer when onTerminal, timed by clock.
  ProgressLine(std::string label, bool onTerminal, Writer writer, Clock clock);
  // A display on standard error, shown when standard error is a terminal.
  explicit ProgressLine(std::string label);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  bool Shown() const { return onTerminal_; }
  // Redraws the line, at most every 100 ms; the first position and the last
  // (done == total) are always drawn. The rate counts from the first position given.
  void Update(std::int64_t done, std::int64_t total, std::string_view extra = {});
  // Ends a drawn line so that what follows starts on a line of its own.
  void Finish();

 private:
  friend void BreakProgressLine();

  std::string label_;
  bool onTerminal_;
  Writer writer_;
  Clock clock_;
  bool started_ = false;
  std::int64_t firstDone_ = 0;
  std::chrono::steady_clock::time_point start_{};
  std::chrono::steady_clock::time_point lastDraw_{};
  std::size_t drawnWidth_ = 0;
  bool lineOpen_ = false;
};

// Ends the line of the progress display drawn on the terminal, if any: called before a
// message goes to standard error so that the message does not land inside it.
void BreakProgressLine();

}  // namespace tolvarine::cli
