// Clicks on the icon and the events they give, in order; the popup menu on a right click.
#include <QCursor>

#include "tray_fixture.h"

namespace tolvarine {
namespace {

class TrayEventsTest : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    QCursor::setPos(120, 340);
    icon->SetVisible(true);
    TakeLog();
  }
};

TEST_F(TrayEventsTest, ClickAndDoubleClickGiveOneClickEach) {
  rec->Activate(QSystemTrayIcon::Trigger);
  EXPECT_EQ(TakeLog(), (Log{"MouseDown L 120,340", "MouseUp L 120,340", "Click"}));
  // A double click comes as a click, then the double click.
  rec->Activate(QSystemTrayIcon::Trigger);
  rec->Activate(QSystemTrayIcon::DoubleClick);
  EXPECT_EQ(TakeLog(), (Log{"MouseDown L 120,340", "MouseUp L 120,340", "Click", "DblClick",
                            "MouseUp L 120,340"}));
  rec->Activate(QSystemTrayIcon::MiddleClick);
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(TrayEventsTest, RightClickOpensTheMenuAtTheCursorThenEndsTheClick) {
  QMenu menu;
  menu.addAction(QStringLiteral("item"));
  icon->SetPopupMenu(&menu);
  CloseWhenOpen(&menu);
  rec->Activate(QSystemTrayIcon::Context);
  EXPECT_EQ(TakeLog(), (Log{"MouseDown R 120,340", "popup@120,340", "PopupMenu",
                            "MouseUp R 120,340"}));
  EXPECT_FALSE(menu.isVisible());

  icon->SetPopupMenu(nullptr);
  rec->Activate(QSystemTrayIcon::Context);
  EXPECT_EQ(TakeLog(), (Log{"MouseDown R 120,340", "MouseUp R 120,340"}));
}

TEST_F(TrayEventsTest, DestroyedMenuIsForgottenAlsoWhileOpen) {
  auto menu = std::make_unique<QMenu>();
  icon->SetPopupMenu(menu.get());
  menu.reset();
  EXPECT_EQ(icon->PopupMenu(), nullptr);
  rec->Activate(QSystemTrayIcon::Context);
  EXPECT_EQ(TakeLog(), (Log{"MouseDown R 120,340", "MouseUp R 120,340"}));

  menu = std::make_unique<QMenu>();
  icon->SetPopupMenu(menu.get());
  CloseWhenOpen(menu.get(), [&] { menu.reset(); });
  rec->Activate(QSystemTrayIcon::Context);
  EXPECT_EQ(icon->PopupMenu(), nullptr);
  EXPECT_EQ(TakeLog(), (Log{"MouseDown R 120,340", "popup@120,340", "PopupMenu",
                            "MouseUp R 120,340"}));
}

TEST_F(TrayEventsTest, IconDestroyedWhileItsMenuIsOpenFiresNothingMore) {
  QMenu menu;
  icon->SetPopupMenu(&menu);
  CloseWhenOpen(&menu, [&] { icon.reset(); });
  rec->Activate(QSystemTrayIcon::Context);
  EXPECT_EQ(TakeLog(), (Log{"MouseDown R 120,340", "popup@120,340", "Hide"}));
  EXPECT_EQ(rec->requests.back(), "remove");
  EXPECT_TRUE(errors.empty());
}

TEST_F(TrayEventsTest, DisabledIconFiresNothingAndStays) {
  QMenu menu;
  icon->SetPopupMenu(&menu);
  icon->SetEnabled(false);
  for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick,
                      QSystemTrayIcon::Context})
    rec->Activate(reason);
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_TRUE(rec->present);
}

TEST_F(TrayEventsTest, FailingHandlerGoesToTheSinkAndEndsOnlyThatClick) {
  icon->OnMouseUp = [](TrayIcon*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint) {
    throw Error("handler failed");
  };
  rec->Activate(QSystemTrayIcon::Trigger);  // must not throw out of the signal
  EXPECT_EQ(errors, (Log{"handler failed"}));
  EXPECT_EQ(TakeLog(), (Log{"MouseDown L 120,340"}));
  icon->OnMouseUp = nullptr;
  rec->Activate(QSystemTrayIcon::Trigger);
  EXPECT_EQ(TakeLog(), (Log{"MouseDown L 120,340", "Click"}));
}

TEST_F(TrayEventsTest, HandlerThatDestroysTheIconEndsTheClick) {
  icon->OnMouseDown = [this](TrayIcon*, Qt::MouseButton, Qt::KeyboardModifiers, QPoint) {
    icon.reset();
  };
  rec->Activate(QSystemTrayIcon::Trigger);
  EXPECT_EQ(TakeLog(), (Log{"Hide"}));
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace tolvarine
