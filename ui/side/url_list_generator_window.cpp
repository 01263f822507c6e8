#include "ui/side/url_list_generator_window.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QToolButton>

#include "base/errors.h"
#include "base/guard.h"
#include "tools/url_list_generator.h"
#include "ui/dialogs/qt_dialogs.h"
#include "ui/side/images/generator_icon.xpm"
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

QLabel* AddLabel(QWidget* parent, const char* name, const QString& caption, int left, int top) {
  auto* l = new QLabel(caption, parent);
  l->setObjectName(QLatin1String(name));
  l->move(left, top);
  l->adjustSize();
  return l;
}

QLineEdit* AddEdit(QWidget* parent, const char* name, const QString& text, int left, int top,
                   int width) {
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(QLatin1String(name));
  e->setGeometry(left, top, width, kEditHeight);
  return e;
}

// A flat button with a glyph beside its caption that takes no focus.
QToolButton* AddButton(QWidget* parent, const char* name, const QString& caption, int left,
                       int top, const char* const* glyph) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QLatin1String(name));
  b->setText(caption);
  b->setIcon(TwoStateGlyph(glyph));
  b->setIconSize(QSize(16, 16));
  b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);
  b->setGeometry(left, top, 209, 25);
  return b;
}

const QString kTotalCaption = QStringLiteral("页面总数");
const QString kStartCaption = QStringLiteral("初始计数");
const QString kEndCaption = QStringLiteral("结束计数");
const QString kHttp = QStringLiteral("http://");

std::string FilePath(const QString& fileName) {
  return QFile::encodeName(fileName).toStdString();
}

}  // namespace

UrlListGeneratorWindow::UrlListGeneratorWindow(QWidget* parent,
                                               std::unique_ptr<Dialogs> dialogs)
    : SideDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>()) {
  setObjectName(QStringLiteral("urlListGenerator"));
  setWindowTitle(QStringLiteral("生成URL页面地址列表"));
  setWindowIcon(QIcon(QPixmap(generator_icon_xpm)));
  setFont(SongtiFont(12));
  resize(kClientWidth, kClientHeight);
  BuildControls();
}

UrlListGeneratorWindow::~UrlListGeneratorWindow() = default;

void UrlListGeneratorWindow::BuildControls() {
  separator_ = new QFrame(this);
  separator_->setObjectName(QStringLiteral("separator"));
  separator_->setFrameShape(QFrame::HLine);
  separator_->setFrameShadow(QFrame::Sunken);
  separator_->setGeometry(16, 96, 513, 2);
  BuildOneCounterControls();
  BuildTwoCounterControls();

  // Tab order: the one-counter fields, the two-counter fields left to right with the back
  // part before the middle, and the step last.
  QWidget* const order[] = {prefixField_,     startField_,     endField_,   suffixField_,
                            frontField_,      frontStartField_, frontEndField_, backField_,
                            middleField_,     middleStartField_, middleEndField_, stepField_};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  prefixField_->setFocus();

  connect(oneCounterButton_, &QToolButton::clicked, this, [this] { GenerateOneCounterList(); });
  connect(twoCounterButton_, &QToolButton::clicked, this, [this] { GenerateTwoCounterList(); });
}

void UrlListGeneratorWindow::BuildOneCounterControls() {
  oneCounterButton_ = AddButton(this, "oneCounterButton",
                                QStringLiteral("生成URL页面地址列表[一组计数]"), 184, 8,
                                glyph_one_counter_xpm);
  oneCounterTotalCaption_ = AddLabel(this, "oneCounterTotalCaption", kTotalCaption, 16, 16);
  oneCounterCount_ = AddLabel(this, "oneCounterCount", QString(), 72, 32);
  AddLabel(this, "stepCaption", QStringLiteral("增长率"), 456, 16);
  AddLabel(this, "prefixCaption", QStringLiteral("URL网址前缀"), 48, 48);
  AddLabel(this, "startCaption", kStartCaption, 160, 48);
  AddLabel(this, "endCaption", kEndCaption, 248, 48);
  AddLabel(this, "suffixCaption", QStringLiteral("URL网址后缀"), 384, 48);
  stepField_ = AddEdit(this, "stepField", QStringLiteral("1"), 496, 12, 33);
  prefixField_ = AddEdit(this, "prefixField", kHttp, 16, 72, 121);
  startField_ = AddEdit(this, "startField", QStringLiteral("0"), 152, 72, 73);
  endField_ = AddEdit(this, "endField", QString(), 240, 72, 73);
  suffixField_ = AddEdit(this, "suffixField", QString(), 328, 72, 201);
}

void UrlListGeneratorWindow::BuildTwoCounterControls() {
  twoCounterButton_ = AddButton(this, "twoCounterButton",
                                QStringLiteral("生成URL页面地址列表[两组计数]"), 184, 120,
                                glyph_two_counters_xpm);
  twoCounterCount_ = AddLabel(this, "twoCounterCount", kTotalCaption, 16, 120);
  AddLabel(this, "frontCaption", QStringLiteral("URL网址前段"), 16, 160);
  AddLabel(this, "frontStartCaption", kStartCaption, 112, 160);
  AddLabel(this, "frontEndCaption", kEndCaption, 168, 160);
  AddLabel(this, "middleCaption", QStringLiteral("URL网址中部"), 232, 160);
  AddLabel(this, "middleStartCaption", kStartCaption, 320, 160);
  AddLabel(this, "middleEndCaption", kEndCaption, 376, 160);
  AddLabel(this, "backCaption", QStringLiteral("URL网址后段"), 448, 160);
  frontField_ = AddEdit(this, "frontField", kHttp, 16, 184, 89);
  frontStartField_ = AddEdit(this, "frontStartField", QStringLiteral("0"), 112, 184, 49);
  frontEndField_ = AddEdit(this, "frontEndField", QString(), 168, 184, 49);
  middleField_ = AddEdit(this, "middleField", QString(), 224, 183, 89);
  middleStartField_ = AddEdit(this, "middleStartField", QStringLiteral("0"), 320, 183, 49);
  middleEndField_ = AddEdit(this, "middleEndField", QString(), 376, 183, 49);
  backField_ = AddEdit(this, "backField", QString(), 440, 184, 89);
}

std::optional<QString> UrlListGeneratorWindow::AskFileName() {
  FileDialogRequest request;
  request.title = QStringLiteral("BBS页面地址列表");
  request.filters = QStringList{QStringLiteral("Text files (*.txt)"),
                                QStringLiteral("All files (*.*)")};
  request.defaultSuffix = QStringLiteral("txt");
  request.selectedFile = lastFileName_;
  request.confirmOverwrite = true;
  std::optional<QString> chosen = dialogs_->SaveFile(this, request);
  if (chosen) lastFileName_ = *chosen;
  return chosen;
}

void UrlListGeneratorWindow::ShowErrorText(const std::string& messageGbk) {
  dialogs_->Error(this, FromGbk(ErrorDialogText(messageGbk)));
}

void UrlListGeneratorWindow::GenerateOneCounterList() {
  RunGuarded([this](const std::string& message) { ShowErrorText(message); }, [this] {
    const std::optional<QString> fileName = AskFileName();
    if (!fileName) return;
    repaint();  // redraw what the dialog covered before the work begins
    OneCounterFields fields;
    fields.prefix = ToGbk(prefixField_->text());
    fields.start = ToGbk(startField_->text());
    fields.end = ToGbk(endField_->text());
    fields.suffix = ToGbk(suffixField_->text());
    fields.step = ToGbk(stepField_->text());
    CountDisplay count(oneCounterCount_);
    GenerateOneCounterFile(fields, FilePath(*fileName),
                           [&count](std::int64_t k) { count.LineWritten(k); });
  });
}

void UrlListGeneratorWindow::GenerateTwoCounterList() {
  RunGuarded([this](const std::string& message) { ShowErrorText(message); }, [this] {
    const std::optional<QString> fileName = AskFileName();
    if (!fileName) return;
    repaint();
    TwoCounterFields fields;
    fields.front = ToGbk(frontField_->text());
    fields.start = ToGbk(frontStartField_->text());
    fields.end = ToGbk(frontEndField_->text());
    fields.middle = ToGbk(middleField_->text());
    fields.counter2Start = ToGbk(middleStartField_->text());
    fields.back = ToGbk(backField_->text());
    CountDisplay count(twoCounterCount_);
    GenerateTwoCounterFile(fields, FilePath(*fileName),
                           [&count](std::int64_t k) { count.LineWritten(k); });
  });
}

}  // namespace tolvarine
