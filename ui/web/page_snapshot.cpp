#include "ui/web/page_snapshot.h"

#include "base/errors.h"
#include "ui/qt_gbk.h"
#include "ui/web/structured_data.h"

namespace tolvarine {

const PageSnapshot& SnapshotDocument::Copy() const {
  if (!snapshot_) throw Error("No document loaded");
  return *snapshot_;
}

const PageSnapshot& SnapshotDocument::Body() const {
  Copy();
  if (!snapshot_->hasBody) throw Error("The document has no body");
  return *snapshot_;
}

int SnapshotDocument::LinksLength() { return static_cast<int>(Body().links.size()); }

std::string SnapshotDocument::LinkItem(int index) {
  const PageSnapshot& s = Body();
  if (index < 0 || index >= static_cast<int>(s.links.size()))
    throw Error("Link index out of range");
  return s.links[static_cast<std::size_t>(index)];
}

std::string SnapshotDocument::BodyOuterText() { return Body().outerText; }
std::string SnapshotDocument::BodyOuterHtml() { return Body().outerHtml; }

// What a document states for machines needs no body.
std::string SnapshotDocument::HeadOuterHtml() { return Copy().headHtml; }
std::vector<std::string> SnapshotDocument::StructuredTelephones() {
  return Copy().structuredTelephones;
}
std::vector<std::string> SnapshotDocument::TelTargets() { return Copy().telTargets; }

// One call reads everything the harvesters need. It runs in the application's isolated
// script world, which has its own globals: nothing the page redefines can change what it
// reads, and the page cannot see or clear the marks kept there. The seen mark (set only at
// a load's end) tells a new document from the one still shown after a load that produced
// none. The observer, started in the same call that takes the load-end copy so no change
// slips in between, only raises the changed mark; the copy is taken when the pane asks.
QString SnapshotScript(SnapshotMode mode, bool structured) {
  const int m = mode == SnapshotMode::LoadEnd ? 0 : mode == SnapshotMode::Always ? 1 : 2;
  return QStringLiteral(
             "(function (mode) {"
             "  var w = window;"
             "  if (mode === 2) {"
             "    if (!w.__tolvarineWatch) return 'unwatched';"
             "    if (!w.__tolvarineChanged) return 'unchanged';"
             "  }"
             "  var fresh = !w.__tolvarineSeen;"
             "  if (mode === 0) {"
             "    w.__tolvarineSeen = true;"
             "    if (!w.__tolvarineWatch) {"
             "      w.__tolvarineWatch = new MutationObserver(function () {"
             "        w.__tolvarineChanged = true;"
             "      });"
             "      w.__tolvarineWatch.observe(document, { subtree: true, childList: true,"
             "                                             characterData: true, attributes: true });"
             "    }"
             "  }"
             "  w.__tolvarineChanged = false;"
             "  var body = document.body;"
             "  return { fresh: fresh, body: !!body, location: String(location.href),"
             "           links: Array.from(document.links, function (a) { return String(a.href); }),"
             "           text: body ? String(body.outerText) : '',"
             "           html: body ? String(body.outerHTML) : ''%2 };"
             "})(%1)")
      .arg(m)
      .arg(structured ? QStringLiteral(", head: document.head ? String(document.head.outerHTML) : '',"
                                       " data: ") +
                            StructuredDataScript()
                      : QString());
}

SnapshotAnswer ReadSnapshotAnswer(const QVariant& result) {
  SnapshotAnswer answer;
  if (result.typeId() == QMetaType::QString) {
    const QString word = result.toString();
    if (word == QLatin1String("unchanged")) answer.kind = SnapshotAnswer::Kind::Unchanged;
    if (word == QLatin1String("unwatched")) answer.kind = SnapshotAnswer::Kind::Unwatched;
    return answer;
  }
  if (result.typeId() != QMetaType::QVariantMap) return answer;
  const QVariantMap map = result.toMap();
  auto snapshot = std::make_shared<PageSnapshot>();
  snapshot->fresh = map.value(QStringLiteral("fresh")).toBool();
  snapshot->hasBody = map.value(QStringLiteral("body")).toBool();
  snapshot->location = map.value(QStringLiteral("location")).toString().toStdString();
  const QVariantList links = map.value(QStringLiteral("links")).toList();
  snapshot->links.reserve(static_cast<std::size_t>(links.size()));
  for (const QVariant& link : links) snapshot->links.push_back(ToGbk(link.toString()));
  snapshot->outerText = ToGbk(map.value(QStringLiteral("text")).toString());
  snapshot->outerHtml = ToGbk(map.value(QStringLiteral("html")).toString());
  snapshot->headHtml = ToGbk(map.value(QStringLiteral("head")).toString());
  const StructuredTexts texts = ReadStructuredTexts(map.value(QStringLiteral("data")));
  for (const QString& text : texts.structured) snapshot->structuredTelephones.push_back(ToGbk(text));
  for (const QString& text : texts.tel) snapshot->telTargets.push_back(ToGbk(text));
  answer.kind = SnapshotAnswer::Kind::Copy;
  answer.snapshot = std::move(snapshot);
  return answer;
}

}  // namespace tolvarine
