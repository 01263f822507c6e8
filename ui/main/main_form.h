#pragma once
// TForm1: the main window. Tool bar, option row, filter rules, the two result lists, the
// browser pane and the status bar; it owns the crawl controller and the page browser,
// runs every command, timer tick and browser event through one guard, hides to the
// notification area on minimise and confirms before closing. The widgets of the option row
// and the rule lists edit the controller's settings; the crawl guards its own ticks and
// browser events.
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/crawl_controller.h"
#include "engine/crawl_view.h"
#include "tools/merge_command.h"
#include "ui/main/dialogs.h"
#include "ui/tray/notify_icon_service.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QToolButton;
class QTreeView;
class QVBoxLayout;

namespace tolvarine {

class ResultListModel;
class SpeedSpinBox;
class TantTaskbarIcon;

// What the window is built from. Every member may stay empty; the window then uses the
// real thing (Qt dialogs, QTimer clock, WebEngine pane, host lookup, desktop URL opening,
// the system tray, the state folder).
struct MainFormParts {
  std::unique_ptr<Dialogs> dialogs;
  Clock* clock = nullptr;               // not owned
  PageBrowser* browser = nullptr;       // not owned; its pane is browserPane
  QWidget* browserPane = nullptr;       // taken into the window's layout (and ownership)
  std::function<std::vector<std::string>()> hostAddresses;
  std::function<void(int milliseconds)> pause;
  std::function<void(const QString& url)> openUrl;
  std::unique_ptr<NotifyIconService> trayService;
  std::string stateFolder;              // file-system path ending in "/"
};

// "『Tolvarine』V2.1"
const QString& ApplicationTitle();

class TForm1 : public QWidget, private CrawlView, private MergeHost {
  Q_OBJECT

 public:
  explicit TForm1(MainFormParts parts = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  // The other two windows of the program, shown modally by "创建" / "关于".
  void SetSideWindows(QWidget* aboutBox, QWidget* generator);

  CrawlController& Crawl() { return *crawl_; }
  TantTaskbarIcon* TrayIcon() const { return antTaskbarIcon1; }
  QMenu* TrayMenu() const { return PopupMenu1; }
  QString PanelText(int index) const;

  // Commands (tool bar and tray menu).
  void N1Click();             // "网址"
  void N2Click();             // "搜索"
  void N3Click();             // "终止"
  void N4Click();             // "继续"
  void SpeedButton5Click();   // "保存"
  void SpeedButton6Click();   // "创建"
  void SpeedButton8Click();   // "进程"
  void SpeedButton11Click();  // "整理"
  void SpeedButton9Click();   // "关于"
  void SpeedButton10Click();  // "退出"
  void N17Click();            // ShowMain
  void N18Click();            // HideToTray

 signals:
  // The window has accepted a close request; the program's loop ends on it.
  void formClosed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Building (main_form_layout.cpp).
  void BuildToolBar(QVBoxLayout* root);
  void BuildOptionRow(QVBoxLayout* root);
  void BuildFilterPanel(QVBoxLayout* root);
  void BuildResultLists(QVBoxLayout* root);
  void BuildStatusBar(QVBoxLayout* root);
  void BuildTrayMenu();
  void ConfigureTrayIcon(std::unique_ptr<NotifyIconService> service);
  void Centre();

  void FormCreate();
  void FormDestroy();
  bool FormCloseQuery();
  void Guarded(const std::function<void()>& handler);
  // The standard error dialog; while one is open, further failures go to panel 8.
  void ShowErrorDialog(const std::string& messageGbk);
  void SaveResults();
  void OpenUrl(const QString& url);

  // CrawlView (main_form_view.cpp).
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
  void Repaint() override;
  void Pause(int milliseconds) override;
  // Every edit of an option, the speed or a rule list goes into the crawl's settings as it
  // is made.
  void PushEditsToSettings();

  // MergeHost (main_form_merge.cpp).
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
  std::unique_ptr<CrawlController> crawl_;
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

  // Controls, named as the window's components.
  QWidget* ToolBar1 = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QToolButton* SpeedButton3 = nullptr;
  QToolButton* SpeedButton4 = nullptr;
  QToolButton* SpeedButton5 = nullptr;
  QToolButton* SpeedButton6 = nullptr;
  QToolButton* SpeedButton8 = nullptr;
  QToolButton* SpeedButton11 = nullptr;
  QToolButton* SpeedButton9 = nullptr;
  QToolButton* SpeedButton10 = nullptr;
  SpeedSpinBox* SpinEdit1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;  // 去重
  QCheckBox* CheckBox2 = nullptr;  // 自动保存
  QCheckBox* CheckBox3 = nullptr;  // 搜索链接
  QCheckBox* CheckBox4 = nullptr;  // 搜索手机
  QCheckBox* CheckBox5 = nullptr;  // 启用链接筛选
  QCheckBox* CheckBox6 = nullptr;  // 只搜索本站
  QLineEdit* Edit1 = nullptr;      // 网址文件
  QPlainTextEdit* Memo1 = nullptr; // must contain
  QPlainTextEdit* Memo2 = nullptr; // must not contain
  QPlainTextEdit* Memo3 = nullptr; // phone prefixes
  QTreeView* ListView1 = nullptr;  // 网址链接表
  QTreeView* ListView2 = nullptr;  // 手机号码表
  ResultListModel* linkModel_ = nullptr;
  ResultListModel* phoneModel_ = nullptr;
  QWidget* WebBrowser1 = nullptr;
  QWidget* StatusBar1 = nullptr;
  std::vector<QLabel*> panels_;
  QMenu* PopupMenu1 = nullptr;
  QAction* N17 = nullptr;  // 显示主程序
  QAction* N18 = nullptr;  // 最小化显示
  TantTaskbarIcon* antTaskbarIcon1 = nullptr;
};

}  // namespace tolvarine
