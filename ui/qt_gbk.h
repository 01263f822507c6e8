#pragma once
// QString <-> GBK at the edge between the widgets and browser and the texts below them.
#include <QString>
#include <string>
#include <string_view>

#include "base/gbk.h"

namespace tolvarine {

inline QString FromGbk(std::string_view gbk) {
  const std::u16string text = GbkToUtf16(gbk);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Characters GBK cannot hold become "?".
inline std::string ToGbk(const QString& text) {
  return Utf16ToGbk(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                        static_cast<std::size_t>(text.size())));
}

}  // namespace tolvarine
