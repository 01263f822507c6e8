#pragma once
// Processes of this executable that walk shards of one list, and the stop signals (SIGINT,
// SIGTERM) a walk answers: the calls behind them differ between operating systems.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvarine::platform {

// A started child: its process, the read end of the pipe it writes to as descriptor 3 and
// the write end of the pipe it reads from as descriptor 4.
struct ChildWalk {
  int pid = -1;
  int recordsFd = -1;
  int ackFd = -1;
};

// Starts this executable again with the arguments (argv[0] first), its standard output on
// the null device, a new pipe to this process as its descriptor 3 and one from it as its
// descriptor 4. The child is killed when this process ends, however it ends (Linux).
// Throws Error when the start fails.
ChildWalk StartChildWalk(const std::vector<std::string>& args);

// Reads the children's pipes until each is closed: each block read goes to onData with the
// index of its pipe. A signal that interrupts the wait does not end it. Every pipe is
// closed on return; false when waiting failed before they had all been closed.
bool ReadPipesUntilClosed(const std::vector<int>& fds,
                          const std::function<void(std::size_t, std::string_view)>& onData);

// One byte to a pipe; false when it could not be written (the reader is gone).
bool WriteByte(int fd, char byte);
// One byte from a pipe; -1 at its end or on a failure.
int ReadByte(int fd);
void CloseDescriptor(int fd);
// Ends this process at once with the status: no handler, no buffer flushed, nothing saved.
[[noreturn]] void ExitNow(int status);

// Kills the children and waits for them to end.
void KillAndReap(const std::vector<int>& pids);

// Waits for the child to end: its exit status, or 128 + the signal that ended it.
int WaitForChild(int pid);

// SIGINT and SIGTERM are passed on to these children instead of ending this process;
// StopSignalSeen tells which came last (0: none). An empty list restores the defaults.
void PassStopSignalsTo(const std::vector<int>& pids);
int StopSignalSeen();
// Sends SIGTERM to the children, which stop as after Stop.
void StopChildren(const std::vector<int>& pids);

// SIGINT and SIGTERM become a byte on a pipe that an event loop watches: returns the read
// end. ReadStopSignal takes one signal number from it. RestoreStopSignals undoes both.
int StopSignalsToPipe();
int ReadStopSignal(int fd);
void RestoreStopSignals();

// A closed output pipe becomes a failed write instead of ending the process.
void IgnoreBrokenPipes();

// The exit status of a process ended by the stop signal (128 + its number).
int StatusForStopSignal(int signal);
// "SIGINT" or "SIGTERM".
const char* StopSignalName(int signal);
inline constexpr int kInterruptSignal = 2;   // SIGINT
inline constexpr int kTerminateSignal = 15;  // SIGTERM

}  // namespace tolvarine::platform
