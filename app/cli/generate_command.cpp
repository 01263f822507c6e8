// tolvarine generate: the URL list generator's two commands.
#include <string>
#include <vector>

#include "app/cli/arg_parser.h"
#include "app/cli/command_io.h"
#include "app/cli/command_list.h"
#include "app/cli/progress_line.h"
#include "base/gbk.h"
#include "base/number_text.h"
#include "tools/url_list_generator.h"

namespace tolvarine::cli {
namespace {

const char kUsage[] =
    "usage: tolvarine generate -o FILE --prefix P --start A --end B [--step S] [--suffix X]\n"
    "       tolvarine generate -o FILE --front P --start A --end B --middle M --start2 C\n"
    "                          [--back X]\n"
    "  Writes one address per counter value (GBK, CR LF), as the generator window does:\n"
    "  the first form writes P, step x counter and X; the second writes P, counter 1, M,\n"
    "  counter 2 and X, both counters advancing together.\n";

std::string Field(const ParsedArgs& parsed, const std::string& flag, const std::string& def) {
  auto value = parsed.Value(flag);
  return Utf8ToGbk(value ? *value : def);
}

}  // namespace

int RunGenerate(const std::vector<std::string>& args) {
  ParsedArgs parsed;
  try {
    parsed = ArgParser()
                 .Option("-o").Option("--prefix").Option("--start").Option("--end")
                 .Option("--step").Option("--suffix").Option("--front").Option("--middle")
                 .Option("--start2").Option("--back").Switch("--help")
                 .Parse(args);
    if (parsed.Has("--help")) return ShowUsage(kUsage);
    if (!parsed.Positional().empty()) throw UsageError("unexpected " + parsed.Positional()[0]);
    parsed.Required("-o");
    parsed.Required("--start");
    parsed.Required("--end");
    const bool two = parsed.Has("--front");
    if (two) {
      parsed.Required("--middle");
      parsed.Required("--start2");
      for (const char* flag : {"--prefix", "--step", "--suffix"})
        if (parsed.Has(flag)) throw UsageError(std::string(flag) + " belongs to the first form");
    } else {
      parsed.Required("--prefix");
      for (const char* flag : {"--middle", "--start2", "--back"})
        if (parsed.Has(flag)) throw UsageError(std::string(flag) + " needs --front");
    }
  } catch (const UsageError& e) {
    return ShowUsage(kUsage, e.what());
  }

  try {
    const std::string path = *parsed.Value("-o");
    ProgressLine progress("line");
    LineWrittenCallback onLine;
    if (progress.Shown()) {
      // Read as the generator reads them; it reports a bad field itself.
      const auto start = TryStrToInt(Field(parsed, "--start", ""));
      const auto end = TryStrToInt(Field(parsed, "--end", ""));
      const std::int64_t total = start && end ? std::int64_t{*end} - *start + 1 : 0;
      // Every 1,024th line: the clock is not read for each of millions of lines.
      onLine = [&progress, total](std::int64_t k) {
        if (k % 1024 == 0 || k >= total) progress.Update(k, total);
      };
    }
    if (parsed.Has("--front")) {
      TwoCounterFields f{Field(parsed, "--front", ""),  Field(parsed, "--start", ""),
                         Field(parsed, "--end", ""),    Field(parsed, "--middle", ""),
                         Field(parsed, "--start2", ""), Field(parsed, "--back", "")};
      GenerateTwoCounterFile(f, path, onLine);
    } else {
      OneCounterFields f{Field(parsed, "--prefix", ""), Field(parsed, "--start", ""),
                         Field(parsed, "--end", ""), Field(parsed, "--suffix", ""),
                         Field(parsed, "--step", "1")};
      GenerateOneCounterFile(f, path, onLine);
    }
  } catch (const std::exception& e) {
    PrintFailure(e.what());
    return 1;
  }
  return 0;
}

}  // namespace tolvarine::cli
