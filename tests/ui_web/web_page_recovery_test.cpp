// Loads that never end, loads replaced by the next one, renderer crashes and page recycling:
// none of them may stop a walk or raise an event for the wrong load.
#include <gmock/gmock.h>
#include <signal.h>

#include <QSignalSpy>

#include "tests/ui_web/web_test_support.h"

namespace tolvarine::testing {
namespace {

using ::testing::HasSubstr;

// How long the event loop runs to show that a stalled load raises nothing. Short on
// purpose: it only has to outlast the ordinary completion of a local page.
constexpr int kAbsenceMs = 1500;

TEST_F(WebPaneTest, StalledAndUnansweredLoadsRaiseNothing) {
  server.Stall("/stall", "<html><body><p>half of the page " + std::string(2000, 'x') +
                             "</p></body></html>");
  server.Hang("/hang");
  server.Page("/ok", "<html><body>fine</body></html>");

  browser->Navigate(server.Url("/stall"));
  ASSERT_TRUE(WaitUntil([&] { return server.RequestCount("/stall") == 1; }));
  RunEventsFor(kAbsenceMs);
  EXPECT_TRUE(listener.events.empty());

  browser->Navigate(server.Url("/hang"));
  ASSERT_TRUE(WaitUntil([&] { return server.RequestCount("/hang") == 1; }));
  RunEventsFor(kAbsenceMs);
  EXPECT_TRUE(listener.events.empty());
  EXPECT_EQ(browser->Document(), nullptr);

  // The next load completes, on a fresh page, with only its own events.
  const int pages = browser->PagesCreated();
  ASSERT_TRUE(Load("/ok"));
  EXPECT_GT(browser->PagesCreated(), pages);
  ASSERT_EQ(listener.events.size(), 2u);
  EXPECT_EQ(listener.events[0].frame, listener.events[1].frame);
  EXPECT_EQ(listener.events[1].address, server.Url("/ok"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("fine"));
}

TEST_F(WebPaneTest, AReplacedLoadNeverCompletesAsTheNewOne) {
  // The first page would finish while the second still waits for its answer.
  HttpResponse slow;
  slow.body = "<html><body>slow second page</body></html>";
  slow.delayMs = 800;
  server.Route("/slow", slow);
  server.Stall("/first", "<html><body>first page, never whole " + std::string(2000, 'y') +
                             "</body></html>");
  browser->Navigate(server.Url("/first"));
  ASSERT_TRUE(WaitUntil([&] { return server.RequestCount("/first") == 1; }));
  ASSERT_TRUE(Load("/slow"));
  ASSERT_EQ(listener.events.size(), 2u);
  EXPECT_EQ(listener.events[1].address, server.Url("/slow"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("slow second page"));
  // The stalled connection was dropped with the page that made it.
  EXPECT_TRUE(WaitUntil([&] { return server.OpenConnections() == 0; }));
}

// The next address gets a fresh page, so the renderer stuck in the script is left behind.
TEST_F(WebPaneTest, APageWhoseScriptNeverEndsDoesNotHoldTheNextLoad) {
  server.Page("/spin", R"(<html><body>spinning<script>
    window.addEventListener('load', function () { setTimeout(function () { for (;;) {} }, 0); });
    </script></body></html>)");
  server.Page("/next", "<html><body>next page</body></html>");
  browser->Navigate(server.Url("/spin"));
  ASSERT_TRUE(WaitUntil([&] { return server.RequestCount("/spin") == 1; }));
  RunEventsFor(kAbsenceMs);  // the page's script is running for ever by now
  ASSERT_TRUE(Load("/next"));
  EXPECT_EQ(listener.events.back().address, server.Url("/next"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("next page"));
}

// A reused page keeps its renderer while it answers, however slow the server; a renderer
// stuck in the old document's script as the next address commits (here, on leaving the
// page) gets that address moved to a fresh page instead of holding it.
TEST_F(WebPaneTest, AReusedRendererStuckInAScriptDoesNotHoldTheNextLoad) {
  MakePane(0);
  HttpResponse slow;
  slow.body = "<html><body>slow page</body></html>";
  slow.delayMs = 2 * WebPageBrowser::kStuckCheckMs + 500;
  server.Route("/slow", slow);
  server.Page("/leave", R"(<html><body>leaving<script>
    addEventListener('pagehide', function () { for (;;) {} });
    </script></body></html>)");
  server.Page("/next", "<html><body>next page</body></html>");

  ASSERT_TRUE(Load("/slow"));
  ASSERT_TRUE(Load("/leave"));
  EXPECT_EQ(browser->PagesCreated(), 1);
  EXPECT_EQ(server.RequestCount("/slow"), 1);

  ASSERT_TRUE(Load("/next"));
  EXPECT_EQ(browser->PagesCreated(), 2);
  EXPECT_EQ(listener.events.back().address, server.Url("/next"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("next page"));
  EXPECT_TRUE(failures.empty());
}

TEST_F(WebPaneTest, ARendererCrashIsRecovered) {
  server.Page("/a", "<html><body>page a</body></html>");
  server.Page("/b", "<html><body>page b</body></html>");
  server.Stall("/stall", "<html><body>stalled " + std::string(2000, 'z') + "</body></html>");
  QSignalSpy recovered(browser.get(), &WebPageBrowser::rendererRecovered);

  ASSERT_TRUE(Load("/a"));
  ASSERT_GT(browser->RendererPid(), 0);
  ASSERT_EQ(kill(static_cast<pid_t>(browser->RendererPid()), SIGKILL), 0);
  ASSERT_TRUE(recovered.wait(kGuardMs));
  ASSERT_TRUE(Load("/b"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("page b"));

  // A crash in the middle of a load: that load raises nothing, the next one completes.
  browser->Navigate(server.Url("/stall"));
  ASSERT_TRUE(WaitUntil([&] { return server.RequestCount("/stall") == 1; }));
  ASSERT_TRUE(WaitUntil([&] { return browser->RendererPid() > 0; }));
  const int documents = listener.Documents();
  ASSERT_EQ(kill(static_cast<pid_t>(browser->RendererPid()), SIGKILL), 0);
  ASSERT_TRUE(WaitUntil([&] { return recovered.count() == 2; }));
  EXPECT_EQ(listener.Documents(), documents);
  ASSERT_TRUE(Load("/a"));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("page a"));
  EXPECT_TRUE(failures.empty());
}

TEST_F(WebPaneTest, PagesAreRecycledAfterSoManyLoads) {
  MakePane(2);
  for (int i = 0; i < 5; ++i)
    server.Page("/p" + std::to_string(i), "<html><body>page " + std::to_string(i) + "</body></html>");
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(Load("/p" + std::to_string(i))) << i;
    EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("page " + std::to_string(i)));
  }
  EXPECT_EQ(browser->PagesCreated(), 3);
  EXPECT_EQ(listener.Documents(), 5);
}

}  // namespace
}  // namespace tolvarine::testing
