#pragma once
// The pane's copy of its page: what the harvesters read of one document, taken by one
// script call in the application's isolated world, and the PageDocument that reads
// whichever copy is current.
#include <QString>
#include <QVariant>
#include <memory>
#include <string>
#include <vector>

#include "engine/page_browser.h"

namespace tolvarine {

struct PageSnapshot {
  bool fresh = false;  // the document had not been copied at a load's end before
  bool hasBody = false;
  std::string location;  // the document's own address, UTF-8
  std::vector<std::string> links;  // absolute, GBK
  std::string outerText;           // GBK
  std::string outerHtml;           // GBK
  // Read only when asked for (see SnapshotScript), GBK.
  std::string headHtml;
  std::vector<std::string> structuredTelephones;
  std::vector<std::string> telTargets;
};

// Reads whichever copy is current; lives as long as the pane, so the pointer handed out by
// Document() never dangles.
class SnapshotDocument : public PageDocument {
 public:
  void Set(std::shared_ptr<const PageSnapshot> snapshot) { snapshot_ = std::move(snapshot); }
  bool Empty() const { return !snapshot_; }

  int LinksLength() override;
  std::string LinkItem(int index) override;
  std::string BodyOuterText() override;
  std::string BodyOuterHtml() override;
  std::string HeadOuterHtml() override;
  std::vector<std::string> StructuredTelephones() override;
  std::vector<std::string> TelTargets() override;

 private:
  const PageSnapshot& Copy() const;
  const PageSnapshot& Body() const;
  std::shared_ptr<const PageSnapshot> snapshot_;
};

enum class SnapshotMode {
  // At a load's end: copy, mark the document as copied, and start watching it for changes.
  LoadEnd,
  // Copy whatever the page holds now.
  Always,
  // Copy only when the watched document changed since the last copy.
  IfChanged,
};

// With structured, the copy also holds the head's markup and the structured texts
// (StructuredDataScript), read in the same call.
QString SnapshotScript(SnapshotMode mode, bool structured = false);

struct SnapshotAnswer {
  enum class Kind {
    Copy,       // snapshot holds the page as it stands
    Unchanged,  // IfChanged: nothing changed since the last copy
    Unwatched,  // IfChanged: the page shows a document nobody watches (a newer one)
    Nothing,    // no answer (the page went away, or the script gave nothing)
  };
  Kind kind = Kind::Nothing;
  std::shared_ptr<PageSnapshot> snapshot;
};

SnapshotAnswer ReadSnapshotAnswer(const QVariant& result);

}  // namespace tolvarine
