#include "base/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <unistd.h>

#include "base/errors.h"
#include "tests/support/temp_folder.h"

namespace tolvarine {
namespace {

using testing::TempFolder;

std::vector<std::string> ReadAll(const std::string& path) {
  std::vector<std::string> lines;
  LineReader reader(path);
  while (!reader.AtEnd()) lines.push_back(reader.ReadLine());
  reader.Close();
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReading, LineEndsAndSpecialBytes) {
  TempFolder folder;
  struct Case {
    std::string bytes;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"\n\n", {"", ""}},
      {"a\rb\nc", {"ab", "c"}},          // a lone CR is dropped, the line goes on
      {"a\r\r\nb", {"a", "b"}},
      {"\r", {""}},
      {"a\n\x1a" "b\nc", {"a"}},         // Ctrl-Z at a line start ends the file
      {"\x1a", {}},
      {"a\x1a" "b\nc", {"a\x1a" "b", "c"}},  // elsewhere it is data
      {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
      {"\xC4\xE3\xBA\xC3\r\n", {"\xC4\xE3\xBA\xC3"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes));
    std::string path = folder.Write("list.txt", c.bytes);
    EXPECT_EQ(ReadAll(path), c.lines);
    EXPECT_EQ(CountLines(path), static_cast<int>(c.lines.size()));
  }
}

TEST(LineReading, LongLinesAndPastTheEnd) {
  TempFolder folder;
  std::string longLine(300000, 'x');
  longLine[150000] = '\r';  // a lone CR inside a long line
  std::string path = folder.Write("long.txt", longLine + "\r\nend");
  LineReader reader(path);
  EXPECT_EQ(reader.ReadLine().size(), 299999u);
  EXPECT_EQ(reader.ReadLine(), "end");
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(reader.ReadLine(), "");
  EXPECT_EQ(reader.ReadLine(), "");
  reader.Close();
  reader.Close();  // closing twice is harmless
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_THROW(reader.ReadLine(), InOutError);
}

TEST(LineReading, CountMatchesAcrossBufferBoundaries) {
  TempFolder folder;
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += "http://example.com/page" + std::to_string(i) + "\r\n";
  bytes += "\x1a tail\n";
  std::string path = folder.Write("many.txt", bytes);
  EXPECT_EQ(CountLines(path), 20000);
  Lines lines = ReadAll(path);
  ASSERT_EQ(lines.size(), 20000u);
  EXPECT_EQ(lines[19999], "http://example.com/page19999");
}

TEST(LineReading, FailuresCarryTheTextFileCode) {
  TempFolder folder;
  try {
    LineReader reader(folder.PathOf("missing.txt"));
    FAIL() << "opened a missing file";
  } catch (const InOutError& e) {
    EXPECT_EQ(e.code(), 2);
    EXPECT_STREQ(e.what(), "File not found");
  }
  try {
    CountLines(folder.PathOf("missing.txt"));
    FAIL() << "counted a missing file";
  } catch (const InOutError& e) {
    EXPECT_EQ(e.code(), 2);
  }
  // A folder opens but cannot be read.
  try {
    LineReader reader(folder.Path());
    reader.ReadLine();
    FAIL() << "read a folder";
  } catch (const InOutError& e) {
    EXPECT_EQ(e.code(), 5);
  }
  if (geteuid() != 0) {
    std::string path = folder.Write("secret.txt", "x");
    chmod(path.c_str(), 0);
    try {
      LineReader reader(path);
      FAIL() << "opened an unreadable file";
    } catch (const InOutError& e) {
      EXPECT_EQ(e.code(), 5);
    }
  }
}

}  // namespace
}  // namespace tolvarine
