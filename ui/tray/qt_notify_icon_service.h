#pragma once
// The program's notification-area service, on QSystemTrayIcon.
//
// Add shows a QSystemTrayIcon with the record's icon and tip (GBK, converted at this
// edge), modify updates it, delete hides and drops it. Its activated signal becomes the
// callback messages a Windows shell would send to the hidden window:
//   Trigger     -> WM_LBUTTONDOWN, WM_LBUTTONUP
//   Context     -> WM_RBUTTONDOWN, WM_RBUTTONUP
//   DoubleClick -> WM_LBUTTONDBLCLK, WM_LBUTTONUP
//   MiddleClick -> WM_MBUTTONDOWN, WM_MBUTTONUP
// Without a system tray (e.g. the offscreen platform) every request is refused, as a
// shell answering FALSE would; nothing throws.
#include <QIcon>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "ui/tray/notify_icon_service.h"

class QObject;
class QSystemTrayIcon;

namespace tolvarine {

class QtNotifyIconService final : public NotifyIconService {
 public:
  // trayAvailable: whether a system tray exists; empty means ask QSystemTrayIcon.
  explicit QtNotifyIconService(std::function<bool()> trayAvailable = {});
  ~QtNotifyIconService() override;

  QtNotifyIconService(const QtNotifyIconService&) = delete;
  QtNotifyIconService& operator=(const QtNotifyIconService&) = delete;

  WindowHandle AllocateHiddenWindow(WindowProc proc) override;
  void DeallocateHiddenWindow(WindowHandle window) override;
  IconHandle IconHandleOf(const QIcon& icon) override;
  bool ShellNotifyIcon(std::uint32_t operation, const NotifyIconData& data) override;
  ScreenPoint GetCursorPos() override;
  std::int16_t GetKeyState(int virtualKey) override;
  bool SetForegroundWindow(WindowHandle window) override;
  WindowHandle ApplicationWindow() override { return kApplicationWindow; }
  bool PostMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                   std::intptr_t lParam) override;
  std::intptr_t DefWindowProc(WindowHandle window, const WindowMessage& message) override;
  void PopupMenu(QMenu* menu, ScreenPoint at) override;

  // The tray icon shown for (window, id), or nullptr.
  QSystemTrayIcon* TrayIcon(WindowHandle window, std::uint32_t id) const;

 private:
  static constexpr WindowHandle kApplicationWindow = 1;
  using IconKey = std::pair<WindowHandle, std::uint32_t>;
  struct HiddenWindow {
    std::unique_ptr<QObject> object;  // context of posted messages
    WindowProc proc;
  };
  struct ShownIcon {
    QSystemTrayIcon* tray = nullptr;
    bool hasCallback = false;
    std::uint32_t callbackMessage = 0;
  };

  void Apply(ShownIcon& shown, const NotifyIconData& data);
  void Activated(IconKey key, int reason);
  void Deliver(WindowHandle window, WindowMessage message);
  void Drop(QSystemTrayIcon* tray);

  std::function<bool()> trayAvailable_;
  std::map<WindowHandle, HiddenWindow> windows_;
  std::map<IconKey, ShownIcon> icons_;
  std::map<IconHandle, QIcon> iconTable_;
  WindowHandle nextWindow_ = kApplicationWindow + 1;
  IconHandle nextIcon_ = 1;
  int delivering_ = 0;
  // Expires with the service; checked by its signal handlers and queued messages.
  std::shared_ptr<int> alive_;
};

}  // namespace tolvarine
