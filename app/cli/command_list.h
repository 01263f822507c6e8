#pragma once
// The commands, each given its arguments after the command name.
#include <string>
#include <vector>

namespace tolvarine::cli {

int RunScan(const std::vector<std::string>& args);
int RunGenerate(const std::vector<std::string>& args);
int RunMerge(const std::vector<std::string>& args);
// Walks a URL list through the WebEngine browser; argc/argv go to the Qt application.
int RunHarvest(int argc, char** argv, const std::vector<std::string>& args);

}  // namespace tolvarine::cli
