#include "main_window_fixture.h"

#include <QCheckBox>
#include <QToolButton>

#include "base/gbk.h"
#include "base/text_writer.h"

namespace tolvarine::testing {

std::string Gbk(const char* utf8) { return Utf8ToGbk(utf8); }

void MainWindowTest::Create() {
  auto dialogs = std::make_unique<FakeDialogs>();
  dialogs_ = dialogs.get();
  MainWindowParts parts;
  parts.dialogs = std::move(dialogs);
  parts.clock = &clock_;
  parts.browser = &browser_;
  parts.browserPane = new QWidget;
  parts.hostAddresses = [] { return std::vector<std::string>{"192.0.2.10"}; };
  parts.pause = [this](int ms) {
    pauses_.push_back(ms);
    clock_.Advance(ms);
  };
  parts.openUrl = [this](const QString& url) { openedUrls_.push_back(url); };
  parts.trayService = std::make_unique<RecordingTrayService>(tray_);
  parts.stateFolder = state_.Path();
  window_ = std::make_unique<MainWindow>(std::move(parts));
}

void MainWindowTest::Click(const char* buttonName) {
  auto* button = Child<QToolButton>(buttonName);
  ASSERT_NE(button, nullptr) << buttonName;
  button->click();
}

std::string MainWindowTest::WriteList(const std::vector<std::string>& lines) {
  return state_.Write("list.txt", JoinCrlf(lines));
}

void MainWindowTest::ChooseList(const std::string& path) {
  dialogs_->openFiles.push_back(QString::fromStdString(path));
  Click("chooseListButton");
}

void MainWindowTest::StartWalk(const std::vector<std::string>& addresses) {
  ChooseList(WriteList(addresses));
  Child<QCheckBox>("searchPhonesBox")->setChecked(true);
  Click("startButton");
}

}  // namespace tolvarine::testing
