#include "base/atomic_file.h"

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/errors.h"

namespace tolvarine {

namespace {

[[noreturn]] void ThrowErrno(int err) { throw InOutError(InOutCodeFromErrno(err ? err : EIO)); }

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Opens a new temporary file beside the target; its name is the target's plus a suffix
// unique to this process and call.
int CreateTemporary(const std::string& target, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = target + "." + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tmp";
    int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t written = write(fd, p, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

void SyncFolder(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;  // some file systems do not allow it; the rename is done anyway
  fsync(fd);
  close(fd);
}

}  // namespace

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  std::string tempPath;
  int fd = CreateTemporary(path, tempPath);
  if (fd < 0) ThrowErrno(errno);

  auto fail = [&](int err, bool open) {
    if (open) close(fd);
    unlink(tempPath.c_str());
    ThrowErrno(err);
  };

  // An existing file keeps its permissions.
  struct stat old {};
  if (stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    fchmod(fd, old.st_mode & 07777);
  }
  if (!WriteAll(fd, bytes)) fail(errno, true);
  if (fsync(fd) != 0 && errno != EINVAL && errno != EROFS) fail(errno, true);
  if (close(fd) != 0) fail(errno, false);
  if (rename(tempPath.c_str(), path.c_str()) != 0) fail(errno, false);
  SyncFolder(FolderOf(path));
}

std::string ReadWholeFile(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowErrno(errno);
  std::string content;
  struct stat info {};
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    content.reserve(static_cast<std::size_t>(info.st_size));
  }
  char buffer[64 * 1024];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      close(fd);
      ThrowErrno(err);
    }
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
  }
  close(fd);
  return content;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace tolvarine
