#include "ui/side/about_box.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <qdrawutil.h>

#include "number_data/block_table.h"
#include "ui/dialogs/dialogs.h"
#include "ui/side/images/credit_line.xpm"
#include "ui/side/images/maker_logo.xpm"
#include "ui/side/maker_contact.h"
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

AboutBox::AboutBox(QWidget* parent, UrlOpener opener)
    : SideDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("aboutBox"));
  setWindowTitle(QStringLiteral("关于本软件"));
  setWindowIcon(ProgramIcon());
  resize(kClientWidth, kClientHeight);
  QPalette look = palette();
  look.setColor(QPalette::Window, look.color(QPalette::Button));
  setPalette(look);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  setFont(font);

  panel_ = new BevelPanel(this);
  panel_->setObjectName(QStringLiteral("panel"));
  panel_->setGeometry(0, 0, kClientWidth, kClientHeight);

  makerLogo_ = new QLabel(panel_);
  makerLogo_->setObjectName(QStringLiteral("makerLogo"));
  const QPixmap logo(maker_logo_xpm);
  makerLogo_->setPixmap(logo);
  makerLogo_->setGeometry(20, 8, logo.width(), logo.height());

  productName_ = new QLabel(ApplicationTitle(), panel_);
  productName_->setObjectName(QStringLiteral("productName"));
  QFont nameFont = SongtiFont(12);
  nameFont.setBold(true);
  productName_->setFont(nameFont);
  QPalette blue = productName_->palette();
  blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
  productName_->setPalette(blue);
  productName_->move(96, 16);
  productName_->adjustSize();

  creditLine_ = new QLabel(panel_);
  creditLine_->setObjectName(QStringLiteral("creditLine"));
  const QPixmap credit(credit_line_xpm);
  creditLine_->setPixmap(credit);
  creditLine_->setAlignment(Qt::AlignCenter);
  creditLine_->setGeometry(20, 64, credit.width(), credit.height());

  auto link = [this, &opener](const char* name, int left, int top, int width,
                              const QString& caption, const QString& url) {
    auto* l = new HyperlinkLabel(panel_);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(left, top, width, 15);
    l->SetCaption(caption);
    l->SetURL(url);
    l->SetColor(palette().color(QPalette::Button));
    l->setCursor(Qt::PointingHandCursor);
    if (opener) l->SetOpener(opener);
    return l;
  };
  homePageLink_ = link("homePageLink", 16, 88, 181, maker::HomePage(), maker::HomePage());
  productPageLink_ =
      link("productPageLink", 16, 108, 130, maker::ProductPageHost(), maker::ProductPage());
  contactLink_ = link("contactLink", 16, 130, 192,
                      QStringLiteral("QQ:%1 TEL:%2").arg(maker::QqNumber(), maker::Telephone()),
                      maker::MailUrl());

  // Where the province, city and carrier of a number come from, and of when.
  auto* numberData = new QLabel(
      QStringLiteral("号码数据：") + QString::fromUtf8(NumberDataSource()), panel_);
  numberData->setObjectName(QStringLiteral("numberDataSource"));
  numberData->setWordWrap(true);
  numberData->setGeometry(16, 148, 188, 28);

  okButton_ = new QPushButton(QStringLiteral("确 定"), this);
  okButton_->setObjectName(QStringLiteral("okButton"));
  okButton_->setFont(SongtiFont(12));
  okButton_->setGeometry(207, 156, 50, 25);
  okButton_->setDefault(true);
  okButton_->raise();
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
}


}  // namespace tolvarine
