#pragma once
// The notification-area platform calls the tray icon component makes, behind one small
// interface: the program's implementation sits on QSystemTrayIcon
// (qt_notify_icon_service.h), tests use a recording fake.
#include <cstdint>
#include <functional>

class QIcon;
class QMenu;

namespace tolvarine {

// Handles are 32-bit values issued by the service (0 = none), which keeps the icon
// record at its 88-byte size.
using WindowHandle = std::uint32_t;
using IconHandle = std::uint32_t;

// Shell_NotifyIcon operations.
inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;

// Icon record flags.
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;

// Window messages the component sees.
inline constexpr std::uint32_t kWmNull = 0;
inline constexpr std::uint32_t kWmUser = 0x0400;
inline constexpr std::uint32_t kWmMouseMove = 0x0200;
inline constexpr std::uint32_t kWmLButtonDown = 0x0201;
inline constexpr std::uint32_t kWmLButtonUp = 0x0202;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kWmRButtonDown = 0x0204;
inline constexpr std::uint32_t kWmRButtonUp = 0x0205;
inline constexpr std::uint32_t kWmRButtonDblClk = 0x0206;
inline constexpr std::uint32_t kWmMButtonDown = 0x0207;
inline constexpr std::uint32_t kWmMButtonUp = 0x0208;

// Virtual keys asked of GetKeyState.
inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkMenu = 0x12;

// The record passed with every request (the 88-byte form with the 64-byte tip).
struct NotifyIconData {
  std::uint32_t cbSize;
  WindowHandle hWnd;
  std::uint32_t uID;
  std::uint32_t uFlags;
  std::uint32_t uCallbackMessage;
  IconHandle hIcon;
  char szTip[64];
};
static_assert(sizeof(NotifyIconData) == 88, "the icon record is 88 bytes");

// One message delivered to a hidden window; the procedure sets result.
struct WindowMessage {
  std::uint32_t msg = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  std::intptr_t result = 0;
};

using WindowProc = std::function<void(WindowMessage&)>;

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

class NotifyIconService {
 public:
  virtual ~NotifyIconService() = default;

  // A hidden window whose messages (callback messages and posted ones) go to proc.
  virtual WindowHandle AllocateHiddenWindow(WindowProc proc) = 0;
  virtual void DeallocateHiddenWindow(WindowHandle window) = 0;

  // The native handle of an icon image, made on demand; 0 for an empty icon.
  // May throw when no handle can be made.
  virtual IconHandle IconHandleOf(const QIcon& icon) = 0;

  // Shell_NotifyIcon: add, modify or delete the icon the record names (hWnd + uID).
  // False when the notification area refuses the request.
  virtual bool ShellNotifyIcon(std::uint32_t operation, const NotifyIconData& data) = 0;

  virtual ScreenPoint GetCursorPos() = 0;
  // Negative when the key is down.
  virtual std::int16_t GetKeyState(int virtualKey) = 0;
  virtual bool SetForegroundWindow(WindowHandle window) = 0;
  // The application's own window (the target of the foreground call on every release).
  virtual WindowHandle ApplicationWindow() = 0;
  // Queues a message for a hidden window of this service.
  virtual bool PostMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                           std::intptr_t lParam) = 0;
  // Default handling of a message the component does not handle itself.
  virtual std::intptr_t DefWindowProc(WindowHandle window, const WindowMessage& message) = 0;

  // Opens the menu at the screen point and returns when it has closed.
  virtual void PopupMenu(QMenu* menu, ScreenPoint at) = 0;
};

}  // namespace tolvarine
