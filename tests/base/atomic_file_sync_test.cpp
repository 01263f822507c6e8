// The syncs of a file replacement, counted where they reach the system: this binary's own
// fsync and fdatasync stand in front of the C library's and record what they are given.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "base/atomic_file.h"
#include "tests/support/temp_folder.h"

namespace {

// The device and inode of each descriptor synced while recording is on.
bool recording = false;
std::vector<std::pair<dev_t, ino_t>> synced;

void Record(int fd) {
  struct stat info {};
  if (recording && ::fstat(fd, &info) == 0) synced.emplace_back(info.st_dev, info.st_ino);
}

}  // namespace

extern "C" int fsync(int fd) {
  Record(fd);
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

extern "C" int fdatasync(int fd) {
  Record(fd);
  return static_cast<int>(::syscall(SYS_fdatasync, fd));
}

namespace tolvarine {
namespace {

std::pair<dev_t, ino_t> IdOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return {info.st_dev, info.st_ino};
}

TEST(AtomicFileSync, TheNewFileAndThenItsFolderReachTheDisk) {
  testing::TempFolder folder;
  const std::string path = folder.PathOf("tolvarine.ini");
  for (const char* content : {"first\r\n", "second\r\n"}) {  // created, then replaced
    synced.clear();
    recording = true;
    ReplaceFileAtomically(path, content);
    recording = false;
    const std::vector<std::pair<dev_t, ino_t>> expected = {IdOf(path), IdOf(folder.Path())};
    EXPECT_EQ(synced, expected) << content;
  }
}

}  // namespace
}  // namespace tolvarine
