#pragma once
// Runs the program under test as a child process, with its output captured.
#include <sys/types.h>

#include <string>
#include <vector>

namespace tolvarine::testing {

struct ProcessResult {
  int status = -1;  // exit status, or -1 when killed by a signal
  std::string out;
  std::string err;
};

// The child's standard output: captured, or a pipe nobody reads (closed before the start).
enum class ChildOutput { Captured, ClosedPipe };

class ChildProcess {
 public:
  // Starts program with args; env entries ("NAME=value") are added to the environment.
  ChildProcess(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& env = {},
               ChildOutput output = ChildOutput::Captured);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Reads standard error until a line containing text has arrived (blocking on the pipe);
  // false when the stream ended first.
  bool WaitForErrorLine(const std::string& text);
  void Signal(int signal);
  pid_t Pid() const { return pid_; }
  // Reads what is left of both streams and waits for the exit.
  ProcessResult Finish();

 private:
  pid_t pid_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  std::string out_;
  std::string err_;
};

// Runs to the end.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env = {},
                         ChildOutput output = ChildOutput::Captured);

// The lines of a command's output or of a file it wrote (LF or CR LF line ends).
std::vector<std::string> Rows(const std::string& text);

}  // namespace tolvarine::testing
