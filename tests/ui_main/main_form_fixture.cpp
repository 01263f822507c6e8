#include "main_form_fixture.h"

#include <QCheckBox>
#include <QToolButton>

#include "base/gbk.h"
#include "base/text_writer.h"

namespace tolvarine::testing {

std::string Gbk(const char* utf8) { return Utf8ToGbk(utf8); }

void MainFormTest::Create() {
  auto dialogs = std::make_unique<FakeDialogs>();
  dialogs_ = dialogs.get();
  MainFormParts parts;
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
  form_ = std::make_unique<TForm1>(std::move(parts));
}

void MainFormTest::Click(const char* buttonName) {
  auto* button = Child<QToolButton>(buttonName);
  ASSERT_NE(button, nullptr) << buttonName;
  button->click();
}

std::string MainFormTest::WriteList(const std::vector<std::string>& lines) {
  return state_.Write("list.txt", JoinCrlf(lines));
}

void MainFormTest::ChooseList(const std::string& path) {
  dialogs_->openFiles.push_back(QString::fromStdString(path));
  Click("SpeedButton1");
}

void MainFormTest::StartWalk(const std::vector<std::string>& addresses) {
  ChooseList(WriteList(addresses));
  Child<QCheckBox>("CheckBox4")->setChecked(true);
  Click("SpeedButton2");
}

}  // namespace tolvarine::testing
