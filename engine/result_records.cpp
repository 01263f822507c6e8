#include "engine/result_records.h"

#include "base/record_text.h"

namespace tolvarine {

std::string SourceTimeText(const RowSource& source) {
  return source.time == 0 ? std::string() : LocalTimeText(source.time);
}

std::string ResultCsvRow(const std::string& value, const RowSource& source) {
  const std::string time = SourceTimeText(source);
  return CsvLine({value, source.page, time});
}

std::string ResultJsonRow(const std::string& value, const RowSource& source) {
  const std::string time = SourceTimeText(source);
  return JsonObjectLine({{"value", value}, {"page", source.page}, {"time", time}});
}

std::string ResultListCsv(const ResultList& list) {
  std::string text = std::string(kResultCsvHeader) + "\r\n";
  // The page and its time text are the same for the rows of one page: format them once.
  const RowSource* last = nullptr;
  std::string time;
  for (int i = 0; i < list.Count(); ++i) {
    const RowSource& source = list.SourceOf(i);
    if (&source != last) {
      time = SourceTimeText(source);
      last = &source;
    }
    text += CsvLine({list.Row(i), source.page, time});
    text += "\r\n";
  }
  return text;
}

}  // namespace tolvarine
