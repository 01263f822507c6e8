#pragma once
// A recording notification-area service. Its state lives in a shared record so a test can
// read it after the component (which owns the service) is gone. Requests, foreground
// calls, popups and posted messages go to `log` as short tags, in order; test event
// handlers append to the same log, so one vector shows the whole sequence.
#include <QIcon>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ui/tray/notify_icon_service.h"

namespace tolvarine::test {

struct TrayRecord {
  struct Request {
    std::uint32_t operation;
    NotifyIconData data;
    bool accepted;
  };

  std::vector<std::string> log;
  std::vector<Request> requests;
  std::set<std::pair<WindowHandle, std::uint32_t>> present;  // icons in the area
  std::map<WindowHandle, WindowProc> windows;
  std::vector<std::pair<WindowHandle, WindowMessage>> posted;
  ScreenPoint cursor{0, 0};
  std::set<int> keysDown;
  bool throwOnShell = false;
  bool throwOnIconHandle = false;
  std::intptr_t defWindowProcResult = 77;
  std::function<void()> duringPopup;  // runs "while the menu is open"
  std::map<qint64, IconHandle> iconHandles;

  // Delivers a message to a hidden window, as the shell's callback would.
  std::intptr_t Send(WindowHandle window, std::uint32_t msg, std::intptr_t lParam,
                     std::uintptr_t wParam = 0) {
    WindowMessage m;
    m.msg = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    const auto it = windows.find(window);
    if (it == windows.end()) throw std::logic_error("no such window");
    const WindowProc proc = it->second;
    proc(m);
    return m.result;
  }
};

inline const char* OperationName(std::uint32_t op) {
  return op == kNimAdd ? "add" : op == kNimModify ? "modify" : op == kNimDelete ? "delete" : "?";
}

class FakeNotifyIconService final : public NotifyIconService {
 public:
  static constexpr WindowHandle kAppWindow = 900;

  explicit FakeNotifyIconService(std::shared_ptr<TrayRecord> record) : r_(std::move(record)) {}

  WindowHandle AllocateHiddenWindow(WindowProc proc) override {
    const WindowHandle h = next_++;
    r_->windows[h] = std::move(proc);
    return h;
  }
  void DeallocateHiddenWindow(WindowHandle window) override {
    r_->windows.erase(window);
    r_->log.push_back("deallocate");
  }
  IconHandle IconHandleOf(const QIcon& icon) override {
    if (r_->throwOnIconHandle) throw std::runtime_error("no icon handle");
    if (icon.isNull()) return 0;
    auto [it, added] = r_->iconHandles.try_emplace(icon.cacheKey(), 0);
    if (added) it->second = static_cast<IconHandle>(r_->iconHandles.size());
    return it->second;
  }
  bool ShellNotifyIcon(std::uint32_t operation, const NotifyIconData& data) override {
    if (r_->throwOnShell) throw std::runtime_error("shell failed");
    const auto key = std::make_pair(data.hWnd, data.uID);
    bool accepted = false;
    if (operation == kNimAdd) accepted = r_->present.insert(key).second;
    if (operation == kNimModify) accepted = r_->present.count(key) != 0;
    if (operation == kNimDelete) accepted = r_->present.erase(key) != 0;
    r_->requests.push_back({operation, data, accepted});
    r_->log.push_back(std::string(OperationName(operation)) + "#" + std::to_string(data.uID) +
                      (accepted ? "" : " refused"));
    return accepted;
  }
  ScreenPoint GetCursorPos() override { return r_->cursor; }
  std::int16_t GetKeyState(int virtualKey) override {
    return r_->keysDown.count(virtualKey) ? static_cast<std::int16_t>(-127) : 1;
  }
  bool SetForegroundWindow(WindowHandle window) override {
    r_->log.push_back(window == kAppWindow ? "fg:app" : "fg:hidden");
    return true;
  }
  WindowHandle ApplicationWindow() override { return kAppWindow; }
  bool PostMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                   std::intptr_t lParam) override {
    WindowMessage m;
    m.msg = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    r_->posted.emplace_back(window, m);
    r_->log.push_back("post:" + std::to_string(msg));
    return true;
  }
  std::intptr_t DefWindowProc(WindowHandle, const WindowMessage&) override {
    return r_->defWindowProcResult;
  }
  void PopupMenu(QMenu*, ScreenPoint at) override {
    r_->log.push_back("popup@" + std::to_string(at.x) + "," + std::to_string(at.y));
    if (r_->duringPopup) r_->duringPopup();
  }

 private:
  std::shared_ptr<TrayRecord> r_;
  WindowHandle next_ = 100;
};

}  // namespace tolvarine::test
