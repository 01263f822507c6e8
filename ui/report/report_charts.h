#pragma once
// The walk report's charts, drawn by Qt Charts and kept as SVG text to put inline in the
// report's page (no scripts, no outside resources). Needs a QApplication.
#include <string>
#include <utility>
#include <vector>

namespace tolvarine {

// One series of values by label (minutes, bins, site names, depths).
struct ChartData {
  std::string title;      // UTF-8
  std::string axisTitle;  // UTF-8, the value axis
  std::vector<std::pair<std::string, double>> points;  // label (UTF-8), value
  std::string labelTitle;  // UTF-8, the labels' heading in the chart's data table
};

// A line over the points (numbers over time).
std::string LineChartSvg(const ChartData& data);
// Vertical bars (pages per minute, time per page).
std::string BarChartSvg(const ChartData& data);
// Horizontal bars, the first point at the top (sites, provinces, carriers).
std::string RankChartSvg(const ChartData& data);

}  // namespace tolvarine
