#pragma once
// Result rows with where they came from, as records for other programs: CSV rows
// "value,page,time" (GBK, like every file of the program) and JSON objects
// {"value","page","time"} (UTF-8). The time is local time, "YYYY-MM-DD HH:MM:SS", and
// empty, like the page, for a row found outside a page.
#include <string>

#include "engine/result_list.h"

namespace tolvarine {

// The header row of a CSV result file.
inline constexpr char kResultCsvHeader[] = "value,page,time";

// The time text of a source: empty when it has no time.
std::string SourceTimeText(const RowSource& source);

// One row, without a line end.
std::string ResultCsvRow(const std::string& value, const RowSource& source);
std::string ResultJsonRow(const std::string& value, const RowSource& source);

// The whole list as a CSV file: the header row, then the rows, each followed by CR LF.
std::string ResultListCsv(const ResultList& list);

}  // namespace tolvarine
