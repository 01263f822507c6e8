// tolvarine scan: the phone extractor over saved pages and text files.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/arg_parser.h"
#include "app/cli/command_io.h"
#include "app/cli/command_list.h"
#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/gbk.h"
#include "base/state_folder.h"
#include "engine/phone_extractor.h"
#include "engine/progress_file.h"
#include "engine/result_list.h"

namespace tolvarine::cli {
namespace {

const char kUsage[] =
    "usage: tolvarine scan [--dedup] [--prefixes LIST] FILE...\n"
    "  Prints the 11-digit mobile numbers found in each file, one per line (CR LF).\n"
    "  --dedup          print each number once\n"
    "  --prefixes LIST  comma-separated number prefixes (default: the prefix list of the\n"
    "                   window's state folder when it exists, else 13,15,18)\n";

std::vector<std::string> PrefixesFromOption(const std::string& list) {
  std::string lines = Utf8ToGbk(list);
  for (char& c : lines)
    if (c == ',') c = '\n';
  std::vector<std::string> prefixes = PrefixesFromText(lines);
  if (prefixes.empty()) throw UsageError("--prefixes names no prefix");
  return prefixes;
}

std::vector<std::string> SavedOrDefaultPrefixes() {
  const std::string path = ProgressFile(StateFolder()).ListPath(RuleList::Prefixes);
  if (FileExists(path)) return PrefixesFromText(FieldTextFromFile(ReadWholeFile(path)));
  return {"13", "15", "18"};
}

}  // namespace

int RunScan(const std::vector<std::string>& args) {
  ParsedArgs parsed;
  try {
    parsed = ArgParser().Switch("--dedup").Option("--prefixes").Switch("--help").Parse(args);
    if (parsed.Has("--help")) return ShowUsage(kUsage);
    if (parsed.Positional().empty()) throw UsageError("no file to scan");
  } catch (const UsageError& e) {
    return ShowUsage(kUsage, e.what());
  }

  int status = 0;
  try {
    std::vector<std::string> prefixes;
    if (auto list = parsed.Value("--prefixes"))
      prefixes = PrefixesFromOption(*list);
    else
      prefixes = SavedOrDefaultPrefixes();

    ResultList phones;
    const bool dedup = parsed.Has("--dedup");
    for (const std::string& path : parsed.Positional()) {
      std::string text;
      try {
        text = ReadWholeFile(path);
      } catch (const Error&) {
        PrintFailure(FileOpenError(GbkFileName(path)).what());
        status = 1;
        continue;
      }
      ExtractPhonesFromTexts({text}, prefixes, dedup, phones,
                             [&] { WriteRow(stdout, phones.Row(phones.Count() - 1)); });
      // Rows already printed need not stay in memory unless they serve the dedup test.
      if (!dedup) phones.Clear();
    }
  } catch (const UsageError& e) {
    return ShowUsage(kUsage, e.what());
  } catch (const std::exception& e) {
    PrintFailure(e.what());
    return 1;
  }
  return status;
}

}  // namespace tolvarine::cli
