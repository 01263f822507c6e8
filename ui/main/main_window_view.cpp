// MainWindow as the crawl's view: the settings shown in the option row and the rule fields (and
// their edits pushed back), the counters and the message in the status bar panels, command
// states and boxes.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolButton>

#include "base/file_names.h"
#include "engine/number_info.h"
#include "ui/main/main_window.h"
#include "ui/main/result_list_model.h"
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

QCheckBox* MainWindow::OptionBox(CrawlOption option) const {
  switch (option) {
    case CrawlOption::Dedup: return dedupBox;
    case CrawlOption::Autosave: return autosaveBox;
    case CrawlOption::SearchLinks: return searchLinksBox;
    case CrawlOption::SearchPhones: return searchPhonesBox;
    case CrawlOption::LinkFilter: return linkFilterBox;
    case CrawlOption::OnlySite: return onlySiteBox;
  }
  return dedupBox;
}

QPlainTextEdit* MainWindow::RuleField(RuleList list) const {
  switch (list) {
    case RuleList::Prefixes: return prefixField;
    case RuleList::MustContain: return mustContainField;
    case RuleList::MustNotContain: return mustNotContainField;
  }
  return prefixField;
}

void MainWindow::ShowSettings(const CrawlSettings& settings) {
  showingSettings_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{showingSettings_};
  for (CrawlOption option : {CrawlOption::Dedup, CrawlOption::Autosave, CrawlOption::SearchLinks,
                             CrawlOption::SearchPhones, CrawlOption::LinkFilter,
                             CrawlOption::OnlySite})
    OptionBox(option)->setChecked(settings.Option(option));
  httpsBox->setChecked(settings.extra.https);
  formattedBox->setChecked(settings.extra.formatted);
  reportBox->setChecked(settings.extra.report);
  placesBox->setChecked(settings.extra.places);
  validOnlyBox->setChecked(settings.extra.validOnly);
  ShowPlacesInTips(settings.extra.places);
  followBox->setChecked(settings.extra.follow);
  depthField->setValue(settings.extra.depth);
  ignoreRobotsBox->setChecked(settings.extra.ignoreRobots);
  scopeField->setCurrentIndex(settings.extra.scope == ScopeKind::Host ? 1 : 0);
  maxPagesField->setValue(settings.extra.maxPagesPerLine);
  sitemapsBox->setChecked(settings.extra.sitemaps);
  retriesField->setValue(settings.extra.retries);
  blockImagesBox->setChecked(settings.extra.blockImages || settings.extra.blockFonts ||
                             settings.extra.blockMedia);
  EnableFollowOptions(settings.extra.follow);
  scrollBox->setChecked(settings.extra.scroll > 0);
  // Unticked, the field keeps the count the box would turn on.
  if (settings.extra.scroll > 0) scrollField->setValue(settings.extra.scroll);
  scrollField->setEnabled(settings.extra.scroll > 0);
  clickMoreBox->setChecked(settings.extra.clickMore);
  structuredBox->setChecked(settings.extra.structured);
  // A field whose text already counts as the speed keeps it as typed.
  if (ReadSpeed(ToGbk(speedField->text())) != settings.speed || speedField->text().isEmpty())
    speedField->setValue(settings.speed);
  listFileField->setText(FromGbk(settings.listFile));
  for (RuleList list : {RuleList::Prefixes, RuleList::MustContain, RuleList::MustNotContain}) {
    const QString text = WithLf(settings.Rules(list));
    // Setting the same text again would lose the cursor and the undo history.
    if (RuleField(list)->toPlainText() != text) RuleField(list)->setPlainText(text);
  }
}

void MainWindow::PushEditsToSettings() {
  for (CrawlOption option : {CrawlOption::Dedup, CrawlOption::Autosave, CrawlOption::SearchLinks,
                             CrawlOption::SearchPhones, CrawlOption::LinkFilter,
                             CrawlOption::OnlySite}) {
    connect(OptionBox(option), &QCheckBox::toggled, this, [this, option](bool ticked) {
      if (!showingSettings_) crawl_->Settings().SetOption(option, ticked);
    });
  }
  connect(httpsBox, &QCheckBox::toggled, this, [this](bool ticked) {
    if (!showingSettings_) crawl_->Settings().extra.https = ticked;
  });
  connect(formattedBox, &QCheckBox::toggled, this, [this](bool ticked) {
    if (!showingSettings_) crawl_->Settings().extra.formatted = ticked;
  });
  connect(reportBox, &QCheckBox::toggled, this, [this](bool ticked) {
    if (!showingSettings_) crawl_->Settings().extra.report = ticked;
  });
  connect(placesBox, &QCheckBox::toggled, this, [this](bool ticked) {
    if (showingSettings_) return;
    crawl_->Settings().extra.places = ticked;
    ShowPlacesInTips(ticked);
  });
  connect(validOnlyBox, &QCheckBox::toggled, this, [this](bool ticked) {
    if (!showingSettings_) crawl_->Settings().extra.validOnly = ticked;
  });
  connect(followBox, &QCheckBox::toggled, this, [this](bool ticked) {
    EnableFollowOptions(ticked);
    if (!showingSettings_) crawl_->Settings().extra.follow = ticked;
  });
  connect(depthField, &QSpinBox::valueChanged, this, [this](int depth) {
    if (!showingSettings_) crawl_->Settings().extra.depth = depth;
  });
  connect(ignoreRobotsBox, &QCheckBox::toggled, this, [this](bool ticked) {
    if (!showingSettings_) crawl_->Settings().extra.ignoreRobots = ticked;
  });
  connect(scopeField, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!showingSettings_)
      crawl_->Settings().extra.scope = index == 1 ? ScopeKind::Host : ScopeKind::Site;
  });
  connect(maxPagesField, &QSpinBox::valueChanged, this, [this](int pages) {
    if (!showingSettings_) crawl_->Settings().extra.maxPagesPerLine = pages;
  });
  connect(sitemapsBox, &QCheckBox::toggled, this, [this](bool ticked) {
    if (!showingSettings_) crawl_->Settings().extra.sitemaps = ticked;
  });
  connect(retriesField, &QSpinBox::valueChanged, this, [this](int retries) {
    if (!showingSettings_) crawl_->Settings().extra.retries = retries;
  });
  // One box for everything a page loads that is never harvested.
  connect(blockImagesBox, &QCheckBox::toggled, this, [this](bool ticked) {
    if (showingSettings_) return;
    ExtraOptions& extra = crawl_->Settings().extra;
    extra.blockImages = extra.blockFonts = extra.blockMedia = ticked;
  });
  // Scrolling is on while its box is ticked, as many times as the field says.
  const auto pushScroll = [this] {
    scrollField->setEnabled(scrollBox->isChecked());
    if (!showingSettings_)
      crawl_->Settings().extra.scroll = scrollBox->isChecked() ? scrollField->value() : 0;
  };
  connect(scrollBox, &QCheckBox::toggled, this, pushScroll);
  connect(scrollField, &QSpinBox::valueChanged, this, pushScroll);
  connect(clickMoreBox, &QCheckBox::toggled, this, [this](bool ticked) {
    if (!showingSettings_) crawl_->Settings().extra.clickMore = ticked;
  });
  connect(structuredBox, &QCheckBox::toggled, this, [this](bool ticked) {
    if (!showingSettings_) crawl_->Settings().extra.structured = ticked;
  });
  // The text as typed counts, also before the field has interpreted it.
  connect(speedField, &QSpinBox::textChanged, this, [this](const QString& text) {
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

// The depth, the robots choice, the scope, the page limit and the sitemaps matter only while
// links are followed.
void MainWindow::EnableFollowOptions(bool follow) {
  depthField->setEnabled(follow);
  ignoreRobotsBox->setEnabled(follow);
  scopeField->setEnabled(follow);
  maxPagesField->setEnabled(follow);
  sitemapsBox->setEnabled(follow);
}

void MainWindow::ShowPlacesInTips(bool shown) {
  if (phoneModel_) phoneModel_->ShowPlaces(shown ? numbers_.get() : nullptr);
}

void MainWindow::ShowTotal(int lines) { panels_.at(1)->setText(QString::number(lines)); }
void MainWindow::ShowPosition(int line) { panels_.at(3)->setText(QString::number(line)); }
void MainWindow::ShowLinksFound(int count) { panels_.at(5)->setText(QString::number(count)); }
void MainWindow::ShowPhonesFound(int count) { panels_.at(7)->setText(QString::number(count)); }

void MainWindow::ClearCounts() {
  for (int panel : {3, 5, 7}) panels_.at(static_cast<size_t>(panel))->clear();
}

void MainWindow::ShowMessage(const std::string& text) { panels_.at(8)->setText(FromGbk(text)); }

void MainWindow::ShowCommandStates(const CommandStates& states) {
  chooseListButton->setEnabled(states.chooseList);
  startButton->setEnabled(states.search);
  stopButton->setEnabled(states.stop);
  continueButton->setEnabled(states.resume);
}

void MainWindow::ShowInformation(const std::string& text) {
  dialogs_->Information(this, FromGbk(text));
}

void MainWindow::ShowPlainMessage(const std::string& text) {
  dialogs_->Plain(this, ApplicationTitle(), FromGbk(text));
}

void MainWindow::ShowError(const std::string& message) { ShowErrorDialog(message); }

std::optional<std::string> MainWindow::AskResumeLine(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& initial) {
  const std::optional<QString> answer =
      dialogs_->Input(this, FromGbk(caption), FromGbk(prompt), FromGbk(initial));
  if (!answer) return std::nullopt;
  return ToGbk(*answer);
}

std::optional<std::string> MainWindow::ChooseListFile(const std::string& /*executableFolder*/) {
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

void MainWindow::Repaint() { repaint(); }

void MainWindow::Pause(int milliseconds) { pause_(milliseconds); }

}  // namespace tolvarine
