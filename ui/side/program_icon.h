#pragma once
// The program's icon (32 x 32, 16 colours), shared by the windows and the tray icon.
#include <QIcon>

namespace tolvarine {

QIcon ProgramIcon();

}  // namespace tolvarine
