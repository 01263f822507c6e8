// robots.txt through the pane's profile: the body of a found file, the status of an HTTP
// error, 0 when nothing answers, and a fetch replaced by the next one never answering.
#include "tests/ui_web/web_test_support.h"

namespace tolvarine::testing {
namespace {

struct Fetched {
  std::string address;
  int status = -1;
  std::string body;
};

class FetchListener : public RecordingListener {
 public:
  void OnTextFetched(const std::string& address, int status, const std::string& body) override {
    answers.push_back({address, status, body});
  }
  void OnBytesFetched(const std::string& address, int status, const std::string& bytes) override {
    answers.push_back({address, status, bytes});
  }
  std::vector<Fetched> answers;
};

class TextFetchTest : public WebPaneTest {
 protected:
  void SetUp() override {
    WebPaneTest::SetUp();
    browser->SetListener(&fetches);
  }
  Fetched Fetch(const std::string& address, bool bytes = false) {
    const size_t before = fetches.answers.size();
    if (bytes) {
      browser->FetchBytes(address);
    } else {
      browser->FetchText(address);
    }
    EXPECT_TRUE(WaitUntil([&] { return fetches.answers.size() > before; })) << address;
    return fetches.answers.empty() ? Fetched{} : fetches.answers.back();
  }
  FetchListener fetches;
};

TEST_F(TextFetchTest, AnswersWithTheStatusAndTheBody) {
  server.Route("/robots.txt", {200, "text/plain", {}, "User-agent: *\nDisallow: /private\n"});
  server.Route("/gone/robots.txt", {404, "text/plain", {}, "Not here"});
  server.Route("/broken/robots.txt", {503, "text/html", {}, "<p>down</p>"});
  server.Redirect("/moved/robots.txt", "/robots.txt");

  const Fetched found = Fetch(server.Url("/robots.txt"));
  EXPECT_EQ(found.address, server.Url("/robots.txt"));
  EXPECT_EQ(found.status, 200);
  EXPECT_EQ(found.body, "User-agent: *\nDisallow: /private\n");
  EXPECT_EQ(Fetch(server.Url("/moved/robots.txt")).status, 200);
  EXPECT_EQ(Fetch(server.Url("/gone/robots.txt")).status, 404);
  EXPECT_EQ(Fetch(server.Url("/broken/robots.txt")).status, 503);
  // Nothing listens on port 1.
  EXPECT_EQ(Fetch("http://127.0.0.1:1/robots.txt").status, 0);
  // The page pane is untouched by it all.
  EXPECT_TRUE(listener.events.empty());
}

TEST_F(TextFetchTest, AReplacedFetchNeverAnswers) {
  server.Hang("/slow/robots.txt");
  server.Route("/robots.txt", {200, "text/plain", {}, "User-agent: *\n"});
  browser->FetchText(server.Url("/slow/robots.txt"));
  const Fetched next = Fetch(server.Url("/robots.txt"));
  EXPECT_EQ(next.address, server.Url("/robots.txt"));
  RunEventsFor(300);
  ASSERT_EQ(fetches.answers.size(), 1u);
}

// A sitemap's bytes come as they were sent, gzip included, after a redirect; an error
// answer keeps its status, no answer is 0.
TEST_F(TextFetchTest, BytesComeAsTheyWereSent) {
  const std::string packed("\x1f\x8b\x08\0\xff\xfe\r\n", 8);
  server.Route("/map.xml.gz", {200, "application/gzip", {}, packed});
  server.Redirect("/moved.xml.gz", "/map.xml.gz");
  server.Route("/gone.xml", {404, "text/html", {}, "Not here"});
  const Fetched found = Fetch(server.Url("/moved.xml.gz"), true);
  EXPECT_EQ(found.address, server.Url("/moved.xml.gz"));
  EXPECT_EQ(found.status, 200);
  EXPECT_EQ(found.body, packed);
  EXPECT_EQ(Fetch(server.Url("/gone.xml"), true).status, 404);
  EXPECT_EQ(Fetch("http://127.0.0.1:1/sitemap.xml", true).status, 0);
}

}  // namespace
}  // namespace tolvarine::testing
