#include "engine/result_records.h"

#include "base/record_text.h"

namespace tolvarine {

std::string SourceTimeText(const RowSource& source) {
  return source.time == 0 ? std::string() : LocalTimeText(source.time);
}

namespace {

// A row with its page and time text, and its place's three fields when it has one.
std::string RecordWithTime(RecordFormat format, const std::string& value,
                           const std::string& page, const std::string& time,
                           const NumberPlace* place = nullptr) {
  if (format == RecordFormat::Plain) return value;
  if (format == RecordFormat::Csv) {
    if (!place) return CsvLine({value, page, time});
    return CsvLine({value, page, time, place->province, place->city, place->carrier});
  }
  if (!place) return JsonObjectLine({{"value", value}, {"page", page}, {"time", time}});
  return JsonObjectLine({{"value", value}, {"page", page}, {"time", time},
                         {"province", place->province}, {"city", place->city},
                         {"carrier", place->carrier}});
}

}  // namespace

std::string RecordText(RecordFormat format, const std::string& value, const RowSource& source,
                       const NumberPlace* place) {
  if (format == RecordFormat::Plain) return value;
  return RecordWithTime(format, value, source.page, SourceTimeText(source), place);
}

const char* RecordLineEnd(RecordFormat format) {
  return format == RecordFormat::Jsonl ? "\n" : "\r\n";
}

std::string RecordsHeader(RecordFormat format, bool withPlace) {
  if (format != RecordFormat::Csv) return {};
  return std::string(kResultCsvHeader) + (withPlace ? kPlaceCsvColumns : "") + "\r\n";
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

std::string ResultListText(const ResultList& list, RecordFormat format) {
  std::string text = RecordsHeader(format);
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
    text += RecordWithTime(format, list.Row(i), source.page, time);
    text += lineEnd;
  }
  return text;
}

}  // namespace tolvarine
