// tolvarine generate: the URL list generator's two commands.
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/cli/arg_parser.h"
#include "app/cli/command_io.h"
#include "app/cli/command_list.h"
#include "app/cli/progress_line.h"
#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/file_names.h"
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

// The number of lines the fields give. Converts every number the generator will read, in
// its order, before the output is touched: a bad one (ConvertError) leaves the file as it
// was.
std::int64_t CheckedLineCount(const ParsedArgs& parsed) {
  if (parsed.Has("--front")) StrToInt(Field(parsed, "--start2", ""));
  const std::int64_t start = StrToInt(Field(parsed, "--start", ""));
  const std::int64_t end = StrToInt(Field(parsed, "--end", ""));
  if (end < start) return 0;
  if (!parsed.Has("--front")) StrToInt(Field(parsed, "--step", "1"));
  return end - start + 1;
}

// The generator's lines, going into the new content of the file being replaced.
class ReplacementOutput : public ListOutput {
 public:
  explicit ReplacementOutput(FileContent& content) : content_(content) {}
  void Create() override {}
  void WriteLine(std::string_view line) override { content_.WriteLine(line); }
  void Close() override {}

 private:
  FileContent& content_;
};

void Generate(const ParsedArgs& parsed, ListOutput& output, const LineWrittenCallback& onLine) {
  if (parsed.Has("--front")) {
    TwoCounterFields f{Field(parsed, "--front", ""),  Field(parsed, "--start", ""),
                       Field(parsed, "--end", ""),    Field(parsed, "--middle", ""),
                       Field(parsed, "--start2", ""), Field(parsed, "--back", "")};
    GenerateTwoCounter(f, output, onLine);
  } else {
    OneCounterFields f{Field(parsed, "--prefix", ""), Field(parsed, "--start", ""),
                       Field(parsed, "--end", ""), Field(parsed, "--suffix", ""),
                       Field(parsed, "--step", "1")};
    GenerateOneCounter(f, output, onLine);
  }
}

// Writes the list in place of the file at `path`, all or nothing: a run that fails leaves
// the old file as it was. Throws Error with a message that names the file.
void WriteList(const ParsedArgs& parsed, const std::string& path, std::int64_t total) {
  const std::string name = GbkFileName(path);
  std::error_code unknown;
  if (std::filesystem::is_directory(path, unknown))
    throw Error("Cannot create file " + name + ": it is a folder");
  ProgressLine progress("line");
  LineWrittenCallback onLine;
  if (progress.Shown()) {
    // Every 1,024th line: the clock is not read for each of millions of lines.
    onLine = [&progress, total](std::int64_t k) {
      if (k % 1024 == 0 || k >= total) progress.Update(k, total);
    };
  }
  try {
    ReplaceFile(path, [&](FileContent& content) {
      ReplacementOutput output(content);
      Generate(parsed, output, onLine);
    });
  } catch (const ReplaceFileError& e) {
    const bool made = e.step() != ReplaceStep::Create && e.step() != ReplaceStep::Rename;
    throw Error(std::string(made ? "Cannot write file " : "Cannot create file ") + name +
                ": " + e.what());
  }
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
    WriteList(parsed, *parsed.Value("-o"), CheckedLineCount(parsed));
  } catch (const std::exception& e) {
    PrintFailure(e.what());
    return 1;
  }
  return 0;
}

}  // namespace tolvarine::cli
