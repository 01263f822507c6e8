// The list model follows the engine's result list row by row.
#include <gtest/gtest.h>

#include <QTreeView>

#include "base/gbk.h"
#include "base/record_text.h"
#include "ui/main/result_list_model.h"

namespace tolvarine::testing {
namespace {

TEST(ResultListModel, AppendsRowsOneAtATimeAndResetsOnClear) {
  ResultList list;
  list.Append("before");
  ResultListModel model(list, QStringLiteral("手机号码表"));
  EXPECT_EQ(model.rowCount(), 1);
  int inserted = 0, resets = 0;
  QObject::connect(&model, &QAbstractItemModel::rowsInserted,
                   [&](const QModelIndex&, int first, int last) {
                     EXPECT_EQ(first, last);
                     EXPECT_EQ(first, model.rowCount() - 1);
                     ++inserted;
                   });
  QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });
  list.Append(Utf8ToGbk("http://a.example/新闻"));
  EXPECT_EQ(inserted, 1);
  EXPECT_EQ(model.index(1, 0).data().toString(), QStringLiteral("http://a.example/新闻"));
  EXPECT_FALSE(model.flags(model.index(1, 0)) & Qt::ItemIsEditable);
  list.Clear();
  EXPECT_EQ(resets, 1);
  EXPECT_EQ(model.rowCount(), 0);
}

TEST(ResultListModel, ARowsTooltipShowsTheCaptionAndWhereAndWhenItWasFound) {
  ResultList list;
  ResultListModel model(list, QStringLiteral("手机号码表"));
  list.BeginSource(Utf8ToGbk("http://a.example/新闻"), 1700000000);
  list.Append("13912345678");
  list.EndSource();
  list.Append("18600001111");
  EXPECT_EQ(model.index(0, 0).data(Qt::ToolTipRole).toString(),
            QStringLiteral("13912345678\n来自：http://a.example/新闻\n时间：") +
                QString::fromStdString(LocalTimeText(1700000000)));
  EXPECT_EQ(model.index(1, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("18600001111"));
}

TEST(ResultListModel, AHundredThousandRowsAppendWithoutARebuild) {
  ResultList list;
  ResultListModel model(list, QStringLiteral("网址链接表"));
  QTreeView view;
  view.setUniformRowHeights(true);
  view.setModel(&model);
  int inserted = 0, resets = 0;
  QObject::connect(&model, &QAbstractItemModel::rowsInserted, [&] { ++inserted; });
  QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });
  for (int i = 0; i < 100000; ++i) list.Append("1390000" + std::to_string(1000 + i % 9000));
  EXPECT_EQ(inserted, 100000);
  EXPECT_EQ(resets, 0);
  EXPECT_EQ(model.rowCount(), 100000);
  EXPECT_EQ(model.index(99999, 0).data().toString().toStdString(), list.Row(99999));
}

}  // namespace
}  // namespace tolvarine::testing
