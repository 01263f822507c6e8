// The terminal progress display, driven by a hand-set clock and writing into a string.
#include "app/cli/progress_line.h"

#include <gtest/gtest.h>

namespace tolvarine::cli {
namespace {

using namespace std::chrono_literals;

struct Terminal {
  std::string text;
  std::chrono::steady_clock::time_point now{};
  int columns = 0;
  ProgressLine Line(const char* label, bool onTerminal = true) {
    return ProgressLine(
        label, onTerminal, [this](std::string_view s) { text += s; }, [this] { return now; },
        [this] { return columns; });
  }
};

TEST(ProgressLine, OffTerminalWritesNothing) {
  Terminal t;
  {
    ProgressLine line = t.Line("page", false);
    line.Update(1, 3);
    line.Update(3, 3);
  }
  BreakProgressLine();
  EXPECT_EQ(t.text, "");
}

TEST(ProgressLine, RedrawsInPlaceWithRateAndTimeLeft) {
  Terminal t;
  ProgressLine line = t.Line("page");
  line.Update(1, 11, "links 0  phones 0");
  EXPECT_EQ(t.text, "\rpage 1/11  links 0  phones 0");
  t.text.clear();

  t.now += 50ms;  // too soon: not redrawn
  line.Update(2, 11, "links 4  phones 1");
  EXPECT_EQ(t.text, "");

  t.now += 1950ms;  // 4 pages in 2 s after the first
  line.Update(5, 11, "links 9  phones 2");
  EXPECT_EQ(t.text, "\rpage 5/11  links 9  phones 2  2.0/s  0:03 left");
  t.text.clear();

  t.now += 1ms;  // the last position is drawn at once, blanking the longer line's rest
  line.Update(11, 11);
  EXPECT_EQ(t.text, "\rpage 11/11  5.0/s  0:00 left" + std::string(18, ' '));
  t.text.clear();

  line.Finish();
  line.Finish();
  EXPECT_EQ(t.text, "\n");
}

TEST(ProgressLine, MessageBreaksTheLineAndTheNextDrawStartsAfresh) {
  Terminal t;
  ProgressLine line = t.Line("line");
  line.Update(1024, 4096);
  BreakProgressLine();  // a message is about to be printed
  EXPECT_EQ(t.text, "\rline 1024/4096\n");
  t.text.clear();
  t.now += 1s;
  line.Update(2048, 4096);
  EXPECT_EQ(t.text, "\rline 2048/4096  1024/s  0:02 left");  // no blanks over a line that is gone
}

// A line as wide as the terminal wraps, and each redraw then leaves a line behind.
TEST(ProgressLine, FitsTheTerminalAndMakesRoomForARow) {
  Terminal t;
  t.columns = 20;
  ProgressLine line = t.Line("page");
  line.Update(1, 11, "links 10  phones 20");
  EXPECT_EQ(t.text, "\rpage 1/11  links 10");
  t.text.clear();

  t.columns = 12;  // the window was made narrower
  t.now += 1s;
  line.Update(2, 11);
  EXPECT_EQ(t.text, "\rpage 2/11" + std::string(10, ' '));  // no field cut short
  t.text.clear();

  // A row is about to be printed: the line is blanked and redrawn at the next position,
  // however soon, with no blanks over a line that is gone.
  line.ClearForRow();
  EXPECT_EQ(t.text, "\r" + std::string(9, ' ') + "\r");
  t.text.clear();
  t.columns = 0;
  t.now += 1ms;
  line.Update(3, 11);
  EXPECT_EQ(t.text, "\rpage 3/11  2.0/s  0:04 left");
  t.text.clear();
  line.ClearForRow();
  line.ClearForRow();
  line.Finish();  // nothing left to end
  EXPECT_EQ(t.text, "\r" + std::string(27, ' ') + "\r");
}

TEST(ProgressLine, LongTimesShowHours) {
  EXPECT_EQ(ProgressText("page", 0, 36610, 10, ""), "page 0/36610  10/s  1:01:01 left");
  EXPECT_EQ(ProgressText("page", 12, 10, 0.5, "x"), "page 12/10  x  0.5/s  0:00 left");
}

// A crawl's line: the list line, then the pages, the queue and the numbers, thousands
// set apart; redrawn as a list walk's is, the crawl's last position at once.
TEST(ProgressLine, ACrawlShowsItsLinePagesQueueAndNumbers) {
  EXPECT_EQ(CrawlProgressText({3, 10, 412, 1030, 120}),
            "line 3/10  pages 412  queued 1,030  phones 120");
  EXPECT_EQ(CrawlProgressText({1234, 10000, 1234567, 999, 1000}),
            "line 1,234/10,000  pages 1,234,567  queued 999  phones 1,000");
  Terminal t;
  ProgressLine line = t.Line("page");
  ShowCrawlProgress(line, {1, 2, 0, 0, 0});
  EXPECT_EQ(t.text, "\rline 1/2  pages 0  queued 0  phones 0");
  t.text.clear();
  t.now += 50ms;
  ShowCrawlProgress(line, {2, 2, 7, 30, 12});  // too soon, more to come
  EXPECT_EQ(t.text, "");
  ShowCrawlProgress(line, {2, 2, 8, 0, 12});  // the last page of the crawl
  EXPECT_EQ(t.text, "\rline 2/2  pages 8  queued 0  phones 12");
}

}  // namespace
}  // namespace tolvarine::cli
