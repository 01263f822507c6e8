// Scrolling and "more" clicks on local pages built like directory and classified sites: the
// page shows what it held back, and nothing but the listed controls is ever clicked.
#include "ui/web/page_reveal.h"
#include "ui/web/structured_data.h"

#include <gtest/gtest.h>

#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "tests/support/local_http_server.h"
#include "tests/ui_web/event_loop_wait.h"
#include "tests/ui_web/growing_pages.h"

namespace tolvarine::testing {
namespace {

class PageRevealTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Off the screen but shown: a hidden view runs no scroll events or intersection checks.
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.resize(1280, 800);
    view.show();
  }

  bool Load(const std::string& path) {
    bool loaded = false;
    auto c = QObject::connect(view.page(), &QWebEnginePage::loadFinished,
                              [&loaded](bool) { loaded = true; });
    view.load(QUrl(QString::fromStdString(server.Url(path))));
    const bool ok = WaitUntil([&] { return loaded; });
    QObject::disconnect(c);
    return ok;
  }

  PageReveal::Result Step(bool scroll, const QStringList& texts = DefaultMoreTexts()) {
    std::optional<PageReveal::Result> result;
    auto done = [&result](const PageReveal::Result& r) { result = r; };
    if (scroll)
      reveal.Scroll(view.page(), 2000, done);
    else
      reveal.Click(view.page(), texts, 2000, done);
    EXPECT_TRUE(WaitUntil([&] { return result.has_value(); }));
    return result.value_or(PageReveal::Result{});
  }

  QString Text() {
    QString text;
    bool got = false;
    view.page()->toPlainText([&](const QString& t) {
      text = t;
      got = true;
    });
    WaitUntil([&] { return got; });
    return text;
  }

  // Clicks until nothing is left to click (at most 20 times); returns the texts clicked.
  QStringList ClickAll() {
    QStringList clicked;
    for (int i = 0; i < 20; ++i) {
      const PageReveal::Result r = Step(false);
      if (!r.acted) break;
      clicked << r.clicked;
    }
    return clicked;
  }

  // Scrolls until the page stops growing; returns the scrolls that made it grow.
  int ScrollUntilStill(int most) {
    int grew = 0;
    for (int i = 0; i < most && Step(true).changed; ++i) ++grew;
    return grew;
  }

  LocalHttpServer server;
  QWebEngineView view;
  PageReveal reveal;
};

TEST_F(PageRevealTest, ScrollingLoadsPagesThatListenToScrollOrWatchTheirEnd) {
  ServeGrowingPages(server, 50);
  for (const char* path : {"/scroll", "/observe"}) {
    ASSERT_TRUE(Load(path));
    EXPECT_EQ(ScrollUntilStill(10), 4) << path;
    EXPECT_TRUE(Text().contains("item 49")) << path;
  }
  // A page that grows for ever grows at every step: the walk's step count bounds it.
  server.Page("/forever", "<body><p style='height:900px'>top</p><div id='list'></div><script>"
                          "window.addEventListener('scroll', function () {"
                          "  var p = document.createElement('p'); p.style.height = '900px';"
                          "  p.textContent = 'more'; document.getElementById('list').appendChild(p);"
                          "});</script></body>");
  ASSERT_TRUE(Load("/forever"));
  EXPECT_EQ(ScrollUntilStill(3), 3);
}

TEST_F(PageRevealTest, OnlyListedHarmlessControlsAreClickedEachOnce) {
  HttpResponse more;
  more.contentType = "text/plain; charset=utf-8";
  more.body = "13800001111 13800002222";
  server.Route("/more", more);
  server.Route("/delete-all", more);
  server.Page("/other.html", "<body>other</body>");
  server.Page("/submitted", "<body>sent</body>");
  server.Page("/list", R"html(<meta charset="utf-8"><body>
<div id="rows"></div>
<button id="m" onclick="fetch('/more').then(r => r.text()).then(t => {
  document.getElementById('rows').textContent += t; })">加载更多</button>
<span onclick="this.previousElementSibling.textContent = '13900001234'">139****1234</span>
<span class="c" onclick="document.getElementById('phone').textContent = '13700005678'">查看电话</span>
<b id="phone">137****5678</b>
<button onclick="fetch('/delete-all')">删除全部</button>
<form action="/submitted"><button type="submit">加载更多</button></form>
<a href="/other.html">查看更多</a>
<a href="javascript:void(0)" onclick="document.getElementById('rows').textContent += ' 13600009999'">展开</a>
<div style="display:none" onclick="fetch('/delete-all')">更多</div>
<div style="visibility:hidden" onclick="fetch('/delete-all')">更多</div>
</body>)html");
  ASSERT_TRUE(Load("/list"));
  QStringList clicked;
  for (int i = 0; i < 20; ++i) {
    const PageReveal::Result r = Step(false);
    if (!r.acted) break;
    EXPECT_TRUE(r.changed) << r.clicked.toStdString();
    clicked << r.clicked;
  }
  EXPECT_EQ(clicked, (QStringList{"加载更多", "查看电话", "展开"}));
  const QString text = Text();
  EXPECT_TRUE(text.contains("13800002222"));
  EXPECT_TRUE(text.contains("13700005678"));
  EXPECT_TRUE(text.contains("13600009999"));
  EXPECT_EQ(server.RequestCount("/more"), 1);
  EXPECT_EQ(server.RequestCount("/delete-all"), 0);
  EXPECT_EQ(server.RequestCount("/submitted"), 0);
  EXPECT_EQ(server.RequestCount("/other.html"), 0);
  EXPECT_EQ(view.url().path(), "/list");
}

// With requests counted, a step after which the page asked for nothing and nothing moved
// ends unchanged long before its wait; one whose page asks for more waits for it to grow.
TEST_F(PageRevealTest, AQuietPageEndsAStepEarly) {
  server.Page("/still", "<body><p>13900001111</p></body>");
  ASSERT_TRUE(Load("/still"));
  reveal.SetRequestCount([] { return 7; });
  std::optional<PageReveal::Result> result;
  reveal.Scroll(view.page(), 600000, [&](const PageReveal::Result& r) { result = r; });
  ASSERT_TRUE(WaitUntil([&] { return result.has_value(); }));
  EXPECT_FALSE(result->changed);

  server.Page("/slow", "<body><p style='height:2000px'>top</p><script>"
                       "addEventListener('scroll', function () { setTimeout(function () {"
                       "  document.body.appendChild(document.createElement('p')); }, 1000); },"
                       "{ once: true });</script></body>");
  ASSERT_TRUE(Load("/slow"));
  int requests = 0;
  reveal.SetRequestCount([&] { return ++requests; });
  result.reset();
  reveal.Scroll(view.page(), 600000, [&](const PageReveal::Result& r) { result = r; });
  ASSERT_TRUE(WaitUntil([&] { return result.has_value(); }));
  EXPECT_TRUE(result->changed);
}

// A "load more" that stays and adds rows is clicked again until it goes; a toggle that only
// changes text is not.
TEST_F(PageRevealTest, AMoreControlThatKeepsAddingRowsIsClickedAgain) {
  server.Page("/list", R"html(<meta charset="utf-8"><body><div id="rows"></div>
<button onclick="var r = document.getElementById('rows');
  r.appendChild(document.createElement('p')).textContent = 'row';
  if (r.children.length == 3) this.remove();">加载更多</button>
<span onclick="this.textContent = '展开'; this.title = 'x'">展开</span>
</body>)html");
  ASSERT_TRUE(Load("/list"));
  const QStringList clicked = ClickAll();
  EXPECT_EQ(clicked, (QStringList{"加载更多", "加载更多", "加载更多", "展开"}));
}

// Numbers stated for machines: JSON-LD in the head at any depth, microdata, tel: links; a
// broken JSON-LD block and a page's own redefinitions change nothing.
TEST_F(PageRevealTest, StructuredTelephonesAreReadFromHeadAndBody) {
  server.Page("/shop", R"html(<html><head>
<script type="application/ld+json">{"@type": "Store", "address": {"contactPoint":
  [{"telephone": "+86-138-0000-1111"}, {"telephone": ["13900002222"]}]}}</script>
<script type="application/ld+json">{ not json</script>
<script>JSON.parse = function () { return {}; };</script>
</head><body><div itemscope><span itemprop="telephone">137 0000 3333</span>
<meta itemprop="telephone" content="13600004444"></div>
<a href="tel:%2B8613500005555">call</a><a href="/x">x</a></body></html>)html");
  ASSERT_TRUE(Load("/shop"));
  std::optional<StructuredTexts> texts;
  view.page()->runJavaScript(StructuredDataScript(), QWebEngineScript::ApplicationWorld,
                             [&](const QVariant& v) { texts = ReadStructuredTexts(v); });
  ASSERT_TRUE(WaitUntil([&] { return texts.has_value(); }));
  EXPECT_EQ(texts->structured, (QStringList{"+86-138-0000-1111", "13900002222",
                                            "137 0000 3333", "13600004444"}));
  EXPECT_EQ(texts->tel, QStringList{"+8613500005555"});
}

}  // namespace
}  // namespace tolvarine::testing
