#include "base/record_file.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "tests/support/temp_folder.h"

namespace tolvarine {
namespace {

TEST(RecordFileTest, AContinuedFileKeepsOneHeaderAndEndsARowCutShort) {
  testing::TempFolder dir;
  const std::string path = dir.PathOf("rows.csv");
  std::FILE* file = OpenRecordFile(path, false, "h\r\n", "\r\n");
  WriteRecord(file, "a", "\r\n");
  std::fclose(file);
  dir.Write("rows.csv", dir.Read("rows.csv") + "b-cut");
  file = OpenRecordFile(path, true, "h\r\n", "\r\n");
  WriteRecord(file, "c", "\r\n");
  std::fclose(file);
  EXPECT_EQ(dir.Read("rows.csv"), "h\r\na\r\nb-cut\r\nc\r\n");
  // A continued file that is still empty gets its header; a new one is emptied.
  dir.Write("empty.csv", "");
  std::fclose(OpenRecordFile(dir.PathOf("empty.csv"), true, "h\n", "\n"));
  EXPECT_EQ(dir.Read("empty.csv"), "h\n");
  std::fclose(OpenRecordFile(path, false, "", "\r\n"));
  EXPECT_EQ(dir.Read("rows.csv"), "");
  EXPECT_THROW(OpenRecordFile(dir.PathOf("no/such/rows.csv"), false, "", "\n"), FileCreateError);
}

}  // namespace
}  // namespace tolvarine
