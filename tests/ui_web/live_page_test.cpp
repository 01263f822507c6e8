// Pages whose content keeps arriving after their load ended: the copy the harvesters read
// follows them, raises no further event, and a page that never stops changing is copied a
// bounded number of times.
#include <gmock/gmock.h>

#include <QWebEnginePage>
#include <QWebEngineView>
#include <regex>

#include "tests/ui_web/web_test_support.h"

namespace tolvarine::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

bool TextHas(WebPageBrowser& browser, const std::string& needle) {
  PageDocument* doc = browser.Document();
  return doc && doc->BodyOuterText().find(needle) != std::string::npos;
}

std::vector<std::string> Links(WebPageBrowser& browser) {
  std::vector<std::string> links;
  PageDocument* doc = browser.Document();
  for (int i = 0; doc && i < doc->LinksLength(); ++i) links.push_back(doc->LinkItem(i));
  return links;
}

// The largest "tick N" in the copy's text; -1 when there is none.
int LastTick(WebPageBrowser& browser) {
  PageDocument* doc = browser.Document();
  if (!doc) return -1;
  const std::string text = doc->BodyOuterText();
  static const std::regex tick("tick (\\d+)");
  int last = -1;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), tick); it != std::sregex_iterator();
       ++it)
    last = std::max(last, std::stoi((*it)[1].str()));
  return last;
}

// The page's own scripts cannot blind the watch: they replace the observer and Array.from
// in their world before anything arrives.
TEST_F(WebPaneTest, ContentSetByATimerOrFetchedAfterLoadReachesTheCopyWithoutNewEvents) {
  HttpResponse rows;
  rows.contentType = "text/plain; charset=utf-8";
  rows.body = "fetched 15911112222";
  rows.delayMs = 200;
  server.Route("/rows", rows);
  server.Page("/late", R"(<html><body><p id="t">waiting</p><div id="f"></div><div id="l"></div>
<script>
window.MutationObserver = function () {};
Array.from = function () { return []; };
window.addEventListener('load', function () {
  setTimeout(function () { document.getElementById('t').textContent = 'timer 13800001111'; }, 300);
  fetch('/rows').then(function (r) { return r.text(); }).then(function (t) {
    document.getElementById('f').textContent = t;
    var a = document.createElement('a');
    a.href = '/late-link.html';
    a.textContent = 'late';
    document.getElementById('l').appendChild(a);
  });
});
</script></body></html>)");
  ASSERT_TRUE(Load("/late"));
  EXPECT_FALSE(TextHas(*browser, "13800001111"));

  ASSERT_TRUE(WaitUntil([&] {
    return TextHas(*browser, "timer 13800001111") && TextHas(*browser, "fetched 15911112222");
  }));
  EXPECT_THAT(Links(*browser), ::testing::ElementsAre(server.Url("/late-link.html")));
  EXPECT_THAT(browser->Document()->BodyOuterHtml(), HasSubstr("href=\"/late-link.html\""));
  EXPECT_THAT(browser->Document()->BodyOuterText(), Not(HasSubstr("waiting")));
  EXPECT_EQ(listener.Documents(), 1);
  EXPECT_EQ(listener.events.size(), 2u);
  EXPECT_TRUE(failures.empty());
}

TEST_F(WebPaneTest, RowsAppendedOverTimeAreAllInTheCopyAndAStillPageIsNotCopiedAgain) {
  server.Page("/rows", R"(<html><body><div id="rows"></div><script>
var n = 0;
var timer = setInterval(function () {
  var row = document.createElement('p');
  row.innerHTML = 'row ' + n + ' 1861234' + String(1000 + n) +
                  ' <a href="/row/' + n + '">r</a>' + (n === 19 ? ' last' : '');
  document.getElementById('rows').appendChild(row);
  if (++n === 20) clearInterval(timer);
}, 40);
</script></body></html>)");
  ASSERT_TRUE(Load("/rows"));
  ASSERT_TRUE(WaitUntil([&] { return TextHas(*browser, " last"); }));
  const std::string text = browser->Document()->BodyOuterText();
  const std::vector<std::string> links = Links(*browser);
  ASSERT_EQ(links.size(), 20u);
  for (int n = 0; n < 20; ++n) {
    EXPECT_THAT(text, HasSubstr("1861234" + std::to_string(1000 + n)));
    EXPECT_EQ(links[static_cast<std::size_t>(n)], server.Url("/row/" + std::to_string(n)));
  }

  // Nothing changes any more: the page is asked, but not copied again.
  const int copies = browser->CopiesTaken();
  RunEventsFor(4 * WebPageBrowser::kRefreshMs);
  EXPECT_EQ(browser->CopiesTaken(), copies);
  EXPECT_EQ(listener.Documents(), 1);
}

TEST_F(WebPaneTest, APageThatNeverStopsChangingIsCopiedBoundedlyAndStillFollowed) {
  // Changes as fast as the page's timers allow, each one a new row.
  server.Page("/endless", R"(<html><body><div id="rows"></div><script>
var n = 0;
setInterval(function () {
  var row = document.createElement('p');
  row.textContent = 'tick ' + (++n);
  document.getElementById('rows').appendChild(row);
}, 0);
</script></body></html>)");
  const int copiesBefore = browser->CopiesTaken();
  ASSERT_TRUE(Load("/endless"));
  ASSERT_TRUE(WaitUntil([&] { return LastTick(*browser) >= 300; }));

  // The copy keeps up: whatever the page shows now is in a later copy.
  int shown = -1;
  browser->View()->page()->runJavaScript(QStringLiteral("n"),
                                         [&](const QVariant& v) { shown = v.toInt(); });
  ASSERT_TRUE(WaitUntil([&] { return shown > 0; }));
  ASSERT_TRUE(WaitUntil([&] { return LastTick(*browser) >= shown; }));

  // Each copy is spaced by at least kRefreshMs, each tick by a few milliseconds: far fewer
  // copies than changes.
  const int copies = browser->CopiesTaken() - copiesBefore;
  EXPECT_GE(copies, 2);
  EXPECT_LT(copies * 4, LastTick(*browser));
  EXPECT_EQ(listener.Documents(), 1);
  EXPECT_TRUE(failures.empty());
}

}  // namespace
}  // namespace tolvarine::testing
