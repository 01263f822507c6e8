// Building TForm1's controls, top to bottom, with their sizes, captions and defaults.
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/main/main_form.h"
#include "ui/main/result_list_model.h"
#include "ui/main/speed_spin_box.h"
#include "ui/main/tool_glyphs.h"

namespace tolvarine {
namespace {

constexpr int kToolBarHeight = 31;
constexpr int kOptionRowHeight = 34;
constexpr int kFilterPanelHeight = 96;
constexpr int kResultListsHeight = 88;

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

QPlainTextEdit* RuleMemo(QWidget* parent, const char* name) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(QString::fromLatin1(name));
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return memo;
}


}  // namespace

void TForm1::BuildToolBar(QVBoxLayout* root) {
  QBoxLayout* layout = nullptr;
  ToolBar1 = FixedHeightRow(this, "ToolBar1", kToolBarHeight, layout);
  layout->setContentsMargins(2, 4, 2, 4);
  layout->setSpacing(0);
  struct ButtonDef {
    QToolButton** button;
    const char* name;
    QString caption;
    QString hint;
    Glyph glyph;
    void (TForm1::*command)();
  };
  const ButtonDef buttons[] = {
      {&SpeedButton1, "SpeedButton1", QStringLiteral("网址"), QStringLiteral("选择网址列表"),
       Glyph::Globe, &TForm1::N1Click},
      {&SpeedButton2, "SpeedButton2", QStringLiteral("搜索"), QStringLiteral("开始网络搜索"),
       Glyph::Search, &TForm1::N2Click},
      {&SpeedButton3, "SpeedButton3", QStringLiteral("终止"), QStringLiteral("终止网络搜索"),
       Glyph::Stop, &TForm1::N3Click},
      {&SpeedButton4, "SpeedButton4", QStringLiteral("继续"), QStringLiteral("继续网络搜索"),
       Glyph::Resume, &TForm1::N4Click},
      {&SpeedButton5, "SpeedButton5", QStringLiteral("保存"), QStringLiteral("保存搜索结果"),
       Glyph::Save, &TForm1::SpeedButton5Click},
      {&SpeedButton6, "SpeedButton6", QStringLiteral("创建"), QStringLiteral("创建网址列表"),
       Glyph::Create, &TForm1::SpeedButton6Click},
      {&SpeedButton8, "SpeedButton8", QStringLiteral("进程"), QStringLiteral("保存搜索进程"),
       Glyph::Progress, &TForm1::SpeedButton8Click},
      {&SpeedButton11, "SpeedButton11", QStringLiteral("整理"), QStringLiteral("合并去重数据"),
       Glyph::Merge, &TForm1::SpeedButton11Click},
      {&SpeedButton9, "SpeedButton9", QStringLiteral("关于"), QStringLiteral("关于本软件"),
       Glyph::About, &TForm1::SpeedButton9Click},
      {&SpeedButton10, "SpeedButton10", QStringLiteral("退出"), QStringLiteral("退出软件系统"),
       Glyph::Exit, &TForm1::SpeedButton10Click},
  };
  for (const ButtonDef& def : buttons) {
    auto* button = new QToolButton(ToolBar1);
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
  root->addWidget(ToolBar1);
}

void TForm1::BuildOptionRow(QVBoxLayout* root) {
  QBoxLayout* layout = nullptr;
  QWidget* row = FixedHeightRow(this, "Panel1", kOptionRowHeight, layout);
  auto* speedLabel = new QLabel(QStringLiteral("速度[秒]："), row);
  speedLabel->setObjectName(QStringLiteral("Label1"));
  SpinEdit1 = new SpeedSpinBox(row);
  SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
  speedLabel->setBuddy(SpinEdit1);
  CheckBox1 = CaptionLeftBox(row, "CheckBox1", QStringLiteral("去重"));
  CheckBox2 = CaptionLeftBox(row, "CheckBox2", QStringLiteral("自动保存"));
  CheckBox3 = CaptionLeftBox(row, "CheckBox3", QStringLiteral("搜索链接"));
  CheckBox4 = CaptionLeftBox(row, "CheckBox4", QStringLiteral("搜索手机"));
  auto* fileLabel = new QLabel(QStringLiteral("网址文件："), row);
  fileLabel->setObjectName(QStringLiteral("Label2"));
  Edit1 = new QLineEdit(row);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setReadOnly(true);
  fileLabel->setBuddy(Edit1);
  for (QWidget* w : {static_cast<QWidget*>(speedLabel), static_cast<QWidget*>(SpinEdit1),
                     static_cast<QWidget*>(CheckBox1), static_cast<QWidget*>(CheckBox2),
                     static_cast<QWidget*>(CheckBox3), static_cast<QWidget*>(CheckBox4),
                     static_cast<QWidget*>(fileLabel)}) {
    layout->addWidget(w);
  }
  layout->addWidget(Edit1, 1);  // widens with the window
  root->addWidget(row);
}

void TForm1::BuildFilterPanel(QVBoxLayout* root) {
  QBoxLayout* layout = nullptr;
  QWidget* panel = FixedHeightRow(this, "Panel2", kFilterPanelHeight, layout);

  auto* boxes = new QVBoxLayout();
  CheckBox5 = CaptionLeftBox(panel, "CheckBox5", QStringLiteral("启用链接筛选"));
  CheckBox6 = CaptionLeftBox(panel, "CheckBox6", QStringLiteral("只搜索本站"));
  boxes->addWidget(CheckBox5);
  boxes->addWidget(CheckBox6);
  boxes->addStretch(1);
  layout->addLayout(boxes);

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
  Memo1 = RuleMemo(panel, "Memo1");
  Memo2 = RuleMemo(panel, "Memo2");
  addRuleColumn("Label3", QStringLiteral("链接必须包含："), Memo1);
  addRuleColumn("Label4", QStringLiteral("链接必须不含："), Memo2);

  Memo3 = RuleMemo(panel, "Memo3");
  Memo3->setToolTip(QStringLiteral("可以自行添加手机特征符"));
  Memo3->setPlaceholderText(QStringLiteral("可以自行添加手机特征符"));
  layout->addWidget(Memo3, 1);
  root->addWidget(panel);
}

void TForm1::BuildResultLists(QVBoxLayout* root) {
  QBoxLayout* layout = nullptr;
  QWidget* panel = FixedHeightRow(this, "Panel3", kResultListsHeight, layout);
  layout->setContentsMargins(0, 0, 0, 0);
  linkModel_ = new ResultListModel(crawl_->Links(), QStringLiteral("网址链接表"), this);
  phoneModel_ = new ResultListModel(crawl_->Phones(), QStringLiteral("手机号码表"), this);
  ListView1 = CreateReportListView(panel, "ListView1", linkModel_);
  ListView2 = CreateReportListView(panel, "ListView2", phoneModel_);
  layout->addWidget(ListView1, 1);
  layout->addWidget(ListView2, 1);
  root->addWidget(panel);
}

void TForm1::BuildStatusBar(QVBoxLayout* root) {
  StatusBar1 = new QWidget(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  auto* layout = new QHBoxLayout(StatusBar1);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  const int widths[] = {39, 50, 39, 50, 39, 50, 41, 50};
  const QString captions[] = {QStringLiteral("总数："), {}, QStringLiteral("进程："), {},
                              QStringLiteral("链接："), {}, QStringLiteral("手机："), {}};
  for (int i = 0; i < 9; ++i) {
    auto* panel = new QLabel(StatusBar1);
    panel->setObjectName(QStringLiteral("Panel%1").arg(i));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);
    if (i < 8) {
      panel->setFixedWidth(widths[i]);
      panel->setText(captions[i]);
      layout->addWidget(panel);
    } else {
      panel->setText(QStringLiteral("Quenmar软件工作室 www.quenmar.example 电话 010-00000000"));
      panel->setMinimumWidth(0);
      panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
      layout->addWidget(panel, 1);  // the rest of the bar
    }
    panels_.push_back(panel);
  }
  root->addWidget(StatusBar1);
}

void TForm1::BuildTrayMenu() {
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  N17 = PopupMenu1->addAction(QStringLiteral("显示主程序(&S)"));
  N17->setObjectName(QStringLiteral("N17"));
  N17->setEnabled(false);
  connect(N17, &QAction::triggered, this, [this] { N17Click(); });
  N18 = PopupMenu1->addAction(QStringLiteral("最小化显示(&M)"));
  N18->setObjectName(QStringLiteral("N18"));
  connect(N18, &QAction::triggered, this, [this] { N18Click(); });
  QAction* contact = PopupMenu1->addAction(QStringLiteral("与我们联系(&L)"));
  contact->setObjectName(QStringLiteral("N19"));
  connect(contact, &QAction::triggered, this,
          [this] { OpenUrl(QStringLiteral("mailto:service@quenmar.example")); });
  QAction* home = PopupMenu1->addAction(QStringLiteral("访问Quenmar主页(&V)"));
  home->setObjectName(QStringLiteral("N20"));
  connect(home, &QAction::triggered, this,
          [this] { OpenUrl(QStringLiteral("http://www.quenmar.example/")); });
  QAction* about = PopupMenu1->addAction(QStringLiteral("关于本软件(&A)"));
  about->setObjectName(QStringLiteral("N21"));
  connect(about, &QAction::triggered, this, [this] { SpeedButton9Click(); });
  PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N22"));
  QAction* exit = PopupMenu1->addAction(QStringLiteral("退 出(&Exit)"));
  exit->setObjectName(QStringLiteral("N23"));
  connect(exit, &QAction::triggered, this, [this] { SpeedButton10Click(); });
}

void TForm1::Centre() {
  resize(630, 463);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
}

}  // namespace tolvarine
