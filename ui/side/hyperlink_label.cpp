#include "ui/side/hyperlink_label.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QUrl>

#include "base/guard.h"
#include "ui/dialogs/error_dialog.h"

namespace tolvarine {
namespace {

QColor ButtonFace() { return QPalette().color(QPalette::Button); }

}  // namespace

UrlOpener DesktopUrlOpener() {
  return [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };
}

const QString& HyperlinkLabel::DefaultURL() {
  static const QString url = QStringLiteral("http://www.quenmar.example/");
  return url;
}

HyperlinkLabel::HyperlinkLabel(QWidget* parent)
    : QWidget(parent), opener_(DesktopUrlOpener()) {
  url_ = DefaultURL();
  caption_ = url_;
  resize(100, 10);
  // The label's own font, not the parent's: the toolkit default face, bold and underlined.
  canvasFont_ = QFont(QStringLiteral("MS Sans Serif"), 8);
  canvasFont_.setBold(true);
  canvasFont_.setUnderline(true);
  linkColor_ = QColor(0, 0, 255);
  fontColor_ = linkColor_;
  SetColor(ButtonFace());
  setCursor(Qt::PointingHandCursor);
  repaint();
}

void HyperlinkLabel::SetFontName(const QString& name) {
  if (name == fontName_) return;
  fontName_ = name;
  canvasFont_.setFamily(name);
  repaint();
}

void HyperlinkLabel::SetColor(const QColor& color) {
  if (color == color_) return;
  color_ = color;
  repaint();
}

void HyperlinkLabel::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  repaint();
}

void HyperlinkLabel::SetURL(const QString& url) {
  if (url == url_) return;
  url_ = url;
}

void HyperlinkLabel::SetOpener(UrlOpener opener) { opener_ = std::move(opener); }

QSize HyperlinkLabel::CaptionSize() const {
  const QFontMetrics metrics(canvasFont_);
  return QSize(metrics.horizontalAdvance(caption_) + 6, metrics.height() + 2);
}

void HyperlinkLabel::paintEvent(QPaintEvent* event) {
  // The label takes the size of its caption whenever it paints.
  const QSize wanted = CaptionSize();
  if (size() != wanted) resize(wanted);
  QPainter painter(this);
  painter.fillRect(event->rect(), color_);
  painter.setFont(canvasFont_);
  painter.setPen(fontColor_);
  const QFontMetrics metrics(canvasFont_);
  painter.drawText(3, 1 + metrics.ascent(), caption_);
}

void HyperlinkLabel::enterEvent(QEnterEvent* event) {
  fontColor_ = QColor(255, 0, 0);
  repaint();
  QWidget::enterEvent(event);
}

void HyperlinkLabel::leaveEvent(QEvent* event) {
  fontColor_ = linkColor_;
  repaint();
  QWidget::leaveEvent(event);
}

void HyperlinkLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    // The result is not examined: a link that could not be opened still counts as visited.
    if (opener_) RunGuarded(StandardErrorSink(window()), [this] { opener_(url_); });
    linkColor_ = QColor(255, 0, 255);
  }
  QWidget::mousePressEvent(event);
}

void HyperlinkLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click arrives as this event, and the base class would
  // hand it to mousePressEvent: the address was opened by the first press already.
  event->accept();
}

}  // namespace tolvarine
