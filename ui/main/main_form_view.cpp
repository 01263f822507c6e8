// TForm1 as the crawl's view: options, speed, rule fields, panels, command states and
// boxes, read from and written to the widgets at the moment the crawl asks.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

#include "base/file_names.h"
#include "ui/main/main_form.h"
#include "ui/qt_gbk.h"
#include "ui/main/speed_spin_box.h"

namespace tolvarine {
namespace {

// The engine's line ends are CR LF; the text fields hold LF.
std::string WithCrlf(const QString& text) {
  QString copy = text;
  copy.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return ToGbk(copy);
}

QString WithLf(const std::string& gbk) {
  QString text = FromGbk(gbk);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

}  // namespace

QCheckBox* TForm1::OptionBox(CrawlOption option) const {
  switch (option) {
    case CrawlOption::Dedup: return CheckBox1;
    case CrawlOption::Autosave: return CheckBox2;
    case CrawlOption::SearchLinks: return CheckBox3;
    case CrawlOption::SearchPhones: return CheckBox4;
    case CrawlOption::LinkFilter: return CheckBox5;
    case CrawlOption::OnlySite: return CheckBox6;
  }
  return CheckBox1;
}

QPlainTextEdit* TForm1::RuleField(RuleList list) const {
  switch (list) {
    case RuleList::Prefixes: return Memo3;
    case RuleList::MustContain: return Memo1;
    case RuleList::MustNotContain: return Memo2;
  }
  return Memo3;
}

bool TForm1::Option(CrawlOption option) { return OptionBox(option)->isChecked(); }

void TForm1::SetOption(CrawlOption option, bool ticked) { OptionBox(option)->setChecked(ticked); }

std::string TForm1::SpeedText() {
  // The text as typed, also before the field has interpreted it.
  return ToGbk(SpinEdit1->text());
}

void TForm1::SetSpeed(int seconds) { SpinEdit1->setValue(seconds); }

void TForm1::SetListFileField(const std::string& name) { Edit1->setText(FromGbk(name)); }

std::string TForm1::ListFileField() { return ToGbk(Edit1->text()); }

std::string TForm1::RuleText(RuleList list) { return WithCrlf(RuleField(list)->toPlainText()); }

void TForm1::SetRuleText(RuleList list, const std::string& text) {
  RuleField(list)->setPlainText(WithLf(text));
}

void TForm1::SetPanel(int index, const std::string& text) {
  panels_.at(static_cast<size_t>(index))->setText(FromGbk(text));
}

void TForm1::SetCommandStates(const CommandStates& states) {
  SpeedButton1->setEnabled(states.chooseList);
  SpeedButton2->setEnabled(states.search);
  SpeedButton3->setEnabled(states.stop);
  SpeedButton4->setEnabled(states.resume);
}

void TForm1::ShowInformation(const std::string& text) {
  dialogs_->Information(this, FromGbk(text));
}

void TForm1::ShowPlainMessage(const std::string& text) {
  dialogs_->Plain(this, ApplicationTitle(), FromGbk(text));
}

void TForm1::ShowError(const std::string& message) { ShowErrorDialog(message); }

std::optional<std::string> TForm1::AskText(const std::string& caption, const std::string& prompt,
                                           const std::string& initial) {
  const std::optional<QString> answer =
      dialogs_->Input(this, FromGbk(caption), FromGbk(prompt), FromGbk(initial));
  if (!answer) return std::nullopt;
  return ToGbk(*answer);
}

std::optional<std::string> TForm1::ChooseListFile(const std::string& /*executableFolder*/) {
  FileDialogRequest request;
  request.title = QStringLiteral("选择网址列表文件");
  request.filters = TextFileFilters();
  request.defaultSuffix = QStringLiteral("txt");
  // The dialog opens in the folder that holds the program's state files.
  request.directory = QFile::decodeName(QByteArray::fromStdString(stateFolder_));
  const std::optional<QString> chosen = dialogs_->OpenFile(this, request);
  if (!chosen) return std::nullopt;
  return GbkFileName(QFile::encodeName(*chosen).toStdString());
}

void TForm1::Repaint() { repaint(); }

void TForm1::Pause(int milliseconds) { pause_(milliseconds); }

}  // namespace tolvarine
