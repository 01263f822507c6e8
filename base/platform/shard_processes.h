#pragma once
// Processes of this executable that walk shards of one list, and the stop signals (SIGINT,
// SIGTERM) a walk answers: the calls behind them differ between operating systems.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvarine::platform {

// A started child: its process and the read end of the pipe it writes to as descriptor 3.
struct ChildWalk {
  int pid = -1;
  int recordsFd = -1;
};

// Starts this executable again with the arguments (argv[0] first), its standard output on
// the null device and a new pipe as its descriptor 3. Throws Error when that fails.
ChildWalk StartChildWalk(const std::vector<std::string>& args);

// Reads the children's pipes until each is closed: each block read goes to onData with the
// index of its pipe. A signal that interrupts the wait does not end it.
void ReadPipesUntilClosed(const std::vector<int>& fds,
                          const std::function<void(std::size_t, std::string_view)>& onData);

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
