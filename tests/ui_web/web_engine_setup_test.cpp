// What the program sets up for the web engine before it starts: the engine's command line
// and the quieting of Qt's own messages.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>
#include <string>
#include <vector>

#include "ui/web/web_engine_setup.h"

namespace tolvarine::testing {
namespace {

TEST(WalkChromiumFlags, AddsToWhatTheUserSetAndExtendsTheirFeatureList) {
  const std::string none = WalkChromiumFlags("");
  EXPECT_NE(none.find("--disable-background-timer-throttling"), std::string::npos);
  EXPECT_NE(none.find("--disable-features=IntensiveWakeUpThrottling"), std::string::npos);
  EXPECT_EQ(WalkChromiumFlags(none), none);  // applied twice, nothing doubles

  // The engine reads only the last feature list: the user's is extended, not shadowed.
  const std::string user = WalkChromiumFlags("--proxy-server=a:1  --disable-features=Foo,Bar");
  EXPECT_EQ(user.find("--proxy-server=a:1 "), 0u);
  EXPECT_NE(user.find("--disable-features=Foo,Bar,IntensiveWakeUpThrottling"), std::string::npos);
  EXPECT_EQ(user.find("--disable-features="), user.rfind("--disable-features="));
}

std::vector<QtMsgType>* seen = nullptr;
void Record(QtMsgType type, const QMessageLogContext&, const QString&) { seen->push_back(type); }

TEST(QuietQtMessages, DropsQtChatterUnlessVerbose) {
  std::vector<QtMsgType> types;
  seen = &types;
  const QtMessageHandler original = qInstallMessageHandler(Record);
  qunsetenv("TOLVARINE_VERBOSE");
  QuietQtMessages();
  qDebug("debug");
  qInfo("info");
  qWarning("warning");
  qCritical("critical");
  EXPECT_EQ(types, std::vector<QtMsgType>{QtCriticalMsg});

  qInstallMessageHandler(Record);
  types.clear();
  qputenv("TOLVARINE_VERBOSE", QByteArray("1"));
  QuietQtMessages();
  qWarning("warning");
  EXPECT_EQ(types, std::vector<QtMsgType>{QtWarningMsg});
  qunsetenv("TOLVARINE_VERBOSE");
  qInstallMessageHandler(original);
}

}  // namespace
}  // namespace tolvarine::testing
