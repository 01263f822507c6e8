#include "ui/tray/tray_service.h"

namespace tolvarine {

QtTrayService::QtTrayService() : tray_(new QSystemTrayIcon(this)) {
  connect(tray_, &QSystemTrayIcon::activated, this, &TrayService::activated);
}

bool QtTrayService::Available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

bool QtTrayService::Place(const QIcon& icon, const QString& tip) {
  tray_->setIcon(icon);
  tray_->setToolTip(tip);
  tray_->show();
  return true;
}

// The icon object stays: Remove may run inside one of its own signals.
void QtTrayService::Remove() { tray_->hide(); }

}  // namespace tolvarine
