// The hyperlink label: its writers and when they repaint, its size, colours and the open.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QTest>

#include "ui/side/hyperlink_label.h"
#include "widget_events.h"

namespace tolvarine {
namespace {

using testing::PaintCounter;
using testing::SendEnter;
using testing::SendLeave;

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kFuchsia(255, 0, 255);

class HyperLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.resize(300, 100);
    label_ = new HyperlinkLabel(&host_);
    label_->move(10, 10);
    label_->SetOpener([this](const QString& url) { opened_.push_back(url); });
    ASSERT_TRUE(testing::ShowExposed(&host_));
  }
  void TearDown() override { host_.hide(); }

  QWidget host_;
  HyperlinkLabel* label_ = nullptr;
  std::vector<QString> opened_;
};

TEST_F(HyperLinkTest, StartsAsABlueBoldUnderlinedLinkToTheDefaultAddress) {
  EXPECT_EQ(label_->URL(), HyperlinkLabel::DefaultURL());
  EXPECT_EQ(label_->Caption(), HyperlinkLabel::DefaultURL());
  EXPECT_EQ(label_->LinkColor(), kBlue);
  EXPECT_EQ(label_->FontColor(), kBlue);
  EXPECT_TRUE(label_->CanvasFont().bold());
  EXPECT_TRUE(label_->CanvasFont().underline());
}

TEST_F(HyperLinkTest, WritersRepaintOnlyOnChange) {
  PaintCounter paints(label_);
  label_->SetCaption(label_->Caption());
  label_->SetColor(label_->Color());
  label_->SetFontName(label_->FontName());
  label_->SetURL(QStringLiteral("http://other.quenmar.example/"));
  EXPECT_EQ(paints.count, 0);
  EXPECT_EQ(label_->URL(), QStringLiteral("http://other.quenmar.example/"));

  label_->SetCaption(QStringLiteral("abc"));
  EXPECT_EQ(paints.count, 1);
  label_->SetColor(QColor(1, 2, 3));
  EXPECT_EQ(paints.count, 2);
  label_->SetFontName(QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(paints.count, 3);
  EXPECT_EQ(label_->CanvasFont().family(), QStringLiteral("DejaVu Sans"));
}

TEST_F(HyperLinkTest, PaintingSizesTheLabelToItsCaption) {
  label_->resize(181, 15);
  label_->SetCaption(QStringLiteral("a rather longer caption than before"));
  const QFontMetrics metrics(label_->CanvasFont());
  const QSize expected(metrics.horizontalAdvance(label_->Caption()) + 6, metrics.height() + 2);
  EXPECT_EQ(label_->size(), expected);

  label_->SetCaption(QStringLiteral("x"));
  EXPECT_EQ(label_->size().width(), metrics.horizontalAdvance(QStringLiteral("x")) + 6);
}

TEST_F(HyperLinkTest, PointerTurnsItRedAndALeftPressOpensTheUrl) {
  label_->SetCaption(QStringLiteral("shown text"));
  label_->SetURL(QStringLiteral("mailto:support@quenmar.example"));
  SendEnter(label_);
  EXPECT_EQ(label_->FontColor(), kRed);
  SendLeave(label_);
  EXPECT_EQ(label_->FontColor(), kBlue);

  SendEnter(label_);
  QTest::mousePress(label_, Qt::LeftButton, {}, QPoint(3, 3));
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], QStringLiteral("mailto:support@quenmar.example"));
  EXPECT_EQ(label_->FontColor(), kRed);  // still under the pointer
  EXPECT_EQ(label_->LinkColor(), kFuchsia);
  SendLeave(label_);
  EXPECT_EQ(label_->FontColor(), kFuchsia);
  SendEnter(label_);
  SendLeave(label_);
  EXPECT_EQ(label_->FontColor(), kFuchsia);  // never blue again
}

TEST_F(HyperLinkTest, ADoubleClickOpensTheAddressOnce) {
  // What a double click delivers: press, release, double click, release.
  QTest::mouseClick(label_, Qt::LeftButton, {}, QPoint(3, 3));
  QTest::mouseDClick(label_, Qt::LeftButton, {}, QPoint(3, 3));
  QTest::mouseRelease(label_, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_EQ(opened_.size(), 1u);
  QTest::mousePress(label_, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_EQ(opened_.size(), 2u);  // a later single press opens it again
}

TEST_F(HyperLinkTest, OtherButtonsOpenNothing) {
  SendEnter(label_);
  QTest::mousePress(label_, Qt::RightButton, {}, QPoint(3, 3));
  QTest::mousePress(label_, Qt::MiddleButton, {}, QPoint(3, 3));
  EXPECT_TRUE(opened_.empty());
  SendLeave(label_);
  EXPECT_EQ(label_->FontColor(), kBlue);
  EXPECT_EQ(label_->LinkColor(), kBlue);
}

}  // namespace
}  // namespace tolvarine
