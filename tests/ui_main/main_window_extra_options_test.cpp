// The extra option boxes: filled from their file, edits go into the settings and back into
// the file, and the window still fits them.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

#include "main_window_fixture.h"

namespace tolvarine::testing {
namespace {

TEST_F(MainWindowTest, ExtraOptionBoxesFollowTheSettings) {
  state_.Write("tolvarine-extra.ini", "https=1\r\nformatted=0\r\nreport=1\r\nplaces=1\r\nfollow=1\r\ndepth=3\r\n");
  Create();
  Window().show();
  auto* https = Child<QCheckBox>("httpsBox");
  auto* formatted = Child<QCheckBox>("formattedBox");
  ASSERT_NE(https, nullptr);
  ASSERT_NE(formatted, nullptr);
  EXPECT_TRUE(https->isChecked());
  EXPECT_FALSE(formatted->isChecked());
  auto* report = Child<QCheckBox>("reportBox");
  ASSERT_NE(report, nullptr);
  EXPECT_TRUE(report->isChecked());
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
  // The report box ends the tool bar, after the last button, whole.
  auto* exit = Child<QToolButton>("exitButton");
  EXPECT_GE(report->x(), exit->x() + exit->width());
  EXPECT_LE(report->x() + report->width(), Child<QWidget>("toolBar")->width());
  EXPECT_GE(report->width(), report->sizeHint().width());

  // The number options head the prefix field, side by side and whole.
  auto* places = Child<QCheckBox>("placesBox");
  auto* validOnly = Child<QCheckBox>("validOnlyBox");
  auto* prefixes = Child<QWidget>("prefixField");
  ASSERT_NE(places, nullptr);
  ASSERT_NE(validOnly, nullptr);
  EXPECT_TRUE(places->isChecked());
  EXPECT_FALSE(validOnly->isChecked());
  EXPECT_GE(validOnly->x(), places->x() + places->width());
  EXPECT_GE(places->x(), prefixes->x());
  EXPECT_LE(validOnly->x() + validOnly->width(), prefixes->x() + prefixes->width());
  EXPECT_GE(validOnly->width(), validOnly->sizeHint().width());
  EXPECT_LE(places->y() + places->height(), prefixes->y());

  // Following links: its column stands between the filter boxes and the link rules, whole;
  // the depth and robots choice are editable only while links are followed.
  auto* follow = Child<QCheckBox>("followBox");
  auto* depth = Child<QSpinBox>("depthField");
  auto* ignoreRobots = Child<QCheckBox>("ignoreRobotsBox");
  ASSERT_NE(follow, nullptr);
  ASSERT_NE(depth, nullptr);
  ASSERT_NE(ignoreRobots, nullptr);
  EXPECT_TRUE(follow->isChecked());
  EXPECT_EQ(depth->value(), 3);
  EXPECT_TRUE(depth->isEnabled());
  auto* mustContain = Child<QWidget>("mustContainField");
  for (QWidget* w : {static_cast<QWidget*>(follow), static_cast<QWidget*>(depth),
                     static_cast<QWidget*>(ignoreRobots)}) {
    EXPECT_GE(w->x(), https->x() + https->width());
    EXPECT_LE(w->x() + w->width(), mustContain->x());
    EXPECT_LE(w->y() + w->height(), panel->height());
  }
  EXPECT_GE(follow->width(), follow->sizeHint().width());
  EXPECT_GE(ignoreRobots->width(), ignoreRobots->sizeHint().width());
  depth->setValue(5);
  ignoreRobots->setChecked(true);
  EXPECT_EQ(Window().Crawl().Settings().extra.depth, 5);
  follow->setChecked(false);
  EXPECT_FALSE(depth->isEnabled());
  EXPECT_FALSE(ignoreRobots->isEnabled());

  report->setChecked(false);
  places->setChecked(false);
  validOnly->setChecked(true);
  window_.reset();
  EXPECT_EQ(state_.Read("tolvarine-extra.ini"),
            "https=0\r\nformatted=1\r\nreport=0\r\nfollow=0\r\nignore-robots=1\r\nplaces=0\r\n"
            "valid-only=1\r\nsitemaps=0\r\nblock-images=0\r\nblock-fonts=0\r\nblock-media=0\r\n"
            "depth=5\r\nscope=site\r\nmax-pages=1000\r\nretries=2\r\n");
}

}  // namespace
}  // namespace tolvarine::testing

namespace tolvarine::testing {
namespace {

TEST_F(MainWindowTest, ScopeAndPageLimitFollowTheSettingsAndOutliveTheWindow) {
  state_.Write("tolvarine-extra.ini", "follow=1\r\nscope=host\r\nmax-pages=250\r\n");
  Create();
  auto* scope = Child<QComboBox>("scopeField");
  auto* maxPages = Child<QSpinBox>("maxPagesField");
  ASSERT_NE(scope, nullptr);
  ASSERT_NE(maxPages, nullptr);
  EXPECT_EQ(scope->currentText(), QStringLiteral("主机"));
  EXPECT_EQ(maxPages->value(), 250);
  EXPECT_TRUE(scope->isEnabled());
  EXPECT_TRUE(maxPages->isEnabled());
  EXPECT_EQ(maxPages->maximum(), 100000000);

  scope->setCurrentIndex(scope->findText(QStringLiteral("站点")));
  maxPages->setValue(40);
  EXPECT_EQ(Window().Crawl().Settings().extra.scope, ScopeKind::Site);
  EXPECT_EQ(Window().Crawl().Settings().extra.maxPagesPerLine, 40);
  scope->setCurrentIndex(scope->findText(QStringLiteral("主机")));
  EXPECT_EQ(Window().Crawl().Settings().extra.scope, ScopeKind::Host);
  Child<QCheckBox>("followBox")->setChecked(false);
  EXPECT_FALSE(scope->isEnabled());
  EXPECT_FALSE(maxPages->isEnabled());

  window_.reset();
  Create();
  EXPECT_EQ(Child<QComboBox>("scopeField")->currentText(), QStringLiteral("主机"));
  EXPECT_EQ(Child<QSpinBox>("maxPagesField")->value(), 40);
  EXPECT_FALSE(Child<QSpinBox>("maxPagesField")->isEnabled());
}

TEST_F(MainWindowTest, RetriesSitemapsAndBlockingFollowTheSettingsAndOutliveTheWindow) {
  state_.Write("tolvarine-extra.ini", "retries=7\r\nsitemaps=1\r\nblock-fonts=1\r\n");
  Create();
  auto* retries = Child<QSpinBox>("retriesField");
  auto* sitemaps = Child<QCheckBox>("sitemapsBox");
  auto* block = Child<QCheckBox>("blockImagesBox");
  ASSERT_TRUE(retries && sitemaps && block);
  EXPECT_EQ(retries->value(), 7);
  EXPECT_TRUE(sitemaps->isChecked());
  EXPECT_FALSE(sitemaps->isEnabled());  // links are not followed
  EXPECT_TRUE(retries->isEnabled());    // list walks retry too
  EXPECT_TRUE(block->isChecked());      // any kind blocked shows ticked
  Child<QCheckBox>("followBox")->setChecked(true);
  EXPECT_TRUE(sitemaps->isEnabled());

  retries->setValue(0);
  sitemaps->setChecked(false);
  block->setChecked(false);
  const ExtraOptions& extra = Window().Crawl().Settings().extra;
  EXPECT_EQ(extra.retries, 0);
  EXPECT_FALSE(extra.sitemaps || extra.blockImages || extra.blockFonts || extra.blockMedia);
  block->setChecked(true);
  EXPECT_TRUE(extra.blockImages && extra.blockFonts && extra.blockMedia);

  window_.reset();
  Create();
  EXPECT_EQ(Child<QSpinBox>("retriesField")->value(), 0);
  EXPECT_FALSE(Child<QCheckBox>("sitemapsBox")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>("blockImagesBox")->isChecked());
}

}  // namespace
}  // namespace tolvarine::testing

namespace tolvarine::testing {
namespace {

// The reveal and structured-data options: shown from the settings, edits go into them;
// scrolling counts only while its box is ticked.
TEST_F(MainWindowTest, RevealAndStructuredOptionsFollowTheSettings) {
  Create();
  auto* scroll = Child<QCheckBox>("scrollBox");
  auto* scrolls = Child<QSpinBox>("scrollField");
  auto* clickMore = Child<QCheckBox>("clickMoreBox");
  auto* structured = Child<QCheckBox>("structuredBox");
  ASSERT_TRUE(scroll && scrolls && clickMore && structured);
  const ExtraOptions& extra = Window().Crawl().Settings().extra;
  EXPECT_FALSE(scroll->isChecked() || clickMore->isChecked() || structured->isChecked());
  EXPECT_FALSE(scrolls->isEnabled());

  scroll->setChecked(true);
  EXPECT_TRUE(scrolls->isEnabled());
  EXPECT_EQ(extra.scroll, 5);
  scrolls->setValue(12);
  EXPECT_EQ(extra.scroll, 12);
  clickMore->setChecked(true);
  structured->setChecked(true);
  EXPECT_TRUE(extra.clickMore && extra.structured);
  scroll->setChecked(false);
  EXPECT_EQ(extra.scroll, 0);
  EXPECT_FALSE(scrolls->isEnabled());
  scroll->setChecked(true);
  EXPECT_EQ(extra.scroll, 12);

  // Settings read from elsewhere are shown as they are, the field's count kept when off.
  state_.Write("urls.txt", "http://a/\r\n");
  ExtraOptions& settings = Window().Crawl().Settings().extra;
  settings.scroll = 40;
  settings.clickMore = settings.structured = false;
  Window().Crawl().UseListFile(state_.PathOf("urls.txt"));
  EXPECT_TRUE(scroll->isChecked());
  EXPECT_EQ(scrolls->value(), 40);
  EXPECT_FALSE(clickMore->isChecked() || structured->isChecked());
  settings.scroll = 0;
  Window().Crawl().UseListFile(state_.PathOf("urls.txt"));
  EXPECT_FALSE(scroll->isChecked() || scrolls->isEnabled());
  EXPECT_EQ(scrolls->value(), 40);
  EXPECT_EQ(extra.scroll, 0);
}

}  // namespace
}  // namespace tolvarine::testing
