// The window walks its state folder alone: held by another walk, 搜索 and 继续 say so and
// start nothing; the window's own walk holds the folder until it ends.
#include <QCheckBox>
#include <QToolButton>
#include <QTreeView>

#include "base/platform/file_system.h"
#include "base/platform/state_lock.h"
#include "base/state_folder.h"
#include "engine/crawl_texts.h"
#include "main_window_fixture.h"

namespace tolvarine::testing {
namespace {

using platform::StateLock;

TEST_F(MainWindowTest, AStateFolderHeldByAnotherWalkStartsNothing) {
  Create();
  browser_.AddPage("http://a.example/", PageWithText("call 13912345678 now"));
  StartWalk({"http://a.example/"});
  // The window's walk holds the folder.
  const std::string lockPath = state_.PathOf(kStateLockName);
  const long self = static_cast<long>(platform::ProcessNumber());
  long holder = 0;
  EXPECT_EQ(StateLock().TryLock(lockPath, holder), StateLock::kHeld);
  EXPECT_EQ(holder, self);
  clock_.Advance(16000);
  auto* phones = Child<QTreeView>("phoneList");
  ASSERT_EQ(phones->model()->rowCount(), 1);
  ASSERT_TRUE(Child<QToolButton>("startButton")->isEnabled());

  // Its end released it: another walk takes it.
  StateLock other;
  ASSERT_EQ(other.TryLock(lockPath, holder), 0);
  const std::string progress = state_.Read(texts::kProgressFileName);
  const std::size_t loads = browser_.Navigations().size();
  const QString expected = QStringLiteral("状态文件夹 ") + QString::fromStdString(state_.Path()) +
                           QStringLiteral(" 正由另一个搜索使用（进程 ") + QString::number(self) +
                           QStringLiteral("），请等它结束后再试。");
  dialogs_->inputs.push_back(QStringLiteral("0"));
  for (const char* command : {"startButton", "continueButton"}) {
    Click(command);
    const auto told = dialogs_->Shown(QStringLiteral("information"));
    ASSERT_FALSE(told.empty()) << command;
    EXPECT_EQ(told.back().text, expected) << command;
    EXPECT_EQ(phones->model()->rowCount(), 1) << command;
    EXPECT_TRUE(Child<QToolButton>("startButton")->isEnabled()) << command;
    EXPECT_EQ(browser_.Navigations().size(), loads) << command;
    EXPECT_EQ(state_.Read(texts::kProgressFileName), progress) << command;
  }
  EXPECT_EQ(dialogs_->Shown(QStringLiteral("information")).size(), 2u);

  // A 继续 cancelled at its prompt leaves the folder free.
  other.Release();
  dialogs_->inputs.clear();
  Click("continueButton");
  ASSERT_TRUE(Child<QToolButton>("startButton")->isEnabled());
  ASSERT_EQ(other.TryLock(lockPath, holder), 0);
  other.Release();
  dialogs_->saveChoices.push_back(SaveChoice::DontSave);  // the first walk's rows go
  Click("startButton");
  EXPECT_FALSE(Child<QToolButton>("startButton")->isEnabled());
  EXPECT_EQ(browser_.Navigations().size(), loads + 1);
}

}  // namespace
}  // namespace tolvarine::testing
