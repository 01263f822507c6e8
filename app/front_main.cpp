// The `tolvarine` executable: runs the text commands (scan, generate, merge) without
// loading Qt, so that they start as fast as other text tools, and hands the window and
// harvest to the Qt executable installed beside it.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/cli/commands.h"
#include "base/platform/run_program.h"
#include "base/state_folder.h"

namespace {

// Replaces this process by the Qt executable with the same arguments, so that it keeps
// the process id (signals reach it) and its standard streams; the state folder it picks
// is the same, as it lies in the same folder. Returns only when it cannot be started.
int RunQtExecutable(int, char** argv) {
  const std::string path = tolvarine::ExecutableFolder() + TOLVARINE_QT_EXECUTABLE;
  const int error = tolvarine::platform::RunInstead(path, argv);
  std::fprintf(stderr, "tolvarine: cannot start %s, which runs the window and harvest: %s\n",
               path.c_str(), std::strerror(error));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  return tolvarine::cli::ProgramMain(argc, argv, RunQtExecutable, RunQtExecutable);
}
