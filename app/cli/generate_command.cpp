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

const CommandTable kGenerate{
    "generate",
    "usage: tolvarine generate -o FILE --prefix P --start A --end B [--step S] [--suffix X]\n"
    "       tolvarine generate -o FILE --front P --start A --end B --middle M --start2 C\n"
    "                          [--back X]\n"
    "  Writes one address per counter value (GBK, CR LF), as the generator window does:\n"
    "  the first form writes P, step x counter and X; the second writes P, counter 1, M,\n"
    "  counter 2 and X, both counters advancing together.\n",
    {{"-o", FlagKind::Value},
     {"--prefix", FlagKind::Value},
     {"--start", FlagKind::Value},
     {"--end", FlagKind::Value},
     {"--step", FlagKind::Value},
     {"--suffix", FlagKind::Value},
     {"--front", FlagKind::Value},
     {"--middle", FlagKind::Value},
     {"--start2", FlagKind::Value},
     {"--back", FlagKind::Value}}};

std::string Field(const ParsedArgs& parsed, const std::string& flag, const std::string& def) {
  auto value = parsed.Value(flag);
  return Utf8ToGbk(value ? *value : def);
}

// A counter field's number, by the generator window's rule. A field that is none is a
// UsageError with the window's message.
std::int64_t FieldNumber(const ParsedArgs& parsed, const std::string& flag,
                         const std::string& def) {
  const std::string text = Field(parsed, flag, def);
  if (const std::optional<std::int32_t> n = TryStrToInt(text)) return *n;
  throw UsageError(GbkToUtf8(ConvertError(text).what()));
}

// The number of lines the fields give. Converts every number the generator will read, in
// its order, before the output is touched: a bad one leaves the file as it was.
std::int64_t CheckedLineCount(const ParsedArgs& parsed) {
  if (parsed.Has("--front")) FieldNumber(parsed, "--start2", "");
  const std::int64_t start = FieldNumber(parsed, "--start", "");
  const std::int64_t end = FieldNumber(parsed, "--end", "");
  if (end < start) return 0;
  if (!parsed.Has("--front")) FieldNumber(parsed, "--step", "1");
  return end - start + 1;
}

// The checks of the flags that need no file: one of the two forms, whole.
void CheckForm(const ParsedArgs& parsed) {
  if (!parsed.Positional().empty()) throw UsageError("unexpected " + parsed.Positional()[0]);
  parsed.Required("-o");
  parsed.Required("--start");
  parsed.Required("--end");
  if (parsed.Has("--front")) {
    parsed.Required("--middle");
    parsed.Required("--start2");
    for (const char* flag : {"--prefix", "--step", "--suffix"})
      if (parsed.Has(flag)) throw UsageError(std::string(flag) + " belongs to the first form");
  } else {
    parsed.Required("--prefix");
    for (const char* flag : {"--middle", "--start2", "--back"})
      if (parsed.Has(flag)) throw UsageError(std::string(flag) + " needs --front");
  }
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
  return RunCommand(kGenerate, args, [](const ParsedArgs& parsed) {
    CheckForm(parsed);
    WriteList(parsed, *parsed.Value("-o"), CheckedLineCount(parsed));
    return 0;
  });
}

}  // namespace tolvarine::cli
