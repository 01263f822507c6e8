#pragma once
// Look shared by the side windows: the Chinese UI font, centring on the screen, and the
// dialog they are built on.
#include <QDialog>
#include <QFont>

class QWidget;

namespace tolvarine {

// "宋体" at the given pixel size; where the machine has no 宋体, its CJK font stands in.
QFont SongtiFont(int pixelSize);

// Moves a top-level window so that it sits in the middle of its screen's work area.
void CenterOnScreen(QWidget* window);

// A side window: centred on its screen each time it is shown, and not closed by Escape
// (the side windows have no cancel button; their close box or OK closes them).
class SideDialog : public QDialog {
  Q_OBJECT

 public:
  using QDialog::QDialog;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tolvarine
