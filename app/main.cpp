// The Qt executable: the window, and the harvest command that walks with the browser. The
// small `tolvarine` executable hands these to it; run directly it does the whole program.
#include <string>
#include <vector>

#include "app/cli/command_list.h"
#include "app/cli/commands.h"
#include "ui/main/run_window.h"

namespace {

int Harvest(int argc, char** argv) {
  return tolvarine::cli::RunHarvest(argc, argv, std::vector<std::string>(argv + 2, argv + argc));
}

int Window(int argc, char** argv) { return tolvarine::RunWindow(argc, argv); }

}  // namespace

int main(int argc, char** argv) { return tolvarine::cli::ProgramMain(argc, argv, Harvest, Window); }
