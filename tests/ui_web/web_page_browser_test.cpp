// The WebEngine pane against pages served on 127.0.0.1: events, the document snapshot, and
// what the pane refuses.
#include <gmock/gmock.h>

#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "base/errors.h"
#include "tests/ui_web/web_test_support.h"

namespace tolvarine::testing {
namespace {

using ::testing::HasSubstr;

const char kNumbersPage[] = R"(<!DOCTYPE html><html><head><title>t</title></head><body>
<p>联系电话 13812345678 号码 a😀b</p>
<a href="/rel/a.html">相对</a> <a href="ABS">绝对</a> <a href="page2.html?x=1">q</a>
<div data-phone="15987654321">attr</div>
<script>var p = "18611112222";</script>
<!-- 13099998888 -->
</body></html>)";

std::string WithAbsolute(std::string html, const std::string& absolute) {
  html.replace(html.find("ABS"), 3, absolute);
  return html;
}

TEST_F(WebPaneTest, LoadRaisesNavigateThenDocumentCompleteWithOneFrameAndAGbkSnapshot) {
  server.Page("/dir/numbers.html", WithAbsolute(kNumbersPage, server.Url("/abs.html")));
  EXPECT_EQ(browser->Document(), nullptr);
  EXPECT_EQ(browser->LocationURL(), "");

  ASSERT_TRUE(Load("/dir/numbers.html"));
  const std::string address = server.Url("/dir/numbers.html");
  ASSERT_EQ(listener.events.size(), 2u);
  EXPECT_FALSE(listener.events[0].document);
  EXPECT_TRUE(listener.events[1].document);
  EXPECT_NE(listener.events[0].frame, 0u);
  EXPECT_EQ(listener.events[0].frame, listener.events[1].frame);
  EXPECT_EQ(listener.events[1].address, address);
  EXPECT_EQ(browser->LocationURL(), address);

  PageDocument* doc = browser->Document();
  ASSERT_NE(doc, nullptr);
  // Text: rendered, GBK, with "?" for what GBK cannot hold.
  EXPECT_THAT(doc->BodyOuterText(), HasSubstr(Gbk("联系电话 13812345678 号码 a?b")));
  // Markup: attributes, scripts and comments as written.
  const std::string html = doc->BodyOuterHtml();
  EXPECT_THAT(html, HasSubstr("data-phone=\"15987654321\""));
  EXPECT_THAT(html, HasSubstr("var p = \"18611112222\";"));
  EXPECT_THAT(html, HasSubstr("<!-- 13099998888 -->"));
  EXPECT_THAT(html, HasSubstr(Gbk("相对")));
  // Links: absolute, in document order.
  ASSERT_EQ(doc->LinksLength(), 3);
  EXPECT_EQ(doc->LinkItem(0), server.Url("/rel/a.html"));
  EXPECT_EQ(doc->LinkItem(1), server.Url("/abs.html"));
  EXPECT_EQ(doc->LinkItem(2), server.Url("/dir/page2.html?x=1"));
  EXPECT_THROW(doc->LinkItem(3), Error);
  EXPECT_THROW(doc->LinkItem(-1), Error);
  EXPECT_TRUE(failures.empty());
}

TEST_F(WebPaneTest, EachLoadGetsItsOwnFrameAndReplacesTheSnapshot) {
  server.Page("/one", "<html><body>first page</body></html>");
  server.Page("/two", "<html><body>second page</body></html>");
  ASSERT_TRUE(Load("/one"));
  PageDocument* doc = browser->Document();
  ASSERT_TRUE(Load("/two"));
  ASSERT_EQ(listener.events.size(), 4u);
  EXPECT_NE(listener.events[0].frame, listener.events[2].frame);
  EXPECT_EQ(listener.events[2].frame, listener.events[3].frame);
  // The same document object reads the latest snapshot.
  EXPECT_EQ(browser->Document(), doc);
  EXPECT_THAT(doc->BodyOuterText(), HasSubstr("second page"));
}

// The command line walks with the pane never shown.
TEST_F(WebPaneTest, LoadsWhileThePaneIsNeverShown) {
  MakePane(1, false);
  server.Page("/hidden", "<html><body>unseen <a href=\"/x\">x</a></body></html>");
  ASSERT_TRUE(Load("/hidden"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("unseen"));
  EXPECT_EQ(browser->Document()->LinksLength(), 1);
}

TEST_F(WebPaneTest, BadAddressesThrowAndLeaveThePaneUsable) {
  EXPECT_THROW(browser->Navigate(""), Error);
  EXPECT_THROW(browser->Navigate("   "), Error);
  EXPECT_THROW(browser->Navigate("no scheme here"), Error);
  EXPECT_THROW(browser->Navigate("http://[broken"), Error);
  server.Page("/ok", "<html><body>ok</body></html>");
  EXPECT_TRUE(Load("/ok"));
}

TEST_F(WebPaneTest, PageDialogsAreAnsweredAtOnce) {
  server.Page("/dialogs", R"(<html><body><p id="r">waiting</p><script>
    alert('hello');
    var c = confirm('continue?');
    var p = prompt('name?', 'default');
    document.getElementById('r').textContent = 'confirm=' + c + ' prompt=' + p;
    window.addEventListener('beforeunload', function (e) { e.preventDefault(); e.returnValue = 'stay'; });
    window.onbeforeunload = function () { return 'stay'; };
    </script></body></html>)");
  server.Page("/after", "<html><body>left the page</body></html>");
  ASSERT_TRUE(Load("/dialogs"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("confirm=true prompt=null"));
  // A leave-page prompt does not hold the next load.
  ASSERT_TRUE(Load("/after"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("left the page"));
}

TEST_F(WebPaneTest, NewWindowsAreNotOpened) {
  server.Page("/opener", R"(<html><body><p id="r"></p>
    <a id="a" href="/popup2" target="_blank">x</a><script>
    var w = window.open('/popup1', '_blank');
    document.getElementById('r').textContent = 'opened=' + (w !== null);
    document.getElementById('a').click();
    </script></body></html>)");
  server.Page("/next", "<html><body>next</body></html>");
  ASSERT_TRUE(Load("/opener"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("opened=false"));
  // Any window would have asked for its page long before the next load has finished.
  ASSERT_TRUE(Load("/next"));
  EXPECT_EQ(server.RequestCount("/popup1"), 0);
  EXPECT_EQ(server.RequestCount("/popup2"), 0);
  EXPECT_EQ(listener.Documents(), 2);
}

TEST_F(WebPaneTest, DownloadsAreRefusedAndCompleteNothing) {
  HttpResponse file;
  file.contentType = "application/octet-stream";
  file.headers.emplace_back("Content-Disposition", "attachment; filename=\"data.bin\"");
  file.body = std::string(4096, 'x');
  server.Route("/data.bin", file);
  server.Page("/first", "<html><body>first</body></html>");
  server.Page("/next", "<html><body>next</body></html>");
  std::vector<QWebEngineDownloadRequest::DownloadState> states;
  QObject::connect(browser->Profile(), &QWebEngineProfile::downloadRequested,
                   [&](QWebEngineDownloadRequest* d) { states.push_back(d->state()); });

  ASSERT_TRUE(Load("/first"));
  browser->Navigate(server.Url("/data.bin"));
  ASSERT_TRUE(WaitUntil([&] { return !states.empty(); }));
  EXPECT_EQ(states[0], QWebEngineDownloadRequest::DownloadCancelled);
  ASSERT_TRUE(Load("/next"));
  // Only the two pages completed: the download raised no event of its own.
  ASSERT_EQ(listener.events.size(), 4u);
  EXPECT_EQ(listener.events[3].address, server.Url("/next"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("next"));
}

TEST_F(WebPaneTest, ErrorPagesAreDocuments) {
  HttpResponse missing;
  missing.status = 404;
  missing.body = "<html><body>missing page 404</body></html>";
  server.Route("/missing", missing);
  HttpResponse empty;
  empty.status = 500;
  server.Route("/empty-error", empty);

  ASSERT_TRUE(Load("/missing"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("missing page 404"));
  // An error without a body of its own shows the browser's error page, which completes too.
  ASSERT_TRUE(Load("/empty-error"));
  EXPECT_EQ(listener.events.back().address, server.Url("/empty-error"));
  EXPECT_NO_THROW(browser->Document()->BodyOuterText());
}

TEST_F(WebPaneTest, LoginRequestsAreCancelled) {
  HttpResponse login;
  login.status = 401;
  login.headers.emplace_back("WWW-Authenticate", "Basic realm=\"members\"");
  login.body = "<html><body>login needed</body></html>";
  server.Route("/members", login);
  ASSERT_TRUE(Load("/members"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("login needed"));
  EXPECT_EQ(server.RequestCount("/members"), 1);
}

TEST_F(WebPaneTest, UnreachableServerCompletesWithTheErrorPage) {
  std::string deadUrl;
  {
    LocalHttpServer closed;
    deadUrl = closed.Url("/gone");
  }
  const int before = listener.Documents();
  browser->Navigate(deadUrl);
  ASSERT_TRUE(WaitUntil([&] { return listener.Documents() > before; }));
  EXPECT_EQ(listener.events.back().address, deadUrl);
}

TEST_F(WebPaneTest, RedirectEndsAtTheFinalAddress) {
  server.Redirect("/old", "/middle", 301);
  server.Redirect("/middle", server.Url("/new"), 302);
  server.Page("/new", "<html><body>moved here</body></html>");
  ASSERT_TRUE(Load("/old"));
  EXPECT_EQ(browser->LocationURL(), server.Url("/new"));
  ASSERT_EQ(listener.events.size(), 2u);
  EXPECT_EQ(listener.events[1].address, server.Url("/new"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("moved here"));
}

// Text, images and XML are shown inside a body of the browser's own (XML as its tree view),
// so they read like pages; an SVG document has no body, and reading it fails as reading a
// page without a body does.
TEST_F(WebPaneTest, ResponsesThatAreNotHtml) {
  HttpResponse text;
  text.contentType = "text/plain; charset=utf-8";
  text.body = "call 13812345678\nline two";
  server.Route("/plain.txt", text);
  HttpResponse image;
  image.contentType = "image/gif";
  image.body = std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!"
                           "\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00"
                           "\x00\x02\x02\x44\x01\x00;",
                           43);
  server.Route("/pixel.gif", image);
  HttpResponse xml;
  xml.contentType = "text/xml";
  xml.body = "<?xml version=\"1.0\"?><root><n>13812345678</n></root>";
  server.Route("/data.xml", xml);
  HttpResponse svg;
  svg.contentType = "image/svg+xml";
  svg.body = "<svg xmlns=\"http://www.w3.org/2000/svg\"><text>13812345678</text></svg>";
  server.Route("/drawing.svg", svg);

  ASSERT_TRUE(Load("/plain.txt"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("call 13812345678"));
  EXPECT_EQ(browser->Document()->LinksLength(), 0);

  ASSERT_TRUE(Load("/pixel.gif"));
  EXPECT_EQ(browser->Document()->LinksLength(), 0);
  EXPECT_NO_THROW(browser->Document()->BodyOuterHtml());

  ASSERT_TRUE(Load("/data.xml"));
  EXPECT_THAT(browser->Document()->BodyOuterHtml(), HasSubstr("13812345678"));

  ASSERT_TRUE(Load("/drawing.svg"));
  PageDocument* doc = browser->Document();
  EXPECT_THROW(doc->BodyOuterText(), Error);
  EXPECT_THROW(doc->BodyOuterHtml(), Error);
  EXPECT_THROW(doc->LinksLength(), Error);
}

TEST_F(WebPaneTest, RefreshDocumentTakesANewSnapshot) {
  server.Page("/live", "<html><body><p id=\"x\">before</p></body></html>");
  ASSERT_TRUE(Load("/live"));
  browser->View()->page()->runJavaScript(
      "document.getElementById('x').textContent = 'after';");
  int answers = 0;
  bool ok = false;
  browser->RefreshDocument([&](bool result) {
    ++answers;
    ok = result;
  });
  ASSERT_TRUE(WaitUntil([&] { return answers == 1; }));
  EXPECT_TRUE(ok);
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("after"));
  EXPECT_EQ(listener.Documents(), 1);  // a refresh raises no event
}

// A load that never completes leaves no document, on a reused page as on a fresh one: the
// page before it is never read in its place.
TEST_F(WebPaneTest, AStalledLoadHasNoDocumentNotThePreviousOne) {
  server.Page("/full", "<html><body>previous page 13812345678</body></html>");
  server.Stall("/stalled", "<html><body>" + std::string(4096, 'x') + "</body></html>");
  for (int recycleEvery : {100, 1}) {
    MakePane(recycleEvery, false);
    ASSERT_TRUE(Load("/full"));
    const int documents = listener.Documents();
    const int requests = server.RequestCount("/stalled");
    browser->Navigate(server.Url("/stalled"));
    ASSERT_TRUE(WaitUntil([&] { return server.RequestCount("/stalled") > requests; }));
    RunEventsFor(500);
    EXPECT_EQ(browser->Document(), nullptr) << "recycleEvery " << recycleEvery;
    EXPECT_EQ(listener.Documents(), documents);
  }
}

// Characters GBK cannot hold stay percent-encoded in every address the pane hands out.
TEST_F(WebPaneTest, AddressesAndLinksStayPercentEncoded) {
  const std::string target = "/u?e=%F0%9F%98%80&k=%ED%95%9C";
  server.Page(target, "<html><body><a href=\"/v?e=\xF0\x9F\x98\x80&k=\xED\x95\x9C\">x</a>"
                      "</body></html>");
  ASSERT_TRUE(Load(target));
  const std::string address = server.Url(target);
  EXPECT_EQ(listener.events[0].address, address);
  EXPECT_EQ(listener.events[1].address, address);
  EXPECT_EQ(browser->LocationURL(), address);
  ASSERT_EQ(browser->Document()->LinksLength(), 1);
  EXPECT_EQ(browser->Document()->LinkItem(0), server.Url("/v?e=%F0%9F%98%80&k=%ED%95%9C"));
}

}  // namespace
}  // namespace tolvarine::testing
