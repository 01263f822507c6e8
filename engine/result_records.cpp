#include "engine/result_records.h"

#include <vector>

#include "base/number_text.h"
#include "base/record_text.h"

namespace tolvarine {

std::string SourceTimeText(const RowSource& source) {
  return source.time == 0 ? std::string() : LocalTimeText(source.time);
}

namespace {

// A row with its page and time text, the depth column when asked for (empty for a row with
// no depth), its place's three fields when it has one, and the found-in column when given.
std::string RecordWithTime(RecordFormat format, const std::string& value,
                           const std::string& page, const std::string& time,
                           bool depthColumn = false, int depth = -1,
                           const NumberPlace* place = nullptr,
                           const char* foundIn = nullptr) {
  if (format == RecordFormat::Plain) return value;
  const std::string depthText = depth >= 0 ? IntToStr(depth) : std::string();
  std::vector<std::pair<std::string_view, std::string_view>> members = {
      {"value", value}, {"page", page}, {"time", time}};
  if (depthColumn) members.emplace_back("depth", depthText);
  if (place) {
    members.insert(members.end(), {{"province", place->province},
                                   {"city", place->city},
                                   {"carrier", place->carrier}});
  }
  if (foundIn) members.emplace_back("found_in", foundIn);
  if (format == RecordFormat::Jsonl) return JsonObjectLine(members);
  std::vector<std::string_view> fields;
  for (const auto& member : members) fields.push_back(member.second);
  return CsvLine(fields);
}

}  // namespace

std::string RecordText(RecordFormat format, const std::string& value, const RowSource& source,
                       const NumberPlace* place, bool withFoundIn) {
  if (format == RecordFormat::Plain) return value;
  return RecordWithTime(format, value, source.page, SourceTimeText(source), source.depth >= 0,
                        source.depth, place,
                        withFoundIn ? FoundInName(source.foundIn) : nullptr);
}

namespace {

// A JSON object's members, without its braces.
std::string Members(const std::string& object) { return object.substr(1, object.size() - 2); }

}  // namespace

RecordMaker::RecordMaker(RecordFormat format, bool withPlace, bool withDepth, bool withFoundIn)
    : format_(format), withPlace_(withPlace), withDepth_(withDepth), withFoundIn_(withFoundIn) {}

std::string RecordMaker::Header() const {
  std::string header = RecordsHeader(format_, withPlace_, withDepth_, withFoundIn_);
  if (header.ends_with("\r\n")) header.resize(header.size() - 2);
  return header;
}

void RecordMaker::SetSource(const RowSource& source) {
  foundIn_ = source.foundIn;
  if (format_ == RecordFormat::Plain) return;
  const std::string time = SourceTimeText(source);
  const std::string depth = source.depth >= 0 ? IntToStr(source.depth) : std::string();
  if (format_ == RecordFormat::Csv) {
    sourceFields_ = withDepth_ ? CsvLine({source.page, time, depth}) : CsvLine({source.page, time});
    return;
  }
  std::vector<std::pair<std::string_view, std::string_view>> members = {{"page", source.page},
                                                                        {"time", time}};
  if (withDepth_) members.emplace_back("depth", depth);
  sourceFields_ = Members(JsonObjectLine(members));
}

std::string_view RecordMaker::Row(std::string_view value, const NumberPlace* place) {
  if (format_ == RecordFormat::Plain) return value;
  const bool digits = value.find_first_not_of("0123456789") == std::string_view::npos;
  if (format_ == RecordFormat::Csv) {
    row_ = digits ? value : CsvLine({value});
  } else {
    row_ = "{";  // digits need no escaping in JSON
    if (digits) {
      row_ += "\"value\":\"";
      row_ += value;
      row_ += '"';
    } else {
      row_ += Members(JsonObjectLine({{"value", value}}));
    }
  }
  row_ += ',';
  row_ += sourceFields_;
  if (withPlace_ && place) {
    row_ += ',';
    row_ += PlaceFields(*place);
  }
  if (withFoundIn_) {
    // The names are plain words: no quoting or escaping in either format.
    row_ += format_ == RecordFormat::Csv ? "," : ",\"found_in\":\"";
    row_ += FoundInName(foundIn_);
    if (format_ == RecordFormat::Jsonl) row_ += '"';
  }
  if (format_ == RecordFormat::Jsonl) row_ += '}';
  return row_;
}

const std::string& RecordMaker::PlaceFields(const NumberPlace& place) {
  auto [it, added] = placeFields_.try_emplace(&place);
  if (added) {
    it->second = format_ == RecordFormat::Csv
                     ? CsvLine({place.province, place.city, place.carrier})
                     : Members(JsonObjectLine({{"province", place.province},
                                               {"city", place.city},
                                               {"carrier", place.carrier}}));
  }
  return it->second;
}

const char* RecordLineEnd(RecordFormat format) {
  return format == RecordFormat::Jsonl ? "\n" : "\r\n";
}

std::string RecordsHeader(RecordFormat format, bool withPlace, bool withDepth,
                          bool withFoundIn) {
  if (format != RecordFormat::Csv) return {};
  return std::string(kResultCsvHeader) + (withDepth ? kDepthCsvColumn : "") +
         (withPlace ? kPlaceCsvColumns : "") + (withFoundIn ? kFoundInCsvColumn : "") + "\r\n";
}

std::optional<std::string> RecordValue(RecordFormat format, std::string_view line) {
  switch (format) {
    case RecordFormat::Plain:
      return std::string(line);
    case RecordFormat::Csv: {
      if (line.starts_with(kResultCsvHeader)) return std::nullopt;
      auto fields = CsvFields(line);
      if (!fields) return std::nullopt;
      return std::move(fields->front());
    }
    case RecordFormat::Jsonl:
      break;
  }
  auto members = JsonObjectMembers(line);
  if (!members || members->empty() || members->front().first != "value") return std::nullopt;
  return std::move(members->front().second);
}

std::string ResultListText(const ResultList& list, RecordFormat format,
                           const NumberInfo* places, bool withFoundIn) {
  // Rows found while links were followed carry their page's depth: a column for all.
  bool withDepth = false;
  for (int i = 0; i < list.Count() && !withDepth; ++i) withDepth = list.SourceOf(i).depth >= 0;
  std::string text = RecordsHeader(format, places != nullptr, withDepth, withFoundIn);
  const char* lineEnd = RecordLineEnd(format);
  // The page and its time text are the same for the rows of one page: format them once.
  const RowSource* last = nullptr;
  std::string time;
  for (int i = 0; i < list.Count(); ++i) {
    const RowSource& source = list.SourceOf(i);
    if (&source != last) {
      time = SourceTimeText(source);
      last = &source;
    }
    text += RecordWithTime(format, list.Row(i), source.page, time, withDepth, source.depth,
                           places ? &places->Look(list.Row(i)) : nullptr,
                           withFoundIn ? FoundInName(source.foundIn) : nullptr);
    text += lineEnd;
  }
  return text;
}

}  // namespace tolvarine
