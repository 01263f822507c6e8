// The two extra option boxes: filled from their file, edits go into the settings, and the
// option row still fits the window.
#include <QCheckBox>
#include <QLineEdit>

#include "main_window_fixture.h"

namespace tolvarine::testing {
namespace {

TEST_F(MainWindowTest, ExtraOptionBoxesFollowTheSettings) {
  state_.Write("tolvarine-extra.ini", "https=1\r\nformatted=0\r\n");
  Create();
  Window().show();
  auto* https = Child<QCheckBox>("httpsBox");
  auto* formatted = Child<QCheckBox>("formattedBox");
  ASSERT_NE(https, nullptr);
  ASSERT_NE(formatted, nullptr);
  EXPECT_TRUE(https->isChecked());
  EXPECT_FALSE(formatted->isChecked());
  EXPECT_FALSE(https->toolTip().isEmpty());
  EXPECT_FALSE(formatted->toolTip().isEmpty());

  https->setChecked(false);
  formatted->setChecked(true);
  EXPECT_FALSE(Window().Crawl().Settings().extra.https);
  EXPECT_TRUE(Window().Crawl().Settings().extra.formatted);

  // Both boxes fit under the classic filter boxes, and the window keeps its width with
  // room in the option row for the list file's name.
  auto* onlySite = Child<QCheckBox>("onlySiteBox");
  auto* panel = Child<QWidget>("filterPanel");
  EXPECT_GE(https->y(), onlySite->y() + onlySite->height());
  EXPECT_GE(formatted->y(), https->y() + https->height());
  EXPECT_LE(formatted->y() + formatted->height(), panel->height());
  EXPECT_EQ(Window().width(), 630);
  EXPECT_GE(Child<QLineEdit>("listFileField")->width(), 60);
}

}  // namespace
}  // namespace tolvarine::testing
