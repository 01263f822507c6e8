#pragma once
// The program's entry, shared by its two executables: the small one that runs the text
// commands without loading Qt, and the Qt one that shows the window and walks with the
// browser. Each gives the parts it runs by way of the Qt executable.
#include <string_view>

namespace tolvarine::cli {

// Runs a part of the program with the process's own arguments; returns the exit status.
using ProgramPart = int (*)(int argc, char** argv);

// True when the first argument names a command (or asks for help).
bool IsCommand(std::string_view name);

// The whole command line: no argument starts the window, "--version" prints the version,
// a command runs it (harvest and report through `harvest`), anything else is a usage error
// (2). Exit status of a command: 0 done, 1 failure, 2 usage error.
int ProgramMain(int argc, char** argv, ProgramPart harvest, ProgramPart window);

}  // namespace tolvarine::cli
