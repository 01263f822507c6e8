#include "engine/page_log.h"

#include <array>
#include <vector>

#include "base/ascii.h"
#include "base/number_text.h"
#include "base/record_text.h"

namespace tolvarine {
namespace {

constexpr std::array<const char*, kPageOutcomes> kOutcomeNames = {
    "harvested", "abandoned", "early", "not-an-address", "left-site", "robots"};

constexpr std::array<const char*, 14> kFieldNames = {
    "line",       "depth",      "listed",    "final",     "site",     "start_ms",  "end_ms",
    "outcome",    "phones_new", "phones_all", "links_new", "links_all", "provinces", "carriers"};
// Records without the numbers' places have the first twelve fields only.
constexpr std::size_t kPlainFields = 12;

// "无效号码" and "未知" (GBK).
constexpr char kInvalidNumber[] = "\xce\xde\xd0\xa7\xba\xc5\xc2\xeb";
constexpr char kUnknownPlace[] = "\xce\xb4\xd6\xaa";

std::string CountsText(const std::map<std::string, int>& counts) {
  std::string text;
  for (const auto& [name, n] : counts) {
    if (!text.empty()) text += ';';
    text += name + ':' + std::to_string(n);
  }
  return text;
}

std::vector<std::string> FieldTexts(const PageRecord& r) {
  std::vector<std::string> texts = {
      std::to_string(r.line),      std::to_string(r.depth),     r.listed,
      r.final,                     r.site,                      std::to_string(r.startMs),
      std::to_string(r.endMs),     PageOutcomeName(r.outcome),  std::to_string(r.phonesNew),
      std::to_string(r.phonesAll), std::to_string(r.linksNew),  std::to_string(r.linksAll)};
  if (r.places) {
    texts.push_back(CountsText(r.provinces));
    texts.push_back(CountsText(r.carriers));
  }
  return texts;
}

template <typename T>
bool ReadNumber(const std::string& text, T& n) {
  const std::optional<T> value = ParseDecimalAs<T>(text);
  if (value) n = *value;
  return value.has_value();
}

// Counts as CountsText writes them (GBK names; a name never holds ':' or ';'). A name that
// comes twice is summed.
bool ReadCounts(const std::string& text, std::map<std::string, int>& counts) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find(';', begin);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(begin, end - begin);
    const std::size_t colon = item.rfind(':');
    int n = 0;
    if (colon == std::string::npos || colon == 0 || !ReadNumber(item.substr(colon + 1), n) ||
        n < 0)
      return false;
    counts[item.substr(0, colon)] += n;
    begin = end + 1;
  }
  return true;
}

std::optional<PageRecord> FromFields(const std::vector<std::string>& f) {
  if (f.size() != kPlainFields && f.size() != kFieldNames.size()) return std::nullopt;
  PageRecord r;
  if (f.size() == kFieldNames.size()) {
    r.places = true;
    if (!ReadCounts(f[12], r.provinces) || !ReadCounts(f[13], r.carriers)) return std::nullopt;
  }
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

std::string PageLogCsvHeader(bool places) {
  return std::string(kPageLogCsvHeader) + (places ? kPageLogPlaceColumns : "");
}

void CountPlace(const NumberPlace& place, PageRecord& record) {
  if (!place.valid) {
    ++record.provinces[kInvalidNumber];
    ++record.carriers[kInvalidNumber];
    return;
  }
  ++record.provinces[place.province.empty() ? std::string(kUnknownPlace) : place.province];
  ++record.carriers[place.carrier.empty() ? std::string(kUnknownPlace) : place.carrier];
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
    if (line == kPageLogCsvHeader || line == PageLogCsvHeader(true)) return std::nullopt;
    const auto fields = CsvFields(line);
    return fields ? FromFields(*fields) : std::nullopt;
  }
  const auto members = JsonObjectMembers(line);
  if (!members || (members->size() != kPlainFields && members->size() != kFieldNames.size()))
    return std::nullopt;
  std::vector<std::string> fields;
  for (std::size_t i = 0; i < members->size(); ++i) {
    if ((*members)[i].first != kFieldNames[i]) return std::nullopt;
    fields.push_back((*members)[i].second);
  }
  return FromFields(fields);
}

}  // namespace tolvarine
