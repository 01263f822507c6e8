#pragma once
// The main window: tool bar, option row, filter rules, the two result lists, the
// browser pane and the status bar; it owns the crawl controller and the page browser,
// runs every command through one guard, hides to the notification area on minimise and
// confirms before closing. The widgets of the option row and the rule lists edit the
// controller's settings; the controller guards its own ticks and browser events.
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/crawl_controller.h"
#include "engine/crawl_view.h"
#include "tools/merge_dialog_flow.h"
#include "ui/dialogs/dialogs.h"
#include "ui/tray/tray_service.h"

class QAction;
class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QToolButton;
class QTreeView;
class QVBoxLayout;

namespace tolvarine {

class NumberInfo;
class ResultListModel;
class SpeedSpinBox;
class WalkPageLog;
class TrayIcon;
class UnsavedRows;

// What the window is built from. Every member may stay empty; the window then uses the
// real thing (Qt dialogs, QTimer clock, WebEngine pane, host lookup, desktop URL opening,
// the system tray, the state folder).
struct MainWindowParts {
  std::unique_ptr<Dialogs> dialogs;
  Clock* clock = nullptr;               // not owned
  PageBrowser* browser = nullptr;       // not owned; its pane is browserPane
  QWidget* browserPane = nullptr;       // taken into the window's layout (and ownership)
  std::function<std::vector<std::string>()> hostAddresses;
  std::function<void(int milliseconds)> pause;
  std::function<void(const QString& url)> openUrl;
  std::unique_ptr<TrayService> trayService;
  std::string stateFolder;              // file-system path ending in "/"
};

class MainWindow : public QWidget, private CrawlView, private MergeHost {
  Q_OBJECT

 public:
  explicit MainWindow(MainWindowParts parts = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The other two windows of the program, shown modally by "创建" / "关于".
  void SetSideWindows(QWidget* aboutBox, QWidget* generator);

  CrawlController& Crawl() { return *crawl_; }
  tolvarine::TrayIcon* TrayIcon() const { return trayIcon_; }
  QMenu* TrayMenu() const { return trayMenu; }
  QString PanelText(int index) const;

  // Commands (tool bar and tray menu), each run through the guard.
  void ChooseList();     // "网址"
  void Start();          // "搜索"
  void Stop();           // "终止"
  void Continue();       // "继续"
  void SaveResults();    // "保存"
  void CreateList();     // "创建": the URL list generator
  void WriteProgress();  // "进程"
  void MergeFiles();     // "整理"
  void ShowAbout();      // "关于"
  void Exit();           // "退出"
  void ShowMain();       // back from the notification area
  void HideToTray();     // into the notification area

 signals:
  // The window has accepted a close request; the program's loop ends on it.
  void closeAccepted();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Building (main_window_layout.cpp).
  void BuildToolBar(QVBoxLayout* root);
  void BuildOptionRow(QVBoxLayout* root);
  void BuildFilterPanel(QVBoxLayout* root);
  void BuildFollowColumn(QWidget* panel, QBoxLayout* layout);
  void BuildRevealRow(QVBoxLayout* root);
  void BuildResultLists(QVBoxLayout* root);
  void BuildStatusBar(QVBoxLayout* root);
  void BuildTrayMenu();
  void ConfigureTrayIcon(std::unique_ptr<TrayService> service);
  void Centre();

  void ReadStateFiles();
  void SaveRuleLists();
  bool ConfirmClose();
  void Guarded(const std::function<void()>& handler);
  // The standard error dialog; while one is open, further failures go to panel 8.
  void ShowErrorDialog(const std::string& messageGbk);
  // The save dialog, then the two result files (and the walk report when asked for).
  // False when the dialog was cancelled.
  bool SaveResultsAs();
  // With the report option on: the report of the walk's page log beside the lists. Returns
  // the path written, or nothing (and says why in the message panel) when no walk was
  // logged. Throws when the log misses records or the report cannot be written.
  std::optional<std::string> SaveReportBeside(const std::string& listsPath);
  // The phone list's tooltips show where each number belongs while the places option is on.
  void ShowPlacesInTips(bool shown);
  void EnableFollowOptions(bool follow);
  // Runs Start or Continue with the page log attached while the report option is on.
  void RunWalk(bool continuing, const std::function<void()>& begin);
  void OpenUrl(const QString& url);

  // CrawlView (main_window_view.cpp).
  void ShowSettings(const CrawlSettings& settings) override;
  void ShowTotal(int lines) override;
  void ShowPosition(int line) override;
  void ShowLinksFound(int count) override;
  void ShowPhonesFound(int count) override;
  void ClearCounts() override;
  void ShowMessage(const std::string& text) override;
  void ShowCommandStates(const CommandStates& states) override;
  void ShowInformation(const std::string& text) override;
  void ShowPlainMessage(const std::string& text) override;
  void ShowError(const std::string& message) override;  // also MergeHost's
  std::optional<std::string> AskResumeLine(const std::string& caption, const std::string& prompt,
                                           const std::string& initial) override;
  std::optional<std::string> ChooseListFile(const std::string& initialFolder) override;
  // With rows not yet saved: asks whether to save them first (and saves them), drop them,
  // or keep them and not go on.
  bool MayEmptyResults() override;
  void Repaint() override;
  void Pause(int milliseconds) override;
  // Every edit of an option, the speed or a rule list goes into the crawl's settings as it
  // is made.
  void PushEditsToSettings();

  // MergeHost (main_window_merge.cpp).
  std::optional<std::vector<std::string>> ChooseInputFiles() override;
  std::optional<std::string> ChooseOutputFile() override;
  void SetStatusText(const std::string& gbk) override;
  void SetBusyCursor() override;
  void RestoreCursor() override;
  void RepaintNow() override;

  QCheckBox* OptionBox(CrawlOption option) const;
  QPlainTextEdit* RuleField(RuleList list) const;

  std::unique_ptr<Dialogs> dialogs_;
  std::function<void(int)> pause_;
  std::function<void(const QString&)> openUrl_;
  std::string stateFolder_;
  std::unique_ptr<Clock> ownClock_;
  PageBrowser* browser_ = nullptr;
  // Declared before the controller, whose walk writes to it until the controller goes.
  std::unique_ptr<WalkPageLog> pageLog_;
  // Where numbers belong; the walk reads it until the controller goes.
  std::unique_ptr<NumberInfo> numbers_;
  std::unique_ptr<CrawlController> crawl_;
  // Watches the controller's result lists, so it goes first.
  std::unique_ptr<UnsavedRows> unsaved_;
  // While the widgets are filled from the settings, their change signals are not edits.
  bool showingSettings_ = false;
  bool errorDialogOpen_ = false;
  bool destroying_ = false;
  bool busyCursor_ = false;
  QWidget* aboutBox_ = nullptr;
  QWidget* generator_ = nullptr;
  QString lastMergeInput_;
  QString lastMergeOutput_;
  QString lastSaveFile_;

  // Controls.
  QWidget* toolBar = nullptr;
  QToolButton* chooseListButton = nullptr;
  QToolButton* startButton = nullptr;
  QToolButton* stopButton = nullptr;
  QToolButton* continueButton = nullptr;
  QToolButton* saveResultsButton = nullptr;
  QToolButton* createListButton = nullptr;
  QToolButton* writeProgressButton = nullptr;
  QToolButton* mergeButton = nullptr;
  QToolButton* aboutButton = nullptr;
  QToolButton* exitButton = nullptr;
  SpeedSpinBox* speedField = nullptr;
  QCheckBox* dedupBox = nullptr;
  QCheckBox* autosaveBox = nullptr;
  QCheckBox* searchLinksBox = nullptr;
  QCheckBox* searchPhonesBox = nullptr;
  QCheckBox* httpsBox = nullptr;
  QCheckBox* formattedBox = nullptr;
  QCheckBox* reportBox = nullptr;
  QCheckBox* placesBox = nullptr;
  QCheckBox* validOnlyBox = nullptr;
  QCheckBox* followBox = nullptr;
  QSpinBox* depthField = nullptr;
  QCheckBox* ignoreRobotsBox = nullptr;
  QComboBox* scopeField = nullptr;
  QSpinBox* maxPagesField = nullptr;
  QCheckBox* sitemapsBox = nullptr;
  QSpinBox* retriesField = nullptr;
  QCheckBox* blockImagesBox = nullptr;
  QCheckBox* scrollBox = nullptr;
  QSpinBox* scrollField = nullptr;  // the scrolls a page gets while scrollBox is ticked
  QCheckBox* clickMoreBox = nullptr;
  QCheckBox* structuredBox = nullptr;
  QCheckBox* linkFilterBox = nullptr;
  QCheckBox* onlySiteBox = nullptr;
  QLineEdit* listFileField = nullptr;
  QPlainTextEdit* mustContainField = nullptr;
  QPlainTextEdit* mustNotContainField = nullptr;
  QPlainTextEdit* prefixField = nullptr;
  QTreeView* linkList = nullptr;
  QTreeView* phoneList = nullptr;
  ResultListModel* linkModel_ = nullptr;
  ResultListModel* phoneModel_ = nullptr;
  QWidget* browserPane = nullptr;
  QWidget* statusBar = nullptr;
  std::vector<QLabel*> panels_;
  QMenu* trayMenu = nullptr;
  QAction* showMainAction = nullptr;
  QAction* hideToTrayAction = nullptr;
  tolvarine::TrayIcon* trayIcon_ = nullptr;
};

}  // namespace tolvarine
