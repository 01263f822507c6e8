// Start-up reading and shutdown writing of the state files, and the "保存" command's files.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTreeView>
#include <cstdlib>

#include "base/text_writer.h"
#include "engine/crawl_texts.h"
#include "main_form_fixture.h"

namespace tolvarine::testing {
namespace {

std::string ProgressFile(const std::string& listName, const char* position, const char* speed) {
  return JoinCrlf({listName, position, "120", "qcyes", "webno", "mobyes", "sxno", "bzno",
                   "saveyes", speed});
}

TEST_F(MainFormTest, StartUpReadsTheListFilesThenTheProgressFile) {
  state_.Write(texts::kPrefixListFileName, "139\r\n186\r\n");
  state_.Write(texts::kMustContainFileName, "news\n");
  state_.Write(texts::kProgressFileName, ProgressFile("/data/list.txt", "37", "90"));
  Create();
  EXPECT_EQ(Child<QPlainTextEdit>("Memo3")->toPlainText(), QStringLiteral("139\n186\n"));
  EXPECT_EQ(Child<QPlainTextEdit>("Memo1")->toPlainText(), QStringLiteral("news\n"));
  EXPECT_EQ(Child<QPlainTextEdit>("Memo2")->toPlainText(), QStringLiteral("$\n#"))
      << "a missing list file keeps the defaults";
  EXPECT_EQ(Child<QLineEdit>("Edit1")->text(), QStringLiteral("/data/list.txt"));
  EXPECT_TRUE(Child<QCheckBox>("CheckBox1")->isChecked());
  EXPECT_FALSE(Child<QCheckBox>("CheckBox3")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>("CheckBox4")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>("CheckBox2")->isChecked());
  EXPECT_EQ(Child<QSpinBox>("SpinEdit1")->value(), 60);
  EXPECT_TRUE(dialogs_->shown.empty());
}

TEST_F(MainFormTest, ABadProgressLineIsReportedAndTheWindowStillOpens) {
  state_.Write(texts::kProgressFileName, ProgressFile("/data/list.txt", "7q", "8"));
  Create();
  const auto errors = dialogs_->Shown(QStringLiteral("error"));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].caption, ApplicationTitle());
  EXPECT_EQ(errors[0].text, QStringLiteral("'7q' is not a valid integer value."));
  EXPECT_EQ(Child<QLineEdit>("Edit1")->text(), QStringLiteral("/data/list.txt"))
      << "what came before the bad line stays applied";
}

TEST_F(MainFormTest, ShutdownWritesTheThreeListFiles) {
  Create();
  Child<QPlainTextEdit>("Memo3")->setPlainText(QStringLiteral("13\n147\n"));
  form_.reset();
  EXPECT_EQ(state_.Read(texts::kPrefixListFileName), "13\r\n147\r\n");
  EXPECT_EQ(state_.Read(texts::kMustContainFileName), "http://\r\n.");
  EXPECT_EQ(state_.Read(texts::kMustNotContainFileName), "$\r\n#");
  EXPECT_FALSE(state_.Exists(texts::kProgressFileName));
}

TEST_F(MainFormTest, TheStateFolderComesFromTheEnvironmentByDefault) {
  state_.Write(texts::kMustNotContainFileName, "ads\r\n");
  setenv("TOLVARINE_STATE_DIR", state_.Path().c_str(), 1);
  {
    MainFormParts parts;
    auto dialogs = std::make_unique<FakeDialogs>();
    parts.dialogs = std::move(dialogs);
    parts.clock = &clock_;
    parts.browser = &browser_;
    parts.browserPane = new QWidget;
    parts.trayService = std::make_unique<RecordingTrayService>(tray_);
    TForm1 form(std::move(parts));
    EXPECT_EQ(form.findChild<QPlainTextEdit*>(QStringLiteral("Memo2"))->toPlainText(),
              QStringLiteral("ads\n"));
  }
  unsetenv("TOLVARINE_STATE_DIR");
  EXPECT_EQ(state_.Read(texts::kMustNotContainFileName), "ads\r\n");
}

TEST_F(MainFormTest, SaveWritesPhonesAndLinksBesideEachOther) {
  Create();
  Form().Crawl().Phones().Append("13912345678");
  Form().Crawl().Phones().Append("18600001111");
  Form().Crawl().Links().Append(Gbk("http://a.example/新闻"));
  dialogs_->saveFiles.push_back(QString::fromStdString(state_.PathOf("results.txt")));
  Click("SpeedButton5");
  const auto asked = dialogs_->Shown(QStringLiteral("save"));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].request.title, QStringLiteral("搜索结果保存为"));
  EXPECT_EQ(asked[0].request.defaultSuffix, QStringLiteral("txt"));
  EXPECT_TRUE(asked[0].request.confirmOverwrite);
  EXPECT_EQ(state_.Read("results.txt"), "13912345678\r\n18600001111\r\n");
  EXPECT_EQ(state_.Read("results_links.txt"), Gbk("http://a.example/新闻\r\n"));
  EXPECT_TRUE(Form().PanelText(8).contains(QStringLiteral("results.txt")));
  EXPECT_TRUE(Form().PanelText(8).contains(QStringLiteral("results_links.txt")));
}

TEST_F(MainFormTest, SaveWithEmptyListsReplacesBothFiles) {
  Create();
  // Files of an earlier save under the same name: neither may survive an empty save.
  state_.Write("empty.txt", "13900000000\r\n");
  state_.Write("empty_links.txt", "http://old.example/\r\n");
  dialogs_->saveFiles.push_back(QString::fromStdString(state_.PathOf("empty.txt")));
  Click("SpeedButton5");
  EXPECT_EQ(state_.Read("empty.txt"), "");
  EXPECT_EQ(state_.Read("empty_links.txt"), "");

  // Cancelling writes nothing; a file that cannot be written is reported.
  Click("SpeedButton5");
  dialogs_->saveFiles.push_back(QString::fromStdString(state_.PathOf("missing/x.txt")));
  Click("SpeedButton5");
  const auto errors = dialogs_->Shown(QStringLiteral("error"));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_FALSE(errors[0].text.isEmpty());
}

}  // namespace
}  // namespace tolvarine::testing
