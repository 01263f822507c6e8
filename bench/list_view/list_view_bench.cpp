// Appending to a result list shown in the window's report view: 100,000 rows, each
// scrolled into view, with the view painting as it would on screen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QTreeView>

#include "engine/result_list.h"
#include "ui/main/result_list_model.h"

namespace {

void BM_AppendRowsToShownList(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    tolvarine::ResultList list;
    tolvarine::ResultListModel model(list, QStringLiteral("手机号码表"));
    QTreeView* view = tolvarine::CreateReportListView(nullptr, "ListView1", &model);
    view->resize(250, 88);
    view->show();
    for (int i = 0; i < rows; ++i) {
      list.Append("138" + std::to_string(10000000 + i));
      // A walk adds a page's rows between event-loop turns; let the view catch up often.
      if (i % 100 == 99) QApplication::processEvents();
    }
    QApplication::processEvents();
    benchmark::DoNotOptimize(view->verticalScrollBar());
    delete view;
  }
  state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_AppendRowsToShownList)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
