#pragma once
// tolvarine report: a walk report (HTML with charts) from a saved page log.
#include <string>
#include <vector>

#include "ui/report/page_log_report.h"

namespace tolvarine::cli {

// The report page of a saved page log (ui/report/page_log_report.h).
using tolvarine::ReportFromPageLog;

// Writes the report of a harvest's page log to the plan's --report file (replaced whole),
// with a Qt application of its own when none runs. Failures are reported; false then.
bool WriteHarvestReport(const std::string& reportPath, const std::string& logPath,
                        const std::string& listPath);

// argc/argv go to the Qt application.
int RunReport(int argc, char** argv, const std::vector<std::string>& args);

}  // namespace tolvarine::cli
