#pragma once
// The walk report of a saved page log.
#include <string>

namespace tolvarine {

// The report page of the page log at logPath (CSV or JSONL, told by its first line), read
// one line at a time. listName (GBK) goes into the title. Throws FileOpenError naming the
// log, or Error when it holds no page record. Needs a QApplication.
std::string ReportFromPageLog(const std::string& logPath, const std::string& listName);

}  // namespace tolvarine
