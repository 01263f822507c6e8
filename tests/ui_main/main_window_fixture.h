#pragma once
// Builds the real MainWindow on fakes: scripted dialogs, a virtual clock, stored pages, a temp
// state folder, a recording tray service, and pauses that only advance virtual time.
#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/qt/fake_dialogs.h"
#include "tests/support/stored_pages_browser.h"
#include "tests/support/temp_folder.h"
#include "tests/support/virtual_clock.h"
#include "tests/ui_tray/fake_tray_service.h"
#include "ui/main/main_window.h"

namespace tolvarine::testing {

// A notification area that records requests and can fail them or click the icon.
using RecordingTrayService = FakeTrayService;

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
