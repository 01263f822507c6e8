#pragma once
// Handing this process over to another program.
#include <string>

namespace tolvarine::platform {

// Replaces this process by the program at `path`, with the argument list `argv` (ending in
// a null pointer): it keeps the process id, so signals sent to this one reach it, and the
// standard streams. Returns the system's error number, and only when the program cannot be
// started.
int RunInstead(const std::string& path, char** argv);

}  // namespace tolvarine::platform
