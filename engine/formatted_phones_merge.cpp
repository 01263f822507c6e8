// The ordinary scan and the formatted one merged line by line.
#include <cstring>

#include "engine/formatted_phones.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tolvarine {
namespace {

inline bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Where the line holding `from` ends: at the next CR or LF, or the end of the text.
std::size_t LineEndFrom(std::string_view text, std::size_t from) {
#if defined(__SSE2__)
  for (; from + 16 <= text.size(); from += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + from));
    const int ends = _mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))));
    if (ends) return from + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(ends)));
  }
#endif
  while (from < text.size() && !IsLineEnd(text[from])) ++from;
  return from;
}

// A formatted number waiting for the end of its line.
struct Extra {
  std::size_t lineEnd;
  char digits[11];
};

// Whole lines of a text: the formatted numbers are kept while the ordinary scan gives each
// line's numbers, and follow them when the line is done. A plain number the ordinary scan
// takes at the same place is left out.
void ScanLines(const PhoneScanner& ordinary, const FormattedPhoneScanner& formatted,
               std::string_view text, const PhoneSink& found, std::vector<Extra>& extras) {
  extras.clear();
  std::size_t lineEnd = 0;
  formatted.ScanWithoutNul(text, [&](const FormattedNumber& n) {
    if (n.plain && ordinary.TakesAt(text, n.position)) return;
    if (extras.empty() || n.position > lineEnd) lineEnd = LineEndFrom(text, n.position);
    Extra& e = extras.emplace_back(Extra{lineEnd, {}});
    std::memcpy(e.digits, n.digits.data(), sizeof e.digits);
  });
  if (extras.empty()) {
    ordinary.ScanTextWithoutNul(text, found);
    return;
  }
  std::size_t next = 0;
  auto flushBefore = [&](std::size_t position) {
    for (; next < extras.size() && extras[next].lineEnd < position; ++next)
      found(std::string_view(extras[next].digits, sizeof extras[next].digits));
  };
  ordinary.ScanTextWithoutNul(text, [&](std::string_view number) {
    flushBefore(static_cast<std::size_t>(number.data() - text.data()));
    found(number);
  });
  flushBefore(std::string_view::npos);
}

// One line: its ordinary numbers, then its formatted ones, each scan giving them as it
// finds them, so that nothing is kept however long the line.
void ScanLine(const PhoneScanner& ordinary, const FormattedPhoneScanner& formatted,
              std::string_view line, const PhoneSink& found) {
  ordinary.ScanTextWithoutNul(line, found);
  formatted.ScanWithoutNul(line, [&](const FormattedNumber& n) {
    if (!(n.plain && ordinary.TakesAt(line, n.position))) found(n.digits);
  });
}

}  // namespace

// The text goes in pieces of whole lines of up to 256 KiB, or one longer line: what is kept
// for the merge stays small, and the pieces stay in the processor's cache.
void ScanTextWithFormatted(const PhoneScanner& ordinary, const FormattedPhoneScanner& formatted,
                           std::string_view text, const PhoneSink& found) {
  constexpr std::size_t kPiece = 256 * 1024;
  std::vector<Extra> extras;
  text = CutAtNul(text);  // once for both scans
  for (std::size_t start = 0; start < text.size();) {
    const std::string_view window = text.substr(start, kPiece);
    std::size_t end = text.size();
    if (start + window.size() < text.size()) {
      const std::size_t lastEnd = window.find_last_of("\r\n");
      if (lastEnd == std::string_view::npos) {
        end = LineEndFrom(text, start);
        ScanLine(ordinary, formatted, text.substr(start, end - start), found);
        start = end;
        continue;
      }
      end = start + lastEnd + 1;
    }
    ScanLines(ordinary, formatted, text.substr(start, end - start), found, extras);
    start = end;
  }
}

}  // namespace tolvarine
