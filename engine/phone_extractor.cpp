#include "engine/phone_extractor.h"

#include <algorithm>
#include <cstring>

#include "base/line_split.h"
#include "engine/formatted_phones.h"

namespace tolvarine {
namespace {

constexpr std::size_t kNumberLength = 11;

inline bool IsDigit(unsigned char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Calls f(begin, end) for each maximal digit run of at least 11 digits. Only such runs can
// hold a number: the run from a prefix occurrence to the end of its digit run must be 11
// long. Probing every 11th byte skips text without long runs quickly.
template <class F>
void ForEachLongDigitRun(std::string_view text, F&& f) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;  // p[i - 1] is never a digit, so no long run starts before i
  while (i + kNumberLength <= n) {
    const std::size_t probe = i + kNumberLength - 1;
    if (!IsDigit(p[probe])) {
      i = probe + 1;
      continue;
    }
    std::size_t begin = probe;
    while (begin > i && IsDigit(p[begin - 1])) --begin;
    std::size_t end = probe + 1;
    while (end < n && IsDigit(p[end])) ++end;
    if (end - begin >= kNumberLength) f(begin, end);
    i = end + 1;
  }
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

PhoneScanner::PhoneScanner(const std::vector<std::string>& prefixes) {
  for (const std::string& prefix : prefixes) {
    const auto firstOther = std::find_if(prefix.begin(), prefix.end(), [](char c) {
      return !IsDigit(static_cast<unsigned char>(c));
    });
    const auto digits = static_cast<std::size_t>(firstOther - prefix.begin());
    if (prefix.empty() || digits > kNumberLength) continue;
    if (digits == prefix.size()) {
      prefixes_.push_back({prefix, {}});
    } else if (digits == kNumberLength &&
               prefix.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos) {
      // The run from such a prefix is its own 11 digits; a line end never lies inside one.
      prefixes_.push_back({prefix.substr(0, digits), prefix.substr(digits)});
    }
  }
}

// The search for a prefix examines only its first occurrence in each digit run (it goes on
// after the run), so the run yields its last 11 digits for prefix j exactly when that
// first occurrence starts 11 digits before the run's end. A prefix that goes on past 11
// digits matches where the run ends in its digits and `after` (the text following the run)
// begins with the rest.
template <class Emit>
void PhoneScanner::MatchRun(std::string_view run, std::string_view after, Emit&& emit) const {
  const std::size_t tail = run.size() - kNumberLength;
  for (std::size_t j = 0; j < prefixes_.size(); ++j) {
    const std::string& prefix = prefixes_[j].digits;
    const std::string& follow = prefixes_[j].follow;
    const bool match = !follow.empty()
                           ? run.substr(tail) == prefix && after.starts_with(follow)
                           : (tail == 0 ? run.starts_with(prefix) : run.find(prefix) == tail);
    if (match) emit(j, tail);
  }
}

void PhoneScanner::ScanLine(std::string_view line, const PhoneSink& found) const {
  if (prefixes_.empty()) return;
  struct LineHit {
    std::size_t prefix, start;
  };
  std::vector<LineHit> hits;
  ForEachLongDigitRun(line, [&](std::size_t begin, std::size_t end) {
    MatchRun(line.substr(begin, end - begin), line.substr(end),
             [&](std::size_t j, std::size_t tail) { hits.push_back({j, begin + tail}); });
  });
  std::stable_sort(hits.begin(), hits.end(),
                   [](const LineHit& a, const LineHit& b) { return a.prefix < b.prefix; });
  for (const LineHit& h : hits) found(line.substr(h.start, kNumberLength));
}

// Numbers are due line by line, and within a line prefix by prefix. Hits wait in one
// bucket per prefix; as long as every new hit's prefix is not below the highest waiting
// one, bucket order equals that order whatever the line ends in between, so line ends are
// looked for only when a lower prefix follows (or many hits wait). Every byte is looked at
// for line ends at most once.
void PhoneScanner::ScanText(std::string_view text, const PhoneSink& found) const {
  ScanTextWithoutNul(CutAtNul(text), found);
}

void PhoneScanner::ScanTextWithoutNul(std::string_view text, const PhoneSink& found) const {
  if (prefixes_.empty()) return;

  struct Bucket {
    std::vector<std::size_t> starts;
    std::size_t head = 0;
  };
  std::vector<Bucket> buckets(prefixes_.size());
  std::size_t waiting = 0;
  std::size_t highest = 0;   // highest prefix index waiting (when waiting > 0)
  std::size_t checked = 0;   // text before this position has been looked at for line ends

  // Emits the waiting hits that start before `limit`, in bucket order.
  auto emitBefore = [&](std::size_t limit) {
    for (Bucket& b : buckets) {
      while (b.head < b.starts.size() && b.starts[b.head] < limit) {
        found(text.substr(b.starts[b.head], kNumberLength));
        ++b.head;
        --waiting;
      }
      if (b.head == b.starts.size()) {
        b.starts.clear();
        b.head = 0;
      }
    }
    highest = 0;
    for (std::size_t j = 0; j < buckets.size(); ++j)
      if (!buckets[j].starts.empty()) highest = j;
  };
  // Emits the hits of lines that ended before `position`.
  auto emitEarlierLines = [&](std::size_t position) {
    std::size_t lineStart = 0;
    bool found_break = false;
    for (std::size_t k = position; k > checked; --k) {
      if (IsLineEnd(text[k - 1])) {
        lineStart = k;
        found_break = true;
        break;
      }
    }
    checked = position;
    if (found_break) emitBefore(lineStart);
  };

  std::vector<std::size_t> runHits;  // prefix index of each hit of the current run
  ForEachLongDigitRun(text, [&](std::size_t begin, std::size_t end) {
    runHits.clear();
    std::size_t tailStart = 0;
    MatchRun(text.substr(begin, end - begin), text.substr(end),
             [&](std::size_t j, std::size_t tail) {
               runHits.push_back(j);
               tailStart = begin + tail;
             });
    if (runHits.empty()) return;
    if (waiting > 0 && (runHits.front() < highest || waiting >= 4096)) emitEarlierLines(begin);
    for (std::size_t j : runHits) {
      buckets[j].starts.push_back(tailStart);
      ++waiting;
      if (waiting == 1 || j > highest) highest = j;
    }
  });
  emitBefore(text.size() + 1);
}

bool PhoneScanner::TakesAt(std::string_view text, std::size_t position) const {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t begin = position;
  while (begin > 0 && IsDigit(p[begin - 1])) --begin;
  const std::size_t end = position + kNumberLength;
  if (end > text.size() || (end < text.size() && IsDigit(p[end]))) return false;
  for (std::size_t k = position; k < end; ++k)
    if (!IsDigit(p[k])) return false;
  bool taken = false;
  MatchRun(text.substr(begin, end - begin), text.substr(end),
           [&](std::size_t, std::size_t) { taken = true; });
  return taken;
}

std::vector<std::string> PrefixesFromText(std::string_view fieldText) {
  std::vector<std::string> prefixes;
  for (std::string_view line : SplitLineViews(fieldText))
    if (!line.empty()) prefixes.emplace_back(line);
  return prefixes;
}

namespace {

PhoneSink AddingSink(bool dedup, ResultList& phones, const std::function<void()>& onAdded) {
  return [dedup, &phones, &onAdded](std::string_view number) {
    std::string caption(number);
    if (dedup && phones.Contains(caption)) return;
    phones.Append(caption);
    if (onAdded) onAdded();
  };
}

}  // namespace

void ExtractPhones(const std::vector<std::string_view>& lines,
                   const std::vector<std::string>& prefixes, bool dedup, ResultList& phones,
                   const std::function<void()>& onAdded) {
  const PhoneScanner scanner(prefixes);
  const PhoneSink sink = AddingSink(dedup, phones, onAdded);
  for (std::string_view line : lines) scanner.ScanLine(line, sink);
}

namespace {

void ScanTexts(const std::vector<std::string_view>& texts,
               const std::vector<std::string>& prefixes, bool formatted, const PhoneSink& sink) {
  const PhoneScanner scanner(prefixes);
  if (!formatted) {
    for (std::string_view text : texts) scanner.ScanText(text, sink);
    return;
  }
  const FormattedPhoneScanner formattedScanner(prefixes);
  for (std::string_view text : texts) ScanTextWithFormatted(scanner, formattedScanner, text, sink);
}

}  // namespace

void ExtractPhonesFromTexts(const std::vector<std::string_view>& texts,
                            const std::vector<std::string>& prefixes, bool dedup,
                            ResultList& phones, const std::function<void()>& onAdded,
                            bool formatted) {
  ScanTexts(texts, prefixes, formatted, AddingSink(dedup, phones, onAdded));
}

std::vector<std::string> PageNumbers(PageDocument& document,
                                     const std::vector<std::string>& prefixes, bool formatted) {
  const std::string text = document.BodyOuterText();
  const std::string markup = document.BodyOuterHtml();
  std::vector<std::string> numbers;
  ScanTexts({text, markup}, prefixes, formatted,
            [&numbers](std::string_view number) { numbers.emplace_back(number); });
  return numbers;
}

std::vector<FoundNumber> PageNumbersFound(PageDocument& document,
                                          const std::vector<std::string>& prefixes,
                                          bool formatted) {
  std::vector<FoundNumber> numbers;
  FoundIn kind = FoundIn::Text;
  const PhoneSink sink = [&numbers, &kind](std::string_view number) {
    numbers.push_back({std::string(number), kind});
  };
  const PhoneScanner scanner(prefixes);
  const FormattedPhoneScanner formattedScanner(prefixes);
  const auto scan = [&](std::string_view text, bool asWritten) {
    if (asWritten)
      ScanTextWithFormatted(scanner, formattedScanner, text, sink);
    else
      scanner.ScanText(text, sink);
  };
  scan(document.BodyOuterText(), formatted);
  kind = FoundIn::Tel;
  for (const std::string& target : document.TelTargets()) scan(target, true);
  kind = FoundIn::Structured;
  for (const std::string& telephone : document.StructuredTelephones()) scan(telephone, true);
  kind = FoundIn::Markup;
  scan(document.BodyOuterHtml(), formatted);
  scan(document.HeadOuterHtml(), formatted);
  return numbers;
}

}  // namespace tolvarine
