#pragma once
// GBK <-> QString at the edge between the engine's texts and the widgets.
#include <QString>
#include <string>

#include "base/gbk.h"

namespace tolvarine {

inline QString FromGbk(const std::string& gbk) {
  const std::u16string text = GbkToUtf16(gbk);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToGbk(const QString& text) {
  return Utf16ToGbk(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                        static_cast<size_t>(text.size())));
}

}  // namespace tolvarine
