// Closing, hiding to the tray and coming back, and the contact items of the tray menu.
#include <QAction>
#include <QMenu>

#include "base/line_split.h"
#include "engine/crawl_texts.h"
#include "main_window_fixture.h"
#include "ui/tray/tray_icon.h"

namespace tolvarine::testing {
namespace {

QAction* Item(MainWindow& form, const QString& text) {
  for (QAction* item : form.TrayMenu()->actions()) {
    if (item->text() == text) return item;
  }
  return nullptr;
}

TEST_F(MainWindowTest, AnsweringNoToTheExitQuestionKeepsTheWindowAndTheWalk) {
  Create();
  Window().show();
  StartWalk({"http://a.example/", "http://b.example/", "http://c.example/"});
  Click("exitButton");
  const auto asked = dialogs_->Shown(QStringLiteral("confirm"));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].caption, QStringLiteral("确认"));
  EXPECT_EQ(asked[0].text, QStringLiteral("确认退出Tolvarine吗?"));
  EXPECT_TRUE(Window().isVisible());
  EXPECT_TRUE(Window().Crawl().Running());
  clock_.Advance(8000);
  EXPECT_EQ(Window().PanelText(3), QStringLiteral("2")) << "the walk goes on";
}

TEST_F(MainWindowTest, ClosingWhileAWalkRunsWritesTheProgressFile) {
  Create();
  Window().show();
  bool closed = false;
  QObject::connect(&Window(), &MainWindow::closeAccepted, [&] { closed = true; });
  StartWalk({"http://a.example/", "http://b.example/", "http://c.example/"});
  clock_.Advance(8000);
  ASSERT_FALSE(state_.Exists(texts::kProgressFileName));
  dialogs_->confirms.push_back(true);
  EXPECT_TRUE(Window().close());
  EXPECT_TRUE(closed);
  ASSERT_TRUE(state_.Exists(texts::kProgressFileName));
  const auto lines = SplitLines(state_.Read(texts::kProgressFileName));
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[1], "2");
  EXPECT_EQ(lines[2], "3");
}

TEST_F(MainWindowTest, ClosingWhenIdleLeavesTheProgressFileAlone) {
  Create();
  Window().show();
  dialogs_->confirms.push_back(true);
  EXPECT_TRUE(Window().close());
  EXPECT_FALSE(state_.Exists(texts::kProgressFileName));
}

TEST_F(MainWindowTest, MinimisingHidesToTheTrayAndTheIconBringsItBack) {
  Create();
  Window().show();
  QAction* showMain = Item(Window(), QStringLiteral("显示主程序(&S)"));
  QAction* minimise = Item(Window(), QStringLiteral("最小化显示(&M)"));
  Window().setWindowState(Qt::WindowMinimized);
  EXPECT_FALSE(Window().isVisible());
  EXPECT_TRUE(showMain->isEnabled());
  EXPECT_FALSE(minimise->isEnabled());

  // A left click on the icon (press, release) runs ShowMain.
  tray_->Activate(QSystemTrayIcon::Trigger);
  EXPECT_TRUE(Window().isVisible());
  EXPECT_FALSE(Window().isMinimized());
  EXPECT_FALSE(showMain->isEnabled());
  EXPECT_TRUE(minimise->isEnabled());

  // And through the menu items.
  minimise->trigger();
  EXPECT_FALSE(Window().isVisible());
  showMain->trigger();
  EXPECT_TRUE(Window().isVisible());
  EXPECT_FALSE(showMain->isEnabled());
  EXPECT_TRUE(minimise->isEnabled());
  EXPECT_FALSE(tray_->requests.empty());
  EXPECT_TRUE(Window().TrayIcon()->Visible()) << "the icon stays for the whole run";
}

TEST_F(MainWindowTest, WithoutANotificationAreaMinimisingIsAnOrdinaryMinimise) {
  tray_->available = false;
  Create();
  Window().show();
  QAction* showMain = Item(Window(), QStringLiteral("显示主程序(&S)"));
  QAction* minimise = Item(Window(), QStringLiteral("最小化显示(&M)"));
  Window().setWindowState(Qt::WindowMinimized);
  EXPECT_TRUE(Window().isVisible()) << "nothing could bring a hidden window back";
  EXPECT_TRUE(Window().isMinimized());
  EXPECT_FALSE(showMain->isEnabled());
  EXPECT_TRUE(minimise->isEnabled());

  // An area that appears later takes the icon, and minimising hides to it again.
  tray_->available = true;
  Window().TrayIcon()->Retry();
  EXPECT_EQ(tray_->requests, (std::vector<std::string>{"add"}));
  Window().setWindowState(Qt::WindowNoState);
  Window().setWindowState(Qt::WindowMinimized);
  EXPECT_FALSE(Window().isVisible());
  EXPECT_TRUE(showMain->isEnabled());
}

TEST_F(MainWindowTest, ContactItemsOpenTheMailAndHomePageAddresses) {
  Create();
  Item(Window(), QStringLiteral("与我们联系(&L)"))->trigger();
  Item(Window(), QStringLiteral("访问Quenmar主页(&V)"))->trigger();
  ASSERT_EQ(openedUrls_.size(), 2u);
  EXPECT_TRUE(openedUrls_[0].startsWith(QStringLiteral("mailto:")));
  EXPECT_TRUE(openedUrls_[0].endsWith(QStringLiteral(".example")));
  EXPECT_TRUE(openedUrls_[1].startsWith(QStringLiteral("http://")));
  EXPECT_TRUE(openedUrls_[1].contains(QStringLiteral(".example")));
}

TEST_F(MainWindowTest, TheExitItemAsksBeforeClosingAlsoFromTheTray) {
  Create();
  Window().show();
  bool closed = false;
  QObject::connect(&Window(), &MainWindow::closeAccepted, [&] { closed = true; });
  Item(Window(), QStringLiteral("退 出(&Exit)"))->trigger();
  EXPECT_EQ(dialogs_->Shown(QStringLiteral("confirm")).size(), 1u);
  EXPECT_TRUE(Window().isVisible());
  EXPECT_FALSE(closed);

  // Hidden in the tray, the exit item still asks, and a yes ends the program's loop.
  Item(Window(), QStringLiteral("最小化显示(&M)"))->trigger();
  dialogs_->confirms.push_back(true);
  Item(Window(), QStringLiteral("退 出(&Exit)"))->trigger();
  EXPECT_EQ(dialogs_->Shown(QStringLiteral("confirm")).size(), 2u);
  EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace tolvarine::testing
