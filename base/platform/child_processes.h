#pragma once
// Child processes that send their output back through two pipes, for a command that runs
// its work in several processes: start them, read what they write as it comes, pass a stop
// signal on, and wait for their exit.
#include <string>
#include <vector>

namespace tolvarine::platform {

// A started child: its process id and this side's read ends of its descriptors 3 and 4.
struct ChildProcess {
  int id = -1;
  int output3 = -1;
  int output4 = -1;
};

// Starts `program` with the arguments `args` (args[0] is the name it is given). The child
// writes into two fresh pipes as descriptors 3 and 4; its standard output goes to
// /dev/null, its standard input and standard error are this process's. SIGINT and SIGTERM
// are back at their defaults in it, and no other descriptor of this process reaches it.
// Returns 0 with `child` filled, or the system's error number (nothing is left open then).
// "/proc/self/exe" as the program starts this executable again.
int StartChild(const std::string& program, const std::vector<std::string>& args,
               ChildProcess& child);

// A descriptor to watch, and whether it has bytes or has ended (a read will not block).
struct Watched {
  int descriptor = -1;  // below 0: left out
  bool ready = false;
};

// Waits until at least one watched descriptor is ready, with no time limit, and marks
// them; a signal does not end the wait. Returns 0, or the system's error number.
int WaitForInput(std::vector<Watched>& watched);

void CloseDescriptor(int descriptor);

// Waits for the child to end and returns its exit status (0..255), or 128 plus the number
// of the signal that ended it; -1 when it cannot be waited for.
int WaitForExit(int processId);

// From now on SIGINT and SIGTERM sent to this process go on to the given processes instead
// of ending it, and a write to a closed pipe fails instead of ending it. At most 64
// processes; the rest get no signal.
void PassStopSignalsTo(const std::vector<int>& processIds);

// SIGINT and SIGTERM end this process again, as by default.
void StopPassingSignals();

}  // namespace tolvarine::platform
