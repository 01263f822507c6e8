#pragma once
// Text files written line by line: bytes unchanged, every line followed by CR LF.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tolvarine {

// Buffered writer that creates (replaces) a file and ends every line with CR LF.
// Failures throw InOutError with the text-file code.
class TextWriter {
 public:
  // Creates the file at a file-system path, replacing its content.
  explicit TextWriter(const std::string& path);
  ~TextWriter();
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  void WriteLine(std::string_view line);
  void Flush();
  void Close();

 private:
  std::FILE* file_ = nullptr;
};

// The lines joined, each followed by CR LF.
std::string JoinCrlf(const std::vector<std::string>& lines);

}  // namespace tolvarine
