// The phone scan against a naive reading of its rules: for each line, for each prefix in
// order, every occurrence of the prefix starts a digit run; the run counts when it is
// exactly 11 digits long, and the search goes on after it. Whole texts, single lines and
// the extraction into the phone list (with and without dedup) must all agree.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/line_split.h"
#include "engine/phone_extractor.h"
#include "engine/result_list.h"
#include "fuzz/fuzz_support.h"

namespace {

using tolvarine::fuzz::AsText;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void ModelScanLine(std::string_view line, const std::vector<std::string>& prefixes,
                   std::vector<std::string>& out) {
  for (const std::string& prefix : prefixes) {
    if (prefix.empty()) continue;  // the empty text occurs nowhere
    std::size_t from = 0;
    for (;;) {
      const std::size_t at = line.find(prefix, from);
      if (at == std::string_view::npos) break;
      std::size_t run = 0;
      while (at + run < line.size() && IsDigit(line[at + run])) ++run;
      if (run == 11) out.emplace_back(line.substr(at, 11));
      from = at + (run > 0 ? run : 1);
    }
  }
}

std::vector<std::string> ModelScanText(std::string_view text,
                                       const std::vector<std::string>& prefixes) {
  std::vector<std::string> out;
  // A line ends at CR, LF or NUL; nothing after the first NUL is read.
  text = text.substr(0, text.find('\0'));
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    ModelScanLine(text.substr(start, end - start), prefixes, out);
    if (end < text.size() && text[end] == '\r') ++end;
    if (end < text.size() && text[end] == '\n') ++end;
    start = end;
  }
  return out;
}

std::vector<std::string> Collect(const tolvarine::PhoneScanner& scanner, std::string_view text,
                                 bool wholeText) {
  std::vector<std::string> out;
  const tolvarine::PhoneSink sink = [&out](std::string_view n) { out.emplace_back(n); };
  if (wholeText) {
    scanner.ScanText(text, sink);
  } else {
    for (std::string_view line : tolvarine::SplitLineViews(text)) scanner.ScanLine(line, sink);
  }
  return out;
}

// The first byte picks the prefixes: the fixed "13", "15", "18", or up to four taken from
// the input (mostly digits, so they can match), given as a first part.
std::vector<std::string> PickPrefixes(std::string_view& input) {
  if (input.empty() || (input.front() & 1) == 0) {
    if (!input.empty()) input.remove_prefix(1);
    return {"13", "15", "18"};
  }
  input.remove_prefix(1);
  const std::vector<std::string_view> parts = tolvarine::fuzz::SplitParts(input, 2);
  std::vector<std::string> prefixes;
  if (parts.size() == 2) {
    for (std::string_view line : tolvarine::SplitLineViews(parts[0])) {
      if (prefixes.size() == 4) break;
      prefixes.emplace_back(line.substr(0, 14));
    }
    input = parts[1];
  }
  return prefixes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = AsText(data, size);
  const std::vector<std::string> prefixes = PickPrefixes(text);
  const tolvarine::PhoneScanner scanner(prefixes);

  const std::vector<std::string> want = ModelScanText(text, prefixes);
  FUZZ_CHECK(Collect(scanner, text, true) == want);
  FUZZ_CHECK(Collect(scanner, text, false) == want);

  // Two texts into one phone list, as the body text and markup of a page.
  const std::vector<std::string> twice = [&] {
    std::vector<std::string> all = want;
    all.insert(all.end(), want.begin(), want.end());
    return all;
  }();
  for (bool dedup : {false, true}) {
    tolvarine::ResultList phones;
    int added = 0;
    tolvarine::ExtractPhonesFromTexts({text, text}, prefixes, dedup, phones, [&] { ++added; });
    std::vector<std::string> rows;
    for (const std::string& number : twice) {
      bool listed = false;
      for (const std::string& row : rows) listed = listed || row == number;
      if (!dedup || !listed) rows.push_back(number);
    }
    FUZZ_CHECK(phones.Rows() == rows);
    FUZZ_CHECK(added == phones.Count());
  }
  return 0;
}
