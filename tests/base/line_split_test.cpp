#include "base/line_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvarine {
namespace {

using Lines = std::vector<std::string>;

Lines Views(std::string_view text) {
  Lines out;
  for (auto view : SplitLineViews(text)) out.emplace_back(view);
  return out;
}

TEST(LineSplitting, EndsNulAndEmptyLines) {
  struct Case {
    std::string text;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: a line, then an empty line
      {"a\r\rb", {"a", "", "b"}},
      {"\r\n\r\n", {"", ""}},
      {"\n", {""}},
      {std::string("a\0b", 3), {"a"}},           // nothing after a NUL that starts a line
      {std::string("a\r\n\0b", 5), {"a"}},
      {std::string("\0a", 2), {}},
      {std::string("ab\r\0c", 5), {"ab"}},
      {"\xB2\xE2\xCA\xD4\r\nx", {"\xB2\xE2\xCA\xD4", "x"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(SplitLines(c.text), c.lines);
    EXPECT_EQ(Views(c.text), c.lines);
  }
}

TEST(LineSplitting, WordScanFindsEndsAtEveryOffset) {
  // A line end at each position of a longer text, so the eight-byte scan meets it
  // at every alignment and in the tail.
  for (std::size_t len = 0; len < 40; ++len) {
    for (const char* end : {"\r", "\n", "\r\n"}) {
      std::string line(len, 'a');
      std::string text = line + end + "tail-of-some-length";
      auto views = SplitLineViews(text);
      ASSERT_EQ(views.size(), 2u) << len;
      EXPECT_EQ(views[0], line);
      EXPECT_EQ(views[1], "tail-of-some-length");
    }
    std::string withNul = std::string(len, 'b') + '\0' + "ignored";
    auto views = SplitLineViews(withNul);
    ASSERT_EQ(views.size(), len ? 1u : 0u);
    if (len) {
      EXPECT_EQ(views[0].size(), len);
    }
  }
  // High bytes (GBK) must not look like line ends.
  std::string gbk(64, '\x8D');
  EXPECT_EQ(SplitLineViews(gbk).size(), 1u);
}

}  // namespace
}  // namespace tolvarine
