#pragma once
// The notification area as the tray icon needs it: is there one, put the icon with its
// tip there (or update the one there), take it away. Clicks on the icon arrive as
// `activated`. The program uses QtTrayService; the window's tests use a fake.
#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

namespace tolvarine {

class TrayService : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // Whether the desktop has a notification area now.
  virtual bool Available() = 0;
  // Puts the icon with its tip into the area, or updates the one already there. False
  // when the area refuses it. May throw.
  virtual bool Place(const QIcon& icon, const QString& tip) = 0;
  // Takes the icon out of the area. May throw.
  virtual void Remove() = 0;

 signals:
  void activated(QSystemTrayIcon::ActivationReason reason);
};

// One QSystemTrayIcon. Its context menu is left unset: the tray icon opens its own.
class QtTrayService final : public TrayService {
 public:
  QtTrayService();

  bool Available() override;
  bool Place(const QIcon& icon, const QString& tip) override;
  void Remove() override;

 private:
  QSystemTrayIcon* tray_;  // a child of the service
};

}  // namespace tolvarine
