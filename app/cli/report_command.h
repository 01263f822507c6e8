#pragma once
// tolvarine report: a walk report (HTML with charts) from a saved page log.
#include <string>
#include <vector>

#include "app/cli/harvest_plan.h"
#include "app/cli/page_log_output.h"

#include "ui/report/page_log_report.h"

namespace tolvarine::cli {

// The report page of a saved page log (ui/report/page_log_report.h).
using tolvarine::ReportFromPageLog;

// Writes the report of a harvest's page log to the plan's --report file (replaced whole),
// with a Qt application of its own when none runs. Failures are reported; false then.
bool WriteHarvestReport(const std::string& reportPath, const std::string& logPath,
                        const std::string& listPath);

// Closes a harvest's page log and, with --report, writes the report made from it. False
// when a record of the log or the report could not be written (reported).
bool CloseWithReport(PageLogOutput& pageLog, const HarvestPlan& plan);

// argc/argv go to the Qt application.
int RunReport(int argc, char** argv, const std::vector<std::string>& args);

}  // namespace tolvarine::cli
