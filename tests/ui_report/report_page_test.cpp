// The walk report in a real browser: it renders without a console error, and what each
// chart and table shows is what the page log says.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <map>
#include <regex>

#include "base/atomic_file.h"
#include "base/gbk.h"
#include "engine/walk_figures.h"
#include "tests/support/temp_folder.h"
#include "ui/report/walk_report_page.h"

namespace tolvarine {
namespace {

class ConsoleWatch : public QWebEnginePage {
 public:
  using QWebEnginePage::QWebEnginePage;
  QStringList errors;

 protected:
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                int, const QString&) override {
    if (level != InfoMessageLevel) errors << message;
  }
};

// A walk over three sites in its first two minutes: every outcome, numbers and repeats.
std::vector<PageRecord> Log() {
  std::vector<PageRecord> log;
  const std::int64_t t0 = 1765300000000;
  const char* sites[] = {"a.example", "b.example", "c.example"};
  for (int i = 0; i < 30; ++i) {
    PageRecord r;
    r.line = i + 1;
    r.site = sites[i % 3];
    r.listed = r.final = "http://" + r.site + "/p" + std::to_string(i);
    r.startMs = t0 + i * 4000;
    r.endMs = r.startMs + 300 + 100 * (i % 7);
    r.outcome = i % 10 == 3 ? PageOutcome::Abandoned
                : i % 10 == 5 ? PageOutcome::HarvestedEarly
                              : PageOutcome::Harvested;
    r.phonesNew = i % 3 == 0 ? 2 : i % 3;
    r.phonesAll = r.phonesNew + 1;
    r.linksNew = 3;
    r.linksAll = 4;
    // Only a.example answers 404: the other sites' rows have none.
    r.status = r.outcome == PageOutcome::Abandoned ? 0 : i % 3 == 0 && i % 7 == 0 ? 404 : 200;
    if (r.status == 0) r.error = "timed-out";
    r.places = true;
    if (r.phonesNew > 0) {
      r.provinces[Utf8ToGbk(i % 2 ? "江苏省" : "广东省")] = r.phonesNew;
      r.carriers[Utf8ToGbk(i % 4 ? "中国移动" : "中国联通")] = r.phonesNew;
    }
    log.push_back(r);
  }
  return log;
}

// Runs the event loop until `done` is set, or 30 s (only when a test fails).
void WaitFor(const bool& done) {
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    if (done) loop.quit();
  });
  check.start(5);
  QTimer::singleShot(30000, &loop, &QEventLoop::quit);
  loop.exec();
}

QVariant Script(QWebEnginePage& page, const QString& script) {
  QVariant result;
  bool done = false;
  page.runJavaScript(script, [&](const QVariant& value) {
    result = value;
    done = true;
  });
  WaitFor(done);
  return result;
}

// The numbers of a chart's data table, in order.
std::vector<long long> ChartValues(QWebEnginePage& page, const char* id) {
  const QVariant v = Script(page, QStringLiteral("Array.from(document.querySelectorAll("
                                              "'table[data-chart=\"%1\"] td.n')).map(td => "
                                              "Number(td.textContent))")
                                   .arg(QLatin1String(id)));
  std::vector<long long> values;
  for (const QVariant& n : v.toList()) values.push_back(n.toLongLong());
  return values;
}

// A chart's data table as label -> value.
std::map<std::string, long long> ChartTable(QWebEnginePage& page, const char* id) {
  const QVariant v = Script(page, QStringLiteral("Array.from(document.querySelectorAll("
                                              "'table[data-chart=\"%1\"] tbody tr')).map(tr => "
                                              "[tr.cells[0].textContent, tr.cells[1].textContent])")
                                   .arg(QLatin1String(id)));
  std::map<std::string, long long> table;
  for (const QVariant& row : v.toList())
    table[row.toList().at(0).toString().toStdString()] = row.toList().at(1).toLongLong();
  return table;
}

long long Sum(const std::vector<long long>& values) {
  long long sum = 0;
  for (long long v : values) sum += v;
  return sum;
}

TEST(WalkReportPageTest, RendersCleanlyAndShowsWhatTheLogSays) {
  const std::vector<PageRecord> log = Log();
  WalkFiguresBuilder builder;
  std::map<std::string, long long> phonesBySite, byProvince;
  long long phones = 0, loaded = 0;
  for (const PageRecord& r : log) {
    // Each record as the log holds it, read back: the place fields survive both forms.
    for (RecordFormat format : {RecordFormat::Csv, RecordFormat::Jsonl}) {
      const auto back = PageRecordFromLine(format, PageLogLine(format, r));
      ASSERT_TRUE(back);
      EXPECT_EQ(*back, r);
    }
    builder.Add(*PageRecordFromLine(RecordFormat::Csv, PageLogLine(RecordFormat::Csv, r)));
    for (const auto& [province, n] : r.provinces) byProvince[GbkToUtf8(province)] += n;
    phonesBySite[r.site] += r.phonesNew;
    phones += r.phonesNew;
    if (r.outcome != PageOutcome::Abandoned) ++loaded;
  }
  const std::string html = WalkReportPage(builder.Finish(), "urls.txt");
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("src="), std::string::npos);

  testing::TempFolder dir;
  const std::string path = dir.Write("report.html", html);
  QWebEngineView view;
  auto* page = new ConsoleWatch(&view);
  view.setPage(page);
  view.resize(1000, 2400);
  view.show();
  bool loadedOk = false, finished = false;
  QObject::connect(page, &QWebEnginePage::loadFinished, [&](bool ok) {
    loadedOk = ok;
    finished = true;
  });
  page->load(QUrl::fromLocalFile(QString::fromStdString(path)));
  WaitFor(finished);
  ASSERT_TRUE(loadedOk);
  EXPECT_TRUE(page->errors.isEmpty()) << page->errors.join('\n').toStdString();

  // Each chart drew: an SVG with a size inside each figure.
  EXPECT_EQ(Script(*page, "Array.from(document.querySelectorAll('figure svg'))"
                       ".filter(s => s.getBoundingClientRect().width > 100).length")
                .toInt(),
            6);
  const std::vector<long long> overTime = ChartValues(*page, "numbers-over-time");
  ASSERT_FALSE(overTime.empty());
  EXPECT_EQ(overTime.back(), phones);
  EXPECT_EQ(Sum(ChartValues(*page, "pages-per-minute")), static_cast<long long>(log.size()));
  EXPECT_EQ(Sum(ChartValues(*page, "time-per-page")), loaded);
  std::vector<long long> top = ChartValues(*page, "top-sites");
  std::vector<long long> expected;
  for (const auto& [site, n] : phonesBySite) expected.push_back(n);
  std::sort(expected.rbegin(), expected.rend());
  EXPECT_EQ(top, expected);
  EXPECT_EQ(ChartTable(*page, "numbers-by-province"), byProvince);
  EXPECT_EQ(Sum(ChartValues(*page, "numbers-by-carrier")), phones);
  EXPECT_EQ(Script(*page, "document.querySelectorAll('#sites tr').length").toInt(),
            static_cast<int>(phonesBySite.size()) + 1);
  EXPECT_EQ(Script(*page, "document.querySelectorAll('#notable tr').length").toInt(), 1 + 6);
  // How each site's pages were answered: its 200s, 404s and network errors add up to its pages.
  EXPECT_EQ(Script(*page, "Array.from(document.querySelectorAll('#answers tr')).map(tr => "
                          "Array.from(tr.cells).slice(1).reduce((s, c) => s + Number(c.textContent), 0))"
                          ".slice(1).join()")
                .toString()
                .toStdString(),
            "10,10,10");
  EXPECT_EQ(Script(*page, "document.querySelector('#answers tr').textContent").toString().toStdString(),
            "网站200404timed-out");

  if (const QByteArray shots = qgetenv("TOLVARINE_SCREENSHOTS"); !shots.isEmpty()) {
    // The whole page: the view as tall as the page, given a moment to paint it all.
    view.resize(1000, Script(*page, "document.documentElement.scrollHeight").toInt());
    bool painted = false;
    QTimer::singleShot(1000, [&painted] { painted = true; });
    WaitFor(painted);
    view.grab().save(QString::fromUtf8(shots) + "/report.png");
    ReplaceFileAtomically(shots.toStdString() + "/report.html", html);
  }
}

// The page's text alone: the walk's time in hours, minutes and seconds, and the places
// ranked by their numbers, not by their names.
TEST(WalkReportPageTest, ShowsTheDurationAndRanksPlacesByNumbers) {
  WalkFiguresBuilder builder;
  PageRecord r;
  r.site = "a.example";
  r.startMs = 1765300000000;
  r.endMs = r.startMs + 3700 * 1000;
  r.phonesNew = 6;
  r.places = true;
  r.provinces = {{Utf8ToGbk("安徽省"), 1}, {Utf8ToGbk("北京市"), 5}};
  builder.Add(r);
  const std::string html = WalkReportPage(builder.Finish(), "urls.txt");
  EXPECT_NE(html.find("<th>用时</th><td>1:01:40</td>"), std::string::npos);
  EXPECT_NE(html.find("<th>采集用时（不计暂停）</th><td>1:01:40</td>"), std::string::npos);
  const std::size_t table = html.find("data-chart=\"numbers-by-province\"");
  ASSERT_NE(table, std::string::npos);
  EXPECT_LT(html.find("北京市", table), html.find("安徽省", table));
}

// Every text of a report's charts: whole (Qt cuts a text short to "..." where it finds too
// little room) and at least 12 px. The time-per-page labels are the data table's.
void ExpectChartTextsWholeAndReadable(const std::string& html) {
  std::vector<std::string> texts;
  const std::regex text("font-size=\"([0-9.]+)\"[^>]*>\\s*([^<]*)</text>");
  for (auto it = std::sregex_iterator(html.begin(), html.end(), text); it != std::sregex_iterator();
       ++it) {
    EXPECT_GE(std::stod((*it)[1]), 12.0) << (*it)[2];
    texts.push_back((*it)[2]);
    EXPECT_EQ(texts.back().find("..."), std::string::npos) << "text " << texts.size();
    EXPECT_EQ(texts.back().find("…"), std::string::npos) << "text " << texts.size();
  }
  const std::size_t table = html.find("data-chart=\"time-per-page\"");
  ASSERT_NE(table, std::string::npos);
  const std::regex label("<tr><td>([0-9+]+)</td>");
  int labels = 0;
  for (auto it = std::sregex_iterator(html.begin() + static_cast<std::ptrdiff_t>(table),
                                      html.begin() + static_cast<std::ptrdiff_t>(html.find("</table>", table)), label);
       it != std::sregex_iterator(); ++it, ++labels)
    EXPECT_NE(std::find(texts.begin(), texts.end(), (*it)[1]), texts.end()) << (*it)[1];
  EXPECT_GT(labels, 5);
}

// A long walk of slow pages on sites with long names, and a walk of one page.
TEST(WalkReportPageTest, KeepsEveryChartTextWholeAndReadable) {
  WalkFiguresBuilder builder;
  for (int i = 0; i < 400; ++i) {
    PageRecord r;
    r.line = i + 1;
    r.site = "site" + std::to_string(i % 25) + ".example.com.cn";
    r.startMs = 1765300000000 + i * 6000;
    r.endMs = r.startMs + 1000 + (i * 7919) % 58000;
    r.phonesNew = i % 4;
    builder.Add(r);
  }
  ExpectChartTextsWholeAndReadable(WalkReportPage(builder.Finish(), "urls.txt"));
  WalkFiguresBuilder one;
  PageRecord r;
  r.site = "a.example";
  r.startMs = 1765300000000;
  r.endMs = r.startMs + 700;
  r.phonesNew = 1;
  one.Add(r);
  ExpectChartTextsWholeAndReadable(WalkReportPage(one.Finish(), "urls.txt"));
}

}  // namespace
}  // namespace tolvarine
