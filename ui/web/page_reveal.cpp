#include "ui/web/page_reveal.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QVariantMap>
#include <QWebEnginePage>
#include <QWebEngineScript>

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
         "  w.scrollTo(0, d.documentElement.scrollHeight);"
         "  return { acted: true, clicked: '' };"
         "})()";
}

QString ClickScript(const QStringList& texts) {
  const QString list =
      QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact));
  return QStringLiteral("(function (texts) {") + kWatch +
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
         "    e.scrollIntoView({ block: 'center' });"
         "    e.click();"
         "    return { acted: true, clicked: t };"
         "  }"
         "  return { acted: false, clicked: '' };"
         "})(" + list + ")";
}

// Whether the document changed since the step: for a scroll, grew; for a click, any change.
QString CheckScript(bool grownOnly) {
  return QStringLiteral(
             "(function (grownOnly) {"
             "  var w = window, d = document, b = w.__tolvarineRevealBase;"
             "  if (!b) return true;"
             "  if (!grownOnly) return !!w.__tolvarineRevealChanged;"
             "  return d.getElementsByTagName('*').length > b.nodes ||"
             "         d.documentElement.scrollHeight > b.height;"
             "})(%1)")
      .arg(grownOnly ? QStringLiteral("true") : QStringLiteral("false"));
}

}  // namespace

QStringList DefaultMoreTexts() {
  return {QStringLiteral("加载更多"), QStringLiteral("查看更多"), QStringLiteral("显示更多"),
          QStringLiteral("更多"),     QStringLiteral("点击加载"), QStringLiteral("查看电话"),
          QStringLiteral("显示电话"), QStringLiteral("查看号码"), QStringLiteral("点击查看"),
          QStringLiteral("展开")};
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
  page_->runJavaScript(CheckScript(result_.clicked.isEmpty()), QWebEngineScript::ApplicationWorld,
                       [this, step](const QVariant& changed) {
                         if (step != step_) return;
                         if (changed.toBool())
                           Finish(true);
                         else if (waitedMs_ >= waitMs_)
                           Finish(false);
                         else
                           check_.start(kCheckMs);
                       });
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
