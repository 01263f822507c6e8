#pragma once
// Where the program's state files live.
#include <string>

namespace tolvarine {

// The file in the state folder that a running walk holds locked, so that a second walk on
// the same folder is refused.
inline constexpr char kStateLockName[] = "tolvarine.lock";

// The folder of the running executable, with a trailing "/".
std::string ExecutableFolder();

// The executable's folder when it is writable and not an installed copy's "bin" folder;
// otherwise the per-user application data folder ($XDG_DATA_HOME/tolvarine or
// ~/.local/share/tolvarine), created if needed.
// When the environment variable TOLVARINE_STATE_DIR is set (tests, the command line), that
// folder is used instead, created if needed. Always ends with "/". Throws InOutError when
// a folder it must create cannot be created.
std::string StateFolder();

// StateFolder() as it would be for an executable in the given folder.
std::string StateFolderFor(const std::string& executableFolder);

}  // namespace tolvarine
