#include "base/platform/shard_processes.h"

#include <fcntl.h>
#include <poll.h>
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

ChildWalk StartChildWalk(const std::vector<std::string>& args) {
  int records[2];
  if (::pipe2(records, O_CLOEXEC) != 0) throw Error("cannot start the shard processes");
  std::vector<std::string> copy = args;
  std::vector<char*> argv;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(records[0]);
    ::close(records[1]);
    throw Error("cannot start the shard processes");
  }
  if (pid == 0) {
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    // dup2 clears close-on-exec on the copy; a pipe end that is already 3 keeps it.
    if (records[1] == 3) {
      ::fcntl(3, F_SETFD, 0);
    } else {
      ::dup2(records[1], 3);
    }
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);  // rows go only through the pipe
    ::execv("/proc/self/exe", argv.data());
    ::_exit(127);
  }
  ::close(records[1]);
  return {pid, records[0]};
}

void ReadPipesUntilClosed(const std::vector<int>& fds,
                          const std::function<void(std::size_t, std::string_view)>& onData) {
  std::vector<pollfd> polled;
  for (int fd : fds) polled.push_back({fd, POLLIN, 0});
  std::size_t open = polled.size();
  static char buffer[65536];
  while (open > 0) {
    if (::poll(polled.data(), polled.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
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
