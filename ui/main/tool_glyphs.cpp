#include "ui/main/tool_glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tolvarine {
namespace {

constexpr int kSize = 16;

// The glyphs of the walk's commands: choose the list, search, stop, resume.
void DrawWalkGlyph(QPainter& p, Glyph glyph, const QColor& ink, const QColor& fill) {
  switch (glyph) {
    case Glyph::Globe:
      p.setBrush(fill);
      p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
      p.drawEllipse(QRectF(5, 1.5, 6, 13));
      p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
      break;
    case Glyph::Search:
      p.setBrush(fill);
      p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
      p.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
      break;
    case Glyph::Stop:
      p.setBrush(fill);
      p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2, 2);
      break;
    case Glyph::Resume: {
      QPainterPath path;
      path.moveTo(3.5, 2);
      path.lineTo(14, 8);
      path.lineTo(3.5, 14);
      path.closeSubpath();
      p.setBrush(fill);
      p.drawPath(path);
      break;
    }
    default:
      break;
  }
}

// The glyphs of the file commands: save, create a list, write the progress, merge.
void DrawFileGlyph(QPainter& p, Glyph glyph, const QColor& ink, const QColor& fill) {
  switch (glyph) {
    case Glyph::Save:
      p.setBrush(fill);
      p.drawRect(QRectF(1.5, 1.5, 13, 13));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4, 1.5, 8, 5));
      p.drawRect(QRectF(4, 9.5, 8, 5));
      break;
    case Glyph::Create:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(2.5, 1.5, 9, 13));
      p.setPen(QPen(fill, 2));
      p.drawLine(QPointF(11, 8), QPointF(11, 15));
      p.drawLine(QPointF(7.5, 11.5), QPointF(14.5, 11.5));
      break;
    case Glyph::Progress:
      p.setBrush(fill);
      p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
      p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(8, 8), QPointF(8, 3.5));
      p.drawLine(QPointF(8, 8), QPointF(11.5, 10));
      break;
    case Glyph::Merge: {
      QPainterPath path;
      path.moveTo(1.5, 2.5);
      path.lineTo(14.5, 2.5);
      path.lineTo(9.5, 8.5);
      path.lineTo(9.5, 14);
      path.lineTo(6.5, 12.5);
      path.lineTo(6.5, 8.5);
      path.closeSubpath();
      p.setBrush(fill);
      p.drawPath(path);
      break;
    }
    default:
      break;
  }
}

// The glyphs of the program's own commands: about, exit.
void DrawProgramGlyph(QPainter& p, Glyph glyph, const QColor& fill) {
  switch (glyph) {
    case Glyph::About:
      p.setBrush(fill);
      p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
      p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
      p.drawPoint(QPointF(8, 4.8));
      p.drawLine(QPointF(8, 7.5), QPointF(8, 11.5));
      break;
    case Glyph::Exit:
      p.setBrush(Qt::white);
      p.drawRect(QRectF(1.5, 1.5, 8, 13));
      p.setPen(QPen(fill, 2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(6, 8), QPointF(14.5, 8));
      p.drawLine(QPointF(11.5, 5), QPointF(14.5, 8));
      p.drawLine(QPointF(11.5, 11), QPointF(14.5, 8));
      break;
    default:
      break;
  }
}

// Draws one glyph; `ink` is its main colour, `fill` the secondary one.
void Draw(QPainter& p, Glyph glyph, const QColor& ink, const QColor& fill) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(ink, 1.4));
  p.setBrush(Qt::NoBrush);
  DrawWalkGlyph(p, glyph, ink, fill);
  DrawFileGlyph(p, glyph, ink, fill);
  DrawProgramGlyph(p, glyph, fill);
}

QColor FillOf(Glyph glyph) {
  switch (glyph) {
    case Glyph::Globe: return QColor(80, 150, 230);
    case Glyph::Search: return QColor(200, 230, 255);
    case Glyph::Stop: return QColor(220, 40, 40);
    case Glyph::Resume: return QColor(40, 170, 60);
    case Glyph::Save: return QColor(60, 90, 170);
    case Glyph::Create: return QColor(40, 170, 60);
    case Glyph::Progress: return QColor(250, 210, 80);
    case Glyph::Merge: return QColor(240, 160, 40);
    case Glyph::About: return QColor(40, 110, 210);
    case Glyph::Exit: return QColor(200, 50, 50);
  }
  return Qt::gray;
}

QPixmap Render(Glyph glyph, bool enabled) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  if (enabled) {
    Draw(painter, glyph, QColor(30, 30, 30), FillOf(glyph));
  } else {
    Draw(painter, glyph, QColor(150, 150, 150), QColor(215, 215, 215));
  }
  return pixmap;
}

}  // namespace

QIcon ToolGlyph(Glyph glyph) {
  QIcon icon;
  icon.addPixmap(Render(glyph, true), QIcon::Normal);
  icon.addPixmap(Render(glyph, false), QIcon::Disabled);
  return icon;
}

}  // namespace tolvarine
