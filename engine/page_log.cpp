#include "engine/page_log.h"

#include <array>
#include <vector>

#include "base/ascii.h"
#include "base/number_text.h"
#include "base/record_text.h"

namespace tolvarine {
namespace {

constexpr std::array<const char*, kPageOutcomes> kOutcomeNames = {
    "harvested", "abandoned",          "early",     "not-an-address", "left-site",
    "robots",    "gave-up", "robots-unavailable", "duplicate",      "limit"};

constexpr std::array<const char*, 19> kFieldNames = {
    "line",      "depth",      "listed",     "final",     "site",      "start_ms",
    "end_ms",    "outcome",    "phones_new", "phones_all", "links_new", "links_all",
    "provinces", "carriers",   "status",     "error",     "scrolls",   "clicks",
    "phones_revealed"};
// The fields every record has; the place fields follow when on; then the answer fields
// (missing in logs written before them); the reveal fields end a record of a walk that
// reveals.
constexpr std::size_t kPlainFields = 12;
constexpr std::size_t kPlaceFields = 2;
constexpr std::size_t kAnswerFields = 2;
constexpr std::size_t kRevealFields = 3;
constexpr std::size_t kRevealAt = kPlainFields + kPlaceFields + kAnswerFields;
// The fields that are numbers (bare in JSON).
constexpr std::array<bool, 19> kNumberFields = {true,  true,  false, false, false, true,  true,
                                                false, true,  true,  true,  true,  false, false,
                                                true,  false, true,  true,  true};

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
  texts.push_back(std::to_string(r.status));
  texts.push_back(r.error);
  if (r.reveals) {
    texts.push_back(std::to_string(r.scrolls));
    texts.push_back(std::to_string(r.clicks));
    texts.push_back(std::to_string(r.phonesRevealed));
  }
  return texts;
}

// Which optional fields a record has.
struct Shape {
  bool places = false;
  bool answer = false;
  bool reveals = false;  // only with the answer fields
};

// Which of the named fields a record of the shape has, in order.
std::vector<std::size_t> FieldIndexes(const Shape& shape) {
  std::vector<std::size_t> indexes;
  for (std::size_t i = 0; i < kPlainFields; ++i) indexes.push_back(i);
  if (shape.places)
    for (std::size_t i = 0; i < kPlaceFields; ++i) indexes.push_back(kPlainFields + i);
  if (shape.answer)
    for (std::size_t i = 0; i < kAnswerFields; ++i)
      indexes.push_back(kPlainFields + kPlaceFields + i);
  if (shape.reveals)
    for (std::size_t i = 0; i < kRevealFields; ++i) indexes.push_back(kRevealAt + i);
  return indexes;
}

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
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

// A record from its fields, the shape telling which optional ones it has.
std::optional<PageRecord> FromFields(const std::vector<std::string>& f, const Shape& shape) {
  PageRecord r;
  if (shape.places) {
    r.places = true;
    if (!ReadCounts(f[12], r.provinces) || !ReadCounts(f[13], r.carriers)) return std::nullopt;
  }
  const std::size_t at = shape.places ? kPlainFields + kPlaceFields : kPlainFields;
  if (shape.answer) {
    if (!ReadNumber(f[at], r.status) || r.status < 0) return std::nullopt;
    r.error = f[at + 1];
  }
  if (shape.reveals) {
    r.reveals = true;
    const std::size_t step = at + kAnswerFields;
    if (!ReadNumber(f[step], r.scrolls) || !ReadNumber(f[step + 1], r.clicks) ||
        !ReadNumber(f[step + 2], r.phonesRevealed) || r.scrolls < 0 || r.clicks < 0 ||
        r.phonesRevealed < 0)
      return std::nullopt;
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

std::string PageLogCsvHeader(bool places, bool reveals) {
  return std::string(kPageLogCsvHeader) + (places ? kPageLogPlaceColumns : "") +
         kPageLogAnswerColumns + (reveals ? kPageLogRevealColumns : "");
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
    std::vector<bool> bare;
    const std::vector<std::size_t> indexes = FieldIndexes({record.places, true, record.reveals});
    for (std::size_t i = 0; i < texts.size(); ++i) {
      members.emplace_back(kFieldNames[indexes[i]], texts[i]);
      bare.push_back(kNumberFields[indexes[i]]);
    }
    return JsonObjectLine(members, bare);
  }
  return CsvLine(std::vector<std::string_view>(texts.begin(), texts.end()));
}

std::optional<PageRecord> PageRecordFromLine(RecordFormat format, std::string_view line) {
  if (format != RecordFormat::Jsonl) {
    if (line.starts_with(kPageLogCsvHeader)) return std::nullopt;
    const auto fields = CsvFields(line);
    if (!fields) return std::nullopt;
    const std::size_t n = fields->size();
    // Fourteen fields are the places of an older log, or the answer of a newer one (its
    // status is a number; a place field never is). The reveal fields add three to a log
    // with the answer fields.
    constexpr std::size_t kAnswered = kPlainFields + kAnswerFields;
    if (n == kPlainFields) return FromFields(*fields, {false, false, false});
    if (n == kPlainFields + kPlaceFields)
      return AllDigits((*fields)[kPlainFields]) ? FromFields(*fields, {false, true, false})
                                                : FromFields(*fields, {true, false, false});
    if (n == kAnswered + kPlaceFields) return FromFields(*fields, {true, true, false});
    if (n == kAnswered + kRevealFields) return FromFields(*fields, {false, true, true});
    if (n == kFieldNames.size()) return FromFields(*fields, {true, true, true});
    return std::nullopt;
  }
  const auto members = JsonObjectMembers(line);
  if (!members) return std::nullopt;
  for (const Shape shape : {Shape{false, true, false}, Shape{false, false, false},
                            Shape{true, true, false}, Shape{true, false, false},
                            Shape{false, true, true}, Shape{true, true, true}}) {
    const std::vector<std::size_t> indexes = FieldIndexes(shape);
    if (members->size() != indexes.size()) continue;
    std::vector<std::string> fields;
    bool named = true;
    for (std::size_t i = 0; i < indexes.size() && named; ++i) {
      named = (*members)[i].first == kFieldNames[indexes[i]];
      fields.push_back((*members)[i].second);
    }
    if (named) return FromFields(fields, shape);
  }
  return std::nullopt;
}

}  // namespace tolvarine
