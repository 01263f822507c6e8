// The about box: its look, how it closes, and its links across showings.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "ui/side/about_box.h"
#include "widget_events.h"

namespace tolvarine {
namespace {

using testing::SendEnter;
using testing::SendLeave;

class AboutBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<AboutBox>(nullptr,
                                     [this](const QString& url) { opened_.push_back(url); });
  }
  void TearDown() override { form_->hide(); }

  HyperlinkLabel* Link(const char* name) const {
    auto* l = form_->findChild<HyperlinkLabel*>(QLatin1String(name));
    EXPECT_NE(l, nullptr) << name;
    return l;
  }
  QPushButton* Ok() const { return form_->findChild<QPushButton*>(QStringLiteral("okButton")); }

  std::unique_ptr<AboutBox> form_;
  std::vector<QString> opened_;
};

TEST_F(AboutBoxTest, ShowsTitleProductAndOkButton) {
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("关于本软件"));
  const Qt::WindowFlags flags = form_->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(form_->windowIcon().isNull());
  auto* name = form_->findChild<QLabel*>(QStringLiteral("productName"));
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->text(), QStringLiteral("『Tolvarine』V2.1"));
  EXPECT_TRUE(name->font().bold());
  ASSERT_NE(Ok(), nullptr);
  EXPECT_EQ(Ok()->text(), QStringLiteral("确 定"));
  EXPECT_TRUE(Ok()->isDefault());
  EXPECT_EQ(Ok()->geometry(), QRect(207, 156, 50, 25));
  auto* logo = form_->findChild<QLabel*>(QStringLiteral("makerLogo"));
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(logo->geometry(), QRect(20, 8, 66, 46));
  EXPECT_EQ(Link("contactLink")->URL(), QStringLiteral("mailto:support@quenmar.example"));
  EXPECT_TRUE(Link("contactLink")->Caption().startsWith(QStringLiteral("QQ:")));
}

TEST_F(AboutBoxTest, EnterPressesOkAndEscapeDoesNotClose) {
  ASSERT_TRUE(testing::ShowExposed(form_.get()));
  QTest::keyClick(form_.get(), Qt::Key_Escape);
  EXPECT_TRUE(form_->isVisible());

  QTest::keyClick(form_.get(), Qt::Key_Return);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(form_->result(), QDialog::Accepted);
}

TEST_F(AboutBoxTest, LinksOpenTheirUrlsAndStayVisitedInLaterShowings) {
  ASSERT_TRUE(testing::ShowExposed(form_.get()));
  HyperlinkLabel* second = Link("productPageLink");
  ASSERT_NE(second->Caption(), second->URL());
  SendEnter(second);
  QTest::mousePress(second, Qt::LeftButton, {}, QPoint(3, 3));
  SendLeave(second);
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], second->URL());

  SendEnter(Link("contactLink"));
  QTest::mousePress(Link("contactLink"), Qt::RightButton, {}, QPoint(3, 3));
  SendLeave(Link("contactLink"));
  EXPECT_EQ(opened_.size(), 1u);

  Ok()->click();
  EXPECT_FALSE(form_->isVisible());
  ASSERT_TRUE(testing::ShowExposed(form_.get()));
  EXPECT_EQ(Link("productPageLink")->FontColor(), QColor(255, 0, 255));
  EXPECT_EQ(Link("homePageLink")->FontColor(), QColor(0, 0, 255));
  EXPECT_EQ(Link("contactLink")->FontColor(), QColor(0, 0, 255));
}

}  // namespace
}  // namespace tolvarine
