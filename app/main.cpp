// The Qt executable: the window, and the harvest command that walks with the browser. The
// small `tolvarine` executable hands these to it; run directly it does the whole program.
#include <string>
#include <vector>

#include "app/cli/command_list.h"
#include "app/cli/commands.h"
#include "app/cli/report_command.h"
#include "ui/main/run_window.h"

namespace {

// The commands that need Qt: harvest (the browser) and report (the charts).
int Harvest(int argc, char** argv) {
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (std::string(argv[1]) == "report") return tolvarine::cli::RunReport(argc, argv, args);
  return tolvarine::cli::RunHarvest(argc, argv, args);
}

int Window(int argc, char** argv) { return tolvarine::RunWindow(argc, argv); }

}  // namespace

int main(int argc, char** argv) { return tolvarine::cli::ProgramMain(argc, argv, Harvest, Window); }
