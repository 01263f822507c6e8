// The QSystemTrayIcon service: requests, the tip's GBK edge, activation turned into
// callback messages, posted messages, and the program starting without a system tray.
#include <QCoreApplication>
#include <QEvent>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/gbk.h"
#include "ui/tray/ant_taskbar_icon.h"
#include "ui/tray/qt_notify_icon_service.h"

namespace tolvarine {
namespace {

struct Received {
  std::uint32_t msg;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  bool operator==(const Received&) const = default;
};

class QtServiceTest : public ::testing::Test {
 protected:
  QtNotifyIconService service{[] { return true; }};
  std::vector<Received> received;
  WindowHandle window = service.AllocateHiddenWindow(
      [this](WindowMessage& m) { received.push_back({m.msg, m.wParam, m.lParam}); });

  NotifyIconData Record(std::uint32_t id, const std::string& tipGbk, IconHandle image) {
    NotifyIconData d{};
    d.cbSize = sizeof d;
    d.hWnd = window;
    d.uID = id;
    d.uFlags = kNifMessage + kNifIcon + kNifTip;
    d.uCallbackMessage = TantTaskbarIcon::kCallbackMessage;
    d.hIcon = image;
    std::memcpy(d.szTip, tipGbk.data(), tipGbk.size());
    return d;
  }
};

TEST_F(QtServiceTest, AddModifyDeleteDriveOneTrayIcon) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::red);
  const QIcon image(pixmap);
  const IconHandle handle = service.IconHandleOf(image);
  EXPECT_NE(handle, 0u);
  EXPECT_EQ(service.IconHandleOf(QIcon(image)), handle);
  EXPECT_EQ(service.IconHandleOf(QIcon()), 0u);

  EXPECT_FALSE(service.ShellNotifyIcon(kNimModify, Record(4, "a", handle)));
  EXPECT_TRUE(service.ShellNotifyIcon(kNimAdd, Record(4, Utf8ToGbk("『Tolvarine』V2.1"), handle)));
  QSystemTrayIcon* tray = service.TrayIcon(window, 4);
  ASSERT_NE(tray, nullptr);
  EXPECT_EQ(tray->toolTip(), QString::fromUtf8("『Tolvarine』V2.1"));
  EXPECT_EQ(tray->icon().cacheKey(), image.cacheKey());
  EXPECT_FALSE(service.ShellNotifyIcon(kNimAdd, Record(4, "again", handle)));

  EXPECT_TRUE(service.ShellNotifyIcon(kNimModify, Record(4, "new tip", handle)));
  EXPECT_EQ(tray->toolTip(), QStringLiteral("new tip"));

  EXPECT_TRUE(service.ShellNotifyIcon(kNimDelete, Record(4, "", 0)));
  EXPECT_EQ(service.TrayIcon(window, 4), nullptr);
  EXPECT_FALSE(service.ShellNotifyIcon(kNimDelete, Record(4, "", 0)));
}

TEST_F(QtServiceTest, ActivationBecomesCallbackMessages) {
  ASSERT_TRUE(service.ShellNotifyIcon(kNimAdd, Record(9, "t", 0)));
  QSystemTrayIcon* tray = service.TrayIcon(window, 9);
  ASSERT_NE(tray, nullptr);
  emit tray->activated(QSystemTrayIcon::Trigger);
  emit tray->activated(QSystemTrayIcon::DoubleClick);
  emit tray->activated(QSystemTrayIcon::Context);
  const std::uint32_t cb = TantTaskbarIcon::kCallbackMessage;
  EXPECT_EQ(received, (std::vector<Received>{{cb, 9, kWmLButtonDown},
                                             {cb, 9, kWmLButtonUp},
                                             {cb, 9, kWmLButtonDblClk},
                                             {cb, 9, kWmLButtonUp},
                                             {cb, 9, kWmRButtonDown},
                                             {cb, 9, kWmRButtonUp}}));
}

TEST_F(QtServiceTest, IconDeletedByItsOwnCallbackStopsTheSequence) {
  WindowHandle self = 0;
  self = service.AllocateHiddenWindow([&](WindowMessage& m) {
    received.push_back({m.msg, m.wParam, m.lParam});
    NotifyIconData d{};
    d.hWnd = self;
    d.uID = 1;
    service.ShellNotifyIcon(kNimDelete, d);
  });
  NotifyIconData add = Record(1, "t", 0);
  add.hWnd = self;
  ASSERT_TRUE(service.ShellNotifyIcon(kNimAdd, add));
  emit service.TrayIcon(self, 1)->activated(QSystemTrayIcon::Trigger);
  EXPECT_EQ(received.size(), 1u);  // the release is not delivered for a removed icon
  EXPECT_EQ(service.TrayIcon(self, 1), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(QtServiceTest, PostedMessagesArriveLaterUnlessTheWindowIsGone) {
  EXPECT_TRUE(service.PostMessage(window, kWmNull, 0, 0));
  EXPECT_TRUE(received.empty());
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(received, (std::vector<Received>{{kWmNull, 0, 0}}));

  received.clear();
  EXPECT_TRUE(service.PostMessage(window, kWmNull, 0, 0));
  service.DeallocateHiddenWindow(window);
  QCoreApplication::sendPostedEvents();
  EXPECT_TRUE(received.empty());
  EXPECT_FALSE(service.PostMessage(window, kWmNull, 0, 0));
}

TEST(QtServiceWithoutTray, RequestsAreRefusedAndTheComponentStillStarts) {
  QtNotifyIconService none([] { return false; });
  NotifyIconData d{};
  d.cbSize = sizeof d;
  EXPECT_FALSE(none.ShellNotifyIcon(kNimAdd, d));
  EXPECT_FALSE(none.ShellNotifyIcon(kNimModify, d));
  EXPECT_FALSE(none.ShellNotifyIcon(kNimDelete, d));

  // The program's own service on this (offscreen) desktop: configuring and loading the
  // main window's instance must not fail, whether or not a tray exists.
  QObject owner;
  auto* icon = new TantTaskbarIcon(&owner);
  icon->setObjectName(QStringLiteral("antTaskbarIcon1"));
  TantTaskbarIconSettings s;
  s.visible = true;
  s.hint = Utf8ToGbk("『Tolvarine』V2.1");
  EXPECT_NO_THROW(icon->LoadStoredSettings(s));
  EXPECT_TRUE(icon->Visible());
}

}  // namespace
}  // namespace tolvarine
