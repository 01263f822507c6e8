// What a user sees of the main window when it opens: caption, size, the tool bar, the
// option row, the filter rules, the lists, the status bar and the tray menu.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>

#include "main_window_fixture.h"
#include "ui/tray/tray_icon.h"

namespace tolvarine::testing {
namespace {

TEST_F(MainWindowTest, WindowHasItsTitleSizeAndPartsInOrder) {
  Create();
  EXPECT_TRUE(Window().windowTitle().startsWith(QStringLiteral("『Tolvarine』V2.1 www.")));
  EXPECT_EQ(Window().size(), QSize(630, 463));
  EXPECT_EQ(ApplicationTitle(), QStringLiteral("『Tolvarine』V2.1"));
  Window().show();
  const char* topToBottom[] = {"toolBar",     "optionRow",   "filterPanel", "revealRow",
                               "resultLists", "browserPane", "statusBar"};
  const int heights[] = {31, 34, 96, 26, 88};
  int lastY = -1;
  for (int i = 0; i < 7; ++i) {
    QWidget* part = Child<QWidget>(topToBottom[i]);
    ASSERT_NE(part, nullptr) << topToBottom[i];
    EXPECT_GT(part->y(), lastY) << topToBottom[i];
    lastY = part->y();
    if (i < 5) {
      EXPECT_EQ(part->height(), heights[i]) << topToBottom[i];
    }
  }
  // The browser pane takes what is left.
  EXPECT_GT(Child<QWidget>("browserPane")->height(), 100);
  // Tips are lime green.
  EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), QColor(0, 255, 0));
}

// The window's rows and panels and what they hold directly; the parts of a composite
// control (a spin box's editor, a list's scroll bar) are the control's own business.
bool IsControl(const QWidget* w, const QWidget* window) {
  return w->parentWidget() == window || w->parentWidget()->parentWidget() == window;
}

// The caption (and the icon beside it) of a control whose width the window sets itself.
int CaptionWidth(const QWidget* w) {
  if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
    const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
    return w->fontMetrics().horizontalAdvance(button->text()) + icon;
  }
  if (const auto* label = qobject_cast<const QLabel*>(w))
    return w->fontMetrics().horizontalAdvance(label->text());
  return 0;
}

TEST_F(MainWindowTest, EveryControlShowsWholeAtTheDefaultSize) {
  state_.Write("tolvarine-extra.ini", "follow=1\r\n");
  Create();
  Window().show();
  ASSERT_EQ(Window().size(), QSize(630, 463));
  const QRect client = Window().rect();
  int controls = 0;
  for (QWidget* w : Window().findChildren<QWidget*>()) {
    if (!w->isVisible() || w->isWindow()) continue;
    const std::string name = w->objectName().toStdString();
    const QRect shown(w->mapTo(&Window(), QPoint(0, 0)), w->size());
    EXPECT_TRUE(client.contains(shown)) << name << " at " << shown.x() << "," << shown.y()
                                        << " " << shown.width() << "x" << shown.height();
    if (!IsControl(w, &Window())) continue;
    ++controls;
    if (w->minimumWidth() == w->maximumWidth()) {
      EXPECT_LE(CaptionWidth(w), w->contentsRect().width()) << name << "'s caption is cut";
    } else if (w->sizePolicy().horizontalPolicy() != QSizePolicy::Ignored) {
      // (The message panel gives way to the window's width by design.)
      EXPECT_GE(w->width(), w->minimumSizeHint().width()) << name << " is cut";
    }
  }
  EXPECT_GT(controls, 40);
}

TEST_F(MainWindowTest, ToolBarHasTenFlatButtonsWithCaptionsHintsAndGlyphs) {
  Create();
  Window().show();
  const struct {
    const char* name;
    QString caption, hint;
  } buttons[] = {
      {"chooseListButton", QStringLiteral("网址"), QStringLiteral("选择网址列表")},
      {"startButton", QStringLiteral("搜索"), QStringLiteral("开始网络搜索")},
      {"stopButton", QStringLiteral("终止"), QStringLiteral("终止网络搜索")},
      {"continueButton", QStringLiteral("继续"), QStringLiteral("继续网络搜索")},
      {"saveResultsButton", QStringLiteral("保存"), QStringLiteral("保存搜索结果")},
      {"createListButton", QStringLiteral("创建"), QStringLiteral("创建网址列表")},
      {"writeProgressButton", QStringLiteral("进程"), QStringLiteral("保存搜索进程")},
      {"mergeButton", QStringLiteral("整理"), QStringLiteral("合并去重数据")},
      {"aboutButton", QStringLiteral("关于"), QStringLiteral("关于本软件")},
      {"exitButton", QStringLiteral("退出"), QStringLiteral("退出软件系统")},
  };
  int lastX = -1;
  for (const auto& b : buttons) {
    auto* button = Child<QToolButton>(b.name);
    ASSERT_NE(button, nullptr) << b.name;
    EXPECT_EQ(button->text(), b.caption);
    EXPECT_EQ(button->toolTip(), b.hint);
    EXPECT_EQ(button->size(), QSize(55, 23));
    EXPECT_TRUE(button->autoRaise());
    EXPECT_TRUE(button->isEnabled()) << "all commands start enabled";
    EXPECT_GT(button->x(), lastX) << b.name;
    lastX = button->x();
    // Two-state glyph: the disabled image differs from the normal one.
    const QIcon icon = button->icon();
    EXPECT_NE(icon.pixmap(16, 16, QIcon::Normal).toImage(),
              icon.pixmap(16, 16, QIcon::Disabled).toImage());
  }
}

TEST_F(MainWindowTest, OptionRowDefaults) {
  Create();
  Window().show();
  auto* speed = Child<QSpinBox>("speedField");
  ASSERT_NE(speed, nullptr);
  EXPECT_EQ(speed->minimum(), 1);
  EXPECT_EQ(speed->maximum(), 60);
  EXPECT_EQ(speed->value(), 8);
  const struct {
    const char* name;
    QString caption;
  } boxes[] = {{"dedupBox", QStringLiteral("去重")},       {"autosaveBox", QStringLiteral("自动保存")},
               {"searchLinksBox", QStringLiteral("搜索链接")},   {"searchPhonesBox", QStringLiteral("搜索手机")},
               {"linkFilterBox", QStringLiteral("启用链接筛选")}, {"onlySiteBox", QStringLiteral("只搜索本站")}};
  int lastX = speed->x();
  for (int i = 0; i < 6; ++i) {
    auto* box = Child<QCheckBox>(boxes[i].name);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), boxes[i].caption);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(box->layoutDirection(), Qt::RightToLeft) << "caption left of the box";
    if (i < 4) {
      EXPECT_GT(box->x(), lastX);
      lastX = box->x();
    }
  }
  auto* file = Child<QLineEdit>("listFileField");
  EXPECT_TRUE(file->isReadOnly());
  EXPECT_GT(file->x(), lastX);
  const int narrow = file->width();
  Window().resize(900, 463);
  Window().layout()->activate();
  EXPECT_GT(file->width(), narrow + 200) << "the list file field widens with the window";
}

TEST_F(MainWindowTest, FilterFieldsHoldTheirDefaultRules) {
  Create();
  auto* mustContain = Child<QPlainTextEdit>("mustContainField");
  auto* mustNotContain = Child<QPlainTextEdit>("mustNotContainField");
  auto* prefixes = Child<QPlainTextEdit>("prefixField");
  EXPECT_EQ(mustContain->toPlainText(), QStringLiteral("http://\n."));
  EXPECT_EQ(mustNotContain->toPlainText(), QStringLiteral("$\n#"));
  EXPECT_EQ(prefixes->toPlainText(), QStringLiteral("13\n15\n18"));
  EXPECT_EQ(prefixes->toolTip(), QStringLiteral("可以自行添加手机特征符"));
  for (auto* memo : {mustContain, mustNotContain, prefixes}) {
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  }
  EXPECT_EQ(Child<QLabel>("mustContainLabel")->text(), QStringLiteral("链接必须包含："));
  EXPECT_EQ(Child<QLabel>("mustNotContainLabel")->text(), QStringLiteral("链接必须不含："));
}

TEST_F(MainWindowTest, ResultListsAreReadOnlyReportViews) {
  Create();
  Window().show();
  const struct {
    const char* name;
    QString caption;
  } lists[] = {{"linkList", QStringLiteral("网址链接表")},
               {"phoneList", QStringLiteral("手机号码表")}};
  for (const auto& l : lists) {
    auto* view = Child<QTreeView>(l.name);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->model()->headerData(0, Qt::Horizontal).toString(), l.caption);
    EXPECT_EQ(view->columnWidth(0), 250);
    EXPECT_EQ(view->model()->columnCount(), 1);
    EXPECT_EQ(view->editTriggers(), QAbstractItemView::NoEditTriggers);
  }
  EXPECT_LT(Child<QTreeView>("linkList")->x(), Child<QTreeView>("phoneList")->x());
}

TEST_F(MainWindowTest, StatusBarHasNinePanelsWithTheirWidthsAndCaptions) {
  Create();
  Window().show();
  const int widths[] = {39, 50, 39, 50, 39, 50, 41, 50};
  const QString captions[] = {QStringLiteral("总数："), {}, QStringLiteral("进程："), {},
                              QStringLiteral("链接："), {}, QStringLiteral("手机："), {}};
  for (int i = 0; i < 8; ++i) {
    auto* panel = Child<QLabel>(QStringLiteral("statusPanel%1").arg(i).toLatin1().constData());
    ASSERT_NE(panel, nullptr) << i;
    EXPECT_EQ(panel->width(), widths[i]) << i;
    EXPECT_EQ(Window().PanelText(i), captions[i]) << i;
  }
  auto* message = Child<QLabel>("statusPanel8");
  EXPECT_FALSE(message->text().isEmpty()) << "the contact line";
  EXPECT_GT(message->width(), 100) << "the message panel takes the rest";
}

TEST_F(MainWindowTest, TrayIconIsConfiguredThroughItsPropertiesWithTheMenu) {
  Create();
  TrayIcon* icon = Window().TrayIcon();
  ASSERT_NE(icon, nullptr);
  EXPECT_TRUE(icon->Visible());
  EXPECT_EQ(icon->Hint(), Gbk("『Tolvarine』V2.1"));
  EXPECT_EQ(icon->PopupMenu(), Window().TrayMenu());
  EXPECT_FALSE(icon->Icon().isNull());
  EXPECT_EQ(tray_->requests, (std::vector<std::string>{"add"}));
  EXPECT_EQ(tray_->tip, ApplicationTitle());

  const QList<QAction*> items = Window().TrayMenu()->actions();
  ASSERT_EQ(items.size(), 7);
  const QString texts[] = {QStringLiteral("显示主程序(&S)"), QStringLiteral("最小化显示(&M)"),
                           QStringLiteral("与我们联系(&L)"), QStringLiteral("访问Quenmar主页(&V)"),
                           QStringLiteral("关于本软件(&A)"), QString(),
                           QStringLiteral("退 出(&Exit)")};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(items[i]->text(), texts[i]) << i;
  EXPECT_TRUE(items[5]->isSeparator());
  EXPECT_FALSE(items[0]->isEnabled());
  for (int i : {1, 2, 3, 4, 6}) EXPECT_TRUE(items[i]->isEnabled()) << i;
}

}  // namespace
}  // namespace tolvarine::testing

namespace tolvarine::testing {
namespace {

TEST(MainWindowDefaults, BuildsWithTheWebPaneAndTheQtClock) {
  TempFolder state;
  MainWindowParts parts;
  parts.dialogs = std::make_unique<FakeDialogs>();
  parts.stateFolder = state.Path();
  parts.trayService = std::make_unique<RecordingTrayService>(
      std::make_shared<RecordingTrayService::Shared>());
  MainWindow form(std::move(parts));
  QWidget* pane = form.findChild<QWidget*>(QStringLiteral("browserPane"));
  ASSERT_NE(pane, nullptr);
  EXPECT_NE(dynamic_cast<PageBrowser*>(pane), nullptr);
}

}  // namespace
}  // namespace tolvarine::testing
