#include "ui/main/result_list_model.h"

#include <memory>

#include <QHeaderView>
#include <QTimer>
#include <QTreeView>

#include "engine/result_records.h"
#include "ui/qt_gbk.h"

namespace tolvarine {

namespace {

// A number's place lines: province and city (a city named as its province once), carrier.
QString PlaceTip(const NumberPlace& place) {
  if (!place.valid) return QStringLiteral("\n归属地：不是有效的手机号码");
  const QString unknown = QStringLiteral("未知");
  QString where = FromGbk(place.province);
  if (!place.city.empty() && place.city != place.province) where += FromGbk(place.city);
  return QStringLiteral("\n归属地：") + (where.isEmpty() ? unknown : where) +
         QStringLiteral("\n运营商：") +
         (place.carrier.empty() ? unknown : FromGbk(place.carrier));
}

}  // namespace

ResultListModel::ResultListModel(ResultList& list, QString columnCaption, QObject* parent)
    : QAbstractListModel(parent), list_(list), caption_(std::move(columnCaption)) {
  shown_ = list_.Count();
  list_.AddObserver(this);
}

ResultListModel::~ResultListModel() { list_.RemoveObserver(this); }

int ResultListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_;
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown_ || index.row() >= list_.Count()) return {};
  const int row = index.row();
  if (role == Qt::DisplayRole) return FromGbk(list_.Row(row));
  if (role == Qt::ToolTipRole) {
    // The whole caption (a long link does not fit the column), then where it was found.
    QString tip = FromGbk(list_.Row(row));
    const RowSource& source = list_.SourceOf(row);
    if (!source.page.empty()) tip += QStringLiteral("\n来自：") + FromGbk(source.page);
    if (source.time != 0)
      tip += QStringLiteral("\n时间：") + QString::fromStdString(SourceTimeText(source));
    if (numbers_) tip += PlaceTip(numbers_->Look(list_.Row(row)));
    return tip;
  }
  return {};
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) return caption_;
  return {};
}

Qt::ItemFlags ResultListModel::flags(const QModelIndex& index) const {
  // Rows can be selected but never edited.
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ResultListModel::OnRowAppended(int row) {
  // The engine has already stored the row; the model catches up to it, one insert.
  if (row < shown_) return;
  beginInsertRows(QModelIndex(), shown_, row);
  shown_ = row + 1;
  endInsertRows();
}

void ResultListModel::OnCleared() {
  beginResetModel();
  shown_ = list_.Count();
  endResetModel();
}

QTreeView* CreateReportListView(QWidget* parent, const char* name, ResultListModel* model) {
  auto* view = new QTreeView(parent);
  view->setObjectName(QString::fromLatin1(name));
  view->setModel(model);
  view->setRootIsDecorated(false);
  view->setItemsExpandable(false);
  view->setUniformRowHeights(true);  // keeps long lists cheap to append to and scroll
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->header()->setStretchLastSection(false);
  view->header()->setSectionsMovable(false);
  view->setColumnWidth(0, 250);
  // The last appended row is scrolled into view once control returns to the event loop:
  // scrolling at every append lays the whole view out again each time, which made a list
  // of 100,000 rows take minutes to fill. Nothing is painted between two appends of one
  // handler, so the user sees the same.
  auto scrollPending = std::make_shared<bool>(false);
  QObject::connect(model, &QAbstractItemModel::rowsInserted, view,
                   [view, model, scrollPending](const QModelIndex&, int, int) {
                     if (*scrollPending) return;
                     *scrollPending = true;
                     QTimer::singleShot(0, view, [view, model, scrollPending] {
                       *scrollPending = false;
                       const int rows = model->rowCount();
                       if (rows > 0) view->scrollTo(model->index(rows - 1, 0));
                     });
                   });
  return view;
}

}  // namespace tolvarine
