#include "base/atomic_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/errors.h"
#include "tests/support/temp_folder.h"

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
  std::string path = folder.PathOf("tolvarine.ini");
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

  EXPECT_EQ(EntryCount(folder.Path()), 1) << "a temporary file was left behind";
  EXPECT_FALSE(FileExists(folder.Path()));  // a folder is no file
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
  EXPECT_EQ(EntryCount(folder.Path()), 1) << "the temporary file was not removed";
}

TEST(AtomicFile, FailuresCarryTheTextFileCode) {
  TempFolder folder;
  try {
    ReplaceFileAtomically(folder.PathOf("missing/x.ini"), "x");
    FAIL();
  } catch (const InOutError& e) {
    EXPECT_EQ(e.code(), 2);
  }
  // The target is a folder: the rename fails and the folder stays.
  std::filesystem::create_directory(folder.PathOf("sub"));
  EXPECT_THROW(ReplaceFileAtomically(folder.PathOf("sub"), "x"), InOutError);
  EXPECT_TRUE(std::filesystem::is_directory(folder.PathOf("sub")));
  EXPECT_EQ(EntryCount(folder.Path()), 1);

  if (geteuid() != 0) {
    std::string path = folder.Write("locked.ini", "old");
    chmod(folder.Path().c_str(), 0500);
    try {
      ReplaceFileAtomically(path, "new");
      FAIL();
    } catch (const InOutError& e) {
      EXPECT_EQ(e.code(), 5);
    }
    chmod(folder.Path().c_str(), 0700);
    EXPECT_EQ(ReadWholeFile(path), "old");
  }

  try {
    ReadWholeFile(folder.PathOf("none.ini"));
    FAIL();
  } catch (const InOutError& e) {
    EXPECT_EQ(e.code(), 2);
  }
  EXPECT_THROW(ReadWholeFile(folder.Path()), InOutError);
}


// The system's file system with every step of a replacement recorded; the step named
// `failing` fails with `error` instead of being taken.
class RecordingFileSystem : public platform::FileSystem {
 public:
  std::vector<std::string> steps;
  std::string failing;
  int error = ENOSPC;

  int CreateNew(const std::string& path, Handle& file) override {
    return Step("create") ? error : real_.CreateNew(path, file);
  }
  int OpenInPlace(const std::string& path, Handle& file) override {
    return Step("open") ? error : real_.OpenInPlace(path, file);
  }
  int Write(Handle file, const char* bytes, std::size_t size) override {
    return Step("write") ? error : real_.Write(file, bytes, size);
  }
  int Flush(Handle file) override { return Step("flush") ? error : real_.Flush(file); }
  int Sync(Handle file) override { return Step("fsync") ? error : real_.Sync(file); }
  int Close(Handle file) override {
    const int closed = real_.Close(file);  // the handle is gone either way
    return Step("close") ? error : closed;
  }
  int CopyPermissions(const std::string& from, Handle file) override {
    return Step("mode") ? error : real_.CopyPermissions(from, file);
  }
  int Rename(const std::string& from, const std::string& to) override {
    return Step("rename") ? error : real_.Rename(from, to);
  }
  int SyncFolder(const std::string& folder) override {
    return Step("fsync folder") ? error : real_.SyncFolder(folder);
  }
  int Remove(const std::string& path) override {
    steps.push_back("remove");
    return real_.Remove(path);
  }
  platform::PathKind KindOf(const std::string& path) override { return real_.KindOf(path); }
  std::string LinkedFile(const std::string& path) override { return real_.LinkedFile(path); }

 private:
  bool Step(const char* name) {
    steps.push_back(name);
    return failing == name;
  }
  platform::FileSystem& real_ = platform::SystemFileSystem();
};

void WriteNew(FileContent& content) {
  content.WriteLine("new");
  content.Write("tail");
}

TEST(AtomicFile, DataReachesTheDiskBeforeTheRenameAndTheRenameBeforeItReturns) {
  TempFolder folder;
  RecordingFileSystem files;
  const std::string path = folder.PathOf("tolvarine.ini");
  ReplaceFile(path, WriteNew, files);
  EXPECT_EQ(files.steps, (std::vector<std::string>{"create", "write", "write", "write", "flush",
                                                   "fsync", "close", "rename", "fsync folder"}));
  EXPECT_EQ(ReadWholeFile(path), "new\r\ntail");

  // Over an old file, the new one first takes the old one's permissions.
  files.steps.clear();
  ReplaceFile(path, [](FileContent& content) { content.Write("x"); }, files);
  EXPECT_EQ(files.steps, (std::vector<std::string>{"create", "mode", "write", "flush", "fsync",
                                                   "close", "rename", "fsync folder"}));
}

TEST(AtomicFile, EachFailingStepIsReportedAndBeforeTheRenameLeavesTheOldFileWhole) {
  for (const char* step : {"create", "write", "flush", "fsync", "close", "rename"}) {
    SCOPED_TRACE(step);
    TempFolder folder;
    const std::string path = folder.Write("kqweblinkok.ini", "old\r\n");
    RecordingFileSystem files;
    files.failing = step;
    try {
      ReplaceFile(path, WriteNew, files);
      ADD_FAILURE() << "no failure";
    } catch (const InOutError& e) {
      EXPECT_STREQ(e.what(), "Disk full");
    }
    EXPECT_EQ(ReadWholeFile(path), "old\r\n");
    EXPECT_EQ(EntryCount(folder.Path()), 1) << "the temporary file was not removed";
    EXPECT_EQ(files.steps.back(), std::string(step) == "create" ? "create" : "remove");
  }

  // After the rename the new file is in place, but a folder that did not reach the disk is
  // still a failure to report: a crash could bring the old file back.
  TempFolder folder;
  const std::string path = folder.Write("tolvarine.ini", "old\r\n");
  RecordingFileSystem files;
  files.failing = "fsync folder";
  files.error = EDQUOT;
  EXPECT_THROW(ReplaceFile(path, WriteNew, files), InOutError);
  EXPECT_EQ(ReadWholeFile(path), "new\r\ntail");
  EXPECT_EQ(EntryCount(folder.Path()), 1);
}

}  // namespace
}  // namespace tolvarine
