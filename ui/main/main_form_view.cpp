// TForm1 as the crawl's view: the settings shown in the option row and the rule fields (and
// their edits pushed back), the counters and the message in the status bar panels, command
// states and boxes.
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

void TForm1::ShowSettings(const CrawlSettings& settings) {
  showingSettings_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{showingSettings_};
  for (CrawlOption option : {CrawlOption::Dedup, CrawlOption::Autosave, CrawlOption::SearchLinks,
                             CrawlOption::SearchPhones, CrawlOption::LinkFilter,
                             CrawlOption::OnlySite})
    OptionBox(option)->setChecked(settings.Option(option));
  // A field whose text already counts as the speed keeps it as typed.
  if (ReadSpeed(ToGbk(SpinEdit1->text())) != settings.speed || SpinEdit1->text().isEmpty())
    SpinEdit1->setValue(settings.speed);
  Edit1->setText(FromGbk(settings.listFile));
  for (RuleList list : {RuleList::Prefixes, RuleList::MustContain, RuleList::MustNotContain}) {
    const QString text = WithLf(settings.Rules(list));
    // Setting the same text again would lose the cursor and the undo history.
    if (RuleField(list)->toPlainText() != text) RuleField(list)->setPlainText(text);
  }
}

void TForm1::PushEditsToSettings() {
  for (CrawlOption option : {CrawlOption::Dedup, CrawlOption::Autosave, CrawlOption::SearchLinks,
                             CrawlOption::SearchPhones, CrawlOption::LinkFilter,
                             CrawlOption::OnlySite}) {
    connect(OptionBox(option), &QCheckBox::toggled, this, [this, option](bool ticked) {
      if (!showingSettings_) crawl_->Settings().SetOption(option, ticked);
    });
  }
  // The text as typed counts, also before the field has interpreted it.
  connect(SpinEdit1, &QSpinBox::textChanged, this, [this](const QString& text) {
    if (!showingSettings_) Guarded([&] { crawl_->Settings().speed = ReadSpeed(ToGbk(text)); });
  });
  for (RuleList list : {RuleList::Prefixes, RuleList::MustContain, RuleList::MustNotContain}) {
    QPlainTextEdit* field = RuleField(list);
    connect(field, &QPlainTextEdit::textChanged, this, [this, field, list] {
      if (!showingSettings_)
        Guarded([&] { crawl_->Settings().SetRules(list, WithCrlf(field->toPlainText())); });
    });
  }
}

void TForm1::ShowTotal(int lines) { panels_.at(1)->setText(QString::number(lines)); }
void TForm1::ShowPosition(int line) { panels_.at(3)->setText(QString::number(line)); }
void TForm1::ShowLinksFound(int count) { panels_.at(5)->setText(QString::number(count)); }
void TForm1::ShowPhonesFound(int count) { panels_.at(7)->setText(QString::number(count)); }

void TForm1::ClearCounts() {
  for (int panel : {3, 5, 7}) panels_.at(static_cast<size_t>(panel))->clear();
}

void TForm1::ShowMessage(const std::string& text) { panels_.at(8)->setText(FromGbk(text)); }

void TForm1::ShowCommandStates(const CommandStates& states) {
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

std::optional<std::string> TForm1::AskResumeLine(const std::string& caption,
                                                 const std::string& prompt,
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
