// Building MainWindow's controls, top to bottom, with their sizes, captions and defaults.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/main/main_window.h"
#include "ui/main/result_list_model.h"
#include "ui/main/speed_spin_box.h"
#include "ui/main/tool_glyphs.h"
#include "ui/side/maker_contact.h"

namespace tolvarine {
namespace {

constexpr int kToolBarHeight = 31;
constexpr int kOptionRowHeight = 34;
constexpr int kFilterPanelHeight = 96;
constexpr int kResultListsHeight = 88;
constexpr int kRevealRowHeight = 26;
// The scrolls a page gets when scrolling is first turned on.
constexpr int kDefaultScrolls = 5;
// The most pages a list line may open while links are followed.
constexpr int kMaxPagesPerLineLimit = 100000000;

QWidget* FixedHeightRow(QWidget* parent, const char* name, int height, QBoxLayout*& layout,
                        bool vertical = false) {
  auto* row = new QWidget(parent);
  row->setObjectName(QString::fromLatin1(name));
  row->setFixedHeight(height);
  if (vertical) {
    layout = new QVBoxLayout(row);
  } else {
    layout = new QHBoxLayout(row);
  }
  layout->setContentsMargins(4, 2, 4, 2);
  layout->setSpacing(4);
  return row;
}

QCheckBox* CaptionLeftBox(QWidget* parent, const char* name, const QString& caption) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QString::fromLatin1(name));
  // The caption sits on the left of the box.
  box->setLayoutDirection(Qt::RightToLeft);
  box->setChecked(false);
  return box;
}

// A caption for a field, which takes the focus for the caption's mnemonic.
QLabel* BuddyLabel(QWidget* parent, const char* name, const QString& caption, QWidget* buddy) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setBuddy(buddy);
  return label;
}

// Widgets side by side at their own widths, the room left over after them.
QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
  auto* row = new QHBoxLayout();
  row->setSpacing(2);
  for (QWidget* w : widgets) row->addWidget(w);
  row->addStretch(1);
  return row;
}

QPlainTextEdit* RuleMemo(QWidget* parent, const char* name) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(QString::fromLatin1(name));
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return memo;
}


}  // namespace

void MainWindow::BuildToolBar(QVBoxLayout* root) {
  QBoxLayout* layout = nullptr;
  toolBar = FixedHeightRow(this, "toolBar", kToolBarHeight, layout);
  // No left margin: the report box keeps the right margin of the rows below it and still
  // fits beside the ten buttons at the window's default width.
  layout->setContentsMargins(0, 4, 4, 4);
  layout->setSpacing(0);
  struct ButtonDef {
    QToolButton** button;
    const char* name;
    QString caption;
    QString hint;
    Glyph glyph;
    void (MainWindow::*command)();
  };
  const ButtonDef buttons[] = {
      {&chooseListButton, "chooseListButton", QStringLiteral("网址"), QStringLiteral("选择网址列表"),
       Glyph::Globe, &MainWindow::ChooseList},
      {&startButton, "startButton", QStringLiteral("搜索"), QStringLiteral("开始网络搜索"),
       Glyph::Search, &MainWindow::Start},
      {&stopButton, "stopButton", QStringLiteral("终止"), QStringLiteral("终止网络搜索"),
       Glyph::Stop, &MainWindow::Stop},
      {&continueButton, "continueButton", QStringLiteral("继续"), QStringLiteral("继续网络搜索"),
       Glyph::Resume, &MainWindow::Continue},
      {&saveResultsButton, "saveResultsButton", QStringLiteral("保存"), QStringLiteral("保存搜索结果"),
       Glyph::Save, &MainWindow::SaveResults},
      {&createListButton, "createListButton", QStringLiteral("创建"), QStringLiteral("创建网址列表"),
       Glyph::Create, &MainWindow::CreateList},
      {&writeProgressButton, "writeProgressButton", QStringLiteral("进程"), QStringLiteral("保存搜索进程"),
       Glyph::Progress, &MainWindow::WriteProgress},
      {&mergeButton, "mergeButton", QStringLiteral("整理"), QStringLiteral("合并去重数据"),
       Glyph::Merge, &MainWindow::MergeFiles},
      {&aboutButton, "aboutButton", QStringLiteral("关于"), QStringLiteral("关于本软件"),
       Glyph::About, &MainWindow::ShowAbout},
      {&exitButton, "exitButton", QStringLiteral("退出"), QStringLiteral("退出软件系统"),
       Glyph::Exit, &MainWindow::Exit},
  };
  for (const ButtonDef& def : buttons) {
    auto* button = new QToolButton(toolBar);
    button->setObjectName(QString::fromLatin1(def.name));
    button->setAutoRaise(true);  // flat
    button->setFixedSize(55, 23);
    button->setText(def.caption);
    button->setToolTip(def.hint);
    button->setIcon(ToolGlyph(def.glyph));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setFocusPolicy(Qt::NoFocus);  // like a speed button: the focus stays put
    const auto command = def.command;
    connect(button, &QToolButton::clicked, this, [this, command] { (this->*command)(); });
    layout->addWidget(button);
    *def.button = button;
  }
  layout->addStretch(1);
  // The report option sits at the bar's right end, the one place the window's width still
  // has room for it; it goes with "保存", which writes the report.
  reportBox = CaptionLeftBox(toolBar, "reportBox", QStringLiteral("保存报告"));
  reportBox->setToolTip(QStringLiteral(
      "搜索时记录每个网页，保存结果时在两个列表旁另存一份图表报告（名称_report.html）。"));
  layout->addWidget(reportBox);
  root->addWidget(toolBar);
}

void MainWindow::BuildOptionRow(QVBoxLayout* root) {
  QBoxLayout* layout = nullptr;
  QWidget* row = FixedHeightRow(this, "optionRow", kOptionRowHeight, layout);
  auto* speedLabel = new QLabel(QStringLiteral("速度[秒]："), row);
  speedLabel->setObjectName(QStringLiteral("speedLabel"));
  speedField = new SpeedSpinBox(row);
  speedField->setObjectName(QStringLiteral("speedField"));
  speedLabel->setBuddy(speedField);
  dedupBox = CaptionLeftBox(row, "dedupBox", QStringLiteral("去重"));
  autosaveBox = CaptionLeftBox(row, "autosaveBox", QStringLiteral("自动保存"));
  searchLinksBox = CaptionLeftBox(row, "searchLinksBox", QStringLiteral("搜索链接"));
  searchPhonesBox = CaptionLeftBox(row, "searchPhonesBox", QStringLiteral("搜索手机"));
  // What a walk loads, beside what it searches for.
  blockImagesBox = CaptionLeftBox(row, "blockImagesBox", QStringLiteral("不加载图片"));
  blockImagesBox->setToolTip(QStringLiteral(
      "不请求网页中的图片、字体和音视频：网页打开得更快，网站也少发送数据。"));
  auto* fileLabel = new QLabel(QStringLiteral("网址文件："), row);
  fileLabel->setObjectName(QStringLiteral("listFileLabel"));
  listFileField = new QLineEdit(row);
  listFileField->setObjectName(QStringLiteral("listFileField"));
  listFileField->setReadOnly(true);
  fileLabel->setBuddy(listFileField);
  for (QWidget* w : {static_cast<QWidget*>(speedLabel), static_cast<QWidget*>(speedField),
                     static_cast<QWidget*>(dedupBox), static_cast<QWidget*>(autosaveBox),
                     static_cast<QWidget*>(searchLinksBox), static_cast<QWidget*>(searchPhonesBox),
                     static_cast<QWidget*>(blockImagesBox), static_cast<QWidget*>(fileLabel)}) {
    layout->addWidget(w);
  }
  layout->addWidget(listFileField, 1);  // widens with the window
  root->addWidget(row);
}

void MainWindow::BuildFilterPanel(QVBoxLayout* root) {
  QBoxLayout* layout = nullptr;
  QWidget* panel = FixedHeightRow(this, "filterPanel", kFilterPanelHeight, layout);

  auto* boxes = new QVBoxLayout();
  linkFilterBox = CaptionLeftBox(panel, "linkFilterBox", QStringLiteral("启用链接筛选"));
  onlySiteBox = CaptionLeftBox(panel, "onlySiteBox", QStringLiteral("只搜索本站"));
  boxes->addWidget(linkFilterBox);
  boxes->addWidget(onlySiteBox);
  // The two later options stand under the classic ones: the option row has no room left.
  httpsBox = CaptionLeftBox(panel, "httpsBox", QStringLiteral("包含https"));
  httpsBox->setToolTip(QStringLiteral(
      "也收集以 https:// 开头的链接。启用链接筛选时，规则行“http://”也接受“https://”。"));
  formattedBox = CaptionLeftBox(panel, "formattedBox", QStringLiteral("识别分隔号码"));
  formattedBox->setToolTip(QStringLiteral(
      "也识别分组书写的号码（138-1234-5678、138 1234 5678、138.1234.5678）、"
      "带 +86 或 0086 的号码和全角数字。"));
  boxes->addWidget(httpsBox);
  boxes->addWidget(formattedBox);
  boxes->addStretch(1);
  layout->addLayout(boxes);
  BuildFollowColumn(panel, layout);

  auto addRuleColumn = [&](const char* labelName, const QString& caption, QPlainTextEdit* memo) {
    auto* column = new QVBoxLayout();
    column->setSpacing(1);
    auto* label = new QLabel(caption, panel);
    label->setObjectName(QString::fromLatin1(labelName));
    label->setBuddy(memo);
    column->addWidget(label);
    column->addWidget(memo, 1);
    layout->addLayout(column, 1);
  };
  mustContainField = RuleMemo(panel, "mustContainField");
  mustNotContainField = RuleMemo(panel, "mustNotContainField");
  addRuleColumn("mustContainLabel", QStringLiteral("链接必须包含："), mustContainField);
  addRuleColumn("mustNotContainLabel", QStringLiteral("链接必须不含："), mustNotContainField);

  prefixField = RuleMemo(panel, "prefixField");
  prefixField->setToolTip(QStringLiteral("可以自行添加手机特征符"));
  prefixField->setPlaceholderText(QStringLiteral("可以自行添加手机特征符"));
  // The two number options head the number prefixes, where the other columns have their
  // captions: the rows above are full.
  auto* numberColumn = new QVBoxLayout();
  numberColumn->setSpacing(1);
  auto* numberOptions = new QHBoxLayout();
  numberOptions->setSpacing(6);
  placesBox = CaptionLeftBox(panel, "placesBox", QStringLiteral("归属地"));
  placesBox->setToolTip(QStringLiteral(
      "在号码的提示中显示省份、城市和运营商；保存为 .csv 时写入这三列，报告中按省份和运营商统计。"));
  validOnlyBox = CaptionLeftBox(panel, "validOnlyBox", QStringLiteral("仅有效号码"));
  validOnlyBox->setToolTip(QStringLiteral(
      "不是有效中国手机号码的不列入手机号码表，只计数；搜索结束时显示略去的个数。"));
  numberOptions->addWidget(placesBox);
  numberOptions->addWidget(validOnlyBox);
  numberOptions->addStretch(1);
  numberColumn->addLayout(numberOptions);
  numberColumn->addWidget(prefixField, 1);
  layout->addLayout(numberColumn, 1);
  root->addWidget(panel);
}

// Following links: a column of its own beside the filter boxes, as the links it follows are
// the ones those boxes and rules judge.
void MainWindow::BuildFollowColumn(QWidget* panel, QBoxLayout* layout) {
  followBox = CaptionLeftBox(panel, "followBox", QStringLiteral("跟随链接"));
  followBox->setToolTip(QStringLiteral(
      "从网址文件的每一行出发，在同一网站内沿链接继续搜索，直到所设的深度；"
      "每个网址只打开一次，遵守网站的 robots.txt。"));
  ignoreRobotsBox = CaptionLeftBox(panel, "ignoreRobotsBox", QStringLiteral("忽略robots"));
  ignoreRobotsBox->setToolTip(QStringLiteral("不读取 robots.txt：只用于自己的网站。"));
  depthField = new QSpinBox(panel);
  depthField->setObjectName(QStringLiteral("depthField"));
  depthField->setRange(1, kMaxFollowDepth);
  depthField->setToolTip(QStringLiteral("网址文件中的网页为第 0 层；第 N 层网页上的链接只收集，不再打开。"));
  scopeField = new QComboBox(panel);
  scopeField->setObjectName(QStringLiteral("scopeField"));
  // In the order of ScopeKind.
  scopeField->addItem(QStringLiteral("站点"));
  scopeField->addItem(QStringLiteral("主机"));
  scopeField->setToolTip(QStringLiteral(
      "站点：同一注册域名下的各个主机（如 www.example.com 与 bbs.example.com）；"
      "主机：只在该行网页所在的主机内。"));
  maxPagesField = new QSpinBox(panel);
  maxPagesField->setObjectName(QStringLiteral("maxPagesField"));
  maxPagesField->setRange(1, kMaxPagesPerLineLimit);
  maxPagesField->setToolTip(QStringLiteral("从网址文件的每一行出发，最多打开的网页数。"));
  sitemapsBox = CaptionLeftBox(panel, "sitemapsBox", QStringLiteral("站点地图"));
  sitemapsBox->setToolTip(QStringLiteral(
      "也打开每行网站的站点地图所列的网页（robots.txt 中的 Sitemap: 行，没有时为 /sitemap.xml）。"));
  // Applies with links followed or not; the one place left with room for it.
  retriesField = new QSpinBox(panel);
  retriesField->setObjectName(QStringLiteral("retriesField"));
  retriesField->setRange(0, kMaxRetries);
  retriesField->setToolTip(QStringLiteral(
      "网站回答“请稍后再试”（429、500、502、503、504）或没有回答时，再试的次数；0 为不再试。"));

  auto* column = new QVBoxLayout();
  column->setSpacing(2);
  column->addLayout(Row({followBox, ignoreRobotsBox}));
  column->addLayout(Row({BuddyLabel(panel, "depthLabel", QStringLiteral("深度："), depthField),
                         depthField,
                         BuddyLabel(panel, "scopeLabel", QStringLiteral("范围："), scopeField),
                         scopeField}));
  column->addLayout(Row({BuddyLabel(panel, "maxPagesLabel", QStringLiteral("每行最多网页："),
                                    maxPagesField),
                         maxPagesField}));
  column->addLayout(Row({BuddyLabel(panel, "retriesLabel", QStringLiteral("重试次数："),
                                    retriesField),
                         retriesField, sitemapsBox}));
  column->addStretch(1);
  layout->addLayout(column);
}

// What the walk does to see what a page shows only when asked: a row of its own under the
// filter panel, which has no room left.
void MainWindow::BuildRevealRow(QVBoxLayout* root) {
  QBoxLayout* layout = nullptr;
  QWidget* row = FixedHeightRow(this, "revealRow", kRevealRowHeight, layout);
  scrollBox = CaptionLeftBox(row, "scrollBox", QStringLiteral("滚动加载"));
  scrollBox->setToolTip(QStringLiteral(
      "网页打开后滚动到底部，最多所设的次数；每次等待网页加载新内容（最多 2 秒），不再变化时停止。"));
  scrollField = new QSpinBox(row);
  scrollField->setObjectName(QStringLiteral("scrollField"));
  scrollField->setRange(1, kMaxScrolls);
  scrollField->setValue(kDefaultScrolls);
  scrollField->setToolTip(QStringLiteral("每个网页最多滚动的次数。"));
  clickMoreBox = CaptionLeftBox(row, "clickMoreBox", QStringLiteral("点击更多"));
  clickMoreBox->setToolTip(QStringLiteral(
      "点击网页中文字为“加载更多”“查看更多”“查看电话”“展开”等的按钮，每个最多一次，每页最多 20 次；"
      "不点击表单中的按钮和打开其他网址的链接。"));
  structuredBox = CaptionLeftBox(row, "structuredBox", QStringLiteral("结构化数据"));
  structuredBox->setToolTip(QStringLiteral(
      "也收集网页头部、结构化数据（JSON-LD、microdata 的 telephone）和 tel: 链接中的号码；"
      "保存为 .csv 时写入号码的来源（found_in）。"));
  for (QWidget* w : {static_cast<QWidget*>(scrollBox), static_cast<QWidget*>(scrollField),
                     static_cast<QWidget*>(clickMoreBox), static_cast<QWidget*>(structuredBox)})
    layout->addWidget(w);
  layout->addStretch(1);
  root->addWidget(row);
}

void MainWindow::BuildResultLists(QVBoxLayout* root) {
  QBoxLayout* layout = nullptr;
  QWidget* panel = FixedHeightRow(this, "resultLists", kResultListsHeight, layout);
  layout->setContentsMargins(0, 0, 0, 0);
  linkModel_ = new ResultListModel(crawl_->Links(), QStringLiteral("网址链接表"), this);
  phoneModel_ = new ResultListModel(crawl_->Phones(), QStringLiteral("手机号码表"), this);
  linkList = CreateReportListView(panel, "linkList", linkModel_);
  phoneList = CreateReportListView(panel, "phoneList", phoneModel_);
  layout->addWidget(linkList, 1);
  layout->addWidget(phoneList, 1);
  root->addWidget(panel);
}

void MainWindow::BuildStatusBar(QVBoxLayout* root) {
  statusBar = new QWidget(this);
  statusBar->setObjectName(QStringLiteral("statusBar"));
  auto* layout = new QHBoxLayout(statusBar);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  const int widths[] = {39, 50, 39, 50, 39, 50, 41, 50};
  const QString captions[] = {QStringLiteral("总数："), {}, QStringLiteral("进程："), {},
                              QStringLiteral("链接："), {}, QStringLiteral("手机："), {}};
  for (int i = 0; i < 9; ++i) {
    auto* panel = new QLabel(statusBar);
    panel->setObjectName(QStringLiteral("statusPanel%1").arg(i));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);
    if (i < 8) {
      panel->setFixedWidth(widths[i]);
      panel->setText(captions[i]);
      layout->addWidget(panel);
    } else {
      panel->setText(QStringLiteral("Quenmar软件工作室 %1 电话 %2")
                         .arg(maker::HomePageHost(), maker::Telephone()));
      panel->setMinimumWidth(0);
      panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
      layout->addWidget(panel, 1);  // the rest of the bar
    }
    panels_.push_back(panel);
  }
  root->addWidget(statusBar);
}

void MainWindow::BuildTrayMenu() {
  trayMenu = new QMenu(this);
  trayMenu->setObjectName(QStringLiteral("trayMenu"));
  showMainAction = trayMenu->addAction(QStringLiteral("显示主程序(&S)"));
  showMainAction->setObjectName(QStringLiteral("showMainAction"));
  showMainAction->setEnabled(false);
  connect(showMainAction, &QAction::triggered, this, [this] { ShowMain(); });
  hideToTrayAction = trayMenu->addAction(QStringLiteral("最小化显示(&M)"));
  hideToTrayAction->setObjectName(QStringLiteral("hideToTrayAction"));
  connect(hideToTrayAction, &QAction::triggered, this, [this] { HideToTray(); });
  QAction* contact = trayMenu->addAction(QStringLiteral("与我们联系(&L)"));
  contact->setObjectName(QStringLiteral("contactAction"));
  connect(contact, &QAction::triggered, this,
          [this] { OpenUrl(maker::MailUrl()); });
  QAction* home = trayMenu->addAction(QStringLiteral("访问Quenmar主页(&V)"));
  home->setObjectName(QStringLiteral("homePageAction"));
  connect(home, &QAction::triggered, this,
          [this] { OpenUrl(maker::HomePage()); });
  QAction* about = trayMenu->addAction(QStringLiteral("关于本软件(&A)"));
  about->setObjectName(QStringLiteral("aboutAction"));
  connect(about, &QAction::triggered, this, [this] { ShowAbout(); });
  trayMenu->addSeparator()->setObjectName(QStringLiteral("trayMenuSeparator"));
  QAction* exit = trayMenu->addAction(QStringLiteral("退 出(&Exit)"));
  exit->setObjectName(QStringLiteral("exitAction"));
  connect(exit, &QAction::triggered, this, [this] { Exit(); });
}

void MainWindow::Centre() {
  resize(630, 463);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
}

}  // namespace tolvarine
