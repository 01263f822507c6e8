// The "保存报告" option: the walk's pages logged in the state folder, and a report saved
// beside the two lists.
#include <QCheckBox>
#include <filesystem>

#include "main_window_fixture.h"
#include "ui/main/walk_page_log.h"

namespace tolvarine::testing {
namespace {

// Rows of the report's site table, its header aside.
int SiteRows(const std::string& html) {
  const std::size_t start = html.find("<table id=\"sites\">");
  const std::size_t end = html.find("</table>", start);
  if (start == std::string::npos || end == std::string::npos) return -1;
  int rows = -1;
  for (std::size_t at = html.find("<tr>", start); at < end; at = html.find("<tr>", at + 1))
    ++rows;
  return rows;
}

void SaveAs(FakeDialogs& dialogs, const TempFolder& folder, const char* name) {
  dialogs.saveFiles.push_back(QString::fromStdString(folder.PathOf(name)));
}

TEST_F(MainWindowTest, ALoggedWalkSavesItsReportBesideTheLists) {
  Create();
  Child<QCheckBox>("reportBox")->setChecked(true);
  browser_.AddPage("http://a.example/", PageWithText("13912345678"));
  browser_.AddPage("http://a.example/b", PageWithText("15800001111"));
  browser_.AddPage("http://c.example/", PageWithText("none here"));
  StartWalk({"http://a.example/", "http://a.example/b", "http://c.example/"});
  clock_.Advance(8000);
  clock_.Advance(8000);
  clock_.Advance(8000);
  SaveAs(*dialogs_, state_, "results.txt");
  Click("saveResultsButton");
  ASSERT_TRUE(state_.Exists("results_report.html"));
  EXPECT_EQ(SiteRows(state_.Read("results_report.html")), 2);
  EXPECT_TRUE(Window().PanelText(8).contains(QStringLiteral("results_report.html")));
  EXPECT_TRUE(dialogs_->Shown(QStringLiteral("error")).empty());

  // A new walk replaces the log: its report knows only the new walk's site.
  StartWalk({"http://c.example/"});
  clock_.Advance(8000);
  SaveAs(*dialogs_, state_, "again");
  Click("saveResultsButton");
  EXPECT_EQ(SiteRows(state_.Read("again_report.html")), 1);

  // A report that cannot be written is reported; the lists are saved all the same.
  std::filesystem::create_directory(state_.PathOf("blocked_report.html"));
  SaveAs(*dialogs_, state_, "blocked.txt");
  Click("saveResultsButton");
  EXPECT_TRUE(state_.Exists("blocked_links.txt"));
  EXPECT_EQ(dialogs_->Shown(QStringLiteral("error")).size(), 1u);
}

TEST_F(MainWindowTest, ALogThatCouldNotBeWrittenGivesNoReport) {
  std::filesystem::create_directory(state_.PathOf(kWalkPageLogFileName));
  Create();
  Child<QCheckBox>("reportBox")->setChecked(true);
  browser_.AddPage("http://a.example/", PageWithText("13912345678"));
  StartWalk({"http://a.example/"});
  clock_.Advance(8000);
  EXPECT_EQ(dialogs_->Shown(QStringLiteral("error")).size(), 1u);
  SaveAs(*dialogs_, state_, "results.txt");
  Click("saveResultsButton");
  EXPECT_TRUE(state_.Exists("results.txt"));
  EXPECT_FALSE(state_.Exists("results_report.html"));
  EXPECT_EQ(dialogs_->Shown(QStringLiteral("error")).size(), 2u) << "the save is no success";
}

TEST_F(MainWindowTest, WithoutTheOptionAWalkLeavesNoLogAndNoReport) {
  Create();
  browser_.AddPage("http://a.example/", PageWithText("13912345678"));
  StartWalk({"http://a.example/"});
  clock_.Advance(8000);
  SaveAs(*dialogs_, state_, "results.txt");
  Click("saveResultsButton");
  EXPECT_FALSE(state_.Exists(kWalkPageLogFileName));
  EXPECT_FALSE(state_.Exists("results_report.html"));

  // Ticked only after that walk: there is no logged walk to report on, and the panel says so.
  Child<QCheckBox>("reportBox")->setChecked(true);
  SaveAs(*dialogs_, state_, "results.txt");
  Click("saveResultsButton");
  EXPECT_FALSE(state_.Exists("results_report.html"));
  EXPECT_TRUE(state_.Exists("results_links.txt"));
  EXPECT_TRUE(Window().PanelText(8).contains(QStringLiteral("未保存报告")));
  EXPECT_TRUE(dialogs_->Shown(QStringLiteral("error")).empty());
}

}  // namespace
}  // namespace tolvarine::testing
