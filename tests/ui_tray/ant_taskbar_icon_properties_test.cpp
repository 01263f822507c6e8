// Property writers, loading, requests and their failures, destruction.
#include <QMenu>
#include <QPixmap>
#include <cstring>

#include "base/gbk.h"
#include "tray_fixture.h"

namespace tolvarine::test {
namespace {

using Log = std::vector<std::string>;

QIcon SolidIcon(Qt::GlobalColor color) {
  QPixmap pixmap(32, 32);
  pixmap.fill(color);
  return QIcon(pixmap);
}

std::string Tip(const NotifyIconData& data) {
  return std::string(data.szTip, strnlen(data.szTip, sizeof data.szTip));
}

TEST_F(TrayTest, RecordCarriesTheFields) {
  Ready();
  icon->SetIconID(-2);
  icon->SetHint("abc");
  icon->SetIcon(SolidIcon(Qt::red));
  icon->SetVisible(true);
  const NotifyIconData& d = rec->requests.back().data;
  EXPECT_EQ(rec->requests.back().operation, kNimAdd);
  EXPECT_EQ(d.cbSize, 88u);
  EXPECT_EQ(d.hWnd, icon->HiddenWindow());
  EXPECT_EQ(d.uID, 0xFFFFFFFEu);
  EXPECT_EQ(d.uFlags, kNifMessage + kNifIcon + kNifTip);
  EXPECT_EQ(d.uCallbackMessage, 1025u);
  EXPECT_NE(d.hIcon, 0u);
  EXPECT_EQ(Tip(d), "abc");
}

TEST_F(TrayTest, StoredSettingsAddEarlySetTipThenAddAgainAndShow) {
  const std::string hint = Utf8ToGbk("『Tolvarine』V2.1");
  QMenu menu;
  int shows = 0, clicks = 0;
  TantTaskbarIconSettings s;
  s.icon = SolidIcon(Qt::blue);
  s.visible = true;
  s.hint = hint;
  s.popupMenu = &menu;
  s.onClick = [&](TantTaskbarIcon*) { ++clicks; };
  s.onShow = [&](TantTaskbarIcon*) { ++shows; };
  icon->LoadStoredSettings(s);

  ASSERT_EQ(rec->requests.size(), 3u);
  EXPECT_EQ(rec->requests[0].operation, kNimAdd);
  EXPECT_TRUE(rec->requests[0].accepted);
  EXPECT_EQ(Tip(rec->requests[0].data), "");
  EXPECT_NE(rec->requests[0].data.hIcon, 0u);  // the stored image, read without a request
  EXPECT_EQ(rec->requests[1].operation, kNimModify);
  EXPECT_EQ(Tip(rec->requests[1].data), hint);
  EXPECT_EQ(rec->requests[2].operation, kNimAdd);
  EXPECT_FALSE(rec->requests[2].accepted);  // refused, and not reported
  EXPECT_EQ(shows, 1);
  EXPECT_FALSE(icon->Loading());
  EXPECT_EQ(icon->PopupMenu(), &menu);
  EXPECT_TRUE(errors.empty());

  icon->Loaded();  // only once
  EXPECT_EQ(rec->requests.size(), 3u);
  Mouse(kWmLButtonDown);
  Mouse(kWmLButtonUp);
  EXPECT_EQ(clicks, 1);
}

TEST_F(TrayTest, HintIsCutTo63Bytes) {
  Ready();
  icon->SetVisible(true);
  icon->SetHint(std::string(70, 'h'));
  EXPECT_EQ(icon->Hint(), std::string(63, 'h'));
  EXPECT_EQ(Tip(rec->requests.back().data), std::string(63, 'h'));

  icon->SetHint(std::string(63, 'x'));
  EXPECT_EQ(Tip(rec->requests.back().data), std::string(63, 'x'));

  // The cut ignores double-byte characters: a lead byte may be left at the end.
  const std::string wide = std::string(62, 'a') + "\xCD\xF8";
  icon->SetHint(wide);
  EXPECT_EQ(icon->Hint(), wide.substr(0, 63));
}

TEST_F(TrayTest, WritingTheHeldValueSendsNothing) {
  const QIcon image = SolidIcon(Qt::green);
  Ready();
  icon->SetVisible(true);
  icon->SetHint("x");
  icon->SetIcon(image);
  TakeLog();
  const std::size_t before = rec->requests.size();
  icon->SetVisible(true);
  icon->SetIconID(0);
  icon->SetHint("x");
  icon->SetHint("x");
  icon->SetIcon(QIcon(image));
  icon->SetImageIndex(0);
  icon->SetImageList(nullptr);
  icon->SetEnabled(true);
  EXPECT_EQ(rec->requests.size(), before);
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(TrayTest, IconIdChangeMovesAShownIconAndOnlyStoresForAHiddenOne) {
  Ready();
  icon->SetIconID(3);
  EXPECT_TRUE(TakeLog().empty());
  icon->SetVisible(true);
  EXPECT_EQ(TakeLog(), (Log{"add#3", "Show"}));
  icon->SetIconID(4);
  EXPECT_EQ(TakeLog(), (Log{"delete#3", "Hide", "add#4", "Show"}));
  EXPECT_TRUE(icon->Visible());
  EXPECT_EQ(rec->present.size(), 1u);
  icon->SetVisible(false);
  EXPECT_EQ(rec->requests.back().data.uFlags, kNifMessage + kNifTip);
}

TEST_F(TrayTest, ImageAndTipChangedWhileHiddenShowUpAtTheNextAdd) {
  Ready();
  icon->SetHint("later");
  icon->SetIcon(SolidIcon(Qt::red));
  EXPECT_EQ(TakeLog(), (Log{"modify#0 refused", "modify#0 refused"}));
  EXPECT_TRUE(errors.empty());
  icon->SetVisible(true);
  const NotifyIconData& d = rec->requests.back().data;
  EXPECT_EQ(Tip(d), "later");
  EXPECT_NE(d.hIcon, 0u);
  EXPECT_TRUE(d.uFlags & kNifIcon);
}

TEST_F(TrayTest, ImageListSuppliesTheIcon) {
  Ready();
  icon->SetImageIndex(1);  // no list: only stored
  EXPECT_TRUE(rec->requests.empty());
  EXPECT_EQ(icon->ImageIndex(), 1);

  const TrayImageList list{SolidIcon(Qt::red), SolidIcon(Qt::blue)};
  icon->SetImageList(&list);
  EXPECT_EQ(icon->Icon().cacheKey(), list[1].cacheKey());
  ASSERT_EQ(rec->requests.size(), 1u);
  EXPECT_EQ(rec->requests[0].operation, kNimModify);

  icon->SetImageIndex(5);  // outside the list: an empty image
  EXPECT_TRUE(icon->Icon().isNull());
  EXPECT_EQ(rec->requests.back().data.hIcon, 0u);
}

TEST_F(TrayTest, FailedRequestsRaiseNamedErrorsAndKeepStoredValues) {
  Ready();
  rec->throwOnShell = true;
  auto message = [](const std::function<void()>& f) -> std::string {
    try {
      f();
    } catch (const EantTaskbarIcon& e) {
      return e.what();
    }
    return "no failure";
  };
  EXPECT_EQ(message([&] { icon->SetHint("tip"); }), "antTaskbarIcon1.UpDate failed");
  EXPECT_EQ(icon->Hint(), "tip");
  EXPECT_EQ(message([&] { icon->SetVisible(true); }), "antTaskbarIcon1.AddToTaskbar failed");
  EXPECT_TRUE(icon->Visible());
  EXPECT_TRUE(icon->Flags() & kNifIcon);
  EXPECT_EQ(message([&] { icon->SetVisible(false); }), "antTaskbarIcon1.DeleteFromTaskbar failed");
  EXPECT_FALSE(icon->Visible());

  rec->throwOnShell = false;
  rec->throwOnIconHandle = true;  // no native handle for the image: fails while filling
  EXPECT_EQ(message([&] { icon->SetIcon(SolidIcon(Qt::red)); }), "antTaskbarIcon1.UpDate failed");
  icon->setObjectName(QString());
  EXPECT_EQ(message([&] { icon->UpDate(); }), ".UpDate failed");
  EXPECT_TRUE(rec->requests.empty());
}

TEST_F(TrayTest, AFailedAddRaisesWhileLoadingAndFromLoaded) {
  int shows = 0;
  icon->OnShow = [&](TantTaskbarIcon*) { ++shows; };
  rec->throwOnShell = true;
  EXPECT_THROW(icon->SetVisible(true), EantTaskbarIcon);
  EXPECT_THROW(icon->Loaded(), EantTaskbarIcon);
  EXPECT_FALSE(icon->Loading());
  EXPECT_EQ(shows, 0);
}

TEST_F(TrayTest, DestructionRemovesAShownIcon) {
  Ready();
  icon->SetVisible(true);
  TakeLog();
  icon.reset();
  EXPECT_EQ(TakeLog(), (Log{"delete#0", "Hide", "deallocate"}));
  EXPECT_TRUE(rec->present.empty());
  EXPECT_TRUE(rec->windows.empty());
}

TEST_F(TrayTest, DestructionReportsAFailedDeleteToTheSink) {
  Ready();
  icon->SetVisible(true);
  rec->throwOnShell = true;
  icon.reset();  // a failing delete must not escape the destructor
  EXPECT_EQ(errors, (Log{"antTaskbarIcon1.DeleteFromTaskbar failed"}));
}

}  // namespace
}  // namespace tolvarine::test
