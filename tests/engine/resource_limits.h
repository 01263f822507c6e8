#pragma once
// Ways to make file operations fail on demand, also for root (whom file permissions do not
// stop): a file-size limit makes writes fail, a socket in place of a file makes opens fail.
#include <csignal>
#include <cstring>
#include <string>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tolvarine::testing {

class ScopedLimit {
 public:
  ScopedLimit(int resource, rlim_t value) : resource_(resource) {
    getrlimit(resource_, &saved_);
    rlimit lowered = saved_;
    lowered.rlim_cur = value;
    setrlimit(resource_, &lowered);
  }
  ~ScopedLimit() { setrlimit(resource_, &saved_); }
  ScopedLimit(const ScopedLimit&) = delete;
  ScopedLimit& operator=(const ScopedLimit&) = delete;

 private:
  int resource_;
  rlimit saved_{};
};

// Writes past `bytes` fail with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : limit_(RLIMIT_FSIZE, bytes) {
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() { std::signal(SIGXFSZ, previous_); }

 private:
  ScopedLimit limit_;
  void (*previous_)(int) = nullptr;
};

// Puts a socket at `path`: a file that exists (and is no folder) but cannot be opened for
// reading or writing, for root as well.
inline bool MakeUnopenableFile(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return false;
  std::strcpy(address.sun_path, path.c_str());
  const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  ::close(fd);
  return bound;
}

}  // namespace tolvarine::testing
