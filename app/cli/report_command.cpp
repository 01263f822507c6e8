#include "app/cli/report_command.h"

#include <QApplication>
#include <filesystem>
#include <memory>

#include "app/cli/arg_parser.h"
#include "app/cli/command_io.h"
#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/platform/environment.h"
#include "ui/web/web_engine_setup.h"

namespace tolvarine::cli {
namespace {

const CommandTable kReport{
    "report",
    "usage: tolvarine report LOG -o FILE.html [--list NAME]\n"
    "  Builds the walk report from the page log of a harvest (CSV or JSONL):\n"
    "  one HTML file with the walk's summary, its charts and a table per site, readable\n"
    "  offline and printable.\n",
    {{"-o", FlagKind::Value},
     {"--list", FlagKind::Value,
      "  --list NAME   the list's name for the title (default: the log's name)\n"}}};

}  // namespace

bool WriteHarvestReport(const std::string& reportPath, const std::string& logPath,
                        const std::string& listPath) {
  std::unique_ptr<QApplication> app;
  if (!QCoreApplication::instance()) {
    static int argc = 1;
    static char name[] = "tolvarine";
    static char* argv[] = {name, nullptr};
    platform::UseOffscreenUnlessPlatformChosen();
    QuietQtMessages();
    app = std::make_unique<QApplication>(argc, argv);
  }
  try {
    ReplaceFileAtomically(reportPath, ReportFromPageLog(logPath, GbkFileName(listPath)));
    return true;
  } catch (const std::exception& e) {
    PrintFailure(e.what());
    return false;
  }
}

bool CloseWithReport(PageLogOutput& pageLog, const HarvestPlan& plan) {
  pageLog.Close();
  const bool logged = !pageLog.Failed();
  if (!plan.report) return logged;
  return WriteHarvestReport(*plan.report, pageLog.Path(), plan.listPath) && logged;
}

int RunReport(int argc, char** argv, const std::vector<std::string>& args) {
  return RunCommand(kReport, args, [argc, argv](const ParsedArgs& parsed) mutable {
    if (parsed.Positional().size() != 1) throw UsageError("give exactly one page log");
    const std::string log = parsed.Positional()[0];
    const std::string out = parsed.Required("-o");
    std::error_code error;
    if (std::filesystem::equivalent(log, out, error))
      throw UsageError("-o " + out + " is the page log itself");
    platform::UseOffscreenUnlessPlatformChosen();
    QuietQtMessages();
    QApplication app(argc, argv);
    const std::string listName =
        parsed.Value("--list").value_or(std::filesystem::path(log).stem().string());
    ReplaceFileAtomically(out, ReportFromPageLog(log, GbkFileName(listName)));
    return 0;
  });
}

}  // namespace tolvarine::cli
