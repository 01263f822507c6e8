#pragma once
// The telephone numbers a page states for machines rather than readers: JSON-LD
// "telephone" members at any depth (in the head as in the body), microdata
// itemprop="telephone" (its content attribute, else its text) and tel: links anywhere.
// Read by one script in the application's isolated world; the texts come as written, for
// the number scanner to read.
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tolvarine {

struct StructuredTexts {
  QStringList structured;  // JSON-LD and microdata telephones
  QStringList tel;         // tel: link targets, "tel:" left off, percent-decoded
};

QString StructuredDataScript();
// The script's answer; empty lists for anything else.
StructuredTexts ReadStructuredTexts(const QVariant& answer);

}  // namespace tolvarine
