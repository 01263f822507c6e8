// Descriptors and terminals on POSIX systems (the pipe size as Linux sets it).
#include "base/platform/streams.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvarine::platform {

int DescriptorOf(std::FILE* stream) { return ::fileno(stream); }

std::FILE* OpenDescriptorStream(int descriptor, const char* mode) {
  return ::fdopen(descriptor, mode);
}

int StandardInput() { return STDIN_FILENO; }

void WidenPipe(int descriptor, std::size_t bytes) {
#ifdef F_SETPIPE_SZ
  struct stat info {};
  if (::fstat(descriptor, &info) == 0 && S_ISFIFO(info.st_mode))
    ::fcntl(descriptor, F_SETPIPE_SZ, static_cast<int>(bytes));
#else
  (void)descriptor;
  (void)bytes;
#endif
}

long ReadSome(int descriptor, char* into, std::size_t size, int& error) {
  for (;;) {
    const ssize_t got = ::read(descriptor, into, size);
    if (got >= 0) return static_cast<long>(got);
    if (errno != EINTR) {
      error = errno;
      return -1;
    }
  }
}

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) == 1; }

int TerminalColumns(std::FILE* stream) {
  struct winsize size {};
  if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

bool SameTerminal(std::FILE* a, std::FILE* b) {
  if (!IsTerminal(a) || !IsTerminal(b)) return false;
  struct stat first {}, second {};
  if (::fstat(::fileno(a), &first) != 0 || ::fstat(::fileno(b), &second) != 0) return false;
  return first.st_rdev == second.st_rdev;
}

}  // namespace tolvarine::platform
