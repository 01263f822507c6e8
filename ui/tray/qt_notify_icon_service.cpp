#include "ui/tray/qt_notify_icon_service.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/gbk.h"
#include "base/guard.h"
#include "ui/tray/stderr_sink.h"

namespace tolvarine {

namespace {

QString TipText(const NotifyIconData& data) {
  const std::size_t n = strnlen(data.szTip, sizeof data.szTip);
  return QString::fromStdU16String(GbkToUtf16(std::string_view(data.szTip, n)));
}

// The window the desktop would bring forward for the application: the active one, else
// the first visible top-level window.
QWidget* ApplicationTopWindow() {
  if (QWidget* active = QApplication::activeWindow()) return active;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->isWindow() && !(w->windowType() == Qt::Popup) &&
        !(w->windowType() == Qt::ToolTip))
      return w;
  }
  return nullptr;
}

}  // namespace

QtNotifyIconService::QtNotifyIconService(std::function<bool()> trayAvailable)
    : trayAvailable_(trayAvailable ? std::move(trayAvailable)
                                   : [] { return QSystemTrayIcon::isSystemTrayAvailable(); }),
      alive_(std::make_shared<int>(0)) {}

QtNotifyIconService::~QtNotifyIconService() {
  alive_.reset();
  for (auto& [key, shown] : icons_) Drop(shown.tray);
}

void QtNotifyIconService::Drop(QSystemTrayIcon* tray) {
  tray->hide();
  // Inside a delivery the tray may be the sender of the signal being handled.
  if (delivering_ > 0)
    tray->deleteLater();
  else
    delete tray;
}

WindowHandle QtNotifyIconService::AllocateHiddenWindow(WindowProc proc) {
  const WindowHandle handle = nextWindow_++;
  windows_[handle] = HiddenWindow{std::make_unique<QObject>(), std::move(proc)};
  return handle;
}

void QtNotifyIconService::DeallocateHiddenWindow(WindowHandle window) {
  windows_.erase(window);
}

IconHandle QtNotifyIconService::IconHandleOf(const QIcon& icon) {
  if (icon.isNull()) return 0;
  for (const auto& [handle, known] : iconTable_)
    if (known.cacheKey() == icon.cacheKey()) return handle;
  const IconHandle handle = nextIcon_++;
  iconTable_[handle] = icon;
  return handle;
}

void QtNotifyIconService::Apply(ShownIcon& shown, const NotifyIconData& data) {
  if (data.uFlags & kNifIcon) {
    const auto it = iconTable_.find(data.hIcon);
    shown.tray->setIcon(it != iconTable_.end() ? it->second : QIcon());
  }
  if (data.uFlags & kNifTip) shown.tray->setToolTip(TipText(data));
  if (data.uFlags & kNifMessage) {
    shown.hasCallback = true;
    shown.callbackMessage = data.uCallbackMessage;
  }
}

bool QtNotifyIconService::ShellNotifyIcon(std::uint32_t operation, const NotifyIconData& data) {
  const IconKey key{data.hWnd, data.uID};
  const auto it = icons_.find(key);
  switch (operation) {
    case kNimAdd: {
      if (it != icons_.end() || !trayAvailable_()) return false;
      ShownIcon shown;
      shown.tray = new QSystemTrayIcon();
      Apply(shown, data);
      const std::weak_ptr<int> alive = alive_;
      QObject::connect(shown.tray, &QSystemTrayIcon::activated, shown.tray,
                       [this, alive, key](QSystemTrayIcon::ActivationReason reason) {
                         RunGuarded(StderrSink(), [&] {
                           if (!alive.expired()) Activated(key, reason);
                         });
                       });
      icons_[key] = shown;
      shown.tray->show();
      return true;
    }
    case kNimModify:
      if (it == icons_.end()) return false;
      Apply(it->second, data);
      return true;
    case kNimDelete:
      if (it == icons_.end()) return false;
      Drop(it->second.tray);
      icons_.erase(it);
      return true;
    default:
      return false;
  }
}

QSystemTrayIcon* QtNotifyIconService::TrayIcon(WindowHandle window, std::uint32_t id) const {
  const auto it = icons_.find({window, id});
  return it == icons_.end() ? nullptr : it->second.tray;
}

void QtNotifyIconService::Activated(IconKey key, int reason) {
  std::vector<std::uint32_t> mouse;
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      mouse = {kWmLButtonDown, kWmLButtonUp};
      break;
    case QSystemTrayIcon::Context:
      mouse = {kWmRButtonDown, kWmRButtonUp};
      break;
    case QSystemTrayIcon::DoubleClick:
      mouse = {kWmLButtonDblClk, kWmLButtonUp};
      break;
    case QSystemTrayIcon::MiddleClick:
      mouse = {kWmMButtonDown, kWmMButtonUp};
      break;
    default:
      return;
  }
  const std::weak_ptr<int> alive = alive_;
  for (const std::uint32_t m : mouse) {
    // A handler may have deleted the icon or destroyed this service.
    if (alive.expired()) return;
    const auto it = icons_.find(key);
    if (it == icons_.end() || !it->second.hasCallback) return;
    WindowMessage message;
    message.msg = it->second.callbackMessage;
    message.wParam = key.second;
    message.lParam = static_cast<std::intptr_t>(m);
    Deliver(key.first, message);
  }
}

void QtNotifyIconService::Deliver(WindowHandle window, WindowMessage message) {
  const auto it = windows_.find(window);
  if (it == windows_.end()) return;
  // A copy: the procedure may deallocate its own window while it runs.
  const WindowProc proc = it->second.proc;
  const std::weak_ptr<int> alive = alive_;
  ++delivering_;
  try {
    proc(message);
  } catch (...) {
    if (!alive.expired()) --delivering_;
    throw;
  }
  if (!alive.expired()) --delivering_;
}

ScreenPoint QtNotifyIconService::GetCursorPos() {
  const QPoint p = QCursor::pos();
  return ScreenPoint{p.x(), p.y()};
}

std::int16_t QtNotifyIconService::GetKeyState(int virtualKey) {
  const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
  bool down = false;
  switch (virtualKey) {
    case kVkShift:
      down = mods.testFlag(Qt::ShiftModifier);
      break;
    case kVkControl:
      down = mods.testFlag(Qt::ControlModifier);
      break;
    case kVkMenu:
      down = mods.testFlag(Qt::AltModifier);
      break;
    default:
      break;
  }
  return down ? static_cast<std::int16_t>(-128) : static_cast<std::int16_t>(0);
}

bool QtNotifyIconService::SetForegroundWindow(WindowHandle window) {
  if (window != kApplicationWindow) return windows_.count(window) != 0;
  QWidget* top = ApplicationTopWindow();
  if (!top) return false;
  top->raise();
  top->activateWindow();
  return true;
}

bool QtNotifyIconService::PostMessage(WindowHandle window, std::uint32_t msg,
                                      std::uintptr_t wParam, std::intptr_t lParam) {
  const auto it = windows_.find(window);
  if (it == windows_.end()) return false;
  WindowMessage message;
  message.msg = msg;
  message.wParam = wParam;
  message.lParam = lParam;
  const std::weak_ptr<int> alive = alive_;
  // Queued on the hidden window's object: dropped if that window goes first.
  QMetaObject::invokeMethod(
      it->second.object.get(),
      [this, alive, window, message] {
        RunGuarded(StderrSink(), [&] {
          if (!alive.expired()) Deliver(window, message);
        });
      },
      Qt::QueuedConnection);
  return true;
}

std::intptr_t QtNotifyIconService::DefWindowProc(WindowHandle, const WindowMessage&) { return 0; }

void QtNotifyIconService::PopupMenu(QMenu* menu, ScreenPoint at) {
  // exec() is popup() plus waiting for the menu to close; the caller's events follow the
  // close. Nothing of this service is touched afterwards: the nested loop may end it.
  if (menu) menu->exec(QPoint(at.x, at.y));
}

}  // namespace tolvarine
