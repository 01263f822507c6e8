#include "base/text_writer.h"

#include <cerrno>

#include "base/errors.h"
#include "base/platform/file_system.h"

namespace tolvarine {

namespace {

constexpr int kFileNotOpen = 103;
constexpr std::size_t kBufferSize = 64 * 1024;

[[noreturn]] void ThrowFromErrno() { throw InOutError(InOutCodeFromErrno(errno ? errno : EIO)); }

}  // namespace

TextWriter::TextWriter(const std::string& path) {
  errno = 0;
  file_ = platform::OpenStream(path, "wb");
  if (!file_) ThrowFromErrno();
  std::setvbuf(file_, nullptr, _IOFBF, kBufferSize);
}

TextWriter::~TextWriter() {
  if (file_) std::fclose(file_);
}

void TextWriter::WriteLine(std::string_view line) {
  if (!file_) throw InOutError(kFileNotOpen);
  errno = 0;
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() ||
      std::fwrite("\r\n", 1, 2, file_) != 2) {
    ThrowFromErrno();
  }
}

void TextWriter::Flush() {
  if (!file_) throw InOutError(kFileNotOpen);
  errno = 0;
  if (std::fflush(file_) != 0) ThrowFromErrno();
}

void TextWriter::Close() {
  if (!file_) return;
  std::FILE* file = file_;
  file_ = nullptr;
  errno = 0;
  // fclose flushes the buffer; a failure there (a full disk) must not pass unseen.
  if (std::fclose(file) != 0) ThrowFromErrno();
}

std::string JoinCrlf(const std::vector<std::string>& lines) {
  std::size_t total = 0;
  for (const auto& line : lines) total += line.size() + 2;
  std::string out;
  out.reserve(total);
  for (const auto& line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

}  // namespace tolvarine
