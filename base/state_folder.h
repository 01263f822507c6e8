#pragma once
// Where the program's state files live.
#include <string>

namespace tolvarine {

// The folder of the running executable, with a trailing "/".
std::string ExecutableFolder();

// The executable's folder when it is writable; otherwise the per-user application data
// folder ($XDG_DATA_HOME/tolvarine or ~/.local/share/tolvarine), created if needed.
// Always ends with "/".
std::string StateFolder();

}  // namespace tolvarine
