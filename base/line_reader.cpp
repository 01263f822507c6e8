#include "base/line_reader.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "base/errors.h"
#include "base/platform/file_system.h"

namespace tolvarine {

namespace {

constexpr int kCtrlZ = 0x1A;
constexpr int kFileNotOpen = 103;
constexpr std::size_t kBufferSize = 64 * 1024;

[[noreturn]] void ThrowFromErrno() { throw InOutError(InOutCodeFromErrno(errno ? errno : EIO)); }

std::FILE* OpenForReading(const std::string& path) {
  errno = 0;
  std::FILE* file = platform::OpenStream(path, "rb");
  if (!file) ThrowFromErrno();
  std::setvbuf(file, nullptr, _IOFBF, kBufferSize);
  return file;
}

}  // namespace

LineReader::LineReader(const std::string& path) { Open(path); }

LineReader::~LineReader() {
  if (file_) std::fclose(file_);
}

void LineReader::Open(const std::string& path) {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  file_ = OpenForReading(path);
  ended_ = false;
}

int LineReader::Peek() {
  if (!file_) throw InOutError(kFileNotOpen);
  errno = 0;
  int c = getc_unlocked(file_);
  if (c == EOF) {
    if (std::ferror(file_)) ThrowFromErrno();
    return EOF;
  }
  ungetc(c, file_);
  return c;
}

bool LineReader::AtEnd() {
  if (!file_) throw InOutError(kFileNotOpen);
  if (ended_) return true;
  int c = Peek();
  if (c == kCtrlZ) ended_ = true;
  return c == EOF || c == kCtrlZ;
}

std::string LineReader::ReadLine() {
  std::string line;
  if (AtEnd()) return line;
  std::FILE* file = file_;
  errno = 0;
  for (;;) {
    int c = getc_unlocked(file);
    if (c == EOF) {
      if (std::ferror(file)) ThrowFromErrno();
      break;
    }
    if (c == '\n') break;
    // A CR before LF ends the line with it; a lone CR is dropped. Either way it is no data.
    if (c == '\r') continue;
    line.push_back(static_cast<char>(c));
  }
  return line;
}

void LineReader::Close() {
  if (!file_) return;
  std::FILE* file = file_;
  file_ = nullptr;
  ended_ = false;
  errno = 0;
  if (std::fclose(file) != 0) ThrowFromErrno();
}

int CountLines(const std::string& path) {
  std::FILE* file = OpenForReading(path);
  std::vector<char> buffer(kBufferSize);
  int count = 0;
  bool atLineStart = true;
  bool ended = false;
  while (!ended) {
    errno = 0;
    std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
    if (got == 0) {
      if (std::ferror(file)) {
        int err = errno;
        std::fclose(file);
        throw InOutError(InOutCodeFromErrno(err));
      }
      break;
    }
    const char* p = buffer.data();
    const char* end = p + got;
    while (p < end) {
      if (atLineStart) {
        if (*p == kCtrlZ) {
          ended = true;
          break;
        }
        ++count;
        atLineStart = false;
      }
      const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
      if (!lf) break;
      p = static_cast<const char*>(lf) + 1;
      atLineStart = true;
    }
  }
  errno = 0;
  if (std::fclose(file) != 0) ThrowFromErrno();
  return count;
}

}  // namespace tolvarine
