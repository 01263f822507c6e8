#include "tests/app/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace tolvarine::testing {
namespace {

// Reads what is available; false at the end of the stream.
bool ReadSome(int fd, std::string& into) {
  char buffer[65536];
  ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n <= 0) return false;
  into.append(buffer, static_cast<size_t>(n));
  return true;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& env, ChildOutput output) {
  int out[2], err[2];
  if (::pipe(out) != 0 || ::pipe(err) != 0) throw std::runtime_error("pipe failed");
  if (output == ChildOutput::ClosedPipe) {
    ::close(out[0]);
    out[0] = -1;
  }
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    if (out[0] >= 0) ::close(out[0]);
    ::close(err[0]);
    ::close(out[1]);
    ::close(err[1]);
    int devnull = ::open("/dev/null", 0);
    if (devnull >= 0) ::dup2(devnull, 0);
    for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execve(program.c_str(), argv.data(), environ);
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  outFd_ = out[0];
  errFd_ = err[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (outFd_ >= 0) ::close(outFd_);
  if (errFd_ >= 0) ::close(errFd_);
}

bool ChildProcess::WaitForErrorLine(const std::string& text) {
  size_t searchFrom = 0;
  while (true) {
    size_t found = err_.find(text, searchFrom);
    if (found != std::string::npos && err_.find('\n', found) != std::string::npos) return true;
    searchFrom = err_.size() > text.size() ? err_.size() - text.size() : 0;
    // Keep standard output drained too, so the child never blocks on a full pipe.
    pollfd fds[2] = {{errFd_, POLLIN, 0}, {outFd_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) return false;
    if (fds[1].revents) ReadSome(outFd_, out_);
    if (fds[0].revents && !ReadSome(errFd_, err_)) return false;
  }
}

void ChildProcess::Signal(int signal) { ::kill(pid_, signal); }

ProcessResult ChildProcess::Finish() {
  bool outOpen = outFd_ >= 0, errOpen = true;
  while (outOpen || errOpen) {
    pollfd fds[2] = {{outOpen ? outFd_ : -1, POLLIN, 0}, {errOpen ? errFd_ : -1, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) break;
    if (fds[0].revents) outOpen = ReadSome(outFd_, out_);
    if (fds[1].revents) errOpen = ReadSome(errFd_, err_);
  }
  int wstatus = 0;
  ::waitpid(pid_, &wstatus, 0);
  pid_ = -1;
  ProcessResult result;
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  result.out = out_;
  result.err = err_;
  return result;
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env, ChildOutput output) {
  ChildProcess child(program, args, env, output);
  return child.Finish();
}

std::vector<std::string> Rows(const std::string& text) {
  std::vector<std::string> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    rows.push_back(line);
  }
  return rows;
}

}  // namespace tolvarine::testing
