// Line reading of a file against a model of its rules: LF ends a line, every CR is dropped,
// Ctrl-Z at a line start ends the file, a last line without an end counts, reading past
// the end gives empty lines. CountLines agrees with the number of lines read.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/line_reader.h"
#include "fuzz/fuzz_support.h"

namespace {

using tolvarine::fuzz::AsText;

std::vector<std::string> ModelLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < bytes.size() && bytes[i] != '\x1A') {
    std::string line;
    while (i < bytes.size() && bytes[i] != '\n') {
      if (bytes[i] != '\r') line.push_back(bytes[i]);
      ++i;
    }
    if (i < bytes.size()) ++i;  // the LF
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = AsText(data, size);
  const std::string path = tolvarine::fuzz::WriteScratchFile("lines.txt", bytes);
  const std::vector<std::string> want = ModelLines(bytes);

  std::vector<std::string> got;
  tolvarine::LineReader reader(path);
  while (!reader.AtEnd()) {
    got.push_back(reader.ReadLine());
    FUZZ_CHECK(got.size() <= size);  // every line uses up at least one byte
    FUZZ_CHECK(got.back().find_first_of("\r\n") == std::string::npos);
  }
  FUZZ_CHECK(reader.ReadLine().empty());
  FUZZ_CHECK(reader.AtEnd());
  reader.Close();

  FUZZ_CHECK(got == want);
  FUZZ_CHECK(tolvarine::CountLines(path) == static_cast<int>(want.size()));
  return 0;
}
