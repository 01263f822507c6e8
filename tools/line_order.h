#pragma once
// The order in which merge and dedup sorts lines, and the sort itself.
//
// Lines are ordered by their collation sort keys (byte strings; a key that is a prefix of
// another comes first). Lines whose keys are equal are duplicates only when both are valid
// GBK: a line that is not valid GBK was decoded with replacement characters, so its key may
// equal that of a different line. Among equal keys such lines come after the valid ones,
// ordered by their own bytes. Equal lines stay in input order.
#include <cstdint>
#include <vector>

#include "tools/line_table.h"

namespace tolvarine {

inline constexpr std::uint32_t kInvalidGbkLine = 0x80000000u;  // flag in KeyedLine::keyInfo
inline constexpr std::uint32_t kKeyLengthMask = 0x7fffffffu;

struct KeyedLine {
  std::uint64_t digit;    // scratch space of the sort
  const char* key;        // the line's sort key (owned elsewhere)
  std::uint32_t keyInfo;  // key length, with kInvalidGbkLine for a line that is not valid GBK
  std::uint32_t line;     // position of the line among all lines read
};

// Negative, 0 or positive as a sorts before, with or after b; 0 means duplicates.
// lines: the text of every line, indexed by KeyedLine::line.
int CompareKeyedLines(const KeyedLine& a, const KeyedLine& b,
                      const LineTable& lines);

// Sorts ascending by CompareKeyedLines, duplicates in ascending position. A most-significant-
// digit radix sort on the keys, seven key bytes a round, so long shared prefixes (addresses)
// are read once per round instead of once per comparison.
void SortKeyedLines(std::vector<KeyedLine>& items, const LineTable& lines);

}  // namespace tolvarine
