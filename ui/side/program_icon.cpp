#include "ui/side/program_icon.h"

#include <QPixmap>

#include "ui/side/images/program_icon.xpm"

namespace tolvarine {

QIcon ProgramIcon() {
  return QIcon(QPixmap(program_icon_xpm));
}

}  // namespace tolvarine
