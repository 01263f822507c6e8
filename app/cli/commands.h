#pragma once
// The command-line commands: the program's work without a window.
#include <string_view>

namespace tolvarine::cli {

// True when the first argument names a command (or asks for help).
bool IsCommand(std::string_view name);

// Runs the command named by argv[1]. Exit status: 0 done, 1 failure, 2 usage error.
int RunCommand(int argc, char** argv);

}  // namespace tolvarine::cli
