// The window hidden to the notification area walks through the real WebEngine pane and the
// QTimer clock: a page that adds its content by timers is harvested whole.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSpinBox>
#include <QToolButton>
#include <algorithm>

#include "base/text_writer.h"
#include "tests/support/local_http_server.h"
#include "tests/support/qt/fake_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/ui_tray/fake_tray_service.h"
#include "tests/support/page_text.h"
#include "tests/ui_web/event_loop_wait.h"
#include "ui/main/main_window.h"

namespace tolvarine::testing {
namespace {

TEST(HiddenWindowWalk, APageWalkedInTheTrayRunsItsTimersAsAShownOneDoes) {
  LocalHttpServer server;
  server.Page("/rows", TimedRowsPage('8'));
  TempFolder state;
  const std::string list = state.Write("list.txt", JoinCrlf({server.Url("/rows")}));

  auto dialogs = std::make_unique<FakeDialogs>();
  dialogs->openFiles.push_back(QString::fromStdString(list));
  MainWindowParts parts;
  parts.dialogs = std::move(dialogs);
  parts.hostAddresses = [] { return std::vector<std::string>{"192.0.2.10"}; };
  parts.trayService = std::make_unique<FakeTrayService>(std::make_shared<TrayRecord>());
  parts.stateFolder = state.Path();
  MainWindow window(std::move(parts));
  window.show();
  window.findChild<QToolButton*>(QStringLiteral("chooseListButton"))->click();
  window.findChild<QCheckBox*>(QStringLiteral("searchPhonesBox"))->setChecked(true);
  // The page is harvested at the first tick, a fixed 3 s after its load began.
  window.findChild<QSpinBox*>(QStringLiteral("speedField"))->setValue(3);
  window.Start();
  window.HideToTray();
  ASSERT_FALSE(window.isVisible());

  ASSERT_TRUE(WaitUntil([&] { return !window.Crawl().Running(); }, 60000));
  std::vector<std::string> rows = window.Crawl().Phones().Rows();
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());  // text and markup
  std::vector<std::string> expected;
  for (int i = 1; i <= 8; ++i) expected.push_back("1381234567" + std::to_string(i));
  EXPECT_EQ(rows, expected);
}

}  // namespace
}  // namespace tolvarine::testing
