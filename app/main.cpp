// The program's entry: a command given as the first argument runs without windows;
// otherwise the window program starts.
#include <cstdio>
#include <string_view>

#include "app/cli/commands.h"
#include "ui/main/run_window.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "--version") {
    std::printf("tolvarine %s\n", TOLVARINE_VERSION);
    return 0;
  }
  if (argc > 1 && tolvarine::cli::IsCommand(argv[1])) return tolvarine::cli::RunCommand(argc, argv);
  if (argc > 1) {
    char help[] = "--help";
    char* helpArgv[] = {argv[0], help, nullptr};
    tolvarine::cli::RunCommand(2, helpArgv);
    return 2;
  }
  return tolvarine::RunWindow(argc, argv);
}
