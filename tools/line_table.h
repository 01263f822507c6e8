#pragma once
// Every line of the merge inputs, by position, as 8 bytes a line (offset and length within
// its text) instead of a 16-byte view: with millions of short lines this is a good part of
// the memory the merge needs beside the texts themselves.
#include <cstdint>
#include <string_view>
#include <vector>

namespace tolvarine {

class LineTable {
 public:
  // Appends the lines of a text (Line splitting). The text must outlive the table. Throws
  // std::bad_alloc when a text or the line count goes beyond 32-bit positions.
  void AddText(std::string_view text);

  std::uint32_t size() const { return static_cast<std::uint32_t>(refs_.size()); }

  std::string_view operator[](std::uint32_t line) const {
    const Ref ref = refs_[line];
    return std::string_view(TextOf(line) + ref.offset, ref.length);
  }

 private:
  struct Ref {
    std::uint32_t offset;
    std::uint32_t length;
  };
  const char* TextOf(std::uint32_t line) const;

  std::vector<Ref> refs_;
  std::vector<const char*> texts_;        // start of each text
  std::vector<std::uint32_t> firstLine_;  // position of each text's first line
};

}  // namespace tolvarine
