#include "engine/formatted_phones.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tolvarine {
namespace {

using Found = std::function<void(const FormattedNumber&)>;

constexpr unsigned char kFullWidthLead = 0xA3;  // "０".."９" are A3B0..A3B9, "－" is A3AD
constexpr char kOther = '\x01';  // stands for a character that is no digit and no separator

inline bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }
inline bool IsGroupSeparator(char c) { return c == ' ' || c == '-' || c == '.'; }
inline bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The end of the digit run going on at i.
std::size_t RunEnd(std::string_view s, std::size_t i) {
  while (i < s.size() && IsDigit(s[i])) ++i;
  return i;
}

// "DDD S DDDD S DDDD" at `start` with one separator S, not followed by a digit (what
// stands before `start` is the caller's to check). Fills the 11 digits.
bool GroupedAt(std::string_view s, std::size_t start, std::string& digits) {
  if (start + 13 > s.size()) return false;
  const char sep = s[start + 3];
  if (!IsGroupSeparator(sep) || s[start + 8] != sep) return false;
  for (std::size_t k : {0, 1, 2, 4, 5, 6, 7, 9, 10, 11, 12})
    if (!IsDigit(s[start + k])) return false;
  if (start + 13 < s.size() && IsDigit(s[start + 13])) return false;
  digits.assign(s.substr(start, 3));
  digits.append(s.substr(start + 4, 4));
  digits.append(s.substr(start + 9, 4));
  return true;
}

// Whether the bytes at i form a double-byte character.
inline bool IsGbkPair(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x81 || c > 0xFE || i + 1 >= s.size()) return false;
  const auto t = static_cast<unsigned char>(s[i + 1]);
  return t >= 0x40 && t != 0x7F && t != 0xFF;
}

// The ASCII form of a double-byte character that can stand in a number: the full-width
// digits, hyphen and plus sign, the ideographic space and the en dash; kOther for the rest.
inline char AsciiForm(unsigned char lead, unsigned char trail) {
  if (lead == kFullWidthLead) {
    if (trail >= 0xB0 && trail <= 0xB9) return static_cast<char>('0' + (trail - 0xB0));
    if (trail == 0xAD) return '-';
    if (trail == 0xAB) return '+';
  } else if (lead == 0xA1 && trail == 0xA1) {
    return ' ';
  } else if (lead == 0xA8 && trail == 0x43) {
    return '-';
  }
  return kOther;
}

// Finds the numbers around digit runs of four or more in a text of one byte per character
// (the raw text, or a line walked by character). Every number holds such a run: a group of
// four, or the plain number. Numbers are given in position order, each place once.
class RunMatcher {
 public:
  RunMatcher(const std::vector<std::string>& prefixes, const Found& found)
      : prefixes_(prefixes), found_(found) {}

  // s: the text; offset(i): the original byte offset of character i.
  template <class Offset>
  void AtRun(std::string_view s, std::size_t begin, std::size_t end, Offset&& offset) {
    // A country code ("+86" or "0086" standing alone) ends right before `at`.
    auto codeEndsAt = [&](std::size_t at) {
      if (at >= 3 && s.substr(at - 3, 3) == "+86") return true;
      return at >= 4 && s.substr(at - 4, 4) == "0086" && !(at >= 5 && IsDigit(s[at - 5]));
    };
    // The first group starts at g: not after a digit, unless a code runs into it.
    auto groupedFrom = [&](std::size_t g) {
      if (!GroupedAt(s, g, number_.digits)) return;
      if (g > 0 && IsDigit(s[g - 1]) && !codeEndsAt(g)) return;
      Emit(g, false, offset);
    };
    const std::size_t length = end - begin;
    if (length == 4) {  // the third group, or the second
      if (begin >= 9) groupedFrom(begin - 9);
      if (begin >= 4) groupedFrom(begin - 4);
    } else if (length >= 11) {
      // The plain number: the run's last 11 digits, after a code inside the run or before
      // it (then optionally one space or hyphen), or a run of eleven holding a full-width
      // digit (one of ASCII digits alone is the ordinary scan's).
      const std::size_t at = end - 11;
      const bool counts =
          at > begin ? (at - begin == 4 || at - begin == 2) && codeEndsAt(at)
                     : offset(end) - offset(at) != 11 ||
                           (at > 0 && (s[at - 1] == ' ' || s[at - 1] == '-') &&
                            codeEndsAt(at - 1));
      if (counts) {
        number_.digits.assign(s.substr(at, 11));
        Emit(at, true, offset);
      }
    }
  }

 private:
  template <class Offset>
  void Emit(std::size_t at, bool plainForm, Offset&& offset) {
    const std::size_t position = offset(at);
    if ((any_ && position <= last_) || !Wanted(number_.digits)) return;
    any_ = true;
    last_ = position;
    number_.position = position;
    number_.plain = plainForm && offset(at + 11) - position == 11;
    found_(number_);
  }
  bool Wanted(std::string_view digits) const {
    for (const std::string& prefix : prefixes_)
      if (std::equal(prefix.begin(), prefix.end(), digits.begin())) return true;
    return false;
  }

  const std::vector<std::string>& prefixes_;
  const Found& found_;
  FormattedNumber number_;
  bool any_ = false;
  std::size_t last_ = 0;
};

// Walks text[from, to) by character (`from` starts a line, or a character that is no digit)
// and hands the digit runs of four or more to the matcher. Characters become one byte each
// (AsciiForm, kOther) a window at a time, so a line of any length costs little memory.
void ScanWalked(std::string_view text, std::size_t from, std::size_t to, RunMatcher& matcher) {
  constexpr std::size_t kWindow = 4096;  // characters replaced at a time
  constexpr std::size_t kBefore = 16, kAfter = 6;  // characters the matcher reads around a run
  constexpr std::size_t kLong = 16;      // a run this long holds no number: its middle can go
  thread_local std::string s;
  thread_local std::vector<std::size_t> offsets;  // each character's byte offset
  s.clear();
  offsets.clear();
  const std::string_view range = text.substr(0, to);
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t pos = from;  // the next byte to replace
  std::size_t i = 0;       // the search for runs goes on from here
  auto offset = [&](std::size_t k) { return k < offsets.size() ? offsets[k] : pos; };
  for (;;) {
    for (; s.size() < kWindow && pos < to; ++pos) {
      offsets.push_back(pos);
      if (IsGbkPair(range, pos)) {
        s += AsciiForm(p[pos], p[pos + 1]);
        ++pos;
      } else {
        s += p[pos] < 0x80 ? static_cast<char>(p[pos]) : kOther;
      }
    }
    const bool last = pos >= to;
    std::size_t end = i;
    while (i < s.size()) {
      if (!IsDigit(s[i])) {
        ++i;
        continue;
      }
      end = RunEnd(s, i);
      if (!last && end + kAfter > s.size()) break;  // what follows the run is still to come
      if (end - i >= 4) matcher.AtRun(s, i, end, offset);
      i = end + 1;
    }
    if (last) return;
    // Keep what the matcher may still read: the characters before i, and of a run going on
    // at i its start and its end.
    if (i < s.size() && end - i > 2 * kLong) {
      s.erase(i + kLong, end - i - 2 * kLong);
      offsets.erase(offsets.begin() + static_cast<std::ptrdiff_t>(i + kLong),
                    offsets.begin() + static_cast<std::ptrdiff_t>(end - kLong));
    }
    const std::size_t drop = i > kBefore ? i - kBefore : 0;
    s.erase(0, drop);
    offsets.erase(offsets.begin(), offsets.begin() + static_cast<std::ptrdiff_t>(drop));
    i -= drop;
  }
}

// Where a walk may start so that it finds every number from at - 64 on as a walk of the
// whole line would: a byte below 0x40 that is no digit (a character of its own that no
// number runs through) at or before that, or the text's start.
std::size_t WalkStartBefore(std::string_view text, std::size_t at) {
  std::size_t j = at > 64 ? at - 64 : 0;
  while (j > 0 && (static_cast<unsigned char>(text[j]) >= 0x40 || IsDigit(text[j]))) --j;
  return j;
}

}  // namespace

FormattedPhoneScanner::FormattedPhoneScanner(const std::vector<std::string>& prefixes) {
  for (const std::string& prefix : prefixes)
    if (!prefix.empty() && prefix.size() <= 11) prefixes_.push_back(prefix);
}

#if defined(__SSE2__)
namespace {

// Bit k: byte k of the 16 at p lies in [low, low + count). Adding 0x80 - low moves the
// range to the bottom of the signed bytes, so one signed compare tests it.
inline unsigned RangeMask(const char* p, unsigned char low, unsigned char count) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i moved = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(0x80 - low)));
  return static_cast<unsigned>(_mm_movemask_epi8(
      _mm_cmplt_epi8(moved, _mm_set1_epi8(static_cast<char>(0x80 + count)))));
}

// Bit k: byte k of the 16 at p is an ASCII digit.
inline unsigned DigitMask(const char* p) { return RangeMask(p, '0', 10); }

// Bit k: byte k of p is the full-width lead and byte k + 1 lies in AD..B9, where the
// full-width hyphen and digits lie (AE and AF are let through and turned away later).
inline unsigned FullWidthMask(const char* p) {
  const __m128i lead = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i isLead = _mm_cmpeq_epi8(lead, _mm_set1_epi8(static_cast<char>(kFullWidthLead)));
  return static_cast<unsigned>(_mm_movemask_epi8(isLead)) & RangeMask(p + 1, 0xAD, 13);
}

// Whether the two bytes at p are the full-width plus sign A3AB, the ideographic space A1A1
// or the en dash A843. A number whose only double-byte characters are these is found from
// its ASCII digits; one holding a full-width digit is found from that digit.
inline bool IsMark(const char* p) {
  const unsigned pair = static_cast<unsigned char>(p[0]) << 8 | static_cast<unsigned char>(p[1]);
  return pair == 0xA3AB || pair == 0xA1A1 || pair == 0xA843;
}


// Whether a digit character (an ASCII digit or a full-width one) stands at i, and its size.
inline std::size_t DigitCharAt(const unsigned char* p, std::size_t n, std::size_t i) {
  if (i < n && IsDigit(static_cast<char>(p[i]))) return 1;
  if (i + 1 < n && p[i] == kFullWidthLead && p[i + 1] >= 0xB0 && p[i + 1] <= 0xB9) return 2;
  return 0;
}

// Whether a place the block scan marked at h can be part of a number: a full-width digit
// stands among three or more digit characters, or two after a plus sign (a code); a
// full-width hyphen, or the first group's ASCII digit before a two-byte separator, before
// a digit. Read by byte, not by character: every true case passes, most chance pairs do not.
bool MayBeInNumber(std::string_view text, std::size_t h) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  if (p[h] != kFullWidthLead || p[h + 1] == 0xAD) return DigitCharAt(p, n, h + 2) != 0;
  if (p[h + 1] < 0xB0) return false;
  int count = 1;
  for (std::size_t i = h + 2, size; count < 3 && (size = DigitCharAt(p, n, i)) != 0; i += size)
    ++count;
  std::size_t first = h;  // the first digit character reached
  for (; count < 3 && first > 0; ++count) {
    if (IsDigit(static_cast<char>(p[first - 1])))
      first -= 1;
    else if (first >= 2 && DigitCharAt(p, n, first - 2) == 2)
      first -= 2;
    else
      break;
  }
  return count >= 3 ||
         (count == 2 && ((first >= 1 && p[first - 1] == '+') ||
                         (first >= 2 && p[first - 2] == kFullWidthLead && p[first - 1] == 0xAB)));
}

// Whether a character starts at `at`: walked from the nearest byte before it below 0x40
// (never a lead or trail byte), or from `known`, a character start, if that is nearer.
// `known` moves up to `at`: asked in order, each byte is walked about once.
bool StartsCharacter(std::string_view text, std::size_t at, std::size_t& known) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t j = at;
  while (j > known && p[j - 1] >= 0x40) --j;
  for (std::size_t size; j < at && j + (size = IsGbkPair(text, j) ? 2 : 1) <= at;) j += size;
  known = j;
  return j == at;
}

// Walks the line holding `at` by character; returns where the text after it starts.
std::size_t WalkLineAt(std::string_view text, std::size_t at, RunMatcher& matcher) {
  std::size_t lineStart = at;
  while (lineStart > 0 && !IsLineEnd(text[lineStart - 1])) --lineStart;
  std::size_t lineEnd = at;
  while (lineEnd < text.size() && !IsLineEnd(text[lineEnd])) ++lineEnd;
  ScanWalked(text, lineStart, lineEnd, matcher);
  return lineEnd + 1;
}

// The positions of a 48-byte block where the line must be read by character: full-width
// digits or hyphens, and groups with a two-byte separator after the first group or the
// second when it is an ideographic space or an en dash. `d` is the block's digit mask,
// `four` where four digits start.
inline std::uint64_t WideStarts(const char* block, std::uint64_t d, std::uint64_t four,
                                std::uint64_t blockBits) {
  std::uint64_t wide = FullWidthMask(block) | std::uint64_t{FullWidthMask(block + 16)} << 16 |
                       std::uint64_t{FullWidthMask(block + 32)} << 32;
  const std::uint64_t twoByteSeparated =
      d & d >> 1 & d >> 2 & ~d >> 3 &
      ((~d >> 4 & four >> 5 & ~d >> 9) | (four >> 4 & ~d >> 8 & ~d >> 9 & four >> 10));
  for (std::uint64_t c = twoByteSeparated & blockBits; c; c &= c - 1) {
    const unsigned k = static_cast<unsigned>(__builtin_ctzll(c));
    if (IsMark(block + k + 3) || IsMark(block + k + 8)) wide |= std::uint64_t{1} << k;
  }
  return wide;
}

// Scans the text 48 bytes at a time for the places where an ASCII number may stand (the
// first group of a grouped one, or a run of eleven or more digits) and for full-width
// digits or hyphens; returns the position from which the rest of the text is still to be
// scanned. The digit mask covers 64 bytes, so the patterns starting in a block are seen
// whole.
std::size_t ScanBlocks(std::string_view text, RunMatcher& matcher) {
  constexpr std::size_t kBlock = 48;
  constexpr std::uint64_t kBlockBits = (std::uint64_t{1} << kBlock) - 1;
  const char* p = text.data();
  const std::size_t n = text.size();
  auto raw = [](std::size_t k) { return k; };
  std::size_t next = 0;   // everything before it has been looked at
  std::size_t known = 0;  // a character starts here
  std::size_t b = 0;
  std::uint64_t lowDigits = n >= 16 ? DigitMask(p) : 0;
  for (; b + 64 <= n; b += kBlock) {
    const std::uint64_t highDigits = DigitMask(p + b + 48);
    const std::uint64_t d = lowDigits | std::uint64_t{DigitMask(p + b + 16)} << 16 |
                            std::uint64_t{DigitMask(p + b + 32)} << 32 | highDigits << 48;
    lowDigits = highDigits;
    const std::uint64_t four = d & d >> 1 & d >> 2 & d >> 3;
    // "DDD S DDDD S DDDD" may start at the bit (S is any non-digit here; the matcher
    // checks the separators), or eleven digits do.
    const std::uint64_t grouped =
        d & d >> 1 & d >> 2 & ~d >> 3 & four >> 4 & ~d >> 8 & four >> 9;
    const std::uint64_t eleven = four & four >> 4 & four >> 7;
    std::uint64_t runs = (grouped | eleven) & kBlockBits;
    std::uint64_t wide = WideStarts(p + b, d, four, kBlockBits);
    if (next > b) {
      const std::uint64_t keep = next - b >= kBlock ? 0 : ~std::uint64_t{0} << (next - b);
      runs &= keep;
      wide &= keep;
    }
    while (runs | wide) {
      const unsigned runAt = runs ? static_cast<unsigned>(__builtin_ctzll(runs)) : 64u;
      const unsigned wideAt = wide ? static_cast<unsigned>(__builtin_ctzll(wide)) : 64u;
      if (wideAt < runAt) {
        wide &= wide - 1;
        if (!MayBeInNumber(text, b + wideAt) || !StartsCharacter(text, b + wideAt, known))
          continue;
        next = WalkLineAt(text, b + wideAt, matcher);
      } else if (grouped >> runAt & 1) {
        // The second group is a run of exactly four: the matcher takes the number from it.
        // A full-width digit right after the number needs the line read by character.
        // So does a full-width plus sign before a code that runs into the first group.
        const std::size_t second = b + runAt + 4;
        if (DigitCharAt(reinterpret_cast<const unsigned char*>(p), n, second + 9) == 2 ||
            (second >= 8 && IsMark(p + second - 8))) {
          next = WalkLineAt(text, second, matcher);
        } else {
          matcher.AtRun(text, second, second + 4, raw);
          next = second + 5;
        }
      } else {
        // A run of eleven or more starts here (a digit before it would have set a lower
        // bit, or lie in a run already passed over whole). A full-width digit after it, or
        // a mark right before it or before a code ahead of it ("＋86 "), needs the line
        // read by character.
        const std::size_t begin = b + runAt;
        const std::size_t end = RunEnd(text, begin + 11);
        if (DigitCharAt(reinterpret_cast<const unsigned char*>(p), n, end) == 2 ||
            (begin >= 2 && IsMark(p + begin - 2)) || (begin >= 5 && IsMark(p + begin - 5))) {
          next = WalkLineAt(text, begin, matcher);
        } else {
          matcher.AtRun(text, begin, end, raw);
          next = end + 1;
        }
      }
      if (next >= b + kBlock) break;
      const std::uint64_t keep = ~std::uint64_t{0} << (next - b);
      runs &= keep;
      wide &= keep;
    }
  }
  return std::max(next, b);
}

}  // namespace
#endif

// Every number holds a run of four or more digit characters (a group of four, or the plain
// number). ASCII digit runs are matched in the raw text (ASCII digits and separators are
// never part of a double-byte character); a line that may hold a double-byte character of
// a number is walked by character first. Where no SIMD is at hand, every line is walked.
void FormattedPhoneScanner::Scan(std::string_view text, const Found& found) const {
  ScanWithoutNul(CutAtNul(text), found);
}

void FormattedPhoneScanner::ScanWithoutNul(std::string_view text, const Found& found) const {
  if (prefixes_.empty()) return;
  RunMatcher matcher(prefixes_, found);
  std::size_t rest = 0;
#if defined(__SSE2__)
  rest = ScanBlocks(text, matcher);
#endif
  if (rest >= text.size()) return;
  // The numbers from `rest` on may hold characters before it; those already given are not
  // given again.
  ScanWalked(text, WalkStartBefore(text, rest), text.size(), matcher);
}

}  // namespace tolvarine
