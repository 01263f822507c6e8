#include "ui/side/about_form.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <qdrawutil.h>

#include "ui/side/images/credit_line.xpm"
#include "ui/side/images/maker_logo.xpm"
#include "ui/side/program_icon.h"
#include "ui/side/side_look.h"

namespace tolvarine {
namespace {

// Outer size 280 x 217 less the sizeable frame (4 px a side) and the title bar (19 px).
constexpr int kClientWidth = 272;
constexpr int kClientHeight = 190;

// A panel with a lowered outer bevel and a raised inner one.
class BevelPanel : public QWidget {
 public:
  explicit BevelPanel(QWidget* parent) : QWidget(parent) { setAutoFillBackground(true); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect outer = rect();
    qDrawShadePanel(&painter, outer, palette(), /*sunken=*/true, 1);
    qDrawShadePanel(&painter, outer.adjusted(1, 1, -1, -1), palette(), /*sunken=*/false, 1);
  }
};

}  // namespace

TForm2::TForm2(QWidget* parent, UrlOpener opener)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("关于本软件"));
  setWindowIcon(tolvarine::ProgramIcon());
  resize(kClientWidth, kClientHeight);
  QPalette look = palette();
  look.setColor(QPalette::Window, look.color(QPalette::Button));
  setPalette(look);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  setFont(font);

  Panel1 = new BevelPanel(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(0, 0, kClientWidth, kClientHeight);

  ProgramIcon = new QLabel(Panel1);
  ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
  const QPixmap logo(maker_logo_xpm);
  ProgramIcon->setPixmap(logo);
  ProgramIcon->setGeometry(20, 8, logo.width(), logo.height());

  ProductName = new QLabel(QStringLiteral("『Tolvarine』V2.1"), Panel1);
  ProductName->setObjectName(QStringLiteral("ProductName"));
  QFont nameFont = SongtiFont(12);
  nameFont.setBold(true);
  ProductName->setFont(nameFont);
  QPalette blue = ProductName->palette();
  blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
  ProductName->setPalette(blue);
  ProductName->move(96, 16);
  ProductName->adjustSize();

  Image1 = new QLabel(Panel1);
  Image1->setObjectName(QStringLiteral("Image1"));
  const QPixmap credit(credit_line_xpm);
  Image1->setPixmap(credit);
  Image1->setAlignment(Qt::AlignCenter);
  Image1->setGeometry(20, 64, credit.width(), credit.height());

  auto link = [this, &opener](const char* name, int left, int top, int width,
                              const QString& caption, const QString& url) {
    auto* l = new TcwHyperLink(Panel1);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(left, top, width, 15);
    l->SetCaption(caption);
    l->SetURL(url);
    l->SetColor(palette().color(QPalette::Button));
    l->setCursor(Qt::PointingHandCursor);
    if (opener) l->SetOpener(opener);
    return l;
  };
  cwHyperLink1 = link("cwHyperLink1", 16, 88, 181, QStringLiteral("http://www.quenmar.example/"),
                      QStringLiteral("http://www.quenmar.example/"));
  cwHyperLink3 = link("cwHyperLink3", 16, 108, 130, QStringLiteral("soft.quenmar.example"),
                      QStringLiteral("http://soft.quenmar.example/tolvarine/"));
  cwHyperLink2 = link("cwHyperLink2", 16, 130, 192, QStringLiteral("QQ:10000001 TEL:000-0000000"),
                      QStringLiteral("mailto:support@quenmar.example"));

  OKButton = new QPushButton(QStringLiteral("确 定"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setFont(SongtiFont(12));
  OKButton->setGeometry(207, 156, 50, 25);
  OKButton->setDefault(true);
  OKButton->raise();
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm2::showEvent(QShowEvent* event) {
  CenterOnScreen(this);
  QDialog::showEvent(event);
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  // No cancel button: Escape does not close the about box.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace tolvarine
