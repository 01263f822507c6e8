#pragma once
// Builds the real MainWindow on fakes: scripted dialogs, a virtual clock, stored pages, a temp
// state folder, a recording tray service, and pauses that only advance virtual time.
#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "fake_dialogs.h"
#include "tests/support/stored_pages_browser.h"
#include "tests/support/temp_folder.h"
#include "tests/support/virtual_clock.h"
#include "ui/main/main_window.h"
#include "ui/tray/notify_icon_service.h"

namespace tolvarine::testing {

// A notification area that records requests and can fail them or click the icon.
class RecordingTrayService : public NotifyIconService {
 public:
  struct Shared {
    std::vector<std::uint32_t> requests;
    bool failRequests = false;
    WindowProc proc;
  };
  explicit RecordingTrayService(std::shared_ptr<Shared> shared) : s_(std::move(shared)) {}

  WindowHandle AllocateHiddenWindow(WindowProc proc) override;
  void DeallocateHiddenWindow(WindowHandle) override;
  IconHandle IconHandleOf(const QIcon&) override { return 7; }
  bool ShellNotifyIcon(std::uint32_t operation, const NotifyIconData&) override;
  ScreenPoint GetCursorPos() override { return {}; }
  std::int16_t GetKeyState(int) override { return 0; }
  bool SetForegroundWindow(WindowHandle) override { return true; }
  WindowHandle ApplicationWindow() override { return 2; }
  bool PostMessage(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t) override {
    return true;
  }
  std::intptr_t DefWindowProc(WindowHandle, const WindowMessage&) override { return 0; }
  void PopupMenu(QMenu*, ScreenPoint) override {}

 private:
  std::shared_ptr<Shared> s_;
};

// GBK bytes of a UTF-8 literal.
std::string Gbk(const char* utf8);

inline StoredPage PageWithText(std::string text) {
  StoredPage page;
  page.outerText = std::move(text);
  return page;
}

inline StoredPage PageWithoutBody() {
  StoredPage page;
  page.noBody = true;
  return page;
}

class MainWindowTest : public ::testing::Test {
 protected:
  // Builds the window (ReadStateFiles runs inside).
  void Create();
  MainWindow& Window() { return *window_; }
  template <typename T>
  T* Child(const char* name) {
    return window_->findChild<T*>(QString::fromLatin1(name));
  }
  // Clicks a tool button by name.
  void Click(const char* buttonName);
  // A URL list file in the temp folder; returns its path.
  std::string WriteList(const std::vector<std::string>& lines);
  // Chooses a list through "网址" with the open dialog answering path.
  void ChooseList(const std::string& path);
  // Starts a walk over the given addresses (search phones ticked).
  void StartWalk(const std::vector<std::string>& addresses);

  TempFolder state_;
  VirtualClock clock_;
  StoredPagesBrowser browser_{clock_};
  std::shared_ptr<RecordingTrayService::Shared> tray_ =
      std::make_shared<RecordingTrayService::Shared>();
  std::vector<QString> openedUrls_;
  std::vector<int> pauses_;
  FakeDialogs* dialogs_ = nullptr;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace tolvarine::testing
