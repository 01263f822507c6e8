// The sort behind merge and dedup, checked against the plain algorithm: each line looked up
// by binary search in a sorted result and inserted when no equal line is there.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "base/collation.h"
#include "base/gbk.h"
#include "tools/merge_dedup.h"

namespace tolvarine {
namespace {

// Collation order; lines it ties are equal only when both are valid GBK, otherwise the
// valid one first and invalid ones by their bytes.
int ReferenceCompare(const CaseIgnoringCollator& collator, std::string_view a, std::string_view b) {
  if (const int c = collator.Compare(a, b); c != 0) return c;
  const bool ia = !IsValidGbk(a);
  const bool ib = !IsValidGbk(b);
  if (ia != ib) return ia ? 1 : -1;
  return ia ? a.compare(b) : 0;
}

std::vector<std::string> ReferenceMerge(const CaseIgnoringCollator& collator,
                                        const std::vector<std::string>& lines) {
  std::vector<std::string> result;
  for (const std::string& line : lines) {
    const auto at = std::lower_bound(result.begin(), result.end(), line,
                                     [&](const std::string& have, const std::string& want) {
                                       return ReferenceCompare(collator, have, want) < 0;
                                     });
    if (at == result.end() || ReferenceCompare(collator, *at, line) != 0) result.insert(at, line);
  }
  return result;
}

// Lines with long shared prefixes (several rounds of the radix sort), case variants, exact
// repeats, blanks, Chinese text and bytes that are not GBK.
std::vector<std::string> RandomLines(std::mt19937& rng, std::size_t count) {
  const std::vector<std::string> pieces = {"a", "B", "b", "A", " ", "-", "0", "9",
                                           Utf8ToGbk("论"), Utf8ToGbk("坛"), "\x81", "\xFF"};
  const std::vector<std::string> prefixes = {"", "http://bbs.example.com/forum/",
                                             "HTTP://BBS.EXAMPLE.COM/FORUM/thread-000000000-"};
  std::vector<std::string> lines;
  while (lines.size() < count) {
    if (!lines.empty() && rng() % 4 == 0) {
      std::string copy = lines[rng() % lines.size()];
      for (char& c : copy) {
        if (c >= 'a' && c <= 'z' && rng() % 2) c = static_cast<char>(c - 'a' + 'A');
      }
      lines.push_back(copy);
      continue;
    }
    std::string line = prefixes[rng() % prefixes.size()];
    const std::size_t n = rng() % 12;
    for (std::size_t i = 0; i < n; ++i) line += pieces[rng() % pieces.size()];
    lines.push_back(line);
  }
  return lines;
}

TEST(MergeOrder, MatchesInsertionByBinarySearch) {
  const CaseIgnoringCollator collator;
  std::mt19937 rng(7);
  for (int round = 0; round < 3; ++round) {
    const std::vector<std::string> lines = RandomLines(rng, 3000);
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    const std::vector<std::string> texts = {text};
    const std::vector<std::string_view> merged = DistinctSortedLines(texts, collator);
    const std::vector<std::string> expected = ReferenceMerge(collator, lines);
    ASSERT_EQ(std::vector<std::string>(merged.begin(), merged.end()), expected) << "round " << round;
  }
}

}  // namespace
}  // namespace tolvarine
