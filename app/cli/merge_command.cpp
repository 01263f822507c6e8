// tolvarine merge: the merge and dedup tool.
#include <string>
#include <vector>

#include "app/cli/arg_parser.h"
#include "app/cli/command_io.h"
#include "app/cli/command_list.h"
#include "tools/merge_dedup.h"

namespace tolvarine::cli {
namespace {

const char kUsage[] =
    "usage: tolvarine merge -o OUT IN...\n"
    "  Joins the input files into OUT: every distinct line once (letter case ignored, the\n"
    "  first form met wins), in ascending order, CR LF after every line. OUT is written\n"
    "  only after every input was read, so it may be one of the inputs.\n";

}  // namespace

int RunMerge(const std::vector<std::string>& args) {
  ParsedArgs parsed;
  try {
    parsed = ArgParser().Option("-o").Switch("--help").Parse(args);
    if (parsed.Has("--help")) return ShowUsage(kUsage);
    parsed.Required("-o");
    if (parsed.Positional().empty()) throw UsageError("no input file");
  } catch (const UsageError& e) {
    return ShowUsage(kUsage, e.what());
  }
  try {
    MergeAndDedupFiles(parsed.Positional(), *parsed.Value("-o"));
  } catch (const std::exception& e) {
    PrintFailure(e.what());
    return 1;
  }
  return 0;
}

}  // namespace tolvarine::cli
