#pragma once
// QString <-> GBK at the edge between the widgets and the logic below them.
#include <string>
#include <string_view>

#include <QString>

#include "base/gbk.h"

namespace tolvarine {

inline std::string QStringToGbk(const QString& text) {
  return Utf16ToGbk(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                        static_cast<std::size_t>(text.size())));
}

inline QString GbkToQString(std::string_view gbk) {
  const std::u16string utf16 = GbkToUtf16(gbk);
  return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

}  // namespace tolvarine
