// Child processes on POSIX systems (pipe2 with close-on-exec as Linux has it).
#include "base/platform/child_processes.h"

#include <atomic>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tolvarine::platform {
namespace {

constexpr int kMaxPassedTo = 64;
pid_t passedTo[kMaxPassedTo];
std::atomic<int> passedCount{0};

void PassSignalOn(int signal) {
  const int count = passedCount.load();
  for (int i = 0; i < count; ++i) ::kill(passedTo[i], signal);
}

void SetHandler(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(signal, &action, nullptr);
}

// Puts the descriptor `from` at `to`, open across exec (the pipes close on exec).
bool PlaceAt(int from, int to) {
  if (from == to) return ::fcntl(to, F_SETFD, 0) == 0;
  return ::dup2(from, to) >= 0;
}

// In the child between fork and exec: only calls that are safe there.
[[noreturn]] void BecomeChild(const char* program, char* const* argv, int write3, int write4) {
  SetHandler(SIGINT, SIG_DFL);
  SetHandler(SIGTERM, SIG_DFL);
  // The second pipe's end must not sit where the first one goes.
  if (write4 == 3) write4 = ::fcntl(write4, F_DUPFD_CLOEXEC, 5);
  if (write4 < 0 || !PlaceAt(write3, 3) || !PlaceAt(write4, 4)) ::_exit(127);
  const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null >= 0) ::dup2(null, STDOUT_FILENO);
  ::execv(program, argv);
  ::_exit(127);
}

}  // namespace

int StartChild(const std::string& program, const std::vector<std::string>& args,
               ChildProcess& child) {
  std::vector<std::string> copies = args;
  std::vector<char*> argv;
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int pipe3[2], pipe4[2];
  if (::pipe2(pipe3, O_CLOEXEC) != 0) return errno;
  if (::pipe2(pipe4, O_CLOEXEC) != 0) {
    const int error = errno;
    ::close(pipe3[0]);
    ::close(pipe3[1]);
    return error;
  }
  const pid_t id = ::fork();
  if (id == 0) BecomeChild(program.c_str(), argv.data(), pipe3[1], pipe4[1]);
  const int error = id < 0 ? errno : 0;
  ::close(pipe3[1]);
  ::close(pipe4[1]);
  if (error) {
    ::close(pipe3[0]);
    ::close(pipe4[0]);
    return error;
  }
  child = {id, pipe3[0], pipe4[0]};
  return 0;
}

int WaitForInput(std::vector<Watched>& watched) {
  std::vector<pollfd> polled;
  for (const Watched& w : watched) polled.push_back({w.descriptor, POLLIN, 0});
  for (;;) {
    if (::poll(polled.data(), polled.size(), -1) >= 0) break;
    if (errno != EINTR) return errno;
  }
  for (std::size_t i = 0; i < watched.size(); ++i)
    watched[i].ready = watched[i].descriptor >= 0 && polled[i].revents != 0;
  return 0;
}

void CloseDescriptor(int descriptor) { ::close(descriptor); }

int WaitForExit(int processId) {
  int status = 0;
  while (::waitpid(processId, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

void PassStopSignalsTo(const std::vector<int>& processIds) {
  passedCount.store(0);
  int count = 0;
  for (int id : processIds) {
    if (count == kMaxPassedTo) break;
    passedTo[count++] = id;
  }
  passedCount.store(count);
  SetHandler(SIGPIPE, SIG_IGN);
  SetHandler(SIGINT, PassSignalOn);
  SetHandler(SIGTERM, PassSignalOn);
}

void StopPassingSignals() {
  SetHandler(SIGINT, SIG_DFL);
  SetHandler(SIGTERM, SIG_DFL);
  passedCount.store(0);
}

}  // namespace tolvarine::platform
