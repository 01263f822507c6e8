#include "ui/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdio>

#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/host_lookup.h"
#include "base/state_folder.h"
#include "number_data/block_table.h"
#include "ui/qt_gbk.h"
#include "ui/dialogs/qt_dialogs.h"
#include "ui/main/result_files.h"
#include "ui/main/result_list_model.h"
#include "ui/main/unsaved_rows.h"
#include "ui/main/walk_page_log.h"
#include "ui/report/page_log_report.h"
#include "ui/side/maker_contact.h"
#include "ui/side/program_icon.h"
#include "ui/clock/qt_clock.h"
#include "ui/tray/tray_icon.h"
#include "ui/web/web_page_browser.h"

namespace tolvarine {

namespace {

// The maker's contact tail of the window caption.
const QString kCaptionTail =
    QStringLiteral(" %1 电话 %2").arg(maker::HomePageHost(), maker::Telephone());

// Runs a nested event loop for the given time; timers and events keep being delivered.
void PauseInEventLoop(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

MainWindow::MainWindow(MainWindowParts parts, QWidget* parent)
    : QWidget(parent),
      dialogs_(parts.dialogs ? std::move(parts.dialogs) : std::make_unique<QtDialogs>()),
      pause_(parts.pause ? std::move(parts.pause) : PauseInEventLoop),
      openUrl_(parts.openUrl ? std::move(parts.openUrl)
                             : [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); }),
      stateFolder_(parts.stateFolder.empty() ? StateFolder() : parts.stateFolder) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(ApplicationTitle() + kCaptionTail);
  setWindowIcon(ProgramIcon());
  const ErrorSink sink = [this](const std::string& message) { ShowErrorDialog(message); };

  Clock* clock = parts.clock;
  if (!clock) {
    ownClock_ = std::make_unique<QtClock>();
    clock = ownClock_.get();
  }

  browser_ = parts.browser;
  browserPane = parts.browserPane;
  if (!browser_) {
    auto* web = new WebPageBrowser(sink, this);
    web->SetBlockedKinds(
        [this] { return crawl_ ? BlockedKindsOf(crawl_->Settings().extra) : BlockedKinds(); });
    browser_ = web;
    browserPane = web;
  }
  browserPane->setParent(this);
  browserPane->setObjectName(QStringLiteral("browserPane"));

  // A failed write of the page log is reported once the walk's event is over.
  pageLog_ = std::make_unique<WalkPageLog>(
      stateFolder_ + kWalkPageLogFileName, [this](const std::string& message) {
        QMetaObject::invokeMethod(
            this, [this, message] { ShowErrorDialog(message); }, Qt::QueuedConnection);
      });

  CrawlEnvironment environment;
  environment.stateFolder = stateFolder_;
  environment.hostAddresses =
      parts.hostAddresses ? std::move(parts.hostAddresses) : LocalHostAddresses;
  // The controller guards its own ticks and browser events, as in the command line.
  crawl_ = std::make_unique<CrawlController>(static_cast<CrawlView&>(*this), *browser_, *clock,
                                             std::move(environment));
  browser_->SetListener(crawl_.get());
  unsaved_ = std::make_unique<UnsavedRows>(
      std::vector<ResultList*>{&crawl_->Links(), &crawl_->Phones()});
  numbers_ = std::make_unique<BlockTableNumberInfo>();
  crawl_->SetNumberInfo(numbers_.get());

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->setSpacing(0);
  BuildToolBar(root);
  BuildOptionRow(root);
  BuildFilterPanel(root);
  BuildRevealRow(root);
  BuildResultLists(root);
  root->addWidget(browserPane, 1);
  BuildStatusBar(root);
  BuildTrayMenu();
  Centre();
  ConfigureTrayIcon(std::move(parts.trayService));
  ReadStateFiles();
}

MainWindow::~MainWindow() {
  SaveRuleLists();
  // From here on no dialog can be shown; the parts that may still report go first, while
  // the members they report to are alive.
  destroying_ = true;
  browser_->SetListener(nullptr);
  // The list models observe result lists the crawl controller owns, and the controller (a
  // member) is destroyed before the window's Qt children: they unregister now.
  delete linkModel_;
  linkModel_ = nullptr;
  delete phoneModel_;
  phoneModel_ = nullptr;
  delete trayIcon_;
  trayIcon_ = nullptr;
  delete browserPane;
  browserPane = nullptr;
}

void MainWindow::SetSideWindows(QWidget* aboutBox, QWidget* generator) {
  aboutBox_ = aboutBox;
  generator_ = generator;
}

QString MainWindow::PanelText(int index) const {
  return panels_.at(static_cast<size_t>(index))->text();
}

void MainWindow::ConfigureTrayIcon(std::unique_ptr<TrayService> service) {
  // A tray that fails must not stop the window from starting. Without a notification
  // area the icon waits for one, and minimising stays an ordinary minimise meanwhile.
  Guarded([&] {
    trayIcon_ = new tolvarine::TrayIcon(this, std::move(service));
    trayIcon_->setObjectName(QStringLiteral("trayIcon"));
    trayIcon_->SetErrorSink(
        [this](const std::string& message) { ShowErrorDialog(message); });
    trayIcon_->SetIcon(ProgramIcon());
    trayIcon_->SetHint(ToGbk(ApplicationTitle()));
    trayIcon_->SetPopupMenu(trayMenu);
    trayIcon_->OnClick = [this](tolvarine::TrayIcon*) { ShowMain(); };
    trayIcon_->SetVisible(true);
  });
}

void MainWindow::ReadStateFiles() {
  QPalette tips = QToolTip::palette();
  tips.setColor(QPalette::ToolTipBase, QColor(0, 255, 0));
  QToolTip::setPalette(tips);
  // The widgets start from the settings' defaults; from here on every edit goes into them.
  ShowSettings(crawl_->Settings());
  PushEditsToSettings();
  // LoadLists, then ReadProgress; a failure ends the reading there.
  Guarded([this] {
    crawl_->LoadLists();
    crawl_->ReadProgress();
  });
}

void MainWindow::SaveRuleLists() {
  Guarded([this] { crawl_->SaveLists(); });
}

bool MainWindow::ConfirmClose() {
  if (!dialogs_->Confirm(this, QStringLiteral("确认退出Tolvarine吗?"))) return false;
  if (!MayEmptyResults()) return false;
  // A walk still running keeps its position for Continue.
  if (crawl_->Running()) Guarded([this] { crawl_->WriteProgress(); });
  return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  bool accept = false;
  Guarded([&] { accept = ConfirmClose(); });
  if (!accept) {
    event->ignore();
    return;
  }
  event->accept();
  emit closeAccepted();
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Hidden to the tray only while the icon is in the notification area to bring it back.
  if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) &&
      isVisible() && trayIcon_ && trayIcon_->InArea()) {
    Guarded([this] { HideToTray(); });
  }
}

void MainWindow::Guarded(const std::function<void()>& handler) {
  RunGuarded([this](const std::string& message) { ShowErrorDialog(message); }, handler);
}

void MainWindow::ShowErrorDialog(const std::string& messageGbk) {
  if (destroying_) {
    std::fprintf(stderr, "tolvarine: %s\n", GbkToUtf8(ErrorDialogText(messageGbk)).c_str());
    return;
  }
  const QString text = FromGbk(ErrorDialogText(messageGbk));
  if (errorDialogOpen_) {
    // One error dialog at a time: a failure raised while one is open (a timer tick or a
    // browser event of the running walk) is shown in the message panel instead.
    panels_.at(8)->setText(text);
    return;
  }
  errorDialogOpen_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{errorDialogOpen_};
  dialogs_->Error(this, text);
}

void MainWindow::OpenUrl(const QString& url) {
  Guarded([&] { openUrl_(url); });
}

// Commands.

void MainWindow::ChooseList() { Guarded([this] { crawl_->ChooseList(); }); }
void MainWindow::Start() {
  Guarded([this] { RunWalk(false, [this] { crawl_->Start(); }); });
}
void MainWindow::Stop() { Guarded([this] { crawl_->Stop(); }); }
void MainWindow::Continue() {
  Guarded([this] { RunWalk(true, [this] { crawl_->Continue(); }); });
}
void MainWindow::SaveResults() { Guarded([this] { SaveResultsAs(); }); }

void MainWindow::CreateList() {
  Guarded([this] {
    if (generator_) dialogs_->ShowModal(generator_);
  });
}

void MainWindow::WriteProgress() {
  Guarded([this] {
    crawl_->WriteProgress();
    dialogs_->Plain(this, ApplicationTitle(), QStringLiteral("已经保存当前网络搜索进程！"));
  });
}

void MainWindow::MergeFiles() {
  // RunMergeAndDedup reports its own failures through ShowError.
  Guarded([this] { RunMergeAndDedup(static_cast<MergeHost&>(*this)); });
}

void MainWindow::ShowAbout() {
  Guarded([this] {
    if (aboutBox_) dialogs_->ShowModal(aboutBox_);
  });
}

void MainWindow::Exit() {
  Guarded([this] { close(); });
}

void MainWindow::HideToTray() {
  // HideToTray: the tray icon stays; the window leaves the screen and the task bar.
  hideToTrayAction->setEnabled(false);
  showMainAction->setEnabled(true);
  hide();
}

void MainWindow::ShowMain() {
  // ShowMain: back from the tray, restored from the minimised state.
  showMainAction->setEnabled(false);
  hideToTrayAction->setEnabled(true);
  setWindowState(windowState() & ~Qt::WindowMinimized);
  // The web pane's reveal steps show a window hidden to the tray off the screen.
  if (testAttribute(Qt::WA_DontShowOnScreen)) {
    hide();
    setAttribute(Qt::WA_DontShowOnScreen, false);
  }
  show();
  raise();
  activateWindow();
}

bool MainWindow::MayEmptyResults() {
  if (!unsaved_->Any()) return true;
  switch (dialogs_->AskSave(this, QStringLiteral("结果还没有保存，要先保存吗？"))) {
    case SaveChoice::DontSave:
      return true;
    case SaveChoice::Cancel:
      return false;
    case SaveChoice::Save:
      break;
  }
  // A save that is cancelled or fails keeps the rows: the command does not go on.
  bool saved = false;
  Guarded([&] { saved = SaveResultsAs(); });
  return saved;
}

bool MainWindow::SaveResultsAs() {
  FileDialogRequest request;
  request.title = QStringLiteral("搜索结果保存为");
  request.filters = TextFileFilters();
  request.defaultSuffix = QStringLiteral("txt");
  request.directory = QFile::decodeName(QByteArray::fromStdString(stateFolder_));
  request.selectedFile = lastSaveFile_;
  request.confirmOverwrite = true;
  const std::optional<QString> chosen = dialogs_->SaveFile(this, request);
  if (!chosen) return false;
  lastSaveFile_ = *chosen;
  const std::string path = QFile::encodeName(*chosen).toStdString();
  const std::vector<std::string> written =
      SaveResultFiles(path, crawl_->Phones(), crawl_->Links(),
                      crawl_->Settings().extra.places ? numbers_.get() : nullptr,
                      crawl_->Settings().extra.structured);
  unsaved_->MarkSaved();
  const auto shown = [](const std::vector<std::string>& paths) {
    QStringList names;
    for (const std::string& p : paths)
      names << QFileInfo(QFile::decodeName(QByteArray::fromStdString(p))).fileName();
    return QStringLiteral("搜索结果已保存到 ") + names.join(QStringLiteral("、"));
  };
  panels_.at(8)->setText(shown(written));
  if (!crawl_->Settings().extra.report) return true;
  if (const std::optional<std::string> report = SaveReportBeside(path)) {
    std::vector<std::string> all = written;
    all.push_back(*report);
    panels_.at(8)->setText(shown(all));
  }
  return true;
}

std::optional<std::string> MainWindow::SaveReportBeside(const std::string& listsPath) {
  if (pageLog_->Failed())
    throw Error(ToGbk(QStringLiteral("页面记录写入失败，记录不全，未保存报告：")) +
                GbkFileName(pageLog_->Path()));
  if (!pageLog_->Holds()) {
    panels_.at(8)->setText(panels_.at(8)->text() +
                           QStringLiteral("；没有记录页面的搜索，未保存报告"));
    return std::nullopt;
  }
  std::string listName = crawl_->Settings().listFile;
  const size_t cut = listName.find_last_of('/');
  if (cut != std::string::npos) listName.erase(0, cut + 1);
  const std::string reportPath = ReportFileBeside(listsPath);
  ReplaceFileAtomically(reportPath, ReportFromPageLog(pageLog_->Path(), listName));
  return reportPath;
}

void MainWindow::RunWalk(bool continuing, const std::function<void()>& begin) {
  const ExtraOptions& extra = crawl_->Settings().extra;
  const bool logged = extra.report;
  if (logged) pageLog_->Expect(continuing, extra.places, extra.scroll > 0 || extra.clickMore);
  crawl_->SetPageLog(logged ? pageLog_.get() : nullptr);
  try {
    begin();
  } catch (...) {
    pageLog_->NotBegun();
    throw;
  }
  if (!crawl_->Running()) {
    // Not begun, or already over: a record of it has then opened the log.
    pageLog_->NotBegun();
  } else if (logged) {
    pageLog_->Begun();
  } else {
    pageLog_->Drop();
  }
}

}  // namespace tolvarine
