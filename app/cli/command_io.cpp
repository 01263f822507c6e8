#include "app/cli/command_io.h"

#include "base/record_file.h"

#include "app/cli/progress_line.h"
#include "base/errors.h"
#include "base/gbk.h"

namespace tolvarine::cli {

void PrintMessage(std::string_view gbk) {
  BreakProgressLine();
  const std::string text = GbkToUtf8(gbk);
  std::fprintf(stderr, "%s\n", text.c_str());
}

void PrintFailure(std::string_view gbkMessage) {
  BreakProgressLine();
  const std::string text = GbkToUtf8(ErrorDialogText(std::string(gbkMessage)));
  std::fprintf(stderr, "tolvarine: %s\n", text.c_str());
}

void PrintDroppedNumbers(long long count) {
  PrintMessage(std::to_string(count) + (count == 1 ? " number" : " numbers") +
               " dropped: not a valid Chinese mobile number");
}

void WriteRow(std::FILE* out, std::string_view row, const char* lineEnd) {
  WriteRecord(out, row, lineEnd);
}

namespace {

constexpr std::size_t kRowBlock = 64 * 1024;

bool WriteBlock(std::FILE* out, std::string& block) {
  const bool written = std::fwrite(block.data(), 1, block.size(), out) == block.size() &&
                       std::fflush(out) == 0;
  block.clear();
  return written;
}

}  // namespace

BufferedRows::~BufferedRows() {
  if (!block_.empty()) WriteBlock(out_, block_);
}

void BufferedRows::Write(std::string_view row) {
  (block_ += row) += lineEnd_;
  if (block_.size() >= kRowBlock) Flush();
}

void BufferedRows::Flush() {
  if (!block_.empty() && !WriteBlock(out_, block_)) throw StreamWriteError();
}

int ShowUsage(std::string_view usage) {
  std::fprintf(stdout, "%.*s", static_cast<int>(usage.size()), usage.data());
  return 0;
}

int ShowUsageError(std::string_view command, std::string_view message) {
  BreakProgressLine();
  const std::string help = command.empty() ? "" : std::string(command) + " ";
  std::fprintf(stderr, "tolvarine: %.*s\nTry 'tolvarine %s--help'\n",
               static_cast<int>(message.size()), message.data(), help.c_str());
  return 2;
}

int RunCommand(const CommandTable& command, const std::vector<std::string>& args,
               const std::function<int(const ParsedArgs&)>& work) {
  try {
    const ParsedArgs parsed = command.Parse(args);
    if (parsed.HelpAsked()) return ShowUsage(command.Usage());
    return work(parsed);
  } catch (const UsageError& e) {
    return ShowUsageError(command.name, e.what());
  } catch (const std::exception& e) {
    PrintFailure(e.what());
    return 1;
  }
}

}  // namespace tolvarine::cli
