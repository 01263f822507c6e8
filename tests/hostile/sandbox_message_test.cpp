// The web engine's sandbox is turned off only for a walk run as root, and the program then
// says so once on standard error; a command without the browser says nothing about it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <string>

#include "tests/support/local_http_server.h"
#include "tests/support/temp_folder.h"

namespace tolvarine::testing {
namespace {

struct ProgramRun {
  int status = -1;
  std::string out, err;
};

// Runs the real executable to its end; `sandboxSetting` is the inherited
// QTWEBENGINE_DISABLE_SANDBOX, or empty for none.
ProgramRun RunProgram(const QStringList& args, const QString& sandboxSetting = {}) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
  if (!sandboxSetting.isEmpty())
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), sandboxSetting);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  QProcess process;
  process.setProcessEnvironment(env);
  process.start(QStringLiteral(TOLVARINE_EXE), args);
  ProgramRun run;
  if (!process.waitForFinished(120000)) {
    process.kill();
    process.waitForFinished();
    return run;
  }
  run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = process.readAllStandardOutput().toStdString();
  run.err = process.readAllStandardError().toStdString();
  return run;
}

int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(SandboxMessage, ACommandWithoutTheBrowserSaysNothingAboutIt) {
  const ProgramRun run = RunProgram({QStringLiteral("scan"), QStringLiteral("--help")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Occurrences(run.out + run.err, "sandbox"), 0) << run.err;
}

TEST(SandboxMessage, AWalkAsRootSaysOnceThatTheSandboxIsDisabled) {
  if (geteuid() != 0) GTEST_SKIP() << "only a walk run as root turns the sandbox off";
  LocalHttpServer server;
  server.Page("/p", "<html><body>13812345678</body></html>");
  TempFolder dir;
  const std::string list = dir.Write("urls.txt", server.Url("/p") + "\r\n");
  const auto harvest = [&](const QString& sandboxSetting) {
    return RunProgram(
        {QStringLiteral("harvest"), QString::fromStdString(list), QStringLiteral("--phones"),
         QStringLiteral("--dedup"), QStringLiteral("--interval-ms"), QStringLiteral("100"),
         QStringLiteral("--no-online-check"), QStringLiteral("--state"),
         QString::fromStdString(dir.Path()), QStringLiteral("--phones-out"),
         QString::fromStdString(dir.PathOf("phones.txt"))},
        sandboxSetting);
  };

  ProgramRun run = harvest({});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(dir.Read("phones.txt"), "13812345678\r\n");
  EXPECT_EQ(Occurrences(run.err, "sandbox is disabled"), 1) << run.err;

  // Turned off by whoever started the program: nothing to say.
  run = harvest(QStringLiteral("1"));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Occurrences(run.err, "sandbox"), 0) << run.err;
}

}  // namespace
}  // namespace tolvarine::testing
