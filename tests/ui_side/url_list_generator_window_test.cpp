// The URL list generator window: what a user sees, and the files its two commands write.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <utility>

#include "tests/support/qt/fake_dialogs.h"
#include "tests/support/temp_folder.h"
#include "ui/side/url_list_generator_window.h"

namespace tolvarine {
namespace {

using testing::FakeDialogs;
using testing::ShownDialog;

class UrlListGeneratorWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto dialogs = std::make_unique<FakeDialogs>();
    fake_ = dialogs.get();
    form_ = std::make_unique<UrlListGeneratorWindow>(nullptr, std::move(dialogs));
  }

  QLineEdit* Field(const char* name) const {
    auto* e = form_->findChild<QLineEdit*>(QLatin1String(name));
    EXPECT_NE(e, nullptr) << name;
    return e;
  }
  QLabel* Label(const char* name) const {
    auto* l = form_->findChild<QLabel*>(QLatin1String(name));
    EXPECT_NE(l, nullptr) << name;
    return l;
  }
  QString Path(const char* name) const { return QString::fromStdString(dir_.PathOf(name)); }
  static QByteArray Contents(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
  }
  void Answer(const QString& path) { fake_->saveFiles.push_back(path); }
  void SetOneCounter(const QString& prefix, const QString& start, const QString& end,
                     const QString& suffix, const QString& step) {
    Field("prefixField")->setText(prefix);
    Field("startField")->setText(start);
    Field("endField")->setText(end);
    Field("suffixField")->setText(suffix);
    Field("stepField")->setText(step);
  }
  void SetTwoCounters(const QString& front, const QString& start, const QString& end,
                      const QString& middle, const QString& start2, const QString& back) {
    Field("frontField")->setText(front);
    Field("frontStartField")->setText(start);
    Field("frontEndField")->setText(end);
    Field("middleField")->setText(middle);
    Field("middleStartField")->setText(start2);
    Field("backField")->setText(back);
  }

  testing::TempFolder dir_;
  FakeDialogs* fake_ = nullptr;
  std::unique_ptr<UrlListGeneratorWindow> form_;
};

TEST_F(UrlListGeneratorWindowTest, ShowsItsCaptionsAndInitialTexts) {
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("生成URL页面地址列表"));
  const Qt::WindowFlags flags = form_->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(form_->windowIcon().isNull());

  const std::pair<const char*, const char*> initial[] = {
      {"prefixField", "http://"}, {"startField", "0"},       {"endField", ""},
      {"suffixField", ""},        {"frontField", "http://"}, {"frontStartField", "0"},
      {"frontEndField", ""},      {"backField", ""},         {"middleField", ""},
      {"middleStartField", "0"},  {"middleEndField", ""},    {"stepField", "1"}};
  for (const auto& [name, text] : initial) EXPECT_EQ(Field(name)->text(), text) << name;

  EXPECT_EQ(Label("oneCounterTotalCaption")->text(), QStringLiteral("页面总数"));
  EXPECT_EQ(Label("oneCounterCount")->text(), QString());
  EXPECT_EQ(Label("twoCounterCount")->text(), QStringLiteral("页面总数"));
  EXPECT_EQ(Label("middleCaption")->text(), QStringLiteral("URL网址中部"));

  auto* one = form_->findChild<QToolButton*>(QStringLiteral("oneCounterButton"));
  auto* two = form_->findChild<QToolButton*>(QStringLiteral("twoCounterButton"));
  ASSERT_TRUE(one && two);
  EXPECT_EQ(one->text(), QStringLiteral("生成URL页面地址列表[一组计数]"));
  EXPECT_EQ(two->text(), QStringLiteral("生成URL页面地址列表[两组计数]"));
  EXPECT_EQ(one->geometry(), QRect(184, 8, 209, 25));
  EXPECT_EQ(two->geometry(), QRect(184, 120, 209, 25));
  EXPECT_TRUE(one->autoRaise());
  // The glyph has a drawn disabled state of its own.
  EXPECT_FALSE(one->icon().pixmap(16, QIcon::Disabled).isNull());
}

TEST_F(UrlListGeneratorWindowTest, TabVisitsTheFieldsInTheirOrder) {
  // The back part comes before the middle part; the step field comes last.
  const char* const expected[] = {"prefixField",      "startField",     "endField",
                                  "suffixField",      "frontField",     "frontStartField",
                                  "frontEndField",    "backField",      "middleField",
                                  "middleStartField", "middleEndField", "stepField"};
  QWidget* w = Field("prefixField");
  for (const char* name : expected) {
    EXPECT_EQ(w, Field(name)) << "expected " << name << " got " << w->objectName().toStdString();
    do {
      w = w->nextInFocusChain();
    } while (!(w->focusPolicy() & Qt::TabFocus));
  }
  EXPECT_EQ(w, Field("prefixField"));  // and round again
}

TEST_F(UrlListGeneratorWindowTest, SaveDialogIsSetUpAndOpensWithTheNameChosenLast) {
  SetOneCounter("a", "1", "1", "", "1");
  const QString first = Path("first.txt");
  Answer(first);
  form_->GenerateOneCounterList();
  fake_->saveFiles.push_back(std::nullopt);  // cancelled: nothing happens
  form_->GenerateTwoCounterList();

  const std::vector<ShownDialog> saves = fake_->Shown(QStringLiteral("save"));
  ASSERT_EQ(saves.size(), 2u);
  const FileDialogRequest& setup = saves[0].request;
  EXPECT_EQ(setup.title, QStringLiteral("BBS页面地址列表"));
  EXPECT_EQ(setup.filters,
            QStringList({QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*.*)")}));
  EXPECT_EQ(setup.defaultSuffix, QStringLiteral("txt"));
  EXPECT_EQ(setup.selectedFile, QString());
  EXPECT_TRUE(setup.confirmOverwrite);
  EXPECT_EQ(saves[1].request.selectedFile, first);
  EXPECT_TRUE(fake_->Shown(QStringLiteral("error")).empty());
  EXPECT_EQ(Label("twoCounterCount")->text(), QStringLiteral("页面总数"));
}

TEST_F(UrlListGeneratorWindowTest, OneCounterWritesStepTimesCounterWithCrLf) {
  SetOneCounter("list_", "1", "3", ".htm", "20");
  Answer(Path("one.txt"));
  form_->GenerateOneCounterList();
  EXPECT_EQ(Contents(Path("one.txt")), QByteArray("list_20.htm\r\nlist_40.htm\r\nlist_60.htm\r\n"));
  EXPECT_EQ(Label("oneCounterCount")->text(), QStringLiteral("3"));
  EXPECT_TRUE(fake_->Shown(QStringLiteral("error")).empty());

  // Negative numbers and wrapping products; the count is of lines, not counter values.
  SetOneCounter("p", "65535", "65537", "", "65536");
  Answer(Path("wrap.txt"));
  form_->GenerateOneCounterList();
  EXPECT_EQ(Contents(Path("wrap.txt")), QByteArray("p-65536\r\np0\r\np65536\r\n"));
  EXPECT_EQ(Label("oneCounterCount")->text(), QStringLiteral("3"));

  // End below start: an empty file, no message, the count stays.
  SetOneCounter("u", "5", "4", "", "1");
  Answer(Path("empty.txt"));
  form_->GenerateOneCounterList();
  EXPECT_EQ(Contents(Path("empty.txt")), QByteArray());
  EXPECT_EQ(Label("oneCounterCount")->text(), QStringLiteral("3"));
  EXPECT_TRUE(fake_->Shown(QStringLiteral("error")).empty());
}

TEST_F(UrlListGeneratorWindowTest, FieldTextsReachTheFileAsGbkBytes) {
  SetOneCounter(QStringLiteral("http://bbs/页"), "7", "7", QStringLiteral(" 尾"), "1");
  Answer(Path("gbk.txt"));
  form_->GenerateOneCounterList();
  EXPECT_EQ(Contents(Path("gbk.txt")), QByteArray("http://bbs/\xD2\xB3" "7 \xCE\xB2\r\n"));
  EXPECT_EQ(Label("oneCounterCount")->text(), QStringLiteral("1"));
}

TEST_F(UrlListGeneratorWindowTest, InitialTextsStopAtTheEmptyEndFieldAndKeepTheFile) {
  const QString path = Path("initial.txt");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old\r\n");
  }
  Answer(path);
  form_->GenerateOneCounterList();
  ASSERT_EQ(fake_->Shown(QStringLiteral("error")).size(), 1u);
  EXPECT_EQ(fake_->Shown(QStringLiteral("error"))[0].text, QStringLiteral("'' is not a valid integer value."));
  EXPECT_EQ(Contents(path), QByteArray("old\r\n"));
  EXPECT_EQ(Label("oneCounterCount")->text(), QString());

  Answer(path);
  form_->GenerateTwoCounterList();
  ASSERT_EQ(fake_->Shown(QStringLiteral("error")).size(), 2u);
  EXPECT_EQ(fake_->Shown(QStringLiteral("error"))[1].text, QStringLiteral("'' is not a valid integer value."));
  EXPECT_EQ(Contents(path), QByteArray("old\r\n"));
  EXPECT_EQ(Label("twoCounterCount")->text(), QStringLiteral("页面总数"));
}

TEST_F(UrlListGeneratorWindowTest, TwoCountersAdvanceTogetherAndReplaceTheCaptionByTheCount) {
  SetTwoCounters("f", "1", "3", "m", "10", "b");
  Field("middleEndField")->setText("not a number");  // neither read by this command
  Field("stepField")->setText("also not");
  Answer(Path("two.txt"));
  form_->GenerateTwoCounterList();
  EXPECT_TRUE(fake_->Shown(QStringLiteral("error")).empty());
  EXPECT_EQ(Contents(Path("two.txt")), QByteArray("f1m10b\r\nf2m11b\r\nf3m12b\r\n"));
  EXPECT_EQ(Label("twoCounterCount")->text(), QStringLiteral("3"));
  EXPECT_EQ(Label("oneCounterCount")->text(), QString());

  // A later run that writes nothing leaves the count, never the old caption.
  Field("frontEndField")->setText("0");
  Answer(Path("none.txt"));
  form_->GenerateTwoCounterList();
  EXPECT_EQ(Label("twoCounterCount")->text(), QStringLiteral("3"));
}

TEST_F(UrlListGeneratorWindowTest, BadCounter2StartLeavesAnExistingFileAlone) {
  const QString path = Path("keep.txt");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old\r\n");
  }
  SetTwoCounters("f", "1", "3", "m", "x1g", "b");
  Answer(path);
  form_->GenerateTwoCounterList();
  ASSERT_EQ(fake_->Shown(QStringLiteral("error")).size(), 1u);
  EXPECT_EQ(fake_->Shown(QStringLiteral("error"))[0].text, QStringLiteral("'x1g' is not a valid integer value."));
  EXPECT_EQ(Contents(path), QByteArray("old\r\n"));
}

TEST_F(UrlListGeneratorWindowTest, FileThatCannotBeCreatedIsReported) {
  SetOneCounter("u", "1", "2", "", "1");
  Answer(Path("no/such/folder/out.txt"));
  form_->GenerateOneCounterList();
  ASSERT_EQ(fake_->Shown(QStringLiteral("error")).size(), 1u);
  EXPECT_EQ(fake_->Shown(QStringLiteral("error"))[0].text, QStringLiteral("File not found."));
  EXPECT_EQ(Label("oneCounterCount")->text(), QString());
}

TEST_F(UrlListGeneratorWindowTest, MillionLinesEndWithTheFinalCount) {
  form_->show();
  SetOneCounter("http://h/p", "1", "1000000", ".html", "1");
  Answer(Path("big.txt"));
  form_->GenerateOneCounterList();
  EXPECT_TRUE(fake_->Shown(QStringLiteral("error")).empty());
  EXPECT_EQ(Label("oneCounterCount")->text(), QStringLiteral("1000000"));
  const QByteArray data = Contents(Path("big.txt"));
  EXPECT_EQ(data.count('\n'), 1000000);
  EXPECT_TRUE(data.endsWith("http://h/p1000000.html\r\n"));
  form_->hide();
}

TEST_F(UrlListGeneratorWindowTest, EscapeDoesNotCloseTheWindow) {
  form_->show();
  QTest::keyClick(form_.get(), Qt::Key_Escape);
  EXPECT_TRUE(form_->isVisible());
  form_->hide();
}

}  // namespace
}  // namespace tolvarine
