#pragma once
// tolvarine report: a walk report (HTML with charts) from a saved page log.
#include <string>
#include <vector>

namespace tolvarine::cli {

// The report page of the page log at logPath (CSV or JSONL, told by its first line), read
// one line at a time. Throws FileOpenError naming the log, or Error when it holds no page
// record. Needs a QApplication.
std::string ReportFromPageLog(const std::string& logPath, const std::string& listName);

// Writes the report of a harvest's page log to the plan's --report file (replaced whole),
// with a Qt application of its own when none runs. Failures are reported; false then.
bool WriteHarvestReport(const std::string& reportPath, const std::string& logPath,
                        const std::string& listPath);

// argc/argv go to the Qt application.
int RunReport(int argc, char** argv, const std::vector<std::string>& args);

}  // namespace tolvarine::cli
