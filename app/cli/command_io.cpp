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

int ShowUsage(std::string_view usage, std::string_view error) {
  if (!error.empty()) {
    std::fprintf(stderr, "tolvarine: %.*s\n", static_cast<int>(error.size()), error.data());
    std::fprintf(stderr, "%.*s", static_cast<int>(usage.size()), usage.data());
    return 2;
  }
  std::fprintf(stdout, "%.*s", static_cast<int>(usage.size()), usage.data());
  return 0;
}

}  // namespace tolvarine::cli
