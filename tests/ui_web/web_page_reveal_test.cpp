// Reveal steps through the pane's PageBrowser interface: the copy the walk reads shows what
// a step revealed, loads the page starts during a step are held, a pane never shown (as the
// command line has it) or hidden with its window scrolls as a shown one does.
#include <gtest/gtest.h>

#include "tests/ui_web/growing_pages.h"
#include "tests/ui_web/web_test_support.h"

namespace tolvarine::testing {
namespace {

class WebRevealTest : public WebPaneTest {
 protected:
  // Runs one step and waits for its answer.
  RevealAnswer Step(RevealStep step) {
    const std::size_t before = listener.revealed.size();
    browser->Reveal(step);
    EXPECT_EQ(listener.revealed.size(), before);  // never from inside Reveal
    EXPECT_TRUE(WaitUntil([&] { return listener.revealed.size() > before; }));
    return listener.revealed.size() > before ? listener.revealed.back() : RevealAnswer{};
  }
  static RevealStep Scroll() { return RevealStep{RevealStep::Kind::Scroll, {}, 2000}; }
  static RevealStep Click(const std::vector<std::string>& texts) {
    std::vector<std::string> gbk;
    for (const auto& t : texts) gbk.push_back(Gbk(t));
    return RevealStep{RevealStep::Kind::Click, gbk, 1000};
  }
  std::string Text() { return browser->Document()->BodyOuterText(); }
  int ScrollUntilStill() {
    int grew = 0;
    while (grew < 10 && Step(Scroll()).changed) ++grew;
    return grew;
  }
  void ServeScrollPages() { ServeGrowingPages(server, 30); }
};

// The command line's pane is never shown.
TEST_F(WebRevealTest, APaneNeverShownScrollsPagesOfBothKindsAndItsCopyShowsTheNewRows) {
  MakePane(WebPageBrowser::kCommandLineRecycleEvery, false);
  ServeScrollPages();
  for (const char* path : {"/scroll", "/observe"}) {
    ASSERT_TRUE(Load(path));
    EXPECT_FALSE(Text().find("item 29") != std::string::npos) << path;
    EXPECT_EQ(ScrollUntilStill(), 2) << path;
    EXPECT_NE(Text().find("item 29"), std::string::npos) << path;
    EXPECT_TRUE(listener.revealed.back().acted);
  }
  EXPECT_TRUE(failures.empty());
}

// A window hidden to the tray: its pane is shown off the screen while it reveals.
TEST_F(WebRevealTest, APaneInAHiddenWindowScrolls) {
  QWidget window;
  browser->setParent(&window);
  window.resize(1280, 800);
  window.show();
  window.hide();
  ServeScrollPages();
  ASSERT_TRUE(Load("/observe"));
  EXPECT_EQ(ScrollUntilStill(), 2);
  EXPECT_NE(Text().find("item 29"), std::string::npos);
  browser->setParent(nullptr);
}

TEST_F(WebRevealTest, ClicksRevealInPlaceOrFetchAndNeverTouchWhatIsNotListed) {
  HttpResponse more;
  more.contentType = "text/plain; charset=utf-8";
  more.body = "13800002222";
  server.Route("/more", more);
  server.Route("/delete-all", more);
  server.Page("/submitted", "<body>sent</body>");
  server.Page("/list", R"html(<meta charset="utf-8"><body><div id="rows"></div>
<button onclick="fetch('/more').then(r => r.text()).then(t => {
  document.getElementById('rows').textContent += t; })">加载更多</button>
<span onclick="document.getElementById('phone').textContent = '13700005678'">查看电话</span>
<b id="phone">137****5678</b>
<button onclick="fetch('/delete-all')">删除全部</button>
<form action="/submitted"><button type="submit">加载更多</button></form>
</body>)html");
  ASSERT_TRUE(Load("/list"));
  const std::vector<std::string> texts = {"加载更多", "查看电话", "删除"};
  EXPECT_EQ(Step(Click(texts)), (RevealAnswer{true, true, false}));
  EXPECT_NE(Text().find("13800002222"), std::string::npos);
  EXPECT_EQ(Step(Click(texts)), (RevealAnswer{true, true, false}));
  EXPECT_NE(Text().find("13700005678"), std::string::npos);
  EXPECT_EQ(Step(Click(texts)), RevealAnswer{});  // nothing left to click
  EXPECT_EQ(server.RequestCount("/more"), 1);
  EXPECT_EQ(server.RequestCount("/delete-all"), 0);
  EXPECT_EQ(server.RequestCount("/submitted"), 0);
}

TEST_F(WebRevealTest, ALoadThePageStartsDuringAStepIsStoppedAndThePageKept) {
  server.Page("/other", "<body>other</body>");
  server.Page("/list", R"html(<meta charset="utf-8"><body><p>13900001111</p>
<span onclick="location.href = '/other'">查看号码</span></body>)html");
  ASSERT_TRUE(Load("/list"));
  const std::size_t answers = listener.answers.size();
  const RevealAnswer answer = Step(Click({"查看号码"}));
  EXPECT_TRUE(answer.acted);
  EXPECT_TRUE(answer.navigationStopped);
  EXPECT_EQ(server.RequestCount("/other"), 0);
  EXPECT_NE(Text().find("13900001111"), std::string::npos);
  EXPECT_EQ(QUrl(QString::fromStdString(browser->LocationURL())).path(), "/list");
  EXPECT_EQ(listener.answers.size(), answers);  // no load was told of
  // Outside a step the page may go where it wants; the walk's own loads always go.
  ASSERT_TRUE(Load("/other"));
  EXPECT_NE(Text().find("other"), std::string::npos);
}

TEST_F(WebRevealTest, StepsWithoutADocumentAreRefusedAndANavigateDropsTheStepUnderWay) {
  EXPECT_EQ(Step(Scroll()), RevealAnswer{});  // nothing loaded yet
  server.Page("/still", "<body><p>still</p></body>");
  ASSERT_TRUE(Load("/still"));
  browser->Reveal(Scroll());
  EXPECT_EQ(Step(Scroll()), RevealAnswer{});  // a step is under way, and still answers
  EXPECT_TRUE(WaitUntil([&] { return listener.revealed.size() == 3; }));
  // All of the page is in view: nothing to scroll.
  EXPECT_EQ(listener.revealed.back(), (RevealAnswer{false, false, false}));
  browser->Reveal(Scroll());
  ASSERT_TRUE(Load("/still"));
  const std::size_t answers = listener.revealed.size();
  RunEventsFor(Scroll().waitMs + 300);
  EXPECT_EQ(listener.revealed.size(), answers);
}

TEST_F(WebRevealTest, StructuredTextsAndTheHeadAreReadOnlyWhenAsked) {
  server.Page("/shop", R"html(<html><head><title>shop</title>
<script type="application/ld+json">{"contactPoint": [{"telephone": "13800001111"}]}</script>
</head><body><span itemprop="telephone">13700003333</span>
<a href="tel:%2B8613500005555">call</a></body></html>)html");
  ASSERT_TRUE(Load("/shop"));
  PageDocument* doc = browser->Document();
  EXPECT_EQ(doc->HeadOuterHtml(), "");
  EXPECT_TRUE(doc->StructuredTelephones().empty());
  EXPECT_TRUE(doc->TelTargets().empty());
  browser->SetReadsStructured(true);
  ASSERT_TRUE(Load("/shop"));
  doc = browser->Document();
  EXPECT_EQ(doc->HeadOuterHtml().rfind("<head><title>shop</title>", 0), 0u);
  EXPECT_EQ(doc->StructuredTelephones(), (std::vector<std::string>{"13800001111", "13700003333"}));
  EXPECT_EQ(doc->TelTargets(), std::vector<std::string>{"+8613500005555"});
  EXPECT_NE(doc->BodyOuterText().find("call"), std::string::npos);
}

}  // namespace
}  // namespace tolvarine::testing
