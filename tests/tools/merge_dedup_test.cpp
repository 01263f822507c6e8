#include "tools/merge_dedup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/stat.h>

#include "base/errors.h"
#include "base/gbk.h"
#include "tests/support/temp_folder.h"

namespace tolvarine {
namespace {

using testing::FileBytes;
using testing::PathExists;
using testing::TempFolder;

// Merges the given file contents (in order) and returns the output file's bytes.
std::string Merge(const std::vector<std::string>& contents) {
  TempFolder folder;
  std::vector<std::string> inputs;
  for (std::size_t i = 0; i < contents.size(); ++i) {
    inputs.push_back(folder.Write("in" + std::to_string(i) + ".txt", contents[i]));
  }
  const std::string output = folder.PathOf("out.txt");
  MergeAndDedupFiles(inputs, output);
  return FileBytes(output);
}

TEST(MergeAndDedup, FirstFormMetWinsInEitherInputOrder) {
  EXPECT_EQ(Merge({"ABC\r\n", "abc\r\n"}), "ABC\r\n");
  EXPECT_EQ(Merge({"abc\r\n", "ABC\r\n"}), "abc\r\n");
  EXPECT_EQ(Merge({"aBc\r\nABC\r\nabc"}), "aBc\r\n");
}

TEST(MergeAndDedup, SortsIgnoringCaseAndRemovesDuplicatesWithinAndAcrossFiles) {
  EXPECT_EQ(Merge({"b\r\na\r\nB\r\nb\r\n", "C\r\nA\r\nd\r\n"}), "a\r\nb\r\nC\r\nd\r\n");
  EXPECT_EQ(Merge({"", "b\r\n", "", "", "a\r\nB\r\n", "\r\n"}), "\r\na\r\nb\r\n");
  // Blanks count: a trailing blank makes another line.
  EXPECT_EQ(Merge({"abc\r\nabc \r\nabc\r\n"}), "abc\r\nabc \r\n");
}

TEST(MergeAndDedup, EmptyLineComesOnceAndFirst) {
  EXPECT_EQ(Merge({"b\r\n\r\na\r\n", "\r\n\r\n"}), "\r\na\r\nb\r\n");
}

TEST(MergeAndDedup, LinesAreSplitAtCrLfLoneCrLoneLfAndStopAtNul) {
  // LF CR ends a line and then an empty one; the last line needs no line end.
  EXPECT_EQ(Merge({"a\rb\nc\n\rd"}), "\r\na\r\nb\r\nc\r\nd\r\n");
  // A final line end adds no empty line.
  EXPECT_EQ(Merge({"x\r\n", "y\n", "z\r"}), "x\r\ny\r\nz\r\n");
  // Nothing after a NUL is read, also a NUL inside a line.
  EXPECT_EQ(Merge({std::string("a\r\nb\0c\r\nd", 8), std::string("\0e", 2)}), "a\r\nb\r\n");
}

TEST(MergeAndDedup, LineBytesAreKeptAsRead) {
  const std::string upper = Utf8ToGbk("论坛ABC");
  const std::string lower = Utf8ToGbk("论坛abc");
  EXPECT_EQ(Merge({upper + "\n" + lower + "\n"}), upper + "\r\n");
}

TEST(MergeAndDedup, OnlyEmptyFilesGiveAZeroByteOutput) {
  TempFolder folder;
  const std::string a = folder.Write("a.txt", "");
  const std::string b = folder.Write("b.txt", std::string("\0xyz", 4));
  const std::string out = folder.Write("out.txt", "old\r\n");
  const MergeStats stats = MergeAndDedupFiles({a, b}, out);
  EXPECT_EQ(stats.linesRead, 0u);
  EXPECT_EQ(stats.linesWritten, 0u);
  EXPECT_TRUE(PathExists(out));
  EXPECT_EQ(FileBytes(out), "");
}

TEST(MergeAndDedup, OutputMayBeOneOfTheInputs) {
  TempFolder folder;
  const std::string out = folder.Write("out.txt", "z\r\nA\r\n");
  const std::string other = folder.Write("b.txt", "a\r\nm\r\n");
  const MergeStats stats = MergeAndDedupFiles({other, out}, out);
  EXPECT_EQ(FileBytes(out), "a\r\nm\r\nz\r\n");
  EXPECT_EQ(stats.linesRead, 4u);
  EXPECT_EQ(stats.linesWritten, 3u);
}

// A private list merged over stays private, whether or not it was one of the inputs.
TEST(MergeAndDedup, OutputKeepsTheModeOfTheFileItReplaces) {
  TempFolder folder;
  const std::string in = folder.Write("in.txt", "b\r\n");
  const std::string out = folder.Write("out.txt", "a\r\n");
  auto mode = [&] {
    struct stat info {};
    EXPECT_EQ(::stat(out.c_str(), &info), 0);
    return info.st_mode & 07777;
  };
  ASSERT_EQ(::chmod(out.c_str(), 0640), 0);
  MergeAndDedupFiles({in, out}, out);
  EXPECT_EQ(FileBytes(out), "a\r\nb\r\n");
  EXPECT_EQ(mode(), 0640u);
  MergeAndDedupFiles({in}, out);
  EXPECT_EQ(FileBytes(out), "b\r\n");
  EXPECT_EQ(mode(), 0640u);
  ASSERT_EQ(::chmod(out.c_str(), 0600), 0);
  MergeAndDedupFiles({out, in}, out);
  EXPECT_EQ(mode(), 0600u);
}

// Bytes that are not GBK decode to a replacement character, so the collation alone would
// take these lines for one another; each must survive on its own.
TEST(MergeAndDedup, InvalidGbkLinesAreNotMergedWithDifferentLines) {
  const std::string a81 = "a\x81";
  const std::string a82 = "a\x82";
  const std::string b81 = "b\x81";
  ASSERT_FALSE(IsValidGbk(a81));
  ASSERT_FALSE(IsValidGbk(a82));
  ASSERT_FALSE(IsValidGbk(b81));
  EXPECT_EQ(Merge({a82 + "\r\n" + a81 + "\r\n" + a82 + "\r\n", a81 + "\r\n"}),
            a81 + "\r\n" + a82 + "\r\n");
  // Letter case alone does not merge an invalid line with another one either.
  EXPECT_EQ(Merge({"B\x81\r\n" + b81 + "\r\n"}), "B\x81\r\n" + b81 + "\r\n");
  // The valid neighbours still merge and sort as before.
  EXPECT_EQ(Merge({"A\r\n" + a81 + "\r\na\r\nc\r\n"}), "A\r\n" + a81 + "\r\nc\r\n");
}

TEST(DistinctSortedLines, ViewsPointIntoTheTexts) {
  CaseIgnoringCollator collator;
  const std::vector<std::string> texts = {"b\r\nA\r\n", "a\r\nB\r\nc"};
  const std::vector<std::string_view> lines = DistinctSortedLines(texts, collator);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "A");
  EXPECT_EQ(lines[0].data(), texts[0].data() + 3);
  EXPECT_EQ(lines[1], "b");
  EXPECT_EQ(lines[2], "c");
}

TEST(MergeFailure, MissingInputIsReportedByFullNameAndLeavesTheOutputAlone) {
  TempFolder folder;
  const std::string good = folder.Write("a.txt", "x\r\n");
  const std::string missing = folder.PathOf("没有.txt");
  const std::string out = folder.Write("out.txt", "keep\r\n");
  try {
    MergeAndDedupFiles({good, missing}, out);
    ADD_FAILURE() << "no failure";
  } catch (const FileOpenError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + Utf8ToGbk(missing));
  }
  EXPECT_EQ(FileBytes(out), "keep\r\n");
  // A missing input is reported before an output that could not be created; none is made.
  const std::string newOut = folder.PathOf("new.txt");
  EXPECT_THROW(MergeAndDedupFiles({missing}, newOut), FileOpenError);
  EXPECT_FALSE(PathExists(newOut));
  // A folder cannot be read as a file.
  EXPECT_THROW(MergeAndDedupFiles({folder.PathOf("")}, newOut), FileOpenError);
  EXPECT_FALSE(PathExists(newOut));
}

TEST(MergeFailure, OutputThatCannotBeCreatedOrWritten) {
  TempFolder folder;
  const std::string in = folder.Write("a.txt", "x\r\n");
  const std::string bad = folder.PathOf("no/such/out.txt");
  try {
    MergeAndDedupFiles({in}, bad);
    ADD_FAILURE() << "no failure";
  } catch (const FileCreateError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file " + bad);
  }
  // Every write to /dev/full fails with a full disk.
  try {
    MergeAndDedupFiles({in}, "/dev/full");
    ADD_FAILURE() << "no failure";
  } catch (const StreamWriteError& e) {
    EXPECT_STREQ(e.what(), "Stream write error");
  }
  EXPECT_EQ(FileBytes(in), "x\r\n");
}

}  // namespace
}  // namespace tolvarine
