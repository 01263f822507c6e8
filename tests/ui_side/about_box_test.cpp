// The about box: its look, how it closes, and its links across showings.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "ui/side/about_form.h"
#include "widget_events.h"

namespace tolvarine {
namespace {

using testing::SendEnter;
using testing::SendLeave;

class AboutFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<TForm2>(nullptr,
                                     [this](const QString& url) { opened_.push_back(url); });
  }
  void TearDown() override { form_->hide(); }

  TcwHyperLink* Link(int n) const {
    auto* l = form_->findChild<TcwHyperLink*>(QStringLiteral("cwHyperLink%1").arg(n));
    EXPECT_NE(l, nullptr) << n;
    return l;
  }
  QPushButton* Ok() const { return form_->findChild<QPushButton*>(QStringLiteral("OKButton")); }

  std::unique_ptr<TForm2> form_;
  std::vector<QString> opened_;
};

TEST_F(AboutFormTest, ShowsTitleProductAndOkButton) {
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("关于本软件"));
  const Qt::WindowFlags flags = form_->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(form_->windowIcon().isNull());
  auto* name = form_->findChild<QLabel*>(QStringLiteral("ProductName"));
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->text(), QStringLiteral("『Tolvarine』V2.1"));
  EXPECT_TRUE(name->font().bold());
  ASSERT_NE(Ok(), nullptr);
  EXPECT_EQ(Ok()->text(), QStringLiteral("确 定"));
  EXPECT_TRUE(Ok()->isDefault());
  EXPECT_EQ(Ok()->geometry(), QRect(207, 156, 50, 25));
  auto* logo = form_->findChild<QLabel*>(QStringLiteral("ProgramIcon"));
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(logo->geometry(), QRect(20, 8, 66, 46));
  EXPECT_EQ(Link(2)->URL(), QStringLiteral("mailto:support@quenmar.example"));
  EXPECT_TRUE(Link(2)->Caption().startsWith(QStringLiteral("QQ:")));
}

TEST_F(AboutFormTest, EnterPressesOkAndEscapeDoesNotClose) {
  ASSERT_TRUE(testing::ShowExposed(form_.get()));
  QTest::keyClick(form_.get(), Qt::Key_Escape);
  EXPECT_TRUE(form_->isVisible());

  QTest::keyClick(form_.get(), Qt::Key_Return);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(form_->result(), QDialog::Accepted);
}

TEST_F(AboutFormTest, LinksOpenTheirUrlsAndStayVisitedInLaterShowings) {
  ASSERT_TRUE(testing::ShowExposed(form_.get()));
  TcwHyperLink* second = Link(3);
  ASSERT_NE(second->Caption(), second->URL());
  SendEnter(second);
  QTest::mousePress(second, Qt::LeftButton, {}, QPoint(3, 3));
  SendLeave(second);
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], second->URL());

  SendEnter(Link(2));
  QTest::mousePress(Link(2), Qt::RightButton, {}, QPoint(3, 3));
  SendLeave(Link(2));
  EXPECT_EQ(opened_.size(), 1u);

  Ok()->click();
  EXPECT_FALSE(form_->isVisible());
  ASSERT_TRUE(testing::ShowExposed(form_.get()));
  EXPECT_EQ(Link(3)->FontColor(), QColor(255, 0, 255));
  EXPECT_EQ(Link(1)->FontColor(), QColor(0, 0, 255));
  EXPECT_EQ(Link(2)->FontColor(), QColor(0, 0, 255));
}

}  // namespace
}  // namespace tolvarine
