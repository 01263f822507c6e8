// The formatted-number scan against a plain reading of its rules, character by character
// on each line. The input's bytes pick tokens (digits, separators, country codes, full-width
// digits and hyphens, Chinese characters, line ends), so the texts are dense in near-numbers
// and long enough to cross the scanner's blocks.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/formatted_phones.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr std::array<std::string_view, 29> kTokens{
    "1", "3", "8", "5", "0", "6", "2", " ", "-", ".", "+", "+86", "0086", "138",
    "\xA3\xB1",  // full-width 1
    "\xA3\xB8",  // full-width 8
    "\xA3\xB3",  // full-width 3
    "\xA3\xAD",  // full-width hyphen
    "\xA3\xAB",  // full-width plus sign
    "\xA1\xA1",  // ideographic space
    "\xA8\x43",  // en dash
    "\xA8",      // the en dash's lead byte alone
    "\xA3\xAC",  // full-width comma
    "\xB5\xE7",  // a Chinese character
    "\xC3\xA3",  // a Chinese character whose trail byte is the full-width lead
    "\xA3",      // a lone lead byte
    "\n", "\r", "x"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsPair(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x81 || c > 0xFE || i + 1 >= s.size()) return false;
  const auto t = static_cast<unsigned char>(s[i + 1]);
  return t >= 0x40 && t != 0x7F && t != 0xFF;
}

struct Char {
  char c;              // the ASCII form, or '?' for any other character
  std::size_t offset;  // byte offset in the text
  bool wide = false;   // a double-byte character
};

std::vector<Char> Characters(std::string_view line, std::size_t base) {
  std::vector<Char> out;
  for (std::size_t i = 0; i < line.size();) {
    if (!IsPair(line, i)) {
      const auto c = static_cast<unsigned char>(line[i]);
      out.push_back({c < 0x80 ? static_cast<char>(c) : '?', base + i});
      ++i;
      continue;
    }
    const auto lead = static_cast<unsigned char>(line[i]);
    const auto trail = static_cast<unsigned char>(line[i + 1]);
    char c = '?';
    if (lead == 0xA3 && trail >= 0xB0 && trail <= 0xB9) c = static_cast<char>('0' + trail - 0xB0);
    if (lead == 0xA3 && trail == 0xAD) c = '-';
    if (lead == 0xA3 && trail == 0xAB) c = '+';
    if (lead == 0xA1 && trail == 0xA1) c = ' ';
    if (lead == 0xA8 && trail == 0x43) c = '-';
    out.push_back({c, base + i, true});
    i += 2;
  }
  return out;
}

void ModelLine(const std::vector<Char>& s, const std::vector<std::string>& prefixes,
               std::vector<std::string>& out) {
  auto at = [&](std::ptrdiff_t k) { return k >= 0 && k < std::ptrdiff_t(s.size()) ? s[k].c : '\0'; };
  auto digit = [&](std::ptrdiff_t k) { return IsDigit(at(k)); };
  auto text = [&](std::ptrdiff_t k, std::size_t n) {
    std::string t;
    for (std::size_t j = 0; j < n; ++j) t += at(k + std::ptrdiff_t(j));
    return t;
  };
  // "+86" or "0086" (not after a digit) ends right before k.
  auto codeEndsAt = [&](std::ptrdiff_t k) {
    return text(k - 3, 3) == "+86" || (text(k - 4, 4) == "0086" && !digit(k - 5));
  };
  auto wanted = [&](const std::string& d) {
    for (const std::string& p : prefixes)
      if (!p.empty() && p.size() <= 11 && d.compare(0, p.size(), p) == 0) return true;
    return false;
  };
  for (std::ptrdiff_t g = 0; g < std::ptrdiff_t(s.size()); ++g) {
    std::string digits;
    const char sep = at(g + 3);
    const bool grouped = (sep == ' ' || sep == '-' || sep == '.') && at(g + 8) == sep &&
                         digit(g) && digit(g + 1) && digit(g + 2) && digit(g + 4) &&
                         digit(g + 5) && digit(g + 6) && digit(g + 7) && digit(g + 9) &&
                         digit(g + 10) && digit(g + 11) && digit(g + 12) && !digit(g + 13) &&
                         (!digit(g - 1) || codeEndsAt(g));
    if (grouped) {
      digits = text(g, 3) + text(g + 4, 4) + text(g + 9, 4);
    } else {
      bool eleven = !digit(g + 11);
      bool wide = false;  // a full-width digit among the eleven
      for (std::ptrdiff_t k = 0; k < 11; ++k) {
        eleven = eleven && digit(g + k);
        wide = wide || (eleven && s[std::size_t(g + k)].wide);
      }
      const char before = at(g - 1);
      if (eleven && (codeEndsAt(g) || ((before == ' ' || before == '-') && codeEndsAt(g - 1)) ||
                     (wide && !digit(g - 1))))
        digits = text(g, 11);
    }
    if (!digits.empty() && wanted(digits)) out.push_back(digits);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> prefixes{"13", "15", "18", "1"};
  std::string text;
  for (std::size_t i = 0; i < size; ++i) text += kTokens[data[i] % kTokens.size()];

  std::vector<std::string> expected;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    ModelLine(Characters(std::string_view(text).substr(start, end - start), start), prefixes,
              expected);
    start = end + 1;
  }
  std::vector<std::string> actual;
  tolvarine::FormattedPhoneScanner(prefixes).Scan(
      text, [&](const tolvarine::FormattedNumber& n) { actual.push_back(n.digits); });
  FUZZ_CHECK(actual == expected);
  return 0;
}
