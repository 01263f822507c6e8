#include "base/atomic_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/errors.h"
#include "temp_folder.h"

namespace tolvarine {
namespace {

using testing::TempFolder;

int EntryCount(const std::string& folder) {
  int count = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

TEST(AtomicFile, CreatesReplacesAndReadsBack) {
  TempFolder folder;
  std::string path = folder.File("tolvarine.ini");
  EXPECT_FALSE(FileExists(path));
  ReplaceFileAtomically(path, "first\r\n");
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(ReadWholeFile(path), "first\r\n");

  std::string binary("\0\x1a\xff\r\n", 5);
  ReplaceFileAtomically(path, binary);
  EXPECT_EQ(ReadWholeFile(path), binary);
  ReplaceFileAtomically(path, "");
  EXPECT_EQ(ReadWholeFile(path), "");
  std::string big(3 * 1024 * 1024 + 7, 'z');
  ReplaceFileAtomically(path, big);
  EXPECT_EQ(ReadWholeFile(path), big);

  EXPECT_EQ(EntryCount(folder.path()), 1) << "a temporary file was left behind";
  EXPECT_FALSE(FileExists(folder.path()));  // a folder is no file
}

TEST(AtomicFile, KeepsThePermissionsOfTheOldFile) {
  TempFolder folder;
  std::string path = folder.Write("list.ini", "old");
  chmod(path.c_str(), 0640);
  ReplaceFileAtomically(path, "new");
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileWhole) {
  TempFolder folder;
  std::string path = folder.Write("tolvarine.ini", "old content");

  // A file size limit makes the write fail halfway, as a full disk would.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool threw = false;
  try {
    ReplaceFileAtomically(path, std::string(100000, 'n'));
  } catch (const InOutError& e) {
    threw = true;
    EXPECT_EQ(e.code(), EFBIG);
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_TRUE(threw);
  EXPECT_EQ(ReadWholeFile(path), "old content");
  EXPECT_EQ(EntryCount(folder.path()), 1) << "the temporary file was not removed";
}

TEST(AtomicFile, FailuresCarryTheTextFileCode) {
  TempFolder folder;
  try {
    ReplaceFileAtomically(folder.File("missing/x.ini"), "x");
    FAIL();
  } catch (const InOutError& e) {
    EXPECT_EQ(e.code(), 2);
  }
  // The target is a folder: the rename fails and the folder stays.
  std::filesystem::create_directory(folder.File("sub"));
  EXPECT_THROW(ReplaceFileAtomically(folder.File("sub"), "x"), InOutError);
  EXPECT_TRUE(std::filesystem::is_directory(folder.File("sub")));
  EXPECT_EQ(EntryCount(folder.path()), 1);

  if (geteuid() != 0) {
    std::string path = folder.Write("locked.ini", "old");
    chmod(folder.path().c_str(), 0500);
    try {
      ReplaceFileAtomically(path, "new");
      FAIL();
    } catch (const InOutError& e) {
      EXPECT_EQ(e.code(), 5);
    }
    chmod(folder.path().c_str(), 0700);
    EXPECT_EQ(ReadWholeFile(path), "old");
  }

  try {
    ReadWholeFile(folder.File("none.ini"));
    FAIL();
  } catch (const InOutError& e) {
    EXPECT_EQ(e.code(), 2);
  }
  EXPECT_THROW(ReadWholeFile(folder.path()), InOutError);
}

}  // namespace
}  // namespace tolvarine
