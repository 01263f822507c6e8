// A whole walk through the real WebEngine pane on the QTimer clock: the crawl controller
// harvests local pages, gets past dialogs, windows, a page that never finishes, a 404 and a
// redirect, and finishes.
#include <gmock/gmock.h>

#include "base/gbk.h"
#include "engine/crawl_controller.h"
#include "tests/support/recording_view.h"
#include "tests/support/temp_folder.h"
#include "tests/ui_web/web_test_support.h"
#include "ui/clock/qt_clock.h"

namespace tolvarine::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

std::string Number(int i) {
  const std::string digits = std::to_string(i);
  return "138000000" + std::string(2 - digits.size(), '0') + digits;
}

TEST_F(WebPaneTest, AWalkHarvestsLocalPagesAndGetsPastEveryTrap) {
  server.Page("/warmup", "<html><body>warm</body></html>");
  server.Page("/p1", R"(<html><body>
    <p>电话 )" + Number(1) + R"(</p>
    <div data-tel=")" + Number(2) + R"(">attribute</div>
    <script>var tel = ")" + Number(3) + R"(";</script>
    <!-- )" + Number(4) + R"( -->
    <a href="/keep/a.html">kept</a>
    <a href="/keep/b.html#part">refused: fragment</a>
    <a href="/keep/refuse.html">refused: listed</a>
    <a href="/other.html">refused: lacks the rule</a>
    <a href="mailto:someone@example.com">refused: not http</a>
    <a href="/keep/a.html">kept once per page</a>
    </body></html>)");
  server.Page("/dialogs", R"(<html><body><p id="r"></p><script>
    alert('a'); confirm('b'); prompt('c');
    document.getElementById('r').textContent = 'after the dialogs )" + Number(5) + R"(';
    </script></body></html>)");
  server.Page("/opener", R"(<html><body>window )" + Number(6) + R"(<script>
    window.open('/popup', '_blank');
    </script></body></html>)");
  server.Stall("/stall", "<html><body>never whole " + Number(7) + std::string(4000, ' ') +
                             "</body></html>");
  HttpResponse missing;
  missing.status = 404;
  missing.body = "<html><body>not here " + Number(8) + "</body></html>";
  server.Route("/missing", missing);
  server.Redirect("/moved", "/final");
  server.Page("/final", "<html><body>moved " + Number(9) + "</body></html>");
  server.Page("/last", "<html><body>last " + Number(10) + "</body></html>");

  // The first load starts the browser's processes; keep that out of the walk's timing.
  ASSERT_TRUE(Load("/warmup"));

  TempFolder folder;
  const std::vector<std::string> lines = {
      server.Url("/p1") + " a remark after the blank",
      server.Url("/dialogs"),
      server.Url("/opener"),
      server.Url("/stall"),
      server.Url("/missing"),
      server.Url("/moved"),
      server.Url("/last"),
  };
  std::string list;
  for (const auto& line : lines) list += line + "\r\n";
  folder.Write("list.txt", list);

  RecordingView view;
  QtClock clock;
  CrawlEnvironment environment;
  environment.stateFolder = folder.Path();
  environment.hostAddresses = [] { return std::vector<std::string>{"192.0.2.10"}; };
  // The stalled page is left after 30 pacing ticks, or by the watchdog (15 s at the least).
  environment.pacingIntervalMs = 200;
  CrawlController crawl(view, *browser, clock, environment);
  CrawlSettings& settings = crawl.Settings();
  settings.SetOption(CrawlOption::SearchLinks, true);
  settings.SetOption(CrawlOption::SearchPhones, true);
  settings.SetOption(CrawlOption::LinkFilter, true);
  settings.SetOption(CrawlOption::Dedup, true);
  settings.SetRules(RuleList::MustContain, "keep");
  settings.SetRules(RuleList::MustNotContain, "#\r\nrefuse");
  browser->SetListener(&crawl);
  struct Unhook {
    WebPageBrowser& b;
    PageBrowserListener& l;
    ~Unhook() { b.SetListener(&l); }
  } unhook{*browser, listener};
  bool finished = false;
  crawl.SetOnFinished([&] { finished = true; });

  crawl.UseListFile(folder.PathOf("list.txt"));
  crawl.Start();
  ASSERT_TRUE(WaitUntil([&] { return finished; }, 120000));

  EXPECT_TRUE(view.Texts(MessageKind::Error).empty());
  EXPECT_EQ(crawl.Position(), 7);
  EXPECT_EQ(view.message, Utf8ToGbk("搜索已经结束!"));
  EXPECT_THAT(crawl.Links().Rows(), ElementsAre(server.Url("/keep/a.html")));
  // Every page but the stalled one, numbers from text, attributes, scripts and comments.
  EXPECT_THAT(crawl.Phones().Rows(),
              UnorderedElementsAre(Number(1), Number(2), Number(3), Number(4), Number(5),
                                   Number(6), Number(8), Number(9), Number(10)));
  EXPECT_EQ(server.RequestCount("/popup"), 0);
  EXPECT_EQ(server.RequestCount("/stall"), 1);
  EXPECT_EQ(server.RequestCount("/final"), 1);
  EXPECT_TRUE(folder.Exists("tolvarine.ini"));
}

}  // namespace
}  // namespace tolvarine::testing
