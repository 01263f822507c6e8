#include "engine/page_log.h"

#include <array>
#include <charconv>
#include <vector>

#include "base/record_text.h"

namespace tolvarine {
namespace {

constexpr std::array<const char*, kPageOutcomes> kOutcomeNames = {
    "harvested", "abandoned", "early", "not-an-address", "left-site", "robots"};

constexpr std::array<const char*, 12> kFieldNames = {
    "line",    "depth",  "listed",  "final",      "site",       "start_ms",
    "end_ms",  "outcome", "phones_new", "phones_all", "links_new", "links_all"};

std::vector<std::string> FieldTexts(const PageRecord& r) {
  return {std::to_string(r.line),      std::to_string(r.depth),     r.listed,
          r.final,                     r.site,                      std::to_string(r.startMs),
          std::to_string(r.endMs),     PageOutcomeName(r.outcome),  std::to_string(r.phonesNew),
          std::to_string(r.phonesAll), std::to_string(r.linksNew),  std::to_string(r.linksAll)};
}

template <typename T>
bool ReadNumber(const std::string& text, T& n) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  return error == std::errc() && end == text.data() + text.size();
}

std::optional<PageRecord> FromFields(const std::vector<std::string>& f) {
  if (f.size() != kFieldNames.size()) return std::nullopt;
  PageRecord r;
  r.listed = f[2];
  r.final = f[3];
  r.site = f[4];
  const auto outcome = PageOutcomeNamed(f[7]);
  if (!outcome || !ReadNumber(f[0], r.line) || !ReadNumber(f[1], r.depth) ||
      !ReadNumber(f[5], r.startMs) || !ReadNumber(f[6], r.endMs) ||
      !ReadNumber(f[8], r.phonesNew) || !ReadNumber(f[9], r.phonesAll) ||
      !ReadNumber(f[10], r.linksNew) || !ReadNumber(f[11], r.linksAll))
    return std::nullopt;
  r.outcome = *outcome;
  return r;
}

}  // namespace

const char* PageOutcomeName(PageOutcome outcome) {
  return kOutcomeNames[static_cast<std::size_t>(outcome)];
}

std::optional<PageOutcome> PageOutcomeNamed(std::string_view name) {
  for (std::size_t i = 0; i < kOutcomeNames.size(); ++i) {
    if (name == kOutcomeNames[i]) return static_cast<PageOutcome>(i);
  }
  return std::nullopt;
}

std::string SiteOf(std::string_view address) {
  const std::size_t scheme = address.find("://");
  if (scheme == std::string_view::npos) return {};
  std::string_view rest = address.substr(scheme + 3);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos)
    rest = rest.substr(at + 1);
  if (!rest.starts_with('[')) rest = rest.substr(0, rest.find(':'));
  std::string host(rest);
  for (char& c : host) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return host;
}

std::string PageLogLine(RecordFormat format, const PageRecord& record) {
  const std::vector<std::string> texts = FieldTexts(record);
  if (format == RecordFormat::Jsonl) {
    std::vector<std::pair<std::string_view, std::string_view>> members;
    for (std::size_t i = 0; i < texts.size(); ++i) members.emplace_back(kFieldNames[i], texts[i]);
    return JsonObjectLine(members);
  }
  return CsvLine(std::vector<std::string_view>(texts.begin(), texts.end()));
}

std::optional<PageRecord> PageRecordFromLine(RecordFormat format, std::string_view line) {
  if (format != RecordFormat::Jsonl) {
    if (line == kPageLogCsvHeader) return std::nullopt;
    const auto fields = CsvFields(line);
    return fields ? FromFields(*fields) : std::nullopt;
  }
  const auto members = JsonObjectMembers(line);
  if (!members || members->size() != kFieldNames.size()) return std::nullopt;
  std::vector<std::string> fields;
  for (std::size_t i = 0; i < members->size(); ++i) {
    if ((*members)[i].first != kFieldNames[i]) return std::nullopt;
    fields.push_back((*members)[i].second);
  }
  return FromFields(fields);
}

}  // namespace tolvarine
