// Failures never leave a handler: the standard error dialog shows them, one at a time.
#include <QCheckBox>

#include "main_window_fixture.h"
#include "ui/main/result_files.h"

namespace tolvarine::testing {
namespace {

TEST_F(MainWindowTest, AWalkFailureWhileAnErrorDialogIsOpenGoesToTheMessagePanel) {
  Create();
  browser_.AddPage("http://a.example/", PageWithoutBody());
  browser_.AddPage("http://b.example/", PageWithoutBody());
  browser_.AddPage("http://c.example/", {});
  StartWalk({"http://a.example/", "http://b.example/", "http://c.example/"});
  // While the first dialog is open, the walk goes on: the watchdog moves to the next page,
  // whose harvest fails too.
  bool secondFailureSeen = false;
  dialogs_->whileErrorOpen = [&] {
    clock_.Advance(250000);
    secondFailureSeen = Window().PanelText(8).contains(QStringLiteral("no body"));
  };
  clock_.Advance(8000);
  const auto errors = dialogs_->Shown(QStringLiteral("error"));
  ASSERT_EQ(errors.size(), 1u) << "no second dialog on top of the first";
  EXPECT_EQ(errors[0].caption, ApplicationTitle());
  EXPECT_EQ(errors[0].text, QStringLiteral("the document has no body."));
  EXPECT_TRUE(secondFailureSeen);

  // Once the dialog has closed, the next failure opens one again.
  Window().Crawl().Stop();
  Window().Crawl().Finish();
  dialogs_->openFiles.push_back(QString::fromStdString(state_.PathOf("nowhere.txt")));
  Click("chooseListButton");
  EXPECT_EQ(dialogs_->Shown(QStringLiteral("error")).size(), 2u);
}

TEST_F(MainWindowTest, AFailingTrayDoesNotStopTheWindow) {
  tray_->failRequests = true;
  Create();
  const auto errors = dialogs_->Shown(QStringLiteral("error"));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].text.contains(QStringLiteral("trayIcon.AddToTaskbar failed")));
  Window().show();
  EXPECT_TRUE(Window().isVisible());
  Window().setWindowState(Qt::WindowMinimized);
  EXPECT_TRUE(Window().isVisible()) << "no icon to come back through";
  Click("writeProgressButton");
  EXPECT_EQ(dialogs_->Shown(QStringLiteral("plain")).size(), 1u);
}

TEST(ResultFiles, LinksFileNameGoesBeforeTheExtension) {
  EXPECT_EQ(LinksFileBeside("/d/out.txt"), "/d/out_links.txt");
  EXPECT_EQ(LinksFileBeside("/d/out"), "/d/out_links");
  EXPECT_EQ(LinksFileBeside("/d.x/out"), "/d.x/out_links");
  EXPECT_EQ(LinksFileBeside("/d/.hidden"), "/d/.hidden_links");
  EXPECT_EQ(LinksFileBeside("a.b.txt"), "a.b_links.txt");
}

}  // namespace
}  // namespace tolvarine::testing
