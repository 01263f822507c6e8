#pragma once
// The walk report: one self-contained HTML page (UTF-8, no scripts, no outside resources,
// readable offline and printable) with the walk's summary, its charts, a table per site and
// the pages that were abandoned, harvested early or refused. Each chart carries its data as
// a table beside it. Needs a QApplication (the charts are drawn by Qt Charts).
#include <string>

#include "engine/walk_figures.h"

namespace tolvarine {

// listName: the walked list's name (GBK), shown in the title.
std::string WalkReportPage(const WalkFigures& figures, const std::string& listName);

}  // namespace tolvarine
