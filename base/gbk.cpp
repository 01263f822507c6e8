#include "base/gbk.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include "base/errors.h"

namespace tolvarine {

namespace {

// One GBK converter per thread: ICU converters are stateful and not thread-safe.
class ThreadConverter {
 public:
  ThreadConverter() {
    UErrorCode err = U_ZERO_ERROR;
    cnv_ = ucnv_open("GBK", &err);
    if (U_FAILURE(err)) throw TextConversionError("The GBK converter is not available");
    ucnv_setSubstChars(cnv_, "?", 1, &err);
  }
  ~ThreadConverter() { ucnv_close(cnv_); }
  ThreadConverter(const ThreadConverter&) = delete;
  ThreadConverter& operator=(const ThreadConverter&) = delete;

  UConverter* get() {
    ucnv_reset(cnv_);
    return cnv_;
  }

 private:
  UConverter* cnv_ = nullptr;
};

UConverter* Converter() {
  thread_local ThreadConverter converter;
  return converter.get();
}

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

std::u16string Utf8ToUtf16(std::string_view utf8) {
  if (utf8.empty()) return {};
  std::u16string out(utf8.size(), u'\0');  // never more UTF-16 units than UTF-8 bytes
  int32_t length = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                       &length, utf8.data(), static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr,
                       &err);
  if (U_FAILURE(err)) throw TextConversionError("UTF-8 conversion failed");
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  if (text.empty()) return {};
  std::string out(text.size() * 3, '\0');  // a UTF-16 unit needs at most 3 UTF-8 bytes
  int32_t length = 0;
  UErrorCode err = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length,
                     reinterpret_cast<const UChar*>(text.data()),
                     static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &err);
  if (U_FAILURE(err)) throw TextConversionError("UTF-8 conversion failed");
  out.resize(static_cast<std::size_t>(length));
  return out;
}

}  // namespace

std::string Utf16ToGbk(std::u16string_view text) {
  if (text.empty()) return {};
  UConverter* cnv = Converter();
  std::string out(text.size() * static_cast<std::size_t>(ucnv_getMaxCharSize(cnv)), '\0');
  UErrorCode err = U_ZERO_ERROR;
  int32_t length = ucnv_fromUChars(cnv, out.data(), static_cast<int32_t>(out.size()),
                                   reinterpret_cast<const UChar*>(text.data()),
                                   static_cast<int32_t>(text.size()), &err);
  if (U_FAILURE(err)) throw TextConversionError("GBK conversion failed");
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::u16string GbkToUtf16(std::string_view gbk) {
  if (gbk.empty()) return {};
  UConverter* cnv = Converter();
  std::u16string out(gbk.size() + 1, u'\0');  // usually one unit per byte at most
  UErrorCode err = U_ZERO_ERROR;
  int32_t length = ucnv_toUChars(cnv, reinterpret_cast<UChar*>(out.data()),
                                 static_cast<int32_t>(out.size()), gbk.data(),
                                 static_cast<int32_t>(gbk.size()), &err);
  if (err == U_BUFFER_OVERFLOW_ERROR) {
    out.assign(static_cast<std::size_t>(length) + 1, u'\0');
    err = U_ZERO_ERROR;
    cnv = Converter();
    length = ucnv_toUChars(cnv, reinterpret_cast<UChar*>(out.data()),
                           static_cast<int32_t>(out.size()), gbk.data(),
                           static_cast<int32_t>(gbk.size()), &err);
  }
  if (U_FAILURE(err)) throw TextConversionError("GBK conversion failed");
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::string Utf8ToGbk(std::string_view utf8) { return Utf16ToGbk(Utf8ToUtf16(utf8)); }

std::string GbkToUtf8(std::string_view gbk) { return Utf16ToUtf8(GbkToUtf16(gbk)); }

bool IsValidGbk(std::string_view gbk) {
  // The code page reads 0x00..0x80 and 0xFF as single bytes (0x80 is the euro sign, 0xFF a
  // private-use character); 0x81..0xFE lead a pair and need a trail byte.
  for (std::size_t i = 0; i < gbk.size(); ++i) {
    auto c = static_cast<unsigned char>(gbk[i]);
    if (!IsLeadByte(c)) continue;
    if (i + 1 >= gbk.size() || !IsTrailByte(static_cast<unsigned char>(gbk[i + 1]))) return false;
    ++i;
  }
  return true;
}

std::string LowerAsciiGbk(std::string_view gbk) {
  std::string out(gbk);
  for (std::size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(c)) {
      if (i + 1 < out.size() && IsTrailByte(static_cast<unsigned char>(out[i + 1]))) ++i;
    } else if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c + ('a' - 'A'));
    }
  }
  return out;
}

}  // namespace tolvarine
