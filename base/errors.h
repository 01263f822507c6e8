#pragma once
// The system's own failure types. Messages are GBK texts, shown as they are by the
// standard error dialog (see ErrorDialogText).
#include <stdexcept>
#include <string>

namespace tolvarine {

// Base of every failure the system raises on purpose.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A text that is not a valid integer: "'%s' is not a valid integer value".
class ConvertError : public Error {
 public:
  explicit ConvertError(const std::string& text);
};

// A failure of a text file read or written line by line, by error code
// (2, 3, 4, 5, 100, 101, 106 have fixed texts; any other "I/O error %d").
class InOutError : public Error {
 public:
  explicit InOutError(int code);
  int code() const { return code_; }

 private:
  int code_;
};

// The crawl's saved state cannot be read or written: its store (a full disk, an I/O error, a
// database locked by another program or damaged), or the position saved with every page.
// A walk that meets one ends, as at the end of its list.
class CrawlStateError : public Error {
 public:
  explicit CrawlStateError(const std::string& message) : Error(message) {}
};

// Text that cannot be converted between GBK, UTF-8 and UTF-16, or no GBK converter.
class TextConversionError : public Error {
 public:
  explicit TextConversionError(const std::string& message) : Error(message) {}
};

// Texts that cannot be compared or sorted: no collation, or a comparison that failed.
class CollationError : public Error {
 public:
  explicit CollationError(const std::string& message) : Error(message) {}
};

// The sites a followed crawl keeps to cannot be told: no Public Suffix List to be had.
class ScopeError : public Error {
 public:
  explicit ScopeError(const std::string& message) : Error(message) {}
};

// "Cannot open file %s"
class FileOpenError : public Error {
 public:
  explicit FileOpenError(const std::string& fileName);
};

// "Cannot create file %s"
class FileCreateError : public Error {
 public:
  explicit FileCreateError(const std::string& fileName);
};

// "Stream write error"
class StreamWriteError : public Error {
 public:
  StreamWriteError();
};

// "Out of memory"
class OutOfMemoryError : public Error {
 public:
  OutOfMemoryError();
};

// The text of a text-file error code.
std::string InOutErrorMessage(int code);

// The text-file error code for an errno value (ENOENT -> 2, EMFILE -> 4, EACCES -> 5,
// ENOSPC -> 101, ...); errno values without a code of their own pass through, as their
// negative where the number is one of the table's codes (EIO -> -5, "I/O error 5").
int InOutCodeFromErrno(int err);

// The standard error dialog's text: a full stop is added when the message's last byte
// sorts after "." (so a message ending in a double-byte character always gets one).
std::string ErrorDialogText(const std::string& message);

}  // namespace tolvarine
