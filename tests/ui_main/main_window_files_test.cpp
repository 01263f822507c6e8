// Start-up reading and shutdown writing of the state files, and the "保存" command's files.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTreeView>
#include <cstdint>
#include <cstdlib>

#include "base/record_text.h"
#include "base/text_writer.h"
#include "engine/crawl_texts.h"
#include "main_window_fixture.h"

namespace tolvarine::testing {
namespace {

std::string ProgressFile(const std::string& listName, const char* position, const char* speed) {
  return JoinCrlf({listName, position, "120", "qcyes", "webno", "mobyes", "sxno", "bzno",
                   "saveyes", speed});
}

TEST_F(MainWindowTest, StartUpReadsTheListFilesThenTheProgressFile) {
  state_.Write(texts::kPrefixListFileName, "139\r\n186\r\n");
  state_.Write(texts::kMustContainFileName, "news\n");
  state_.Write(texts::kProgressFileName, ProgressFile("/data/list.txt", "37", "90"));
  Create();
  EXPECT_EQ(Child<QPlainTextEdit>("prefixField")->toPlainText(), QStringLiteral("139\n186\n"));
  EXPECT_EQ(Child<QPlainTextEdit>("mustContainField")->toPlainText(), QStringLiteral("news\n"));
  EXPECT_EQ(Child<QPlainTextEdit>("mustNotContainField")->toPlainText(), QStringLiteral("$\n#"))
      << "a missing list file keeps the defaults";
  EXPECT_EQ(Child<QLineEdit>("listFileField")->text(), QStringLiteral("/data/list.txt"));
  EXPECT_TRUE(Child<QCheckBox>("dedupBox")->isChecked());
  EXPECT_FALSE(Child<QCheckBox>("searchLinksBox")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>("searchPhonesBox")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>("autosaveBox")->isChecked());
  EXPECT_EQ(Child<QSpinBox>("speedField")->value(), 60);
  EXPECT_TRUE(dialogs_->shown.empty());
}

TEST_F(MainWindowTest, ABadProgressLineIsReportedAndTheWindowStillOpens) {
  state_.Write(texts::kProgressFileName, ProgressFile("/data/list.txt", "7q", "8"));
  Create();
  const auto errors = dialogs_->Shown(QStringLiteral("error"));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].caption, ApplicationTitle());
  EXPECT_EQ(errors[0].text, QStringLiteral("'7q' is not a valid integer value."));
  EXPECT_EQ(Child<QLineEdit>("listFileField")->text(), QStringLiteral("/data/list.txt"))
      << "what came before the bad line stays applied";
}

TEST_F(MainWindowTest, ShutdownWritesTheThreeListFiles) {
  Create();
  Child<QPlainTextEdit>("prefixField")->setPlainText(QStringLiteral("13\n147\n"));
  window_.reset();
  EXPECT_EQ(state_.Read(texts::kPrefixListFileName), "13\r\n147\r\n");
  EXPECT_EQ(state_.Read(texts::kMustContainFileName), "http://\r\n.");
  EXPECT_EQ(state_.Read(texts::kMustNotContainFileName), "$\r\n#");
  EXPECT_FALSE(state_.Exists(texts::kProgressFileName));
}

TEST_F(MainWindowTest, TheStateFolderComesFromTheEnvironmentByDefault) {
  state_.Write(texts::kMustNotContainFileName, "ads\r\n");
  setenv("TOLVARINE_STATE_DIR", state_.Path().c_str(), 1);
  {
    MainWindowParts parts;
    auto dialogs = std::make_unique<FakeDialogs>();
    parts.dialogs = std::move(dialogs);
    parts.clock = &clock_;
    parts.browser = &browser_;
    parts.browserPane = new QWidget;
    parts.trayService = std::make_unique<RecordingTrayService>(tray_);
    MainWindow form(std::move(parts));
    EXPECT_EQ(form.findChild<QPlainTextEdit*>(QStringLiteral("mustNotContainField"))->toPlainText(),
              QStringLiteral("ads\n"));
  }
  unsetenv("TOLVARINE_STATE_DIR");
  EXPECT_EQ(state_.Read(texts::kMustNotContainFileName), "ads\r\n");
}

TEST_F(MainWindowTest, SaveWritesPhonesAndLinksBesideEachOther) {
  Create();
  Window().Crawl().Phones().Append("13912345678");
  Window().Crawl().Phones().Append("18600001111");
  Window().Crawl().Links().Append(Gbk("http://a.example/新闻"));
  dialogs_->saveFiles.push_back(QString::fromStdString(state_.PathOf("results.txt")));
  Click("saveResultsButton");
  const auto asked = dialogs_->Shown(QStringLiteral("save"));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].request.title, QStringLiteral("搜索结果保存为"));
  EXPECT_EQ(asked[0].request.defaultSuffix, QStringLiteral("txt"));
  EXPECT_TRUE(asked[0].request.confirmOverwrite);
  EXPECT_EQ(state_.Read("results.txt"), "13912345678\r\n18600001111\r\n");
  EXPECT_EQ(state_.Read("results_links.txt"), Gbk("http://a.example/新闻\r\n"));
  EXPECT_TRUE(Window().PanelText(8).contains(QStringLiteral("results.txt")));
  EXPECT_TRUE(Window().PanelText(8).contains(QStringLiteral("results_links.txt")));
}

TEST_F(MainWindowTest, SaveToACsvNameWritesEachRowWithItsPageAndTime) {
  Create();
  ResultList& phones = Window().Crawl().Phones();
  ResultList& links = Window().Crawl().Links();
  const std::string page = Gbk("http://a.example/?q=\"新\",y");
  const std::int64_t time = 1700000000;
  phones.BeginSource(page, time);
  links.BeginSource(page, time);
  phones.Append("13912345678");
  links.Append("http://a.example/b");
  phones.EndSource();
  phones.Append("18600001111");  // found outside a page
  dialogs_->saveFiles.push_back(QString::fromStdString(state_.PathOf("results.CSV")));
  Click("saveResultsButton");
  const std::string when = LocalTimeText(time);
  EXPECT_EQ(state_.Read("results.CSV"),
            "value,page,time\r\n13912345678," + Gbk("\"http://a.example/?q=\"\"新\"\",y\",") +
                when + "\r\n18600001111,,\r\n");
  EXPECT_EQ(state_.Read("results_links.CSV"), "value,page,time\r\nhttp://a.example/b," +
                                                  Gbk("\"http://a.example/?q=\"\"新\"\",y\",") +
                                                  when + "\r\n");
  // Any other name keeps the plain lists.
  dialogs_->saveFiles.push_back(QString::fromStdString(state_.PathOf("results.csv.txt")));
  Click("saveResultsButton");
  EXPECT_EQ(state_.Read("results.csv.txt"), "13912345678\r\n18600001111\r\n");
}

TEST_F(MainWindowTest, SaveWithEmptyListsReplacesBothFiles) {
  Create();
  // Files of an earlier save under the same name: neither may survive an empty save.
  state_.Write("empty.txt", "13900000000\r\n");
  state_.Write("empty_links.txt", "http://old.example/\r\n");
  dialogs_->saveFiles.push_back(QString::fromStdString(state_.PathOf("empty.txt")));
  Click("saveResultsButton");
  EXPECT_EQ(state_.Read("empty.txt"), "");
  EXPECT_EQ(state_.Read("empty_links.txt"), "");

  // Cancelling writes nothing; a file that cannot be written is reported.
  Click("saveResultsButton");
  dialogs_->saveFiles.push_back(QString::fromStdString(state_.PathOf("missing/x.txt")));
  Click("saveResultsButton");
  const auto errors = dialogs_->Shown(QStringLiteral("error"));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_FALSE(errors[0].text.isEmpty());
}

}  // namespace
}  // namespace tolvarine::testing
