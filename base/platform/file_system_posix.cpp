// The file system of POSIX systems.
#include "base/platform/file_system.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvarine::platform {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

int LastError() { return errno ? errno : EIO; }

std::FILE* AsStream(FileSystem::Handle file) { return static_cast<std::FILE*>(file); }

int OpenWith(const std::string& path, int flags, FileSystem::Handle& file) {
  const int fd = ::open(path.c_str(), flags | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return LastError();
  std::FILE* stream = ::fdopen(fd, "wb");
  if (!stream) {
    const int err = LastError();
    ::close(fd);
    return err;
  }
  std::setvbuf(stream, nullptr, _IOFBF, kBufferSize);
  file = stream;
  return 0;
}

class PosixFileSystem final : public FileSystem {
 public:
  int CreateNew(const std::string& path, Handle& file) override {
    return OpenWith(path, O_CREAT | O_EXCL, file);
  }
  int OpenInPlace(const std::string& path, Handle& file) override {
    return OpenWith(path, O_CREAT | O_TRUNC, file);
  }
  int Write(Handle file, const char* bytes, std::size_t size) override {
    errno = 0;
    return std::fwrite(bytes, 1, size, AsStream(file)) == size ? 0 : LastError();
  }
  int Flush(Handle file) override {
    errno = 0;
    return std::fflush(AsStream(file)) == 0 ? 0 : LastError();
  }
  int Sync(Handle file) override {
    if (::fsync(::fileno(AsStream(file))) == 0) return 0;
    // A pipe or a device that cannot be synced has nothing to wait for.
    return errno == EINVAL || errno == EROFS ? 0 : LastError();
  }
  int Close(Handle file) override {
    errno = 0;
    return std::fclose(AsStream(file)) == 0 ? 0 : LastError();
  }
  int CopyPermissions(const std::string& from, Handle file) override {
    struct stat info {};
    if (::stat(from.c_str(), &info) != 0) return LastError();
    return ::fchmod(::fileno(AsStream(file)), info.st_mode & 07777) == 0 ? 0 : LastError();
  }
  int Rename(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : LastError();
  }
  int SyncFolder(const std::string& folder) override {
    // A folder this process may write to but not read cannot be opened, and so not
    // synced; the rename stands all the same, as it does where a file system cannot sync
    // a folder.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return 0;
    int err = ::fsync(fd) == 0 ? 0 : LastError();
    if (err == EINVAL || err == EROFS) err = 0;
    ::close(fd);
    return err;
  }
  int Remove(const std::string& path) override {
    return ::unlink(path.c_str()) == 0 ? 0 : LastError();
  }
  PathKind KindOf(const std::string& path) override {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return PathKind::Missing;
    if (S_ISREG(info.st_mode)) return PathKind::RegularFile;
    if (S_ISDIR(info.st_mode)) return PathKind::Folder;
    if (S_ISLNK(info.st_mode)) return PathKind::Link;
    return PathKind::Other;
  }
  std::string LinkedFile(const std::string& path) override {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return {};
    std::string file = resolved;
    std::free(resolved);
    return file;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem system;
  return system;
}

std::FILE* OpenStream(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), (std::string(mode) + "e").c_str());
}

unsigned long ProcessNumber() { return static_cast<unsigned long>(::getpid()); }

}  // namespace tolvarine::platform
