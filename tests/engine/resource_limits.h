#pragma once
// Scoped process limits that make file operations fail on demand (also for root, which
// file permissions do not stop): a file-size limit makes writes fail, an open-file limit
// makes opens fail with "Too many open files".
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
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

// No further file can be opened while this lives.
class NoMoreOpenFiles {
 public:
  NoMoreOpenFiles() : limit_(RLIMIT_NOFILE, LowestFreeDescriptor()) {}

 private:
  static rlim_t LowestFreeDescriptor() {
    const int fd = ::open("/dev/null", O_RDONLY);
    ::close(fd);
    return static_cast<rlim_t>(fd);
  }
  ScopedLimit limit_;
};

}  // namespace tolvarine::testing
