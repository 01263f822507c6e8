#include "base/platform/shard_processes.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

#include "base/errors.h"

namespace tolvarine::platform {
namespace {

static_assert(SIGINT == kInterruptSignal && SIGTERM == kTerminateSignal);

constexpr int kMaxChildren = 256;
pid_t children[kMaxChildren];
std::atomic<int> childCount{0};
volatile std::sig_atomic_t lastStopSignal = 0;
int signalPipe[2] = {-1, -1};

void PassSignalOn(int signal) {
  lastStopSignal = signal;
  for (int i = 0; i < childCount.load(); ++i) ::kill(children[i], signal);
}

void SignalToPipe(int signal) {
  const char byte = static_cast<char>(signal);
  [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

namespace {

void ClosePair(int fds[2]) {
  ::close(fds[0]);
  ::close(fds[1]);
}

// In the child between fork and exec: only calls that are safe there.
[[noreturn]] void ExecChild(pid_t parent, int recordsEnd, int ackEnd, char** argv) {
  // Killed when the parent ends; a parent that ended before the request leaves no one
  // to kill it, so the child goes at once.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(127);
  ::signal(SIGINT, SIG_DFL);
  ::signal(SIGTERM, SIG_DFL);
  // Copies above the two places first, so that neither end is overwritten by the other's
  // dup2; dup2 clears close-on-exec on the copies it makes.
  const int records = ::fcntl(recordsEnd, F_DUPFD_CLOEXEC, 10);
  const int ack = ::fcntl(ackEnd, F_DUPFD_CLOEXEC, 10);
  if (records < 0 || ack < 0 || ::dup2(records, 3) < 0 || ::dup2(ack, 4) < 0) ::_exit(127);
  const int null = ::open("/dev/null", O_WRONLY);
  ::dup2(null, STDOUT_FILENO);  // rows go only through the pipe
  ::execv("/proc/self/exe", argv);
  ::_exit(127);
}

}  // namespace

ChildWalk StartChildWalk(const std::vector<std::string>& args) {
  int records[2], ack[2];
  if (::pipe2(records, O_CLOEXEC) != 0) throw Error("cannot start the shard processes");
  if (::pipe2(ack, O_CLOEXEC) != 0) {
    ClosePair(records);
    throw Error("cannot start the shard processes");
  }
  std::vector<std::string> copy = args;
  std::vector<char*> argv;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid < 0) {
    ClosePair(records);
    ClosePair(ack);
    throw Error("cannot start the shard processes");
  }
  if (pid == 0) ExecChild(parent, records[1], ack[0], argv.data());
  ::close(records[1]);
  ::close(ack[0]);
  return {pid, records[0], ack[1]};
}

bool ReadPipesUntilClosed(const std::vector<int>& fds,
                          const std::function<void(std::size_t, std::string_view)>& onData) {
  std::vector<pollfd> polled;
  for (int fd : fds) polled.push_back({fd, POLLIN, 0});
  std::size_t open = polled.size();
  static char buffer[65536];
  bool failed = false;
  while (open > 0 && !failed) {
    if (::poll(polled.data(), polled.size(), -1) < 0) {
      failed = errno != EINTR;
      continue;
    }
    for (std::size_t i = 0; i < polled.size(); ++i) {
      if (polled[i].fd < 0 || polled[i].revents == 0) continue;
      const ssize_t n = ::read(polled[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        onData(i, std::string_view(buffer, static_cast<std::size_t>(n)));
      } else if (n == 0 || errno != EINTR) {
        ::close(polled[i].fd);
        polled[i].fd = -1;
        --open;
      }
    }
  }
  for (const pollfd& p : polled) {
    if (p.fd >= 0) ::close(p.fd);
  }
  return !failed;
}

bool WriteByte(int fd, char byte) {
  ssize_t n;
  while ((n = ::write(fd, &byte, 1)) < 0 && errno == EINTR) {
  }
  return n == 1;
}

int ReadByte(int fd) {
  unsigned char byte = 0;
  ssize_t n;
  while ((n = ::read(fd, &byte, 1)) < 0 && errno == EINTR) {
  }
  return n == 1 ? byte : -1;
}

void CloseDescriptor(int fd) {
  if (fd >= 0) ::close(fd);
}

void ExitNow(int status) { ::_exit(status); }

void KillAndReap(const std::vector<int>& pids) {
  for (int pid : pids) ::kill(pid, SIGKILL);
  for (int pid : pids) {
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
}

int WaitForChild(int pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return 1;
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

void PassStopSignalsTo(const std::vector<int>& pids) {
  childCount.store(0);
  if (pids.empty()) {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return;
  }
  int n = 0;
  for (int pid : pids) {
    if (n < kMaxChildren) children[n++] = pid;
  }
  childCount.store(n);
  std::signal(SIGINT, PassSignalOn);
  std::signal(SIGTERM, PassSignalOn);
}

int StopSignalSeen() { return lastStopSignal; }

void StopChildren(const std::vector<int>& pids) {
  for (int pid : pids) ::kill(pid, SIGTERM);
}

int StopSignalsToPipe() {
  if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC) != 0)
    throw Error("cannot set up the stop signal");
  std::signal(SIGINT, SignalToPipe);
  std::signal(SIGTERM, SignalToPipe);
  return signalPipe[0];
}

int ReadStopSignal(int fd) {
  char byte = 0;
  return ::read(fd, &byte, 1) == 1 ? static_cast<unsigned char>(byte) : 0;
}

void RestoreStopSignals() {
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
}

void IgnoreBrokenPipes() { std::signal(SIGPIPE, SIG_IGN); }

int StatusForStopSignal(int signal) { return 128 + signal; }

const char* StopSignalName(int signal) { return signal == SIGINT ? "SIGINT" : "SIGTERM"; }

}  // namespace tolvarine::platform
