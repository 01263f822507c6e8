#include "ui/report/page_log_report.h"

#include <filesystem>
#include <optional>

#include "base/errors.h"
#include "base/file_names.h"
#include "base/line_reader.h"
#include "engine/page_log.h"
#include "engine/walk_figures.h"
#include "ui/report/walk_report_page.h"

namespace tolvarine {

std::string ReportFromPageLog(const std::string& logPath, const std::string& listName) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(logPath, error)) throw FileOpenError(GbkFileName(logPath));
  LineReader reader(logPath);
  WalkFiguresBuilder builder;
  std::optional<RecordFormat> format;
  int records = 0;
  while (!reader.AtEnd()) {
    const std::string line = reader.ReadLine();
    if (!format) format = line.starts_with('{') ? RecordFormat::Jsonl : RecordFormat::Csv;
    if (auto record = PageRecordFromLine(*format, line)) {
      builder.Add(*record);
      ++records;
    }
  }
  reader.Close();
  if (records == 0) throw Error(GbkFileName(logPath) + " holds no page record");
  return WalkReportPage(builder.Finish(), listName);
}

}  // namespace tolvarine
