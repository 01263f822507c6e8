#include "ui/side/bbs_form.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QToolButton>

#include "base/errors.h"
#include "base/guard.h"
#include "tools/url_list_generator.h"
#include "ui/side/images/bbs_icon.xpm"
#include "ui/side/images/glyph_one_counter.xpm"
#include "ui/side/images/glyph_two_counters.xpm"
#include "ui/qt_gbk.h"
#include "ui/side/side_look.h"

namespace tolvarine {
namespace {

// Outer size 546 x 238 less the sizeable frame (4 px a side) and the title bar (19 px).
constexpr int kClientWidth = 538;
constexpr int kClientHeight = 211;
constexpr int kEditHeight = 20;

// A button glyph holds two 16 x 16 images side by side: enabled, then disabled.
QIcon TwoStateGlyph(const char* const* xpm) {
  const QPixmap strip(xpm);
  const int side = strip.height();
  QIcon icon;
  icon.addPixmap(strip.copy(0, 0, side, side), QIcon::Normal);
  icon.addPixmap(strip.copy(side, 0, side, side), QIcon::Disabled);
  return icon;
}

// Shows the running line count in a label. The label is repainted at once, but no more
// often than the screen can show it; the last count is always shown when the run ends,
// also when it ends in a failure.
class CountDisplay {
 public:
  explicit CountDisplay(QLabel* label) : label_(label) { sinceShown_.start(); }
  ~CountDisplay() {
    if (written_ > 0 && written_ != shown_) Show();
  }
  CountDisplay(const CountDisplay&) = delete;
  CountDisplay& operator=(const CountDisplay&) = delete;

  void LineWritten(std::int64_t k) {
    written_ = k;
    if (sinceShown_.elapsed() >= kFrameMs) {
      Show();
      sinceShown_.restart();
    }
  }

 private:
  static constexpr qint64 kFrameMs = 16;

  void Show() {
    label_->setText(QString::number(written_));
    label_->adjustSize();
    label_->repaint();
    shown_ = written_;
  }

  QLabel* label_;
  QElapsedTimer sinceShown_;
  std::int64_t written_ = 0;
  std::int64_t shown_ = 0;
};

std::string FilePath(const QString& fileName) {
  return QFile::encodeName(fileName).toStdString();
}

}  // namespace

TbbsForm::TbbsForm(QWidget* parent, std::unique_ptr<BbsDialogs> dialogs)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtBbsDialogs>()) {
  setObjectName(QStringLiteral("bbsForm"));
  setWindowTitle(QStringLiteral("生成URL页面地址列表"));
  setWindowIcon(QIcon(QPixmap(bbs_icon_xpm)));
  setFont(SongtiFont(12));
  resize(kClientWidth, kClientHeight);
  BuildControls();
}

TbbsForm::~TbbsForm() = default;

void TbbsForm::BuildControls() {
  auto label = [this](const char* name, const QString& caption, int left, int top) {
    auto* l = new QLabel(caption, this);
    l->setObjectName(QLatin1String(name));
    l->move(left, top);
    l->adjustSize();
    return l;
  };
  auto edit = [this](const char* name, const QString& text, int left, int top, int width) {
    auto* e = new QLineEdit(text, this);
    e->setObjectName(QLatin1String(name));
    e->setGeometry(left, top, width, kEditHeight);
    return e;
  };
  auto button = [this](const char* name, const QString& caption, int left, int top,
                       const char* const* glyph) {
    auto* b = new QToolButton(this);
    b->setObjectName(QLatin1String(name));
    b->setText(caption);
    b->setIcon(TwoStateGlyph(glyph));
    b->setIconSize(QSize(16, 16));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(left, top, 209, 25);
    return b;
  };

  Bevel1 = new QFrame(this);
  Bevel1->setObjectName(QStringLiteral("Bevel1"));
  Bevel1->setFrameShape(QFrame::HLine);
  Bevel1->setFrameShadow(QFrame::Sunken);
  Bevel1->setGeometry(16, 96, 513, 2);

  const QString total = QStringLiteral("页面总数");
  const QString start = QStringLiteral("初始计数");
  const QString end = QStringLiteral("结束计数");
  const QString http = QStringLiteral("http://");

  // One counter.
  SpeedButton1 = button("SpeedButton1", QStringLiteral("生成URL页面地址列表[一组计数]"), 184, 8,
                        glyph_one_counter_xpm);
  Label1 = label("Label1", total, 16, 16);
  Label2 = label("Label2", QString(), 72, 32);
  label("Label15", QStringLiteral("增长率"), 456, 16);
  label("Label3", QStringLiteral("URL网址前缀"), 48, 48);
  label("Label4", start, 160, 48);
  label("Label5", end, 248, 48);
  label("Label6", QStringLiteral("URL网址后缀"), 384, 48);
  Edit12 = edit("Edit12", QStringLiteral("1"), 496, 12, 33);
  Edit1 = edit("Edit1", http, 16, 72, 121);
  Edit2 = edit("Edit2", QStringLiteral("0"), 152, 72, 73);
  Edit3 = edit("Edit3", QString(), 240, 72, 73);
  Edit4 = edit("Edit4", QString(), 328, 72, 201);

  // Two counters.
  SpeedButton2 = button("SpeedButton2", QStringLiteral("生成URL页面地址列表[两组计数]"), 184, 120,
                        glyph_two_counters_xpm);
  Label7 = label("Label7", total, 16, 120);
  label("Label8", QStringLiteral("URL网址前段"), 16, 160);
  label("Label9", start, 112, 160);
  label("Label10", end, 168, 160);
  label("Label12", QStringLiteral("URL网址中部"), 232, 160);
  label("Label13", start, 320, 160);
  label("Label14", end, 376, 160);
  label("Label11", QStringLiteral("URL网址后段"), 448, 160);
  Edit5 = edit("Edit5", http, 16, 184, 89);
  Edit6 = edit("Edit6", QStringLiteral("0"), 112, 184, 49);
  Edit7 = edit("Edit7", QString(), 168, 184, 49);
  Edit9 = edit("Edit9", QString(), 224, 183, 89);
  Edit10 = edit("Edit10", QStringLiteral("0"), 320, 183, 49);
  Edit11 = edit("Edit11", QString(), 376, 183, 49);
  Edit8 = edit("Edit8", QString(), 440, 184, 89);

  // Tab order: the one-counter fields, the two-counter fields left to right with the back
  // part before the middle, and the step last.
  QWidget* const order[] = {Edit1, Edit2, Edit3, Edit4,  Edit5,  Edit6,
                            Edit7, Edit8, Edit9, Edit10, Edit11, Edit12};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  Edit1->setFocus();

  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
  connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
}

void TbbsForm::showEvent(QShowEvent* event) {
  CenterOnScreen(this);
  QDialog::showEvent(event);
}

void TbbsForm::keyPressEvent(QKeyEvent* event) {
  // The window has no cancel button: Escape does not close it (the close box does).
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

std::optional<QString> TbbsForm::AskFileName() {
  SaveDialogSetup setup;
  setup.title = QStringLiteral("BBS页面地址列表");
  setup.nameFilters = QStringList{QStringLiteral("Text files (*.txt)"),
                                  QStringLiteral("All files (*.*)")};
  setup.defaultSuffix = QStringLiteral("txt");
  setup.fileName = lastFileName_;
  std::optional<QString> chosen = dialogs_->ChooseSaveFile(this, setup);
  if (chosen) lastFileName_ = *chosen;
  return chosen;
}

void TbbsForm::ShowErrorText(const std::string& messageGbk) {
  dialogs_->ShowError(this, FromGbk(ErrorDialogText(messageGbk)));
}

void TbbsForm::SpeedButton1Click() {
  RunGuarded([this](const std::string& message) { ShowErrorText(message); }, [this] {
    const std::optional<QString> fileName = AskFileName();
    if (!fileName) return;
    repaint();  // redraw what the dialog covered before the work begins
    OneCounterFields fields;
    fields.prefix = ToGbk(Edit1->text());
    fields.start = ToGbk(Edit2->text());
    fields.end = ToGbk(Edit3->text());
    fields.suffix = ToGbk(Edit4->text());
    fields.step = ToGbk(Edit12->text());
    CountDisplay count(Label2);
    GenerateOneCounterFile(fields, FilePath(*fileName),
                           [&count](std::int64_t k) { count.LineWritten(k); });
  });
}

void TbbsForm::SpeedButton2Click() {
  RunGuarded([this](const std::string& message) { ShowErrorText(message); }, [this] {
    const std::optional<QString> fileName = AskFileName();
    if (!fileName) return;
    repaint();
    TwoCounterFields fields;
    fields.front = ToGbk(Edit5->text());
    fields.start = ToGbk(Edit6->text());
    fields.end = ToGbk(Edit7->text());
    fields.middle = ToGbk(Edit9->text());
    fields.counter2Start = ToGbk(Edit10->text());
    fields.back = ToGbk(Edit8->text());
    CountDisplay count(Label7);
    GenerateTwoCounterFile(fields, FilePath(*fileName),
                           [&count](std::int64_t k) { count.LineWritten(k); });
  });
}

}  // namespace tolvarine
