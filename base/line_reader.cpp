#include "base/line_reader.h"

#include <cerrno>
#include <cstring>
#include <string_view>
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

// Checks UTF-8 a byte at a time (RFC 3629: no overlong forms, no surrogates, nothing
// above U+10FFFF).
class Utf8Check {
 public:
  // False once the bytes so far are no UTF-8.
  bool Feed(unsigned char byte) {
    if (needed_ > 0) {
      if (byte < low_ || byte > high_) return false;
      low_ = 0x80;
      high_ = 0xBF;
      --needed_;
      return true;
    }
    if (byte < 0x80) return true;
    multiByte_ = true;
    if (byte >= 0xC2 && byte <= 0xDF) return Expect(1, 0x80, 0xBF);
    if (byte == 0xE0) return Expect(2, 0xA0, 0xBF);
    if (byte == 0xED) return Expect(2, 0x80, 0x9F);
    if (byte >= 0xE1 && byte <= 0xEF) return Expect(2, 0x80, 0xBF);
    if (byte == 0xF0) return Expect(3, 0x90, 0xBF);
    if (byte == 0xF4) return Expect(3, 0x80, 0x8F);
    if (byte >= 0xF1 && byte <= 0xF3) return Expect(3, 0x80, 0xBF);
    return false;
  }
  bool Complete() const { return needed_ == 0; }
  bool MultiByte() const { return multiByte_; }

 private:
  bool Expect(int needed, unsigned char low, unsigned char high) {
    needed_ = needed;
    low_ = low;
    high_ = high;
    return true;
  }
  int needed_ = 0;
  unsigned char low_ = 0x80;
  unsigned char high_ = 0xBF;
  bool multiByte_ = false;
};

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

bool IsUtf8TextFile(const std::string& path) {
  std::FILE* file = OpenForReading(path);
  std::vector<char> buffer(kBufferSize);
  Utf8Check check;
  bool valid = true;
  bool first = true;
  bool marked = false;
  for (;;) {
    errno = 0;
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
    if (got == 0) {
      if (std::ferror(file)) {
        const int err = errno;
        std::fclose(file);
        throw InOutError(InOutCodeFromErrno(err));
      }
      break;
    }
    if (first) marked = std::string_view(buffer.data(), got).starts_with(kUtf8ByteOrderMark);
    first = false;
    if (marked) break;
    for (std::size_t i = 0; i < got && valid; ++i)
      valid = check.Feed(static_cast<unsigned char>(buffer[i]));
    if (!valid) break;
  }
  errno = 0;
  if (std::fclose(file) != 0) ThrowFromErrno();
  return marked || (valid && check.Complete() && check.MultiByte());
}

}  // namespace tolvarine
