#pragma once
// Line-by-line reading of a text file (the URL list file, the progress file).
#include <cstdio>
#include <string>

namespace tolvarine {

// Reads a file line by line: LF ends a line and a CR right before it is dropped; a lone CR
// is dropped and the line goes on; Ctrl-Z (0x1A) at the start of a line ends the file;
// lines of any length; a last line without an end counts; reading past the end gives
// empty lines. Open and read failures throw InOutError with the text-file code; reading a
// reader that is not open throws InOutError(103).
class LineReader {
 public:
  LineReader() = default;
  // Opens the file at a file-system path (bytes as the file system takes them).
  explicit LineReader(const std::string& path);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  void Open(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  // True when no further line can be read.
  bool AtEnd();
  // The next line; an empty text past the end.
  std::string ReadLine();
  // Closes the file; throws InOutError when closing fails. Closing a closed reader does nothing.
  void Close();

 private:
  int Peek();
  std::FILE* file_ = nullptr;
  bool ended_ = false;  // Ctrl-Z met at a line start
};

// Counts the lines a LineReader would read from a file.
int CountLines(const std::string& path);

// Whether a text file a person wrote is UTF-8: it starts with a UTF-8 byte order mark, or
// it is valid UTF-8 holding at least one multi-byte character. Anything else (plain ASCII
// included) reads as GBK. Open and read failures throw InOutError as LineReader's do.
bool IsUtf8TextFile(const std::string& path);

// The UTF-8 byte order mark, which a UTF-8 file may start with.
inline constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

}  // namespace tolvarine
