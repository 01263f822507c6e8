#include "ui/side/side_look.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QStringList>
#include <QWidget>

namespace tolvarine {

QFont SongtiFont(int pixelSize) {
  QFont font;
  // Qt takes the first family the machine has.
  font.setFamilies(QStringList{QStringLiteral("宋体"), QStringLiteral("SimSun"),
                               QStringLiteral("NSimSun"), QStringLiteral("WenQuanYi Zen Hei"),
                               QStringLiteral("Noto Sans CJK SC")});
  font.setPixelSize(pixelSize);
  return font;
}

void CenterOnScreen(QWidget* window) {
  QScreen* screen = window->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  // Before the first showing the frame is not known yet; the client size stands in.
  const QSize outer = window->frameGeometry().size().expandedTo(window->size());
  window->move(area.x() + (area.width() - outer.width()) / 2,
               area.y() + (area.height() - outer.height()) / 2);
}

void SideDialog::showEvent(QShowEvent* event) {
  CenterOnScreen(this);
  QDialog::showEvent(event);
}

void SideDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace tolvarine
