#include "ui/web/structured_data.h"

#include <QVariantMap>

namespace tolvarine {

QString StructuredDataScript() {
  return QStringLiteral(
      "(function () {"
      "  var found = [], tel = [];"
      "  function walk(v, depth) {"
      "    if (depth > 32 || v === null || typeof v !== 'object') return;"
      "    if (Array.isArray(v)) { v.forEach(function (x) { walk(x, depth + 1); }); return; }"
      "    Object.keys(v).forEach(function (k) {"
      "      var x = v[k];"
      "      if (k === 'telephone' && (typeof x === 'string' || typeof x === 'number'))"
      "        found.push(String(x));"
      "      else if (k === 'telephone' && Array.isArray(x))"
      "        x.forEach(function (y) { if (typeof y === 'string') found.push(y); });"
      "      else walk(x, depth + 1);"
      "    });"
      "  }"
      "  var scripts = document.querySelectorAll('script[type=\"application/ld+json\"]');"
      "  for (var i = 0; i < scripts.length; ++i) {"
      "    try { walk(JSON.parse(scripts[i].textContent), 0); } catch (e) {}"
      "  }"
      "  var items = document.querySelectorAll('[itemprop~=\"telephone\"]');"
      "  for (var j = 0; j < items.length; ++j) {"
      "    var e = items[j];"
      "    found.push(e.hasAttribute('content') ? e.getAttribute('content') : e.textContent);"
      "  }"
      "  var links = document.querySelectorAll('a[href]');"
      "  for (var k = 0; k < links.length; ++k) {"
      "    var h = links[k].getAttribute('href').trim();"
      "    if (/^tel:/i.test(h)) {"
      "      try { tel.push(decodeURIComponent(h.substring(4))); } catch (e) { tel.push(h.substring(4)); }"
      "    }"
      "  }"
      "  return { structured: found, tel: tel };"
      "})()");
}

StructuredTexts ReadStructuredTexts(const QVariant& answer) {
  const QVariantMap map = answer.toMap();
  return {map.value(QStringLiteral("structured")).toStringList(),
          map.value(QStringLiteral("tel")).toStringList()};
}

}  // namespace tolvarine
