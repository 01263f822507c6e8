#pragma once
// Finds the 11-digit mobile numbers of page text: for each line, for each prefix in order,
// every occurrence of the prefix is examined; the digit run from the prefix on counts when
// it is exactly 11 digits long, and the search goes on after that run.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/page_browser.h"
#include "engine/result_list.h"

namespace tolvarine {

using PhoneSink = std::function<void(std::string_view number)>;

// The text up to its first NUL: nothing after it counts as page text.
inline std::string_view CutAtNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

class PhoneScanner {
 public:
  explicit PhoneScanner(const std::vector<std::string>& prefixes);

  // The numbers of one line (no line ends inside), in prefix order, then in line order.
  void ScanLine(std::string_view line, const PhoneSink& found) const;
  // The numbers of a whole text, exactly as if it were cut into lines (CR, LF and NUL end
  // a line; nothing after the first NUL counts) and each line were given to ScanLine.
  void ScanText(std::string_view text, const PhoneSink& found) const;
  // ScanText for a text the caller has already cut at its first NUL.
  void ScanTextWithoutNul(std::string_view text, const PhoneSink& found) const;
  // Whether that scan of a text (cut at its first NUL) gives a number starting at position.
  bool TakesAt(std::string_view text, std::size_t position) const;

 private:
  struct Hit;
  // A prefix that can start an 11-digit run: 1..11 digits, or 11 digits and then text
  // beginning with a non-digit (`follow`, which must stand right after the run).
  struct Prefix {
    std::string digits;
    std::string follow;
  };
  template <class Emit>
  void MatchRun(std::string_view run, std::string_view after, Emit&& emit) const;

  // In order; prefixes that can never yield a number are left out.
  std::vector<Prefix> prefixes_;
};

// The prefixes of the prefix list field: its non-empty lines, in order.
std::vector<std::string> PrefixesFromText(std::string_view fieldText);

// Appends the numbers of the lines to the phone list (skipping those already listed when
// dedup is set) and calls onAdded after each row.
void ExtractPhones(const std::vector<std::string_view>& lines,
                   const std::vector<std::string>& prefixes, bool dedup, ResultList& phones,
                   const std::function<void()>& onAdded);

// The same for whole texts, scanned one after the other (the body's outer text, then its
// outer markup). With `formatted`, each line's numbers as people write them follow its
// ordinary ones.
void ExtractPhonesFromTexts(const std::vector<std::string_view>& texts,
                            const std::vector<std::string>& prefixes, bool dedup,
                            ResultList& phones, const std::function<void()>& onAdded,
                            bool formatted = false);

// The numbers of a loaded page in the order found, repeats included: its body text, then
// its body markup (with `formatted`, each line's numbers as people write them follow its
// ordinary ones). Reading a document without a body throws.
std::vector<std::string> PageNumbers(PageDocument& document,
                                     const std::vector<std::string>& prefixes, bool formatted);

// A number of a page and how it was found.
struct FoundNumber {
  std::string number;
  FoundIn foundIn = FoundIn::Unrecorded;
  bool operator==(const FoundNumber&) const = default;
};

// The numbers of a loaded page, with what it states for machines, in the order found,
// repeats included: its body text, then its tel: targets, then its structured telephones,
// then its body markup and its head markup. Tel: targets and structured telephones are
// written as people write them and are always scanned for such numbers; the rest only with
// `formatted`. Reading a document without a body throws.
std::vector<FoundNumber> PageNumbersFound(PageDocument& document,
                                          const std::vector<std::string>& prefixes,
                                          bool formatted);

}  // namespace tolvarine
