// The properties and their requests, the tip's 63 bytes, waiting for a notification area,
// failures and destruction.
#include <QPixmap>

#include "base/gbk.h"
#include "tray_fixture.h"

namespace tolvarine {
namespace {

QIcon SolidIcon(Qt::GlobalColor color) {
  QPixmap pixmap(32, 32);
  pixmap.fill(color);
  return QIcon(pixmap);
}

TEST_F(TrayTest, ChangesWhileHiddenOnlyStoreAndTheAddCarriesThem) {
  const QIcon image = SolidIcon(Qt::blue);
  QMenu menu;
  icon->SetIcon(image);
  icon->SetHint(Utf8ToGbk("『Tolvarine』V2.1"));
  icon->SetPopupMenu(&menu);
  EXPECT_TRUE(rec->requests.empty());
  icon->SetVisible(true);
  EXPECT_EQ(rec->requests, (Log{"add"}));
  EXPECT_EQ(rec->tip, QStringLiteral("『Tolvarine』V2.1"));
  EXPECT_EQ(rec->icon.cacheKey(), image.cacheKey());
  EXPECT_EQ(TakeLog(), (Log{"Show"}));
  EXPECT_TRUE(icon->InArea());

  icon->SetHint("new tip");
  EXPECT_EQ(rec->requests.back(), "update");
  EXPECT_EQ(rec->tip, QStringLiteral("new tip"));
}

TEST_F(TrayTest, HintIsCutTo63Bytes) {
  icon->SetVisible(true);
  icon->SetHint(std::string(70, 'h'));
  EXPECT_EQ(icon->Hint(), std::string(63, 'h'));
  EXPECT_EQ(rec->tip, QString(63, QLatin1Char('h')));
  icon->SetHint(std::string(63, 'x'));
  EXPECT_EQ(rec->tip, QString(63, QLatin1Char('x')));
  // The cut ignores double-byte characters: a lead byte may be left at the end.
  const std::string wide = std::string(62, 'a') + "\xCD\xF8";
  icon->SetHint(wide);
  EXPECT_EQ(icon->Hint(), wide.substr(0, 63));
}

TEST_F(TrayTest, WritingTheHeldValueSendsNothing) {
  const QIcon image = SolidIcon(Qt::green);
  icon->SetVisible(true);
  icon->SetHint("x");
  icon->SetIcon(image);
  const Log before = rec->requests;
  TakeLog();
  icon->SetVisible(true);
  icon->SetHint("x");
  icon->SetHint(std::string("x"));
  icon->SetIcon(QIcon(image));
  icon->SetEnabled(true);
  EXPECT_EQ(rec->requests, before);
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(TrayTest, WithoutAnAreaTheIconWaitsAndEntersWhenOneAppears) {
  rec->available = false;
  icon->SetVisible(true);
  EXPECT_TRUE(icon->Visible());
  EXPECT_FALSE(icon->InArea());
  EXPECT_TRUE(icon->Waiting());
  EXPECT_TRUE(rec->requests.empty());
  icon->Retry();
  EXPECT_TRUE(icon->Waiting());

  rec->available = true;
  rec->refuse = true;  // an area that refuses the icon: still waiting
  icon->Retry();
  EXPECT_FALSE(icon->InArea());
  EXPECT_TRUE(icon->Waiting());

  rec->refuse = false;
  icon->SetHint("late");
  icon->Retry();
  EXPECT_TRUE(icon->InArea());
  EXPECT_FALSE(icon->Waiting());
  EXPECT_EQ(rec->requests, (Log{"refused", "add"}));
  EXPECT_EQ(rec->tip, QStringLiteral("late"));
  EXPECT_EQ(TakeLog(), (Log{"Show"}));
  EXPECT_TRUE(errors.empty());
}

TEST_F(TrayTest, HidingAWaitingIconStopsTheWaitAndRemovesNothing) {
  rec->available = false;
  icon->SetVisible(true);
  icon->SetVisible(false);
  EXPECT_FALSE(icon->Waiting());
  rec->available = true;
  icon->Retry();
  EXPECT_FALSE(icon->InArea());
  EXPECT_TRUE(rec->requests.empty());
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(TrayTest, FailedRequestsRaiseNamedErrorsAndKeepTheWrittenValues) {
  icon->SetVisible(true);
  TakeLog();
  rec->failRequests = true;
  auto message = [](const std::function<void()>& f) -> std::string {
    try {
      f();
    } catch (const TrayIconError& e) {
      return e.what();
    }
    return "no failure";
  };
  EXPECT_EQ(message([&] { icon->SetHint("tip"); }), "trayIcon.UpDate failed");
  EXPECT_EQ(icon->Hint(), "tip");
  EXPECT_EQ(message([&] { icon->SetIcon(SolidIcon(Qt::red)); }), "trayIcon.UpDate failed");
  EXPECT_EQ(message([&] { icon->SetVisible(false); }), "trayIcon.DeleteFromTaskbar failed");
  EXPECT_FALSE(icon->Visible());
  EXPECT_EQ(message([&] { icon->SetVisible(true); }), "trayIcon.AddToTaskbar failed");
  EXPECT_TRUE(icon->Visible());
  EXPECT_FALSE(icon->InArea());
  EXPECT_EQ(TakeLog(), (Log{}));
}

TEST_F(TrayTest, AFailingRetryIsReportedOnceAndNotRepeated) {
  rec->available = false;
  icon->SetVisible(true);
  rec->failRequests = true;
  icon->Retry();
  EXPECT_EQ(errors, (Log{"trayIcon.AddToTaskbar failed"}));
  EXPECT_FALSE(icon->Waiting());
}

TEST_F(TrayTest, DestructionRemovesAShownIconAndReportsAFailedRemove) {
  icon->SetVisible(true);
  TakeLog();
  icon.reset();
  EXPECT_EQ(TakeLog(), (Log{"Hide"}));
  EXPECT_FALSE(rec->present);

  SetUp();
  icon->SetVisible(true);
  rec->failRequests = true;
  icon.reset();  // a failing remove must not escape the destructor
  EXPECT_EQ(errors, (Log{"trayIcon.DeleteFromTaskbar failed"}));
}

TEST(QtTrayService, ClicksArriveAndTheProgramStartsWithoutAnArea) {
  auto owned = std::make_unique<QtTrayService>();
  QtTrayService* service = owned.get();
  std::vector<QSystemTrayIcon::ActivationReason> clicks;
  QObject::connect(service, &TrayService::activated,
                   [&](QSystemTrayIcon::ActivationReason r) { clicks.push_back(r); });
  auto* tray = service->findChild<QSystemTrayIcon*>();
  ASSERT_NE(tray, nullptr);
  emit tray->activated(QSystemTrayIcon::Context);
  EXPECT_EQ(clicks, (std::vector{QSystemTrayIcon::Context}));

  // This (offscreen) desktop has no area: the icon waits instead of failing.
  TrayIcon icon(nullptr, std::move(owned));
  EXPECT_NO_THROW(icon.SetVisible(true));
  EXPECT_TRUE(icon.Visible());
  EXPECT_EQ(icon.InArea(), QSystemTrayIcon::isSystemTrayAvailable());
}

}  // namespace
}  // namespace tolvarine
