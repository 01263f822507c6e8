#pragma once
// HyperlinkLabel: a one-line caption drawn as a link (bold, underlined). Red while the
// pointer is over it; a left press opens its URL with the desktop and turns the link
// colour fuchsia for good (a double click opens it once, on its first press). It sizes
// itself to its caption when it paints.
#include <functional>

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace tolvarine {

// Opens a web or "mailto:" address with the desktop; the result is not examined.
using UrlOpener = std::function<void(const QString& url)>;

// The real opener: QDesktopServices::openUrl.
UrlOpener DesktopUrlOpener();

class HyperlinkLabel : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString FontName READ FontName WRITE SetFontName)
  Q_PROPERTY(QColor Color READ Color WRITE SetColor)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(QString URL READ URL WRITE SetURL)

 public:
  // The address a new label points to and shows.
  static const QString& DefaultURL();

  explicit HyperlinkLabel(QWidget* parent = nullptr);

  // Each writer does nothing when given the value it already holds.
  QString FontName() const { return fontName_; }
  void SetFontName(const QString& name);  // repaints
  QColor Color() const { return color_; }
  void SetColor(const QColor& color);     // repaints
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);  // repaints
  QString URL() const { return url_; }
  void SetURL(const QString& url);        // no repaint

  // The colour of the caption when the pointer is not over the label.
  QColor LinkColor() const { return linkColor_; }
  // The colour the caption is drawn in now.
  QColor FontColor() const { return fontColor_; }
  // The font the caption is drawn in: the label's own, never the parent's.
  const QFont& CanvasFont() const { return canvasFont_; }

  // Replaces how the URL is opened (the default is DesktopUrlOpener()).
  void SetOpener(UrlOpener opener);

  // The size the caption needs: text width + 6, text height + 2.
  QSize CaptionSize() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QColor linkColor_;
  QString url_;
  QString caption_;
  QColor color_;
  QString fontName_;
  QFont canvasFont_;
  QColor fontColor_;
  UrlOpener opener_;
};

}  // namespace tolvarine
