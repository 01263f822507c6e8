#include "tools/line_order.h"

#include <algorithm>
#include <cstring>

namespace tolvarine {

namespace {

constexpr std::size_t kDigitBytes = 7;
constexpr std::uint64_t kKeyGoesOn = 8;  // low byte of a digit whose key is longer
constexpr std::ptrdiff_t kSmallRange = 24;

std::uint32_t KeyLength(const KeyedLine& item) { return item.keyInfo & kKeyLengthMask; }
bool IsInvalid(const KeyedLine& item) { return (item.keyInfo & kInvalidGbkLine) != 0; }

// Key bytes depth .. depth+6 in the high seven bytes (missing ones as 0), and in the low
// byte how many of them the key has (0..7) or kKeyGoesOn when it has more. Comparing two
// digits as numbers compares the keys' next seven bytes, a key that ends before another
// coming first; equal digits with a low byte below kKeyGoesOn mean equal keys.
std::uint64_t Digit(const KeyedLine& item, std::size_t depth) {
  const std::size_t left = KeyLength(item) - depth;
  std::uint64_t value = 0;
  if (left > kDigitBytes) {
    for (std::size_t i = 0; i < kDigitBytes; ++i) {
      value = (value << 8) | static_cast<unsigned char>(item.key[depth + i]);
    }
    return (value << 8) | kKeyGoesOn;
  }
  for (std::size_t i = 0; i < kDigitBytes; ++i) {
    value = (value << 8) | (i < left ? static_cast<unsigned char>(item.key[depth + i]) : 0u);
  }
  return (value << 8) | left;
}

// Orders lines whose keys are equal: valid ones first, the others by their bytes, and
// equal lines by position.
bool TieLess(const KeyedLine& a, const KeyedLine& b, const LineTable& lines) {
  if (IsInvalid(a) != IsInvalid(b)) return IsInvalid(b);
  if (IsInvalid(a)) {
    if (const int c = lines[a.line].compare(lines[b.line]); c != 0) return c < 0;
  }
  return a.line < b.line;
}

struct Range {
  std::size_t begin;
  std::size_t end;
  std::size_t depth;  // key bytes before depth are equal throughout the range
};

}  // namespace

int CompareKeyedLines(const KeyedLine& a, const KeyedLine& b,
                      const LineTable& lines) {
  const std::uint32_t la = KeyLength(a);
  const std::uint32_t lb = KeyLength(b);
  if (const int c = std::memcmp(a.key, b.key, std::min(la, lb)); c != 0) return c;
  if (la != lb) return la < lb ? -1 : 1;
  if (IsInvalid(a) != IsInvalid(b)) return IsInvalid(a) ? 1 : -1;
  if (!IsInvalid(a)) return 0;
  const int c = lines[a.line].compare(lines[b.line]);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void SortKeyedLines(std::vector<KeyedLine>& items, const LineTable& lines) {
  std::vector<Range> work;
  if (items.size() > 1) work.push_back(Range{0, items.size(), 0});
  const auto at = [&items](std::size_t i) { return items.begin() + static_cast<std::ptrdiff_t>(i); };
  while (!work.empty()) {
    const Range range = work.back();
    work.pop_back();
    if (static_cast<std::ptrdiff_t>(range.end - range.begin) <= kSmallRange) {
      // A few lines: plain comparisons are cheaper than another round.
      std::sort(at(range.begin), at(range.end), [&lines](const KeyedLine& a, const KeyedLine& b) {
        const int c = CompareKeyedLines(a, b, lines);
        return c != 0 ? c < 0 : a.line < b.line;
      });
      continue;
    }
    for (std::size_t i = range.begin; i < range.end; ++i) items[i].digit = Digit(items[i], range.depth);
    std::sort(at(range.begin), at(range.end),
              [](const KeyedLine& a, const KeyedLine& b) { return a.digit < b.digit; });
    for (std::size_t run = range.begin; run < range.end;) {
      std::size_t next = run + 1;
      while (next < range.end && items[next].digit == items[run].digit) ++next;
      if (next - run > 1) {
        if ((items[run].digit & 0xff) == kKeyGoesOn) {
          work.push_back(Range{run, next, range.depth + kDigitBytes});
        } else {
          std::sort(at(run), at(next), [&lines](const KeyedLine& a, const KeyedLine& b) {
            return TieLess(a, b, lines);
          });
        }
      }
      run = next;
    }
  }
}

}  // namespace tolvarine
