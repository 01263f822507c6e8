// How the pane tells each load's answer (status, network error, Retry-After), and the
// request kinds it blocks, against pages served on 127.0.0.1.
#include <gmock/gmock.h>

#include "base/platform/environment.h"
#include "tests/ui_web/web_test_support.h"
#include "ui/web/load_answer.h"

namespace tolvarine::testing {
namespace {

using ::testing::HasSubstr;

HttpResponse Answer(int status, const std::string& body,
                    std::vector<std::pair<std::string, std::string>> headers = {}) {
  HttpResponse response;
  response.status = status;
  response.body = body;
  response.headers = std::move(headers);
  return response;
}

class LoadAnswerTest : public WebPaneTest {
 protected:
  // Navigates and waits for the load's answer; nullopt when none came.
  std::optional<RecordingListener::Answer> Answered(const std::string& address) {
    const std::size_t before = listener.answers.size();
    browser->Navigate(address);
    if (!WaitUntil([&] { return listener.answers.size() > before; })) return std::nullopt;
    return listener.answers.back();
  }
};

TEST_F(LoadAnswerTest, EachLoadIsAnsweredWithItsStatusBeforeItsDocument) {
  server.Page("/ok", "<html><body>fine</body></html>");
  server.Route("/missing", Answer(404, "<html><body>our own 404 page 13812345678</body></html>"));
  server.Route("/busy", Answer(429, "<html><body>slow down</body></html>", {{"Retry-After", "5"}}));
  server.Route("/down", Answer(503, "<html><body>down</body></html>"));
  // An empty body: the engine shows an error page of its own, the status still counts.
  server.Route("/empty", Answer(429, "", {{"Retry-After", "3"}}));

  const std::pair<const char*, LoadAnswer> cases[] = {
      {"/ok", {200, "", -1}},
      {"/missing", {404, "", -1}},
      {"/busy", {429, "", 5}},
      {"/down", {503, "", -1}},
      {"/empty", {429, "", 3}},
  };
  for (const auto& [path, expected] : cases) {
    SCOPED_TRACE(path);
    const int documents = listener.Documents();
    const auto answered = Answered(server.Url(path));
    ASSERT_TRUE(answered);
    EXPECT_EQ(answered->answer, expected);
    EXPECT_EQ(answered->documentsBefore, documents);
    // The server's own page still comes, for the same frame.
    ASSERT_TRUE(WaitUntil([&] { return listener.Documents() > documents; }));
    EXPECT_EQ(listener.events.back().frame, answered->frame);
  }
  EXPECT_THAT(listener.events.size(), 10u);
  // One HEAD each for the three "try later" answers, none for the others.
  int heads = 0;
  for (const HttpRequestRecord& request : server.Requests()) heads += request.method == "HEAD";
  EXPECT_EQ(heads, 3);
  EXPECT_TRUE(failures.empty());
}

TEST_F(LoadAnswerTest, NetworkErrorsAreAnsweredWithStatusZeroAndTheirName) {
  const std::string refused =
      "http://127.0.0.1:" + std::to_string(LocalHttpServer::RefusingPort()) + "/";
  auto answered = Answered(refused);
  ASSERT_TRUE(answered);
  EXPECT_EQ(answered->answer, (LoadAnswer{0, "connection-refused", -1}));

  // The pane goes on with the next address.
  server.Page("/after", "<html><body>after</body></html>");
  answered = Answered(server.Url("/after"));
  ASSERT_TRUE(answered);
  EXPECT_EQ(answered->answer.status, 200);
}

TEST(RetryAfterSeconds, ReadsSecondsAndDatesAndRejectsTheRest) {
  const QDateTime now = QDateTime::fromString("Sun, 06 Nov 1994 08:49:37 +0000", Qt::RFC2822Date);
  ASSERT_TRUE(now.isValid());
  EXPECT_EQ(RetryAfterSeconds(" 120 ", now), 120);
  EXPECT_EQ(RetryAfterSeconds("0", now), 0);
  EXPECT_EQ(RetryAfterSeconds("Sun, 06 Nov 1994 08:50:07 GMT", now), 30);
  EXPECT_EQ(RetryAfterSeconds("Sun, 06 Nov 1994 08:00:00 GMT", now), 0);  // already past
  EXPECT_EQ(RetryAfterSeconds("99999999999999999999", now), INT32_MAX);
  for (const char* bad : {"", "-5", "5s", "soon", "1.5"})
    EXPECT_EQ(RetryAfterSeconds(bad, now), -1) << bad;
}

TEST(NetworkErrorName, GroupsChromiumErrorNumbers) {
  EXPECT_EQ(NetworkErrorName(-101), "connection-reset");
  EXPECT_EQ(NetworkErrorName(-118), "timed-out");
  EXPECT_EQ(NetworkErrorName(-7), "timed-out");
  EXPECT_EQ(NetworkErrorName(-105), "name-not-resolved");
  EXPECT_EQ(NetworkErrorName(-107), "tls-failed");
  EXPECT_EQ(NetworkErrorName(-200), "tls-failed");
  EXPECT_EQ(NetworkErrorName(-299), "tls-failed");
  EXPECT_EQ(NetworkErrorName(-300), "network-error");
  EXPECT_EQ(NetworkErrorName(-199), "network-error");
}

TEST(ChromiumProxyFor, ReadsTheEngineFlagsAsTheEngineDoes) {
  const auto proxy = [](const std::string& flags, const char* scheme) {
    const std::optional<QNetworkProxy> p = ChromiumProxyFor(flags, QString::fromLatin1(scheme));
    if (!p) return std::string("none");
    return std::to_string(p->type()) + " " + p->hostName().toStdString() + ":" +
           std::to_string(p->port());
  };
  const std::string http = std::to_string(QNetworkProxy::HttpProxy) + " ";
  EXPECT_EQ(proxy("--disable-gpu", "http"), "none");
  EXPECT_EQ(proxy("--proxy-server=127.0.0.1:8080", "http"), http + "127.0.0.1:8080");
  EXPECT_EQ(proxy("--proxy-server=http://p.example:3128 --x", "https"), http + "p.example:3128");
  EXPECT_EQ(proxy("--proxy-server=socks5://s:9", "http"),
            std::to_string(QNetworkProxy::Socks5Proxy) + " s:9");
  EXPECT_EQ(proxy("--proxy-server=http=a:1;https=b:2", "https"), http + "b:2");
  EXPECT_EQ(proxy("--proxy-server=https=b:2", "http"), "none");
  EXPECT_EQ(proxy("--proxy-server=a:1 --proxy-server=c:3", "http"), http + "c:3");
  EXPECT_EQ(proxy("--proxy-server=a:x", "http"), "none");
  EXPECT_EQ(proxy("--proxy-server=a:1 --no-proxy-server", "http"),
            std::to_string(QNetworkProxy::NoProxy) + " :0");
}

// Walks that reach their sites through the engine's --proxy-server ask Retry-After there too.
TEST(RetryAfterProbe, GoesThroughTheProxyTheEngineFlagsName) {
  LocalHttpServer proxy;
  HttpResponse busy;
  busy.status = 503;
  busy.headers = {{"Retry-After", "7"}};
  proxy.Route("www.example.com/busy", busy);
  const std::optional<std::string> saved = platform::GetEnvironment("QTWEBENGINE_CHROMIUM_FLAGS");
  platform::SetEnvironment("QTWEBENGINE_CHROMIUM_FLAGS",
                           "--proxy-server=127.0.0.1:" + std::to_string(proxy.Port()));
  RetryAfterProbe probe;
  platform::SetEnvironment("QTWEBENGINE_CHROMIUM_FLAGS", saved.value_or(""));
  int seconds = -2;
  probe.Ask(QUrl("http://www.example.com/busy"), [&](int s) { seconds = s; });
  ASSERT_TRUE(WaitUntil([&] { return seconds != -2; }));
  EXPECT_EQ(seconds, 7);
  EXPECT_EQ(proxy.HostRequestCount("www.example.com/busy"), 1);
}

const char kPictured[] =
    "<html><body>pictured 13812345678<img src=\"/pic.png\" width=10 height=10></body></html>";

TEST_F(WebPaneTest, BlockedImagesAreNeverRequestedAndThePageStillComes) {
  server.Page("/pictured", kPictured);
  server.Route("/pic.png", HttpResponse{200, "image/png", {}, "not really a png"});
  bool blockImages = true;
  browser->SetBlockedKinds([&] { return BlockedKinds{blockImages, false, false}; });
  ASSERT_TRUE(Load("/pictured"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("pictured 13812345678"));
  EXPECT_EQ(server.RequestCount("/pic.png"), 0);

  // The option is read at each request: turned off, the next load asks for the image.
  blockImages = false;
  ASSERT_TRUE(Load("/pictured"));
  EXPECT_TRUE(WaitUntil([&] { return server.RequestCount("/pic.png") == 1; }));
}

}  // namespace
}  // namespace tolvarine::testing
