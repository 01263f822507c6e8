#include "app/cli/commands.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/command_io.h"
#include "app/cli/command_list.h"
#include "tolvarine_version.h"

namespace tolvarine::cli {
namespace {

const char kUsage[] =
    "usage: tolvarine                 start the window program\n"
    "       tolvarine harvest LIST ...  walk a URL list without a window\n"
    "       tolvarine report LOG -o FILE.html  a walk report from a page log\n"
    "       tolvarine scan FILE ...     print the mobile numbers found in files\n"
    "       tolvarine generate -o FILE ...  write a numbered URL list\n"
    "       tolvarine merge -o OUT IN...    merge text files into one sorted, deduplicated file\n"
    "       tolvarine --version         print the version\n"
    "Run 'tolvarine COMMAND --help' for a command's options.\n";

bool IsHelp(std::string_view name) { return name == "--help" || name == "-h" || name == "help"; }

}  // namespace

bool IsCommand(std::string_view name) {
  return IsHelp(name) || name == "harvest" || name == "report" || name == "scan" ||
         name == "generate" || name == "merge";
}

int ProgramMain(int argc, char** argv, ProgramPart harvest, ProgramPart window) {
  if (argc < 2) return window(argc, argv);
  const std::string name = argv[1];
  if (name == "--version") {
    std::printf("tolvarine %s\n", TOLVARINE_VERSION);
    return 0;
  }
  if (!IsCommand(name)) {
    const bool flag = name.starts_with('-');
    return ShowUsageError({}, (flag ? "unknown option " : "unknown command '") + name +
                                  (flag ? "" : "'"));
  }
  if (name == "harvest" || name == "report") return harvest(argc, argv);
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (name == "scan") return RunScan(args);
  if (name == "generate") return RunGenerate(args);
  if (name == "merge") return RunMerge(args);
  return ShowUsage(kUsage);
}

}  // namespace tolvarine::cli
