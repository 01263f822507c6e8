#pragma once
// A one-column Qt model over an engine ResultList. It observes the list: each append
// inserts one row (no rebuild), clearing resets the model. Captions are converted from
// GBK when a row is displayed; a row's tooltip adds the page it was found on and when, and,
// for numbers while their places are shown, the number's province, city and carrier.
#include <QAbstractListModel>
#include <QString>

class QTreeView;
class QWidget;

#include "engine/number_info.h"
#include "engine/result_list.h"

namespace tolvarine {

class ResultListModel : public QAbstractListModel, public ResultListObserver {
  Q_OBJECT

 public:
  ResultListModel(ResultList& list, QString columnCaption, QObject* parent = nullptr);
  ~ResultListModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  void OnRowAppended(int row) override;
  void OnCleared() override;

  // Where the rows (numbers) belong, shown in their tooltips; none: not shown.
  void ShowPlaces(const NumberInfo* numbers) { numbers_ = numbers; }

 private:
  const NumberInfo* numbers_ = nullptr;
  ResultList& list_;
  QString caption_;
  int shown_ = 0;  // rows announced to the views so far
};

// A read-only report view (one column, uniform rows) over the model that scrolls each
// appended row into view.
QTreeView* CreateReportListView(QWidget* parent, const char* name, ResultListModel* model);

}  // namespace tolvarine
