// The number options: where each number belongs (tooltip, .csv save) and valid numbers only.
#include <QCheckBox>
#include <QTreeView>

#include "base/gbk.h"
#include "main_window_fixture.h"

namespace tolvarine::testing {
namespace {

TEST_F(MainWindowTest, PlacesGoIntoTipsAndCsvAndInvalidNumbersAreLeftOutAndCounted) {
  Create();
  Child<QCheckBox>("placesBox")->setChecked(true);
  Child<QCheckBox>("validOnlyBox")->setChecked(true);
  Child<QCheckBox>("dedupBox")->setChecked(true);
  browser_.AddPage("http://a.example/",
                   PageWithText("13812345678 15400000000 15400000000"));
  StartWalk({"http://a.example/"});
  clock_.Advance(8000);

  QAbstractItemModel* phones = Child<QTreeView>("phoneList")->model();
  ASSERT_EQ(phones->rowCount(), 1) << "the invalid numbers stay out of the list";
  const QString tip = phones->data(phones->index(0, 0), Qt::ToolTipRole).toString();
  EXPECT_TRUE(tip.contains(QStringLiteral("来自：http://a.example/")));
  EXPECT_TRUE(tip.contains(QStringLiteral("江苏省连云港市"))) << tip.toStdString();
  EXPECT_TRUE(tip.contains(QStringLiteral("中国移动"))) << tip.toStdString();
  // Found twice, counted once with dedup.
  EXPECT_TRUE(Window().PanelText(8).endsWith(QStringLiteral("已略去无效号码 1 个")))
      << Window().PanelText(8).toStdString();

  dialogs_->saveFiles.push_back(QString::fromStdString(state_.PathOf("results.csv")));
  Click("saveResultsButton");
  const std::string csv = GbkToUtf8(state_.Read("results.csv"));
  EXPECT_TRUE(csv.starts_with("value,page,time,province,city,carrier\r\n")) << csv;
  EXPECT_NE(csv.find("13812345678,http://a.example/,"), std::string::npos) << csv;
  EXPECT_NE(csv.find(",江苏省,连云港市,中国移动\r\n"), std::string::npos) << csv;

  // Off, the tip has no place and the walk keeps every number.
  Child<QCheckBox>("placesBox")->setChecked(false);
  EXPECT_FALSE(phones->data(phones->index(0, 0), Qt::ToolTipRole)
                   .toString()
                   .contains(QStringLiteral("中国移动")));
  Child<QCheckBox>("validOnlyBox")->setChecked(false);
  StartWalk({"http://a.example/"});
  clock_.Advance(8000);
  EXPECT_EQ(phones->rowCount(), 2);
  EXPECT_FALSE(Window().PanelText(8).contains(QStringLiteral("无效")));

  // Without dedup every invalid number found is counted.
  Child<QCheckBox>("validOnlyBox")->setChecked(true);
  Child<QCheckBox>("dedupBox")->setChecked(false);
  dialogs_->saveChoices.push_back(SaveChoice::DontSave);  // the last walk's rows go
  StartWalk({"http://a.example/"});
  clock_.Advance(8000);
  EXPECT_TRUE(Window().PanelText(8).endsWith(QStringLiteral("已略去无效号码 2 个")))
      << Window().PanelText(8).toStdString();
}

}  // namespace
}  // namespace tolvarine::testing
