// Callback messages of the hidden window and the events they give, in order.
#include <QMenu>

#include "tray_fixture.h"

namespace tolvarine::test {
namespace {

using Log = std::vector<std::string>;

TEST_F(TrayTest, LeftClickFiresDownThenForegroundUpAndOneClick) {
  Ready();
  rec->cursor = {120, 340};
  rec->keysDown = {kVkShift, kVkControl};
  Mouse(kWmLButtonDown);
  Mouse(kWmLButtonUp);
  EXPECT_EQ(TakeLog(), (Log{"MouseDown L SCL 120,340", "fg:app", "MouseUp L SCL 120,340", "Click"}));
  EXPECT_TRUE(rec->requests.empty());
}

TEST_F(TrayTest, DoubleClickGivesOneClickOnly) {
  Ready();
  Mouse(kWmLButtonDown);
  Mouse(kWmLButtonUp);
  Mouse(kWmLButtonDblClk);
  Mouse(kWmLButtonUp);
  EXPECT_EQ(TakeLog(), (Log{"MouseDown L L 0,0", "fg:app", "MouseUp L L 0,0", "Click", "DblClick",
                            "fg:app", "MouseUp L L 0,0"}));
}

TEST_F(TrayTest, RightClickOpensMenuThenPostsNullThenEvents) {
  QMenu menu;
  icon->SetPopupMenu(&menu);
  Ready();
  rec->cursor = {5, 6};
  rec->keysDown = {kVkMenu};
  Mouse(kWmRButtonDown);
  Mouse(kWmRButtonUp);
  EXPECT_EQ(TakeLog(), (Log{"fg:hidden", "MouseDown R AR 5,6", "popup@5,6", "post:0", "PopupMenu",
                            "fg:app", "MouseUp R AR 5,6"}));
  ASSERT_EQ(rec->posted.size(), 1u);
  EXPECT_EQ(rec->posted[0].first, icon->HiddenWindow());
  EXPECT_EQ(rec->posted[0].second.msg, kWmNull);
  EXPECT_EQ(rec->posted[0].second.wParam, 0u);
  EXPECT_EQ(rec->posted[0].second.lParam, 0);
  // The posted WM_NULL reaches the window and gets the default handling.
  EXPECT_EQ(rec->Send(icon->HiddenWindow(), kWmNull, 0), rec->defWindowProcResult);
}

TEST_F(TrayTest, RightReleaseWithoutMenuGivesMouseUpOnly) {
  Ready();
  Mouse(kWmRButtonUp);
  EXPECT_EQ(TakeLog(), (Log{"fg:app", "MouseUp R R 0,0"}));
}

TEST_F(TrayTest, DestroyedMenuIsForgottenAndNotOpened) {
  auto menu = std::make_unique<QMenu>();
  icon->SetPopupMenu(menu.get());
  Ready();
  menu.reset();
  EXPECT_EQ(icon->PopupMenu(), nullptr);
  Mouse(kWmRButtonUp);
  EXPECT_EQ(TakeLog(), (Log{"fg:app", "MouseUp R R 0,0"}));
  // A menu set afterwards is watched as well.
  QMenu other;
  icon->SetPopupMenu(&other);
  EXPECT_EQ(icon->PopupMenu(), &other);
}

TEST_F(TrayTest, MenuDestroyedWhileOpenStillEndsTheRelease) {
  auto menu = std::make_unique<QMenu>();
  icon->SetPopupMenu(menu.get());
  Ready();
  rec->duringPopup = [&] { menu.reset(); };
  Mouse(kWmRButtonUp);
  EXPECT_EQ(icon->PopupMenu(), nullptr);
  EXPECT_EQ(TakeLog(), (Log{"popup@0,0", "post:0", "PopupMenu", "fg:app", "MouseUp R R 0,0"}));
}

TEST_F(TrayTest, ComponentDestroyedWhileMenuOpenFiresNothingMore) {
  QMenu menu;
  icon->SetPopupMenu(&menu);
  Ready();
  icon->SetVisible(true);
  TakeLog();
  rec->duringPopup = [&] { icon.reset(); };
  Mouse(kWmRButtonUp);
  EXPECT_EQ(TakeLog(), (Log{"popup@0,0", "delete#0", "Hide", "deallocate"}));
  EXPECT_TRUE(errors.empty());
}

TEST_F(TrayTest, DisabledComponentFiresNothingAndPassesMessagesOn) {
  QMenu menu;
  icon->SetPopupMenu(&menu);
  Ready();
  icon->SetVisible(true);
  TakeLog();
  icon->SetEnabled(false);
  for (std::uint32_t m : {kWmLButtonDown, kWmLButtonUp, kWmLButtonDblClk, kWmRButtonDown,
                          kWmRButtonUp})
    EXPECT_EQ(Mouse(m), rec->defWindowProcResult);
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_TRUE(icon->Visible());
}

TEST_F(TrayTest, OtherMessagesGetDefaultHandlingOrNothing) {
  Ready();
  EXPECT_EQ(rec->Send(icon->HiddenWindow(), kWmUser + 2, kWmLButtonDown),
            rec->defWindowProcResult);
  for (std::uint32_t m : {kWmMouseMove, kWmMButtonDown, kWmMButtonUp, kWmRButtonDblClk})
    EXPECT_EQ(Mouse(m), 0);
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(TrayTest, FailingHandlerGoesToTheSinkAndClickIsNotLeftPending) {
  Ready();
  icon->OnMouseUp = [](TantTaskbarIcon*, TrayMouseButton, TrayShiftState, int, int) {
    throw Error("handler failed");
  };
  Mouse(kWmLButtonDown);
  Mouse(kWmLButtonUp);  // must not throw out of the window procedure
  EXPECT_EQ(errors, (Log{"handler failed"}));
  icon->OnMouseUp = nullptr;
  TakeLog();
  Mouse(kWmLButtonUp);
  EXPECT_EQ(TakeLog(), (Log{"fg:app"}));
}

}  // namespace
}  // namespace tolvarine::test
