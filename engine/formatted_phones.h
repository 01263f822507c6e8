#pragma once
// Mobile numbers as people write them: in groups of 3, 4 and 4 digits with one kind of
// separator (138-1234-5678, 138 1234 5678, 138.1234.5678), or after the country code
// ("+86" or "0086", then optionally one space or hyphen) in grouped or plain form.
// Eleven digits in a row count too when some of them are full-width (eleven ASCII ones are
// the ordinary scan's). Full-width digits, hyphen and plus sign, the ideographic space and
// the en dash count as their ASCII forms. GBK is walked character by character, so the
// trail byte of one character and the lead byte of the next never read as one of them.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/phone_extractor.h"

namespace tolvarine {

struct FormattedNumber {
  std::size_t position = 0;  // byte offset of the number's first digit in the text
  std::string digits;        // the 11 ASCII digits
  bool plain = false;        // the digits stand in the text as one run of ASCII digits
};

class FormattedPhoneScanner {
 public:
  explicit FormattedPhoneScanner(const std::vector<std::string>& prefixes);

  // The formatted numbers of a text that begin with one of the prefixes, in position
  // order. Lines end at CR and LF; nothing after the first NUL counts.
  void Scan(std::string_view text,
            const std::function<void(const FormattedNumber&)>& found) const;
  // Scan for a text the caller has already cut at its first NUL.
  void ScanWithoutNul(std::string_view text,
                      const std::function<void(const FormattedNumber&)>& found) const;

 private:
  std::vector<std::string> prefixes_;
};

// The ordinary scan and the formatted one together, line by line: each line's ordinary
// numbers, then its formatted ones by position. A plain number the ordinary scan has
// already taken at the same place is not given a second time.
void ScanTextWithFormatted(const PhoneScanner& ordinary, const FormattedPhoneScanner& formatted,
                           std::string_view text, const PhoneSink& found);

}  // namespace tolvarine
