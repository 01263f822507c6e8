#include "base/errors.h"

#include <cerrno>

namespace tolvarine {

ConvertError::ConvertError(const std::string& text)
    : Error("'" + text + "' is not a valid integer value") {}

InOutError::InOutError(int code) : Error(InOutErrorMessage(code)), code_(code) {}

FileOpenError::FileOpenError(const std::string& fileName)
    : Error("Cannot open file " + fileName) {}

FileCreateError::FileCreateError(const std::string& fileName)
    : Error("Cannot create file " + fileName) {}

StreamWriteError::StreamWriteError() : Error("Stream write error") {}

OutOfMemoryError::OutOfMemoryError() : Error("Out of memory") {}

std::string InOutErrorMessage(int code) {
  switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    // A negative code is an operating-system error whose number is one of the codes above.
    default: return "I/O error " + std::to_string(code < 0 ? -code : code);
  }
}

int InOutCodeFromErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return 2;
    case ENAMETOOLONG:
    case EINVAL:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return 5;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return 101;
    default:
      // Any other error keeps its number; one that equals a code of the table (EIO is 5,
      // "File access denied") must not take that code's text.
      return InOutErrorMessage(err).starts_with("I/O error ") ? err : -err;
  }
}

std::string ErrorDialogText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
    return message + ".";
  }
  return message;
}

}  // namespace tolvarine
