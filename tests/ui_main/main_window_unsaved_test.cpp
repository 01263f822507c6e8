// Rows not yet saved are never dropped silently: by 继续, 搜索 or 退出.
#include <QCheckBox>

#include "engine/crawl_texts.h"
#include "main_window_fixture.h"

namespace tolvarine::testing {
namespace {

class UnsavedRowsTest : public MainWindowTest {
 protected:
  // A window whose lists hold rows of an earlier walk, with a list of one page chosen.
  void CreateWithRows() {
    Create();
    Window().Crawl().Phones().Append("13912345678");
    Window().Crawl().Links().Append("http://x.example/");
    ChooseList(WriteList({"http://a.example/"}));
    Child<QCheckBox>("searchPhonesBox")->setChecked(true);
  }
  int Rows() { return Window().Crawl().Phones().Count() + Window().Crawl().Links().Count(); }
  std::size_t Asked() { return dialogs_->Shown(QStringLiteral("ask-save")).size(); }
};

TEST_F(UnsavedRowsTest, ContinueKeepsTheListsUntilALineIsConfirmed) {
  CreateWithRows();
  Click("writeProgressButton");
  Window().Crawl().Phones().Append("18600001111");
  Click("stopButton");
  Click("continueButton");  // the prompt cancelled
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(Window().PanelText(8), QStringLiteral("取消继续搜索..."));
  EXPECT_FALSE(Window().Crawl().Running());

  dialogs_->inputs.push_back(QStringLiteral("two"));
  Click("continueButton");
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(dialogs_->Shown(QStringLiteral("error")).size(), 1u);
  EXPECT_FALSE(Window().Crawl().Running());
  EXPECT_EQ(Asked(), 0u) << "asked only once a line is confirmed";
  EXPECT_TRUE(browser_.Navigations().empty());

  // A confirmed line asks; 取消 keeps the rows and goes back to idle.
  dialogs_->inputs.push_back(QStringLiteral("0"));
  Click("continueButton");
  EXPECT_EQ(Asked(), 1u);
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(Window().PanelText(8), QStringLiteral("取消继续搜索..."));
  EXPECT_TRUE(Child<QWidget>("startButton")->isEnabled());
  EXPECT_TRUE(browser_.Navigations().empty());

  // 不保存 drops them and the walk goes on.
  dialogs_->inputs.push_back(QStringLiteral("0"));
  dialogs_->saveChoices.push_back(SaveChoice::DontSave);
  Click("continueButton");
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(Window().Crawl().Running());
  EXPECT_EQ(browser_.Navigations().size(), 1u);
}

TEST_F(UnsavedRowsTest, SearchAsksAndSavesOrStartsAsAnswered) {
  CreateWithRows();
  Click("startButton");  // 取消
  const auto asked = dialogs_->Shown(QStringLiteral("ask-save"));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].text, QStringLiteral("结果还没有保存，要先保存吗？"));
  EXPECT_EQ(Rows(), 2);
  EXPECT_FALSE(Window().Crawl().Running());

  // 保存 with the save dialog cancelled: nothing dropped, nothing started.
  dialogs_->saveChoices.push_back(SaveChoice::Save);
  Click("startButton");
  EXPECT_EQ(Rows(), 2);
  EXPECT_FALSE(Window().Crawl().Running());
  EXPECT_TRUE(browser_.Navigations().empty());

  dialogs_->saveChoices.push_back(SaveChoice::Save);
  dialogs_->saveFiles.push_back(QString::fromStdString(state_.PathOf("results.txt")));
  Click("startButton");
  EXPECT_EQ(state_.Read("results.txt"), "13912345678\r\n");
  EXPECT_EQ(state_.Read("results_links.txt"), "http://x.example/\r\n");
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(Window().Crawl().Running());
  EXPECT_EQ(browser_.Navigations().size(), 1u);
}

TEST_F(UnsavedRowsTest, NoQuestionOnceSavedAndDontSaveStarts) {
  CreateWithRows();
  dialogs_->saveFiles.push_back(QString::fromStdString(state_.PathOf("results.txt")));
  Click("saveResultsButton");
  Click("startButton");
  EXPECT_EQ(Asked(), 0u);
  EXPECT_TRUE(Window().Crawl().Running());

  // A row found after the save is unsaved; 不保存 starts anew.
  Click("stopButton");
  clock_.Advance(8000);
  Window().Crawl().Phones().Append("15800001111");
  dialogs_->saveChoices.push_back(SaveChoice::DontSave);
  Click("startButton");
  EXPECT_EQ(Asked(), 1u);
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(Window().Crawl().Running());
}

TEST_F(UnsavedRowsTest, ExitAsksAfterTheConfirmation) {
  CreateWithRows();
  Window().show();
  bool closed = false;
  QObject::connect(&Window(), &MainWindow::closeAccepted, [&] { closed = true; });
  dialogs_->confirms.push_back(true);
  Click("exitButton");  // 取消
  EXPECT_EQ(Asked(), 1u);
  EXPECT_FALSE(closed);
  dialogs_->confirms.push_back(true);
  dialogs_->saveChoices.push_back(SaveChoice::DontSave);
  Click("exitButton");
  EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace tolvarine::testing
