#include "base/text_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "base/errors.h"
#include "tests/support/temp_folder.h"

namespace tolvarine {
namespace {

using testing::TempFolder;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST(TextWriter, EveryLineEndsWithCrlfAndBytesStay) {
  TempFolder folder;
  std::string path = folder.Write("out.txt", "old content that is longer than the new one");
  {
    TextWriter writer(path);
    writer.WriteLine("http://a/1.htm");
    writer.WriteLine("");
    writer.WriteLine("\xCD\xF8\xD6\xB7");  // GBK, written unchanged
    writer.WriteLine(std::string_view("a\0b", 3));
    writer.Close();
    EXPECT_THROW(writer.WriteLine("late"), InOutError);
  }
  EXPECT_EQ(Slurp(path), std::string("http://a/1.htm\r\n\r\n\xCD\xF8\xD6\xB7\r\na\0b\r\n", 29));

  { TextWriter empty(path); }  // the destructor closes too
  EXPECT_EQ(Slurp(path), "");
}

TEST(TextWriter, CreateFailuresCarryTheCode) {
  TempFolder folder;
  try {
    TextWriter writer(folder.PathOf("no/such/folder.txt"));
    FAIL();
  } catch (const InOutError& e) {
    EXPECT_EQ(e.code(), 2);
  }
  try {
    TextWriter writer(folder.Path());
    FAIL();
  } catch (const InOutError& e) {
    EXPECT_EQ(e.code(), 5);
  }
}

TEST(TextWriter, FullDiskIsReportedNotSwallowed) {
  std::FILE* probe = std::fopen("/dev/full", "wb");
  if (!probe) GTEST_SKIP() << "no /dev/full";
  std::fclose(probe);
  try {
    TextWriter writer("/dev/full");
    writer.WriteLine("x");
    writer.Close();
    FAIL() << "a write to a full disk passed";
  } catch (const InOutError& e) {
    EXPECT_EQ(e.code(), 101);
    EXPECT_STREQ(e.what(), "Disk full");
  }
}

TEST(JoinCrlf, EachLineFollowedByCrlf) {
  EXPECT_EQ(JoinCrlf({}), "");
  EXPECT_EQ(JoinCrlf({""}), "\r\n");
  EXPECT_EQ(JoinCrlf({"a", "b"}), "a\r\nb\r\n");
}

}  // namespace
}  // namespace tolvarine
