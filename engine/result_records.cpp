#include "engine/result_records.h"

#include "base/gbk.h"
#include "base/record_text.h"

namespace tolvarine {

std::string SourceTimeText(const RowSource& source) {
  return source.time == 0 ? std::string() : LocalTimeText(source.time);
}

namespace {

std::string RecordWithTime(RecordFormat format, const std::string& value,
                           const std::string& page, const std::string& time) {
  switch (format) {
    case RecordFormat::Plain:
      return value;
    case RecordFormat::Csv:
      return CsvLine({value, page, time});
    case RecordFormat::Jsonl:
      break;
  }
  return JsonObjectLine({{"value", value}, {"page", page}, {"time", time}});
}

// The first field of a CSV line, quoted or not.
std::optional<std::string> FirstCsvField(std::string_view line) {
  if (line.empty() || line.front() != '"') return std::string(line.substr(0, line.find(',')));
  std::string field;
  for (std::size_t i = 1; i < line.size(); ++i) {
    if (line[i] != '"') {
      field += line[i];
    } else if (i + 1 < line.size() && line[i + 1] == '"') {
      field += '"';
      ++i;
    } else {
      return field;
    }
  }
  return std::nullopt;
}

// The first member's string value of a JSON object line as this program writes it
// ({"value":"...",...}), converted back to GBK.
std::optional<std::string> JsonValueMember(std::string_view line) {
  constexpr std::string_view kStart = "{\"value\":\"";
  if (!line.starts_with(kStart)) return std::nullopt;
  std::string utf8;
  for (std::size_t i = kStart.size(); i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') return Utf8ToGbk(utf8);
    if (c != '\\') {
      utf8 += c;
      continue;
    }
    if (++i >= line.size()) break;
    if (line[i] == 'u') {
      // This program escapes only control characters this way.
      unsigned code = 0;
      for (int k = 1; k <= 4; ++k) {
        const char h = i + k < line.size() ? line[i + k] : 'x';
        const int digit = h >= '0' && h <= '9' ? h - '0'
                          : h >= 'a' && h <= 'f' ? h - 'a' + 10
                          : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                 : -1;
        if (digit < 0) return std::nullopt;
        code = code * 16 + static_cast<unsigned>(digit);
      }
      if (code >= 0x80) return std::nullopt;
      utf8 += static_cast<char>(code);
      i += 4;
    } else {
      utf8 += line[i];
    }
  }
  return std::nullopt;
}

}  // namespace

std::string RecordText(RecordFormat format, const std::string& value, const RowSource& source) {
  if (format == RecordFormat::Plain) return value;
  return RecordWithTime(format, value, source.page, SourceTimeText(source));
}

const char* RecordLineEnd(RecordFormat format) {
  return format == RecordFormat::Jsonl ? "\n" : "\r\n";
}

std::string RecordsHeader(RecordFormat format) {
  return format == RecordFormat::Csv ? std::string(kResultCsvHeader) + "\r\n" : std::string();
}

std::optional<std::string> RecordValue(RecordFormat format, std::string_view line) {
  switch (format) {
    case RecordFormat::Plain:
      return std::string(line);
    case RecordFormat::Csv:
      if (line == kResultCsvHeader) return std::nullopt;
      return FirstCsvField(line);
    case RecordFormat::Jsonl:
      break;
  }
  return JsonValueMember(line);
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
