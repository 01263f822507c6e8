#include "ui/web/page_reveal.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QVariantMap>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include "engine/crawl_texts.h"
#include "ui/qt_gbk.h"

namespace tolvarine {
namespace {

// Remembers how large the document is and starts watching it for changes; shared by both
// steps so that a change made by the step itself counts.
const char kWatch[] =
    "var w = window, d = document;"
    "w.__tolvarineRevealBase = { nodes: d.getElementsByTagName('*').length,"
    "                            height: d.documentElement.scrollHeight };"
    "w.__tolvarineRevealChanged = false;"
    "if (!w.__tolvarineRevealWatch) {"
    "  w.__tolvarineRevealWatch = new MutationObserver(function () {"
    "    w.__tolvarineRevealChanged = true;"
    "  });"
    "  w.__tolvarineRevealWatch.observe(d, { subtree: true, childList: true,"
    "                                        characterData: true, attributes: true });"
    "}";

QString ScrollScript() {
  return QStringLiteral("(function () {") + kWatch +
         "  var e = d.scrollingElement || d.documentElement;"
         "  var h = e.scrollHeight, room = h - (e.scrollTop + w.innerHeight);"
         "  w.scrollTo(0, h);"
         "  return { acted: room > 1, clicked: '' };"
         "})()";
}

QString ClickScript(const QStringList& texts) {
  const QString list =
      QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
  // A control whose last click added elements (a "load more" that stays) may be clicked
  // again; this is read before the watch takes the new base.
  return QStringLiteral("(function (texts) {") +
         "var last = window.__tolvarineLastClicked, base = window.__tolvarineRevealBase;"
         "if (last && base && window.__tolvarineClicked &&"
         "    document.getElementsByTagName('*').length > base.nodes)"
         "  window.__tolvarineClicked.delete(last);"
         "window.__tolvarineLastClicked = null;" + kWatch +
         "  var clicked = w.__tolvarineClicked || (w.__tolvarineClicked = new WeakSet());"
         "  function ownText(e) {"
         "    var t = '';"
         "    for (var n = e.firstChild; n; n = n.nextSibling) if (n.nodeType === 3) t += n.data;"
         "    return t.trim();"
         "  }"
         "  function shown(e) {"
         "    var r = e.getBoundingClientRect(), s = getComputedStyle(e);"
         "    return r.width > 0 && r.height > 0 && s.visibility !== 'hidden' &&"
         "           s.display !== 'none';"
         "  }"
         "  function harmless(e) {"
         "    if (e.closest('form')) return false;"
         "    if (/^(INPUT|SELECT|TEXTAREA|OPTION)$/.test(e.tagName)) return false;"
         "    var a = e.closest('a[href]');"
         "    if (!a) return true;"
         "    var h = a.getAttribute('href').trim().toLowerCase();"
         "    return h === '' || h.charAt(0) === '#' || h.indexOf('javascript:') === 0;"
         "  }"
         "  var all = d.body ? d.body.getElementsByTagName('*') : [];"
         "  for (var i = 0; i < all.length; ++i) {"
         "    var e = all[i];"
         "    if (clicked.has(e)) continue;"
         "    var t = ownText(e);"
         "    if (texts.indexOf(t) < 0 || !harmless(e) || !shown(e)) continue;"
         "    clicked.add(e);"
         "    w.__tolvarineLastClicked = e;"
         "    e.scrollIntoView({ block: 'center' });"
         "    e.click();"
         "    return { acted: true, clicked: t };"
         "  }"
         "  return { acted: false, clicked: '' };"
         "})(" + list + ")";
}

// How the document changed since the step: grew (more elements or taller), or changed at
// all.
QString CheckScript() {
  return QStringLiteral(
      "(function () {"
      "  var w = window, d = document, b = w.__tolvarineRevealBase;"
      "  if (!b) return { grown: true, changed: true };"
      "  return { grown: d.getElementsByTagName('*').length > b.nodes ||"
      "                  d.documentElement.scrollHeight > b.height,"
      "           changed: !!w.__tolvarineRevealChanged };"
      "})()");
}

}  // namespace

QStringList DefaultMoreTexts() {
  QStringList list;
  for (const char* text : texts::kMoreTexts) list << FromGbk(text);
  return list;
}

PageReveal::PageReveal(QObject* parent) : QObject(parent) {
  check_.setSingleShot(true);
  connect(&check_, &QTimer::timeout, this, &PageReveal::Check);
}

void PageReveal::Scroll(QWebEnginePage* page, int waitMs, Done done) {
  Start(page, ScrollScript(), waitMs, std::move(done));
}

void PageReveal::Click(QWebEnginePage* page, const QStringList& texts, int waitMs, Done done) {
  Start(page, ClickScript(texts), waitMs, std::move(done));
}

void PageReveal::Cancel() {
  ++step_;
  check_.stop();
  done_ = nullptr;
}

void PageReveal::Start(QWebEnginePage* page, const QString& script, int waitMs, Done done) {
  Cancel();
  page_ = page;
  done_ = std::move(done);
  result_ = Result{};
  waitMs_ = waitMs;
  waitedMs_ = 0;
  answered_ = false;
  requestsAtStart_ = requestCount_ ? requestCount_() : 0;
  // A page that goes away may never answer: the step then ends after its wait.
  check_.start(waitMs + kCheckMs);
  const int step = step_;
  page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                      [this, step](const QVariant& answer) {
                        if (step == step_) OnActed(answer);
                      });
}

void PageReveal::OnActed(const QVariant& answer) {
  answered_ = true;
  check_.stop();
  const QVariantMap map = answer.toMap();
  result_.acted = map.value(QStringLiteral("acted")).toBool();
  result_.clicked = map.value(QStringLiteral("clicked")).toString();
  if (!result_.acted) {
    // Nothing to click (or the page went away): no wait.
    QTimer::singleShot(0, this, [this, step = step_] {
      if (step == step_) Finish(false);
    });
    return;
  }
  check_.start(kCheckMs);
}

void PageReveal::Check() {
  if (!page_ || !answered_) {
    Finish(false);
    return;
  }
  waitedMs_ += kCheckMs;
  const int step = step_;
  const bool scroll = result_.clicked.isEmpty();
  page_->runJavaScript(CheckScript(), QWebEngineScript::ApplicationWorld,
                       [this, step, scroll](const QVariant& answer) {
                         if (step != step_) return;
                         const QVariantMap map = answer.toMap();
                         const bool changed = map.value(QStringLiteral("changed")).toBool();
                         // A scroll counts when the page grew, a click when it changed.
                         if (map.value(scroll ? QStringLiteral("grown") : QStringLiteral("changed"))
                                 .toBool())
                           Finish(true);
                         else if (waitedMs_ >= waitMs_ || (waitedMs_ >= kQuietMs && !changed &&
                                                           Quiet()))
                           Finish(false);
                         else
                           check_.start(kCheckMs);
                       });
}

bool PageReveal::Quiet() const {
  if (!requestCount_) return false;
  const int requests = requestCount_();
  return requests >= 0 && requests == requestsAtStart_;
}

void PageReveal::Finish(bool changed) {
  if (!done_) return;
  result_.changed = changed;
  Done done = std::move(done_);
  done_ = nullptr;
  ++step_;
  done(result_);
}

}  // namespace tolvarine
