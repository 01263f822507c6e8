#include "ui/report/report_charts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QFont>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QPainter>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>

namespace tolvarine {
namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 340;

// Text sizes in pixels; the SVG is shown at its own size, so these are the page's.
constexpr int kTitlePx = 16;
constexpr int kAxisTitlePx = 13;
constexpr int kLabelPx = 12;

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

QFont Font(int pixels, bool bold = false) {
  QFont font;
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

void SetAxisFonts(QAbstractAxis* axis) {
  axis->setLabelsFont(Font(kLabelPx));
  axis->setTitleFont(Font(kAxisTitlePx));
}

QChart* NewChart(const ChartData& data) {
  auto* chart = new QChart;
  chart->setTitle(Text(data.title));
  chart->setTitleFont(Font(kTitlePx, true));
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->legend()->hide();
  chart->setBackgroundRoundness(0);
  return chart;
}

// The axis reaches 10 at least: Qt leaves a left axis's title only the axis's width less
// the width of "...", so beside labels of one digit the title would be cut to nothing.
QValueAxis* ValueAxis(const ChartData& data) {
  double top = 10;
  for (const auto& point : data.points) top = std::max(top, point.second);
  auto* axis = new QValueAxis;
  axis->setRange(0, top);
  axis->setLabelFormat(QStringLiteral("%d"));
  axis->setTitleText(Text(data.axisTitle));
  axis->applyNiceNumbers();
  SetAxisFonts(axis);
  return axis;
}

// The chart drawn into SVG; the XML prolog is left out, so the text can stand inline.
std::string Svg(QChart* chart, int height) {
  QChartView view(chart);
  view.setRenderHint(QPainter::Antialiasing);
  view.resize(kWidth, height);
  chart->resize(kWidth, height);
  QCoreApplication::processEvents();
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(kWidth, height));
  svg.setViewBox(QRect(0, 0, kWidth, height));
  svg.setTitle(chart->title());
  {
    QPainter painter(&svg);
    view.render(&painter, QRectF(0, 0, kWidth, height), view.rect());
  }
  const QByteArray text = buffer.data();
  const qsizetype start = text.indexOf("<svg");
  return start < 0 ? std::string() : text.mid(start).toStdString();
}

std::string Bars(const ChartData& data, bool horizontal) {
  QChart* chart = NewChart(data);
  auto* set = new QBarSet(Text(data.title));
  QStringList labels;
  // Horizontal bars are drawn from the bottom up: the first point goes last.
  std::vector<std::pair<std::string, double>> points = data.points;
  if (horizontal) std::reverse(points.begin(), points.end());
  for (const auto& [label, value] : points) {
    *set << value;
    labels << Text(label);
  }
  auto* categories = new QBarCategoryAxis;
  categories->append(labels);
  SetAxisFonts(categories);
  QValueAxis* values = ValueAxis(data);
  QAbstractBarSeries* series = horizontal ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                          : static_cast<QAbstractBarSeries*>(new QBarSeries);
  series->append(set);
  chart->addSeries(series);
  chart->addAxis(categories, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
  chart->addAxis(values, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
  series->attachAxis(categories);
  series->attachAxis(values);
  // Each bar's row as tall as its label needs: a label with too little height is cut.
  const int height = horizontal ? std::max(kHeight, 90 + 28 * static_cast<int>(points.size()))
                                : kHeight;
  return Svg(chart, height);
}

}  // namespace

std::string LineChartSvg(const ChartData& data) {
  QChart* chart = NewChart(data);
  auto* series = new QLineSeries;
  // The labels are the minutes the points stand for.
  double last = 1;
  for (const auto& [label, value] : data.points) {
    const double minute = QString::fromStdString(label).toDouble();
    series->append(minute, value);
    last = std::max(last, minute);
  }
  chart->addSeries(series);
  auto* minutes = new QValueAxis;
  minutes->setRange(0, last);
  minutes->setLabelFormat(QStringLiteral("%d"));
  minutes->setTickCount(std::min<int>(11, std::max<int>(2, static_cast<int>(data.points.size()))));
  minutes->applyNiceNumbers();
  minutes->setTitleText(QStringLiteral("分钟"));
  SetAxisFonts(minutes);
  chart->addAxis(minutes, Qt::AlignBottom);
  QValueAxis* values = ValueAxis(data);
  chart->addAxis(values, Qt::AlignLeft);
  series->attachAxis(minutes);
  series->attachAxis(values);
  return Svg(chart, kHeight);
}

std::string BarChartSvg(const ChartData& data) { return Bars(data, false); }

std::string RankChartSvg(const ChartData& data) { return Bars(data, true); }

}  // namespace tolvarine
