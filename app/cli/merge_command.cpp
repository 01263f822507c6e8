// tolvarine merge: the merge and dedup tool.
#include <memory>
#include <string>
#include <vector>

#include "app/cli/arg_parser.h"
#include "app/cli/command_io.h"
#include "app/cli/command_list.h"
#include "app/cli/progress_line.h"
#include "tools/merge_dedup.h"

namespace tolvarine::cli {
namespace {

const CommandTable kMerge{
    "merge",
    "usage: tolvarine merge -o OUT IN...\n"
    "  Joins the input files into OUT: every distinct line once (letter case ignored, the\n"
    "  first form met wins), in ascending order, CR LF after every line. OUT is written\n"
    "  only after every input was read, so it may be one of the inputs.\n",
    {{"-o", FlagKind::Value}}};

}  // namespace

int RunMerge(const std::vector<std::string>& args) {
  return RunCommand(kMerge, args, [](const ParsedArgs& parsed) {
    const std::string out = parsed.Required("-o");
    if (parsed.Positional().empty()) throw UsageError("no input file");
    // One display per step (files read, then lines written), each on a line of its own.
    auto progress = std::make_unique<ProgressLine>("file");
    MergeProgress onProgress;
    if (progress->Shown()) {
      onProgress = [&progress, shownStep = std::string("file")](
                       const char* step, std::size_t done, std::size_t total) mutable {
        if (shownStep != step) {
          shownStep = step;
          progress.reset();  // ends the previous step's line
          progress = std::make_unique<ProgressLine>(shownStep);
        }
        progress->Update(static_cast<std::int64_t>(done), static_cast<std::int64_t>(total));
      };
    }
    MergeAndDedupFiles(parsed.Positional(), out, UserCollator(), onProgress);
    return 0;
  });
}

}  // namespace tolvarine::cli
