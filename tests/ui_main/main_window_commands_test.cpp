// The tool bar commands on the real window, with the dialogs answered by the fake.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeView>

#include "base/line_split.h"
#include "engine/crawl_texts.h"
#include "main_window_fixture.h"

namespace tolvarine::testing {
namespace {

std::vector<bool> CommandStates(MainWindow& form) {
  std::vector<bool> states;
  for (const char* name : {"chooseListButton", "startButton", "stopButton", "continueButton"}) {
    states.push_back(form.findChild<QToolButton*>(QString::fromLatin1(name))->isEnabled());
  }
  return states;
}

const std::vector<bool> kRunning{false, false, true, false};
const std::vector<bool> kIdle{true, true, false, true};

TEST_F(MainWindowTest, ChooseListOpensTheListDialogAndCountsTheLines) {
  Create();
  const std::string path = state_.Write("MyList.TXT", "http://a.example/\r\nb\r\nc\r\n");
  ChooseList(path);
  const auto opened = dialogs_->Shown(QStringLiteral("open"));
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].request.title, QStringLiteral("选择网址列表文件"));
  EXPECT_EQ(opened[0].request.defaultSuffix, QStringLiteral("txt"));
  EXPECT_EQ(opened[0].request.directory, QString::fromStdString(state_.Path()));
  ASSERT_EQ(opened[0].request.filters.size(), 2);
  EXPECT_TRUE(opened[0].request.filters[0].startsWith(QStringLiteral("Text files(*.txt)")));
  EXPECT_TRUE(opened[0].request.filters[1].startsWith(QStringLiteral("All files(*.*)")));
  // The field shows the name with its letters lowered.
  EXPECT_EQ(Child<QLineEdit>("listFileField")->text(),
            QString::fromStdString(state_.Path() + "mylist.txt").toLower());
  EXPECT_EQ(Window().PanelText(1), QStringLiteral("3"));

  // Cancelling changes nothing.
  Click("chooseListButton");
  EXPECT_EQ(Window().PanelText(1), QStringLiteral("3"));
}

TEST_F(MainWindowTest, StartRefusesWithoutASearchItemOrAListFile) {
  Create();
  Click("startButton");
  ASSERT_EQ(dialogs_->Shown(QStringLiteral("plain")).size(), 1u);
  EXPECT_EQ(dialogs_->shown.back().caption, ApplicationTitle());
  EXPECT_EQ(dialogs_->shown.back().text, QStringLiteral("请至少选择一个搜索项目才可以开始"));

  Child<QCheckBox>("searchLinksBox")->setChecked(true);
  Click("startButton");
  ASSERT_EQ(dialogs_->Shown(QStringLiteral("information")).size(), 1u);
  EXPECT_EQ(dialogs_->shown.back().caption, QStringLiteral("信息"));
  EXPECT_EQ(dialogs_->shown.back().text, QStringLiteral("您还没有选择网址列表文件！"));
  EXPECT_EQ(CommandStates(Window()), (std::vector<bool>{true, true, true, true}));
}

TEST_F(MainWindowTest, WalkFillsThePhoneListAndFinishes) {
  Create();
  browser_.AddPage("http://a.example/", PageWithText("call 13912345678 now"));
  browser_.AddPage("http://b.example/", PageWithText("15800001111 or 18622223333"));
  StartWalk({"http://a.example/", "http://b.example/"});
  EXPECT_EQ(CommandStates(Window()), kRunning);
  EXPECT_EQ(Window().PanelText(8), QStringLiteral("正在搜索..."));
  EXPECT_EQ(Window().PanelText(3), QStringLiteral("1"));

  clock_.Advance(8000);
  EXPECT_EQ(Window().PanelText(3), QStringLiteral("2"));
  clock_.Advance(8000);
  auto* phones = Child<QTreeView>("phoneList");
  ASSERT_EQ(phones->model()->rowCount(), 3);
  EXPECT_EQ(phones->model()->index(0, 0).data().toString(), QStringLiteral("13912345678"));
  EXPECT_EQ(Window().PanelText(7), QStringLiteral("3"));
  EXPECT_EQ(Window().PanelText(8), QStringLiteral("搜索已经结束!"));
  EXPECT_EQ(CommandStates(Window()), kIdle);
  EXPECT_TRUE(state_.Exists(texts::kProgressFileName));
}

TEST_F(MainWindowTest, EditsMadeDuringAWalkCountFromTheNextTick) {
  Create();
  browser_.AddPage("http://a.example/", PageWithText("13912345678 14700001111"));
  browser_.AddPage("http://b.example/", PageWithText("14700002222"));
  StartWalk({"http://a.example/", "http://b.example/"});
  clock_.Advance(8000);
  Child<QPlainTextEdit>("prefixField")->setPlainText(QStringLiteral("147"));
  Child<QCheckBox>("dedupBox")->setChecked(true);
  clock_.Advance(8000);
  auto* phones = Child<QTreeView>("phoneList")->model();
  ASSERT_EQ(phones->rowCount(), 2);
  EXPECT_EQ(phones->index(1, 0).data().toString(), QStringLiteral("14700002222"));
  EXPECT_EQ(SplitLines(state_.Read(texts::kProgressFileName))[3], "qcyes");
}

TEST_F(MainWindowTest, StopAndProgressCommands) {
  Create();
  StartWalk({"http://a.example/", "http://b.example/", "http://c.example/"});
  Click("stopButton");
  EXPECT_EQ(CommandStates(Window()), kIdle);
  EXPECT_EQ(Window().PanelText(8), QStringLiteral("终止搜索..."));

  Click("writeProgressButton");
  EXPECT_TRUE(state_.Exists(texts::kProgressFileName));
  ASSERT_EQ(dialogs_->Shown(QStringLiteral("plain")).size(), 1u);
  EXPECT_EQ(dialogs_->shown.back().caption, ApplicationTitle());
  EXPECT_EQ(dialogs_->shown.back().text, QStringLiteral("已经保存当前网络搜索进程！"));
  const auto lines = SplitLines(state_.Read(texts::kProgressFileName));
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[1], "1");
  EXPECT_EQ(lines[2], "3");
}

TEST_F(MainWindowTest, ContinueAsksForTheLineAndCancelReturnsToIdle) {
  Create();
  ChooseList(WriteList({"http://a.example/", "http://b.example/", "http://c.example/"}));
  Click("writeProgressButton");
  Click("continueButton");
  const auto asked = dialogs_->Shown(QStringLiteral("input"));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].caption, QStringLiteral("继续搜索提示"));
  EXPECT_EQ(asked[0].text, QStringLiteral("请输入您上次搜索断点位置        "));
  EXPECT_EQ(pauses_, std::vector<int>{1000});
  EXPECT_EQ(Window().PanelText(8), QStringLiteral("取消继续搜索..."));
  EXPECT_EQ(CommandStates(Window()), kIdle);

  // Answering 1 resumes at the second line.
  Child<QCheckBox>("searchPhonesBox")->setChecked(true);
  Click("writeProgressButton");
  dialogs_->inputs.push_back(QStringLiteral("1"));
  Click("continueButton");
  EXPECT_EQ(Window().PanelText(8), QStringLiteral("继续搜索..."));
  ASSERT_FALSE(browser_.Navigations().empty());
  EXPECT_EQ(browser_.Navigations().back(), "http://b.example/");
  EXPECT_EQ(CommandStates(Window()), kRunning);
}

TEST_F(MainWindowTest, SideWindowsAreShownModally) {
  Create();
  QWidget about, generator;
  Window().SetSideWindows(&about, &generator);
  Click("createListButton");
  Click("aboutButton");
  for (QAction* item : Window().TrayMenu()->actions()) {
    if (item->text() == QStringLiteral("关于本软件(&A)")) item->trigger();
  }
  const auto modal = dialogs_->Shown(QStringLiteral("modal"));
  ASSERT_EQ(modal.size(), 3u);
  EXPECT_EQ(modal[0].window, &generator);
  EXPECT_EQ(modal[1].window, &about);
  EXPECT_EQ(modal[2].window, &about);
}

TEST_F(MainWindowTest, MergeUsesTheWindowsDialogsPanelAndCursor) {
  Create();
  const std::string a = state_.Write("a.txt", "b\r\nABC\r\n");
  const std::string b = state_.Write("b.txt", "abc\nc");
  const std::string out = state_.PathOf("out.txt");
  dialogs_->openFileLists.push_back(
      QStringList{QString::fromStdString(a), QString::fromStdString(b)});
  dialogs_->saveFiles.push_back(QString::fromStdString(out));
  Click("mergeButton");
  EXPECT_EQ(state_.Read("out.txt"), "ABC\r\nb\r\nc\r\n");
  EXPECT_EQ(Window().PanelText(6), QStringLiteral("文件合并去重整理完毕！"));
  // Panel 6 is too narrow for the text: it is readable in the tooltip and message panel.
  EXPECT_EQ(Child<QLabel>("statusPanel6")->toolTip(), QStringLiteral("文件合并去重整理完毕！"));
  EXPECT_EQ(Window().PanelText(8), QStringLiteral("文件合并去重整理完毕！"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  const auto open = dialogs_->Shown(QStringLiteral("open-many"));
  const auto save = dialogs_->Shown(QStringLiteral("save"));
  ASSERT_EQ(open.size(), 1u);
  ASSERT_EQ(save.size(), 1u);
  EXPECT_EQ(open[0].request.title, QStringLiteral("选择一个或多个待合并去重的文件"));
  EXPECT_EQ(save[0].request.title, QStringLiteral("合并去重复后的数据文件保存为"));
  EXPECT_TRUE(save[0].request.confirmOverwrite);
  EXPECT_EQ(save[0].request.defaultSuffix, QStringLiteral("txt"));

  // The next run opens with the names chosen last; a missing input is reported.
  dialogs_->openFileLists.push_back(QStringList{QString::fromStdString(state_.PathOf("no.txt"))});
  dialogs_->saveFiles.push_back(QString::fromStdString(out));
  Click("mergeButton");
  const auto again = dialogs_->Shown(QStringLiteral("open-many"));
  EXPECT_EQ(again.back().request.selectedFile, QString::fromStdString(a));
  EXPECT_EQ(dialogs_->Shown(QStringLiteral("save")).back().request.selectedFile,
            QString::fromStdString(out));
  ASSERT_EQ(dialogs_->Shown(QStringLiteral("error")).size(), 1u);
  EXPECT_TRUE(dialogs_->shown.back().text.startsWith(QStringLiteral("Cannot open file")));
  EXPECT_EQ(Window().PanelText(6), QStringLiteral("数据正处理中..."));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowTest, SpeedCountsAsTypedBeforeTheFieldLosesFocus) {
  Create();
  auto* spin = Child<QSpinBox>("speedField");
  auto* edit = spin->findChild<QLineEdit*>();
  ASSERT_NE(edit, nullptr);
  const struct {
    QString typed;
    std::string counted;
  } cases[] = {{QStringLiteral("0"), "1"},   {QStringLiteral("99"), "60"},
               {QStringLiteral("abc"), "1"}, {QStringLiteral("12"), "12"}};
  for (const auto& c : cases) {
    edit->selectAll();
    edit->insert(c.typed);
    EXPECT_EQ(spin->text(), c.typed) << "the field keeps the text as typed";
    Click("writeProgressButton");
    const auto lines = SplitLines(state_.Read(texts::kProgressFileName));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[9], c.counted) << c.typed.toStdString();
  }
  // Leaving the field brings the typed value into range.
  edit->selectAll();
  edit->insert(QStringLiteral("99"));
  QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(spin, &focusOut);
  EXPECT_EQ(spin->text(), QStringLiteral("60"));
  EXPECT_EQ(spin->value(), 60);
}

}  // namespace
}  // namespace tolvarine::testing
