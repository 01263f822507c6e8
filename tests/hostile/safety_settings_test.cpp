// The pane's safety settings, shown by what pages can and cannot do: no windows, no reads
// of local files from a local page, no plugins, no unknown schemes handed to the desktop,
// and page text that reaches the program only as text.
#include <gmock/gmock.h>

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QTest>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <memory>

#include "base/gbk.h"
#include "tests/ui_web/event_loop_wait.h"
#include "tests/support/local_http_server.h"
#include "tests/support/temp_folder.h"
#include "ui/web/web_page_browser.h"

namespace tolvarine::testing {

// Stands in for the desktop's handler of a URL scheme and counts what reaches it.
class SchemeHandler : public QObject {
  Q_OBJECT
 public:
  int opened = 0;
 public slots:
  void open(const QUrl&) { ++opened; }
};

namespace {

using ::testing::HasSubstr;
using ::testing::Not;
constexpr char kScheme[] = "tolvarine-test-scheme";

class SafetySettings : public ::testing::Test {
 protected:
  void SetUp() override { MakePane(1); }

  void MakePane(int recycleEvery) {
    browser.reset();
    browser = std::make_unique<WebPageBrowser>(
        [this](const std::string& m) { failures.push_back(m); }, nullptr, recycleEvery);
    QObject::connect(browser.get(), &WebPageBrowser::documentCompleted, [this] { ++documents; });
    browser->resize(800, 600);
    browser->show();
  }

  // Loads an address and waits for its document; false when it never came.
  bool Load(const std::string& address) {
    const int before = documents;
    browser->Navigate(address);
    return WaitUntil([&] { return documents > before; });
  }

  // The current page's body text, taken afresh.
  std::string BodyText() {
    bool done = false, ok = false;
    browser->RefreshDocument([&](bool result) { done = true, ok = result; });
    if (!WaitUntil([&] { return done; }) || !ok) return "(no snapshot)";
    return browser->Document()->BodyOuterText();
  }

  // Takes snapshots until the body text holds part; the last text read.
  std::string WaitForText(const std::string& part) {
    std::string text;
    WaitUntil([&] { return (text = BodyText()).find(part) != std::string::npos; });
    return text;
  }

  bool Requested(const std::string& prefix) const {
    for (const HttpRequestRecord& r : server.Requests())
      if (r.target.rfind(prefix, 0) == 0) return true;
    return false;
  }

  LocalHttpServer server;
  std::unique_ptr<WebPageBrowser> browser;
  std::vector<std::string> failures;
  int documents = 0;
};

TEST_F(SafetySettings, ScriptsCannotOpenWindows) {
  EXPECT_FALSE(
      browser->View()->settings()->testAttribute(QWebEngineSettings::JavascriptCanOpenWindows));
  server.Page("/opener", R"P(<html><body><script>
    var w = window.open('/popup', '_blank');
    fetch('/opened?' + (w ? 'yes' : 'no'));
    </script></body></html>)P");
  ASSERT_TRUE(Load(server.Url("/opener")));
  ASSERT_TRUE(WaitUntil([&] { return Requested("/opened"); }));
  EXPECT_EQ(server.RequestCount("/opened?no"), 1);
  EXPECT_FALSE(Requested("/popup"));
}

// A local page tries to read another local file with a synchronous XMLHttpRequest and with
// fetch, and writes what it got into its body.
std::string FileReaderPage(const std::string& fileUrl) {
  return R"P(<html><body><p id="x">xhr:</p><p id="f">fetch:</p><script>
    var url = ')P" +
         fileUrl + R"P(';
    var r = 'blocked';
    try {
      var x = new XMLHttpRequest(); x.open('GET', url, false); x.send();
      r = 'read ' + x.responseText;
    } catch (e) {}
    document.getElementById('x').textContent = 'xhr:' + r;
    function mark(t) { document.getElementById('f').textContent = 'fetch:' + t + ' done'; }
    fetch(url).then(function (res) { return res.text(); }).then(function (t) { mark('read ' + t); },
                                                             function () { mark('blocked'); });
    </script></body></html>)P";
}

TEST_F(SafetySettings, ALocalPageCannotReadOtherLocalFiles) {
  TempFolder folder;
  const std::string secret =
      QUrl::fromLocalFile(QString::fromStdString(folder.Write("secret.txt", "the secret")))
          .toString()
          .toStdString();
  const std::string page =
      QUrl::fromLocalFile(QString::fromStdString(folder.Write("page.html", FileReaderPage(secret))))
          .toString()
          .toStdString();

  ASSERT_TRUE(Load(page));
  const std::string text = WaitForText(" done");
  EXPECT_THAT(text, HasSubstr("xhr:blocked"));
  EXPECT_THAT(text, HasSubstr("fetch:blocked done"));
  EXPECT_THAT(text, Not(HasSubstr("the secret")));

  // The same page with the setting turned on reads the file: the page above was refused
  // by the setting, not by a wrong path.
  MakePane(0);
  browser->View()->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls,
                                            true);
  ASSERT_TRUE(Load(page));
  EXPECT_THAT(WaitForText(" done"), HasSubstr("fetch:read the secret done"));
}

TEST_F(SafetySettings, PagesSeeNoPlugins) {
  EXPECT_FALSE(browser->View()->settings()->testAttribute(QWebEngineSettings::PluginsEnabled));
  server.Page("/plugins", R"P(<html><body><p id="r"></p><script>
    document.getElementById('r').textContent = 'plugins:' + navigator.plugins.length +
        ' types:' + navigator.mimeTypes.length + ' pdf:' + navigator.pdfViewerEnabled;
    </script></body></html>)P");
  ASSERT_TRUE(Load(server.Url("/plugins")));
  EXPECT_THAT(browser->Document()->BodyOuterText(), HasSubstr("plugins:0 types:0 pdf:false"));
}

TEST_F(SafetySettings, UnknownSchemesNeverReachTheDesktop) {
  SchemeHandler desktop;
  QDesktopServices::setUrlHandler(kScheme, &desktop, "open");
  struct Unset {
    ~Unset() { QDesktopServices::unsetUrlHandler(kScheme); }
  } unset;
  const std::string target = std::string(kScheme) + ":x";
  server.Page("/scheme", R"P(<html><body style="margin:0">
    <a id="a" href=")P" + target +
                             R"P(" style="display:block;width:800px;height:600px"
       onclick="fetch('/clicked')">go</a>
    <script>if (location.search == '?script') location.href = ')P" +
                             target + R"P(';</script>
    </body></html>)P");

  // Let through, a script's move to the scheme reaches the handler: the handler is live.
  MakePane(0);
  browser->View()->settings()->setUnknownUrlSchemePolicy(
      QWebEngineSettings::AllowAllUnknownUrlSchemes);
  ASSERT_TRUE(Load(server.Url("/scheme?script")));
  ASSERT_TRUE(WaitUntil([&] { return desktop.opened > 0; }));
  desktop.opened = 0;

  // The pane as the program sets it up: neither a script nor a user's click gets there.
  MakePane(1);
  EXPECT_EQ(browser->View()->settings()->unknownUrlSchemePolicy(),
            QWebEngineSettings::DisallowUnknownUrlSchemes);
  ASSERT_TRUE(Load(server.Url("/scheme?script")));
  ASSERT_TRUE(Load(server.Url("/scheme?click")));
  // Input reaches the page only once it has been drawn: click again until it arrives.
  QElapsedTimer sinceClick;
  ASSERT_TRUE(WaitUntil([&] {
    if (Requested("/clicked")) return true;
    if (!sinceClick.isValid() || sinceClick.elapsed() > 200) {
      QTest::mouseClick(browser->View()->focusProxy(), Qt::LeftButton, {}, QPoint(100, 100));
      sinceClick.start();
    }
    return false;
  }));
  // Whatever the click set going has run its course by the time another page has loaded.
  server.Page("/fence", "<html><body>fence</body></html>");
  ASSERT_TRUE(Load(server.Url("/fence")));
  EXPECT_EQ(desktop.opened, 0);
}

TEST_F(SafetySettings, PageTextReachesTheProgramOnlyAsText) {
  // Markup and script written as text, and a page that redefines what a reader in its own
  // script world would call.
  server.Page("/text", R"P(<html><body>
    <p>&lt;img src=/evaluated onerror="fetch('/evaluated')"&gt; '); fetch('/evaluated'); ('</p>
    <a href="/target">target</a>
    <script>
    Object.defineProperty(document, 'links',
                          { get: function () { fetch('/hijacked'); return []; } });
    Array.from = function () { fetch('/hijacked'); return ['http://hijacked.example/']; };
    </script></body></html>)P");
  ASSERT_TRUE(Load(server.Url("/text")));
  PageDocument* document = browser->Document();
  ASSERT_NE(document, nullptr);
  EXPECT_THAT(
      document->BodyOuterText(),
      HasSubstr(
          "<img src=/evaluated onerror=\"fetch('/evaluated')\"> '); fetch('/evaluated'); ('"));
  ASSERT_EQ(document->LinksLength(), 1);
  EXPECT_EQ(document->LinkItem(0), server.Url("/target"));
  // A page loaded after shows that everything the first one set going has run.
  server.Page("/next", "<html><body>next</body></html>");
  ASSERT_TRUE(Load(server.Url("/next")));
  EXPECT_FALSE(Requested("/evaluated"));
  EXPECT_FALSE(Requested("/hijacked"));
  EXPECT_TRUE(failures.empty());
}

}  // namespace
}  // namespace tolvarine::testing

#include "safety_settings_test.moc"
