#include "app/cli/shard_journal.h"

#include <filesystem>

#include "app/cli/shard_records.h"
#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/number_text.h"
#include "base/platform/file_system.h"

namespace tolvarine::cli {
namespace {

constexpr std::string_view kReleased = "R\t";

// The list line a held message came from.
int LineOf(const ShardMessage& message) {
  return message.type == ShardMessage::Type::Page ? message.page.line : message.line;
}

}  // namespace

std::vector<std::string> StillHeld(std::string_view journal) {
  std::vector<std::pair<int, std::string>> held;
  std::size_t begin = 0;
  for (std::size_t end; (end = journal.find('\n', begin)) != std::string_view::npos;
       begin = end + 1) {
    const std::string_view line = journal.substr(begin, end - begin);
    if (line.starts_with(kReleased)) {
      const std::optional<int> found = ParseDecimalAs<int>(line.substr(kReleased.size()));
      if (!found) continue;
      const int below = *found;
      std::erase_if(held, [below](const auto& item) { return item.first < below; });
    } else if (const auto message = DecodeShardMessage(line)) {
      held.emplace_back(LineOf(*message), std::string(line) + '\n');
    }
  }
  std::vector<std::string> messages;
  for (auto& item : held) messages.push_back(std::move(item.second));
  return messages;
}

ShardJournal::~ShardJournal() {
  if (file_) std::fclose(file_);
}

std::vector<std::string> ShardJournal::Open(bool continuing) {
  std::vector<std::string> held;
  if (continuing && FileExists(path_)) held = StillHeld(ReadWholeFile(path_));
  std::string text;
  for (const std::string& message : held) text += message;
  try {
    ReplaceFileAtomically(path_, text);
  } catch (const Error&) {
    throw FileCreateError(GbkFileName(path_));
  }
  file_ = platform::OpenStream(path_, "ab");
  if (!file_) throw FileCreateError(GbkFileName(path_));
  return held;
}

void ShardJournal::Keep(std::string_view message) {
  if (!file_ || failed_) return;
  if (std::fwrite(message.data(), 1, message.size(), file_) != message.size()) failed_ = true;
}

void ShardJournal::Released(int belowLine) {
  Keep(std::string(kReleased) + std::to_string(belowLine) + "\n");
}

bool ShardJournal::Flush() {
  if (file_ && !failed_ && std::fflush(file_) != 0) failed_ = true;
  return !failed_;
}

void ShardJournal::Clear() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  std::error_code error;
  std::filesystem::remove(path_, error);
}

}  // namespace tolvarine::cli
