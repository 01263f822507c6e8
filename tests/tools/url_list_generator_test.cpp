#include "tools/url_list_generator.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "base/errors.h"
#include "base/gbk.h"
#include "tests/support/temp_folder.h"

namespace tolvarine {
namespace {

using testing::FileBytes;
using testing::PathExists;
using testing::TempFolder;

OneCounterFields One(std::string prefix, std::string start, std::string end, std::string suffix,
                     std::string step) {
  return OneCounterFields{std::move(prefix), std::move(start), std::move(end), std::move(suffix),
                          std::move(step)};
}

TEST(OneCounterGeneration, WritesStepTimesCounterAndCountsLines) {
  TempFolder folder;
  const std::string path = folder.PathOf("list.txt");
  std::vector<std::int64_t> counts;
  const auto n = GenerateOneCounterFile(One("list_", "1", "3", ".htm", "20"), path,
                                        [&](std::int64_t k) { counts.push_back(k); });
  EXPECT_EQ(n, 3);
  EXPECT_EQ(FileBytes(path), "list_20.htm\r\nlist_40.htm\r\nlist_60.htm\r\n");
  EXPECT_EQ(counts, (std::vector<std::int64_t>{1, 2, 3}));
  // The count is of lines, not of counter values.
  counts.clear();
  GenerateOneCounterFile(One("p", "5", "7", "", "1"), path,
                         [&](std::int64_t k) { counts.push_back(k); });
  EXPECT_EQ(FileBytes(path), "p5\r\np6\r\np7\r\n");
  EXPECT_EQ(counts, (std::vector<std::int64_t>{1, 2, 3}));
}

TEST(OneCounterGeneration, NumbersFollowConversionAndWrap) {
  TempFolder folder;
  const std::string path = folder.PathOf("a.txt");
  // Equal ends give one line; 65536 * 65536 wraps to 0 in 32 bits.
  GenerateOneCounterFile(One("", "65536", "65536", "", "65536"), path);
  EXPECT_EQ(FileBytes(path), "0\r\n");
  // A step of 0 writes 0 on every line.
  GenerateOneCounterFile(One("a", "-1", "1", "b", "0"), path);
  EXPECT_EQ(FileBytes(path), "a0b\r\na0b\r\na0b\r\n");
  // Negative step and counters: a leading "-"; fields convert with blanks and hex.
  GenerateOneCounterFile(One("", " -2", "$1", "", "-3"), path);
  EXPECT_EQ(FileBytes(path), "6\r\n3\r\n0\r\n-3\r\n");
  // 2147483647 * 2 wraps to -2; the range reaching the largest value ends there.
  GenerateOneCounterFile(One("", "2147483646", "2147483647", "", "2"), path);
  EXPECT_EQ(FileBytes(path), "-4\r\n-2\r\n");
}

TEST(OneCounterGeneration, FieldBytesAreWrittenUnchanged) {
  TempFolder folder;
  const std::string path = folder.PathOf("a.txt");
  const std::string prefix = Utf8ToGbk("http://论坛/ ");
  GenerateOneCounterFile(One(prefix, "1", "1", "\xB0\xA1", "1"), path);
  EXPECT_EQ(FileBytes(path), prefix + "1\xB0\xA1\r\n");
}

TEST(OneCounterGeneration, EmptyRangeEmptiesTheFileAndCountsNothing) {
  TempFolder folder;
  const std::string path = folder.Write("a.txt", "old content\r\n");
  bool called = false;
  EXPECT_EQ(GenerateOneCounterFile(One("x", "3", "2", "y", "not a number"), path,
                                   [&](std::int64_t) { called = true; }),
            0);
  EXPECT_EQ(FileBytes(path), "");
  EXPECT_FALSE(called);
}

TEST(OneCounterGeneration, BadFieldLeavesAnExistingFileAsItWas) {
  TempFolder folder;
  const std::string path = folder.PathOf("a.txt");
  struct Case {
    OneCounterFields fields;
    const char* message;
  };
  const Case cases[] = {
      // The window's initial texts: the end field is empty.
      {One("http://", "0", "", "", "1"), "'' is not a valid integer value"},
      {One("", "1x", "", "", "1"), "'1x' is not a valid integer value"},
      {One("", "1", "2", "", "+"), "'+' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    folder.Write("a.txt", "old content\r\n");
    bool called = false;
    try {
      GenerateOneCounterFile(c.fields, path, [&](std::int64_t) { called = true; });
      ADD_FAILURE() << "no failure for " << c.message;
    } catch (const ConvertError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_EQ(FileBytes(path), "old content\r\n") << c.message;
    EXPECT_FALSE(called);
  }
  EXPECT_THROW(GenerateOneCounterFile(One("", "0", "", "", "1"), folder.PathOf("new.txt")),
               ConvertError);
  EXPECT_FALSE(PathExists(folder.PathOf("new.txt")));
}

TEST(OneCounterGeneration, UncreatableFileFailsWithTextFileError) {
  TempFolder folder;
  EXPECT_THROW(GenerateOneCounterFile(One("", "1", "2", "", "1"), folder.PathOf("no/such/a.txt")),
               InOutError);
}

TwoCounterFields Two(std::string front, std::string start, std::string end, std::string middle,
                     std::string counter2, std::string back) {
  return TwoCounterFields{std::move(front),  std::move(start),    std::move(end),
                          std::move(middle), std::move(counter2), std::move(back)};
}

TEST(TwoCounterGeneration, CountersAdvanceTogether) {
  TempFolder folder;
  const std::string path = folder.PathOf("b.txt");
  std::vector<std::int64_t> counts;
  EXPECT_EQ(GenerateTwoCounterFile(Two("f", "1", "3", "m", "10", "b"), path,
                                   [&](std::int64_t k) { counts.push_back(k); }),
            3);
  EXPECT_EQ(FileBytes(path), "f1m10b\r\nf2m11b\r\nf3m12b\r\n");
  EXPECT_EQ(counts, (std::vector<std::int64_t>{1, 2, 3}));
}

TEST(TwoCounterGeneration, CounterTwoWrapsAtTheTopOfTheRange) {
  TempFolder folder;
  const std::string path = folder.PathOf("b.txt");
  GenerateTwoCounterFile(Two("", "-1", "0", "/", "2147483647", ""), path);
  EXPECT_EQ(FileBytes(path), "-1/2147483647\r\n0/-2147483648\r\n");
}

TEST(TwoCounterGeneration, BadFieldKeepsAnExistingFile) {
  TempFolder folder;
  const std::string path = folder.Write("b.txt", "keep me\r\n");
  for (const auto& fields : {Two("", "1", "2", "", "zz", ""), Two("http://", "0", "", "", "0", ""),
                             Two("", "q", "2", "", "0", "")}) {
    EXPECT_THROW(GenerateTwoCounterFile(fields, path), ConvertError);
    EXPECT_EQ(FileBytes(path), "keep me\r\n");
  }
  EXPECT_THROW(GenerateTwoCounterFile(Two("", "1", "2", "", "", ""), folder.PathOf("new.txt")),
               ConvertError);
  EXPECT_FALSE(PathExists(folder.PathOf("new.txt")));
}

TEST(TwoCounterGeneration, EmptyRangeEmptiesTheFile) {
  TempFolder folder;
  const std::string path = folder.Write("b.txt", "old\r\n");
  EXPECT_EQ(GenerateTwoCounterFile(Two("", "5", "4", "", "0", ""), path), 0);
  EXPECT_EQ(FileBytes(path), "");
}

// An output that fails on a chosen line, recording what the generator did with it.
class FailingOutput : public ListOutput {
 public:
  explicit FailingOutput(int failOnLine) : failOnLine_(failOnLine) {}
  void Create() override { created = true; }
  void WriteLine(std::string_view line) override {
    if (++attempts == failOnLine_) throw InOutError(101);
    lines.emplace_back(line);
  }
  void Close() override { ++closes; }

  bool created = false;
  int attempts = 0;
  int closes = 0;
  std::vector<std::string> lines;

 private:
  int failOnLine_;
};

TEST(GenerationFailure, WriteFailureClosesOutputAndKeepsEarlierLines) {
  FailingOutput output(3);
  std::int64_t last = 0;
  EXPECT_THROW(GenerateOneCounter(One("u", "1", "9", "", "1"), output,
                                  [&](std::int64_t k) { last = k; }),
               InOutError);
  EXPECT_EQ(output.lines, (std::vector<std::string>{"u1", "u2"}));
  EXPECT_EQ(output.closes, 1);
  EXPECT_EQ(last, 2);

  FailingOutput two(2);
  EXPECT_THROW(GenerateTwoCounter(Two("", "1", "9", "-", "0", ""), two), InOutError);
  EXPECT_EQ(two.lines, (std::vector<std::string>{"1-0"}));
  EXPECT_EQ(two.closes, 1);
}

TEST(GenerationFailure, ConversionFailureNeverTouchesTheOutput) {
  for (const auto& fields : {One("", "1", "x", "", "1"), One("", "1", "2", "", "x")}) {
    FailingOutput output(0);
    EXPECT_THROW(GenerateOneCounter(fields, output), ConvertError);
    EXPECT_FALSE(output.created);
    EXPECT_EQ(output.closes, 0);
  }
  FailingOutput two(0);
  EXPECT_THROW(GenerateTwoCounter(Two("", "1", "x", "", "0", ""), two), ConvertError);
  EXPECT_FALSE(two.created);
  EXPECT_EQ(two.closes, 0);
}

}  // namespace
}  // namespace tolvarine
