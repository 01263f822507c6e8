#pragma once
// GBK (code page 936) text helpers. The system's texts are GBK byte strings; conversion
// happens only at the edges (browser, widgets, file names), through ICU.
#include <string>
#include <string_view>

namespace tolvarine {

// UTF-16 -> GBK; characters GBK cannot hold become "?".
std::string Utf16ToGbk(std::u16string_view text);
// GBK -> UTF-16; invalid byte sequences become U+FFFD.
std::u16string GbkToUtf16(std::string_view gbk);

// UTF-8 <-> GBK, for file names and console text.
std::string Utf8ToGbk(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);

// True when every byte sequence of the text is valid GBK, as the converter reads it: bytes
// 0x00..0x80 and 0xFF stand alone (0x80 is the euro sign), 0x81..0xFE must be followed by a
// trail byte 0x40..0xFE other than 0x7F.
bool IsValidGbk(std::string_view gbk);

// Lowers the single-byte letters A..Z; the two bytes of a double-byte character stay as
// they are (a trail byte in 0x41..0x5A is not lowered).
std::string LowerAsciiGbk(std::string_view gbk);

}  // namespace tolvarine
