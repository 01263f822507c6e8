#pragma once
// TrayIcon: the program's icon in the desktop's notification area, with a tip text. Clicks
// on it become events, and a right click opens the popup menu at the cursor.
//
// Visible asks for the icon to be in the area. Where the desktop has none, or refuses the
// icon, the icon waits and looks again every few seconds, entering the area as soon as
// one exists; InArea() says whether it is there now (the window minimises to the tray
// only then). OnShow fires when the icon has entered the area, OnHide when it has left.
//
// Events, in order: a click gives OnMouseDown, OnMouseUp, OnClick; a double click then
// adds OnDblClick, OnMouseUp (one OnClick in all); a right click gives OnMouseDown, the
// popup menu (it returns when the menu has closed), OnPopupMenu, OnMouseUp. Without a
// popup menu a right click gives OnMouseDown, OnMouseUp. While Enabled is false nothing
// fires and the icon stays.
//
// Failures: a service request that throws raises TrayIconError "<Name>.AddToTaskbar
// failed", "<Name>.UpDate failed" or "<Name>.DeleteFromTaskbar failed" to whoever wrote
// the property; the values written stay. A refusal by the area is not a failure. A
// failure inside an event handler, the retry or the destructor goes to the error sink
// (default: stderr); a failed retry is reported once and not repeated.
#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "base/errors.h"
#include "base/guard.h"
#include "ui/tray/tray_service.h"

class QMenu;

namespace tolvarine {

class TrayIconError : public Error {
 public:
  using Error::Error;
};

class TrayIcon;

using TrayNotifyEvent = std::function<void(TrayIcon* sender)>;
// button: Qt::LeftButton or Qt::RightButton; keys: the modifier keys down; at: the cursor
// in screen coordinates when the click arrived.
using TrayMouseEvent = std::function<void(TrayIcon* sender, Qt::MouseButton button,
                                          Qt::KeyboardModifiers keys, QPoint at)>;

class TrayIcon : public QObject {
  Q_OBJECT

 public:
  // The tip holds at most 63 bytes of GBK text.
  static constexpr std::size_t kMaxHintBytes = 63;
  // How often a wanted icon looks for a notification area while it has none.
  static constexpr int kRetryMilliseconds = 5000;

  // owner: the QObject parent. service: nullptr for QtTrayService. No request is sent.
  explicit TrayIcon(QObject* owner, std::unique_ptr<TrayService> service = nullptr);
  ~TrayIcon() override;

  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Events: assigning one just stores it.
  TrayMouseEvent OnMouseDown;
  TrayMouseEvent OnMouseUp;
  TrayNotifyEvent OnClick;
  TrayNotifyEvent OnDblClick;
  TrayNotifyEvent OnPopupMenu;
  TrayNotifyEvent OnShow;
  TrayNotifyEvent OnHide;

  // The objectName as GBK, used in failure messages.
  std::string Name() const;
  void SetErrorSink(ErrorSink sink);

  const QIcon& Icon() const { return icon_; }
  void SetIcon(const QIcon& icon);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  // GBK; a longer text is cut to its first 63 bytes, without regard for double-byte
  // characters.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hintGbk);
  // Forgotten when the menu is destroyed.
  QMenu* PopupMenu() const;
  void SetPopupMenu(QMenu* menu);

  bool InArea() const { return inArea_; }
  // True while the icon is wanted but not in the area and looks again every few seconds.
  bool Waiting() const { return retry_.isActive(); }
  // Looks for a notification area now (the retry timer's call).
  void Retry();

 private:
  void Enter();
  void Leave();
  void Update();
  QString Tip() const;
  void Activated(QSystemTrayIcon::ActivationReason reason);
  void Dispatch(QSystemTrayIcon::ActivationReason reason);
  void OpenPopupMenu();

  std::unique_ptr<TrayService> service_;
  ErrorSink sink_;
  QIcon icon_;
  std::string hint_;
  QPointer<QMenu> popupMenu_;
  bool visible_ = false;
  bool enabled_ = true;
  bool inArea_ = false;
  QTimer retry_;
};

}  // namespace tolvarine
