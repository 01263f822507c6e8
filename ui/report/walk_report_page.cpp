#include "ui/report/walk_report_page.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

#include "base/gbk.h"
#include "base/record_text.h"
#include "ui/report/report_charts.h"

namespace tolvarine {
namespace {

constexpr std::size_t kTopSites = 20;

constexpr std::array<const char*, kPageOutcomes> kOutcomeCaptions = {
    "已采集", "看门狗放弃", "未载完即采集", "不是网址", "离开本站", "robots.txt 拒绝",
    "多次重试后放弃", "robots.txt 无应答", "重复网页", "达到网页上限"};

const char kStyle[] =
    "body{font-family:sans-serif;margin:2em;color:#222}"
    "table{border-collapse:collapse;margin:0.5em 0 1.5em}"
    "th,td{border:1px solid #bbb;padding:2px 8px;text-align:left}"
    "td.n{text-align:right}figure{margin:1em 0;page-break-inside:avoid}"
    "table.chart-data{font-size:13px}h2{border-bottom:1px solid #888}"
    "figure svg{width:760px;max-width:100%;height:auto}"
    "@media print{body{margin:0}}";

std::string Escape(const std::string& utf8) {
  std::string out;
  for (char c : utf8) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Gbk(const std::string& gbk) { return Escape(GbkToUtf8(gbk)); }

std::string Cell(const std::string& text, bool number = false) {
  return std::string(number ? "<td class=\"n\">" : "<td>") + text + "</td>";
}

std::string Num(long long n) { return Cell(std::to_string(n), true); }

std::string TimeText(std::int64_t ms) { return ms > 0 ? LocalTimeText(ms / 1000) : "-"; }

std::string Duration(std::int64_t ms) {
  char text[32];
  const long long s = ms / 1000;
  std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  return text;
}

std::string Summary(const WalkFigures& f, const std::string& listName) {
  std::string html = "<h2>概要</h2><table id=\"summary\">";
  const auto row = [&html](const std::string& name, const std::string& value) {
    html += "<tr><th>" + name + "</th>" + value + "</tr>";
  };
  row("网址列表", Cell(Gbk(listName)));
  row("开始", Cell(TimeText(f.firstStartMs)));
  row("结束", Cell(TimeText(f.lastEndMs)));
  row("用时", Cell(Duration(f.lastEndMs - f.firstStartMs)));
  row("采集用时（不计暂停）", Cell(Duration(f.walkingMs)));
  row("网页", Num(f.pages));
  for (int i = 0; i < kPageOutcomes; ++i)
    row(std::string("　") + kOutcomeCaptions[static_cast<std::size_t>(i)],
        Num(f.outcomes[static_cast<std::size_t>(i)]));
  row("手机号码（新 / 全部）", Cell(std::to_string(f.phonesNew) + " / " +
                                   std::to_string(f.phonesAll), true));
  row("链接（新 / 全部）",
      Cell(std::to_string(f.linksNew) + " / " + std::to_string(f.linksAll), true));
  char rate[32];
  std::snprintf(rate, sizeof rate, "%.1f", f.PagesPerMinute());
  row("每分钟网页", Cell(rate, true));
  return html + "</table>";
}

std::string Figure(const std::string& id, const ChartData& data, const std::string& svg) {
  std::string html = "<figure id=\"" + id + "\">" + svg + "<figcaption>" + Escape(data.title) +
                     "</figcaption><table class=\"chart-data\" data-chart=\"" + id +
                     "\"><thead><tr><th>" + Escape(data.labelTitle) + "</th><th>" +
                     Escape(data.axisTitle) + "</th></tr></thead><tbody>";
  for (const auto& [label, value] : data.points)
    html += "<tr>" + Cell(Escape(label)) + Num(static_cast<long long>(value)) + "</tr>";
  return html + "</tbody></table></figure>";
}

// Per-minute values in at most kTimePoints points: a long walk's minutes are taken a few
// at a time, each point labelled with the minute it starts at.
ChartData PerMinute(const char* title, const char* axis, const std::vector<int>& values,
                    bool cumulative) {
  constexpr std::size_t kTimePoints = 120;
  const std::size_t step = std::max<std::size_t>(1, (values.size() + kTimePoints - 1) / kTimePoints);
  ChartData data{title, axis, {}, "分钟"};
  if (step > 1) data.title += "（每 " + std::to_string(step) + " 分钟）";
  double sum = 0;
  for (std::size_t i = 0; i < values.size(); i += step) {
    double group = 0;
    for (std::size_t k = i; k < std::min(values.size(), i + step); ++k) group += values[k];
    sum = cumulative ? sum + group : group;
    data.points.emplace_back(std::to_string(i), sum);
  }
  return data;
}

// New numbers by place (province or carrier), most first, as ranked bars.
std::string PlaceFigure(const char* id, const char* title, const char* labelTitle,
                        const std::map<std::string, int>& counts) {
  std::vector<std::pair<std::string, int>> ranked(counts.begin(), counts.end());
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  ChartData data{title, "号码", {}, labelTitle};
  for (const auto& [name, n] : ranked) data.points.emplace_back(GbkToUtf8(name), n);
  return Figure(id, data, RankChartSvg(data));
}

std::string Charts(const WalkFigures& f) {
  std::string html = "<h2>图表</h2>";
  const ChartData numbers = PerMinute("号码累计（按分钟）", "号码", f.phonesPerMinute, true);
  html += Figure("numbers-over-time", numbers, LineChartSvg(numbers));
  const ChartData pages = PerMinute("每分钟网页", "网页", f.pagesPerMinute, false);
  // A bar's label of many minutes would not fit under it: a line then, its axis labelled
  // every few minutes.
  constexpr std::size_t kMostBars = 20;
  html += Figure("pages-per-minute", pages,
                 pages.points.size() > kMostBars ? LineChartSvg(pages) : BarChartSvg(pages));
  ChartData sites{"号码最多的网站（前 20）", "号码", {}, "网站"};
  for (std::size_t i = 0; i < f.sites.size() && i < kTopSites; ++i)
    sites.points.emplace_back(GbkToUtf8(f.sites[i].site), f.sites[i].phones);
  html += Figure("top-sites", sites, RankChartSvg(sites));
  ChartData times{"每页用时（毫秒）", "网页", {}, "毫秒"};
  for (std::size_t i = 0; i < f.timeBins.size(); ++i) {
    const long long from = static_cast<long long>(i) * f.binMs;
    times.points.emplace_back(i + 1 == f.timeBins.size() ? std::to_string(from) + "+"
                                                        : std::to_string(from),
                              f.timeBins[i]);
  }
  html += Figure("time-per-page", times, BarChartSvg(times));
  if (f.pagesByDepth.size() > 1 || (f.pagesByDepth.size() == 1 && f.pagesByDepth.begin()->first)) {
    ChartData depth{"各层网页", "网页", {}, "层"};
    for (const auto& [d, n] : f.pagesByDepth) depth.points.emplace_back(std::to_string(d), n);
    html += Figure("pages-by-depth", depth, BarChartSvg(depth));
  }
  if (f.places) {
    html += PlaceFigure("numbers-by-province", "各省号码", "省份", f.provinces);
    html += PlaceFigure("numbers-by-carrier", "各运营商号码", "运营商", f.carriers);
  }
  return html;
}

std::string SiteTable(const WalkFigures& f) {
  std::string html = "<h2>网站</h2><table id=\"sites\"><tr><th>网站</th><th>网页</th>";
  for (const char* caption : kOutcomeCaptions) html += std::string("<th>") + caption + "</th>";
  html += "<th>号码</th><th>链接</th><th>每页用时中位数（毫秒）</th></tr>";
  for (const SiteFigures& site : f.sites) {
    html += "<tr>" + Cell(Gbk(site.site)) + Num(site.pages);
    for (int n : site.outcomes) html += Num(n);
    html += Num(site.phones) + Num(site.links) + Num(site.medianMs) + "</tr>";
  }
  return html + "</table>";
}

// Pages by how they were answered, a row per site: a column per HTTP status, then one per
// network error by name. Pages not loaded (refused, no address) have neither.
std::string AnswerTable(const WalkFigures& f) {
  if (f.statuses.empty() && f.errors.empty()) return {};
  std::string html = "<h2>网站应答</h2><table id=\"answers\"><tr><th>网站</th>";
  for (const auto& [status, n] : f.statuses) html += "<th>" + std::to_string(status) + "</th>";
  for (const auto& [error, n] : f.errors) html += "<th>" + Escape(error) + "</th>";
  html += "</tr>";
  const auto count = [](const auto& counts, const auto& key) {
    const auto found = counts.find(key);
    return found == counts.end() ? 0 : found->second;
  };
  for (const SiteFigures& site : f.sites) {
    if (site.statuses.empty() && site.errors.empty()) continue;
    html += "<tr>" + Cell(Gbk(site.site));
    for (const auto& [status, n] : f.statuses) html += Num(count(site.statuses, status));
    for (const auto& [error, n] : f.errors) html += Num(count(site.errors, error));
    html += "</tr>";
  }
  return html + "</table>";
}

std::string NotableTable(const WalkFigures& f) {
  std::string html = "<h2>放弃、提前采集或被拒绝的网页（" + std::to_string(f.notableCount) +
                     "）</h2><table id=\"notable\"><tr><th>网址</th><th>网站</th><th>结果</th></tr>";
  for (const NotablePage& page : f.notable)
    html += "<tr>" + Cell(Gbk(page.address)) + Cell(Gbk(page.site)) +
            Cell(kOutcomeCaptions[static_cast<std::size_t>(page.outcome)]) + "</tr>";
  html += "</table>";
  if (f.notableCount > static_cast<int>(f.notable.size()))
    html += "<p>只列出前 " + std::to_string(f.notable.size()) + " 个。</p>";
  return html;
}

}  // namespace

std::string WalkReportPage(const WalkFigures& figures, const std::string& listName) {
  return std::string("<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">") +
         "<title>采集报告 " + Gbk(listName) + "</title><style>" + kStyle +
         "</style></head><body><h1>采集报告</h1>" + Summary(figures, listName) +
         Charts(figures) + SiteTable(figures) + AnswerTable(figures) +
         NotableTable(figures) + "</body></html>\n";
}

}  // namespace tolvarine
