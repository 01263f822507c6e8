// The side tools' output files on a disk that is full or read-only.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/errors.h"
#include "base/file_names.h"
#include "base/text_writer.h"
#include "tests/faults/small_disk.h"
#include "tools/merge_dedup.h"
#include "tools/url_list_generator.h"

namespace tolvarine {
namespace {

using testing::SmallDisk;

class ToolOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!SmallDisk::Supported(&why)) GTEST_SKIP() << "no small disk to fill: " << why;
    disk = std::make_unique<SmallDisk>();
  }

  // n distinct lines "<tag>-<i>" and the text of them.
  static std::string Lines(const std::string& tag, int n) {
    std::vector<std::string> lines;
    for (int i = 0; i < n; ++i) lines.push_back(tag + "-" + std::to_string(100000 + i));
    return JoinCrlf(lines);
  }

  std::unique_ptr<SmallDisk> disk;
  testing::TempFolder elsewhere;
};

// Merging new lines into a master list that is also the output: when the disk fills up
// midway, the master list stays as it was, and no temporary file is left.
TEST_F(ToolOutput, AMergeIntoOneOfItsInputsThatRunsOutOfDiskLeavesThatInputWhole) {
  const std::string master = disk->Write("master.txt", Lines("old", 500));
  const std::string extra = elsewhere.Write("extra.txt", Lines("new", 15000));
  disk->Fill(64 * 1024);
  const auto before = disk->Files();
  try {
    MergeAndDedupFiles({master, extra}, master);
    ADD_FAILURE() << "no failure";
  } catch (const StreamWriteError& e) {
    EXPECT_STREQ(e.what(), "Stream write error");
  }
  EXPECT_EQ(disk->Files(), before);

  disk->Free();
  const MergeStats stats = MergeAndDedupFiles({master, extra}, master);
  EXPECT_EQ(stats.linesWritten, 15500u);
  EXPECT_EQ(disk->Files().at("master.txt"), Lines("new", 15000) + Lines("old", 500));
  EXPECT_EQ(disk->Files().size(), 1u);
}

TEST_F(ToolOutput, AMergeOutputOnAReadOnlyDiskCannotBeCreatedAndStaysWhole) {
  const std::string out = disk->Write("out.txt", "keep\r\n");
  const std::string in = elsewhere.Write("in.txt", "b\r\na\r\n");
  disk->SetReadOnly(true);
  try {
    MergeAndDedupFiles({in}, out);
    ADD_FAILURE() << "no failure";
  } catch (const FileCreateError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file " + GbkFileName(out));
  }
  EXPECT_EQ(disk->Files(), (std::map<std::string, std::string>{{"out.txt", "keep\r\n"}}));
}

// An output reached through a symbolic link is written into the file the link names; the
// link stays a link.
TEST_F(ToolOutput, AMergeOutputThroughALinkReplacesTheLinkedFile) {
  const std::string target = disk->Write("target.txt", "old\r\n");
  const std::string link = elsewhere.PathOf("link.txt");
  std::filesystem::create_symlink(target, link);
  MergeAndDedupFiles({elsewhere.Write("in.txt", "b\r\na\r\n"), link}, link);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(disk->Files(), (std::map<std::string, std::string>{{"target.txt", "a\r\nb\r\nold\r\n"}}));
}

// The generator writes its output in place once its fields are converted, so a full disk
// cannot keep the old lines; it reports the failure and keeps what was written up to it.
TEST_F(ToolOutput, AGeneratorOutputThatRunsOutOfDiskIsReportedAndKeepsTheLinesWritten) {
  const std::string out = disk->Write("urls.txt", Lines("old", 20000));
  disk->Fill(16 * 1024);
  std::int64_t handed = 0;
  const OneCounterFields fields{"http://example.com/page_", "1", "20000", ".htm", "1"};
  try {
    GenerateOneCounterFile(fields, out, [&](std::int64_t k) { handed = k; });
    ADD_FAILURE() << "no failure";
  } catch (const InOutError& e) {
    EXPECT_EQ(e.code(), 101);
    EXPECT_STREQ(e.what(), "Disk full");
  }
  const std::string written = disk->Files().at("urls.txt");
  std::string whole;
  for (int i = 1; i <= 20000; ++i) whole += "http://example.com/page_" + std::to_string(i) + ".htm\r\n";
  EXPECT_GT(written.size(), 16u * 1024);
  EXPECT_LT(written.size(), whole.size());
  EXPECT_EQ(whole.compare(0, written.size(), written), 0) << "not the lines in order";
  EXPECT_GT(handed, 0);
  EXPECT_LT(handed, 20000);
}

TEST_F(ToolOutput, AGeneratorOutputOnAReadOnlyDiskIsReportedAndStaysWhole) {
  disk->Write("urls.txt", "keep\r\n");
  disk->SetReadOnly(true);
  const TwoCounterFields fields{"http://example.com/", "1", "3", "/", "1", ".htm"};
  try {
    GenerateTwoCounterFile(fields, disk->PathOf("urls.txt"));
    ADD_FAILURE() << "no failure";
  } catch (const InOutError& e) {
    EXPECT_STREQ(e.what(), "File access denied");
  }
  EXPECT_EQ(disk->Files(), (std::map<std::string, std::string>{{"urls.txt", "keep\r\n"}}));
}

}  // namespace
}  // namespace tolvarine
