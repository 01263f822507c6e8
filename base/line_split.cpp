#include "base/line_split.h"

#include <cstdint>
#include <cstring>

namespace tolvarine {

namespace {

// Position of the first CR, LF or NUL at or after pos, or text.size().
std::size_t FindLineEnd(std::string_view text, std::size_t pos) {
  const char* data = text.data();
  const std::size_t size = text.size();
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighs = 0x8080808080808080ull;
  auto hasZeroByte = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighs; };
  // Eight bytes at a time until a word holds one of the three bytes.
  while (pos + 8 <= size) {
    std::uint64_t word;
    std::memcpy(&word, data + pos, 8);
    if (hasZeroByte(word) | hasZeroByte(word ^ (kOnes * '\r')) |
        hasZeroByte(word ^ (kOnes * '\n'))) {
      break;
    }
    pos += 8;
  }
  while (pos < size) {
    char c = data[pos];
    if (c == '\r' || c == '\n' || c == '\0') return pos;
    ++pos;
  }
  return size;
}

template <typename Line>
std::vector<Line> Split(std::string_view text) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  const std::size_t size = text.size();
  while (pos < size && text[pos] != '\0') {
    std::size_t end = FindLineEnd(text, pos);
    lines.emplace_back(text.substr(pos, end - pos));
    pos = end;
    if (pos < size && text[pos] == '\r') ++pos;
    if (pos < size && text[pos] == '\n') ++pos;
  }
  return lines;
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) { return Split<std::string>(text); }

std::vector<std::string_view> SplitLineViews(std::string_view text) {
  return Split<std::string_view>(text);
}

}  // namespace tolvarine
