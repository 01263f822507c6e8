// The state folder's lock on POSIX systems: flock on the lock file, which belongs to the open
// file description, so it goes with the last descriptor of it (at the latest, the process).
#include "base/platform/state_lock.h"

#include <cerrno>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tolvarine::platform {

namespace {

int LastError() { return errno ? errno : EIO; }

// The process id at the start of the file; 0 when it holds none.
long ReadHolder(int fd) {
  char text[32];
  const ssize_t size = ::pread(fd, text, sizeof text - 1, 0);
  long holder = 0;
  for (ssize_t i = 0; i < size && text[i] >= '0' && text[i] <= '9'; ++i)
    holder = holder * 10 + (text[i] - '0');
  return holder;
}

// The file holds this process's id alone. A failure leaves the lock held and the id unknown
// to a refused walk, which is told the folder is in use all the same.
void WriteHolder(int fd) {
  const std::string text = std::to_string(static_cast<long>(::getpid())) + "\n";
  if (::ftruncate(fd, 0) == 0) {
    [[maybe_unused]] const ssize_t written = ::pwrite(fd, text.data(), text.size(), 0);
  }
}

}  // namespace

StateLock::~StateLock() { Release(); }

int StateLock::TryLock(const std::string& path, long& holder) {
  holder = 0;
  if (fd_ >= 0) return 0;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return LastError();
  int result = 0;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    result = errno == EWOULDBLOCK ? kHeld : LastError();
    break;
  }
  if (result != 0) {
    if (result == kHeld) holder = ReadHolder(fd);
    ::close(fd);
    return result;
  }
  WriteHolder(fd);
  fd_ = fd;
  return 0;
}

void StateLock::Release() {
  if (fd_ < 0) return;
  // A walk refused later names no process that has ended.
  [[maybe_unused]] const int emptied = ::ftruncate(fd_, 0);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace tolvarine::platform
