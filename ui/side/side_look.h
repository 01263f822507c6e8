#pragma once
// Look shared by the side windows: the Chinese UI font and centring on the screen.
#include <QFont>

class QWidget;

namespace tolvarine {

// "宋体" at the given pixel size; where the machine has no 宋体, its CJK font stands in.
QFont SongtiFont(int pixelSize);

// Moves a top-level window so that it sits in the middle of its screen's work area.
void CenterOnScreen(QWidget* window);

}  // namespace tolvarine
