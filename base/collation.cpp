#include "base/collation.h"

#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include "base/errors.h"
#include "base/gbk.h"
#include "base/platform/process.h"

namespace tolvarine {

namespace {

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

struct CaseIgnoringCollator::Impl {
  UCollator* collator = nullptr;
  std::string locale;
  ~Impl() {
    if (collator) ucol_close(collator);
  }
};

CaseIgnoringCollator::CaseIgnoringCollator(const std::string& locale)
    : impl_(std::make_unique<Impl>()) {
  std::string name = locale.empty() ? platform::UserCollationLocale() : locale;
  // ICU reads C and POSIX as en_US_POSIX, whose tailoring sorts case as a primary
  // difference; the root collation keeps "A" and "a" equal at secondary strength.
  if (name == "C" || name == "POSIX") name.clear();
  UErrorCode err = U_ZERO_ERROR;
  impl_->collator = ucol_open(name.c_str(), &err);
  if (U_FAILURE(err)) {
    err = U_ZERO_ERROR;
    name.clear();
    impl_->collator = ucol_open("", &err);
    if (U_FAILURE(err)) throw CollationError("No collation is available");
  }
  ucol_setStrength(impl_->collator, UCOL_SECONDARY);
  err = U_ZERO_ERROR;
  const char* actual = ucol_getLocaleByType(impl_->collator, ULOC_ACTUAL_LOCALE, &err);
  impl_->locale = (U_SUCCESS(err) && actual) ? actual : name;
}

CaseIgnoringCollator::~CaseIgnoringCollator() = default;

int CaseIgnoringCollator::Compare(std::string_view a, std::string_view b) const {
  UCollationResult result;
  if (IsAscii(a) && IsAscii(b)) {
    // ASCII is the same in GBK and UTF-8: no conversion needed.
    UErrorCode err = U_ZERO_ERROR;
    result = ucol_strcollUTF8(impl_->collator, a.data(), static_cast<int32_t>(a.size()), b.data(),
                              static_cast<int32_t>(b.size()), &err);
    if (U_FAILURE(err)) throw CollationError("Text comparison failed");
  } else {
    std::u16string ua = GbkToUtf16(a);
    std::u16string ub = GbkToUtf16(b);
    result = ucol_strcoll(impl_->collator, reinterpret_cast<const UChar*>(ua.data()),
                          static_cast<int32_t>(ua.size()),
                          reinterpret_cast<const UChar*>(ub.data()),
                          static_cast<int32_t>(ub.size()));
  }
  return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
}

std::string CaseIgnoringCollator::SortKey(std::string_view gbk) const {
  std::u16string text = GbkToUtf16(gbk);
  const auto* chars = reinterpret_cast<const UChar*>(text.data());
  const auto length = static_cast<int32_t>(text.size());
  std::string key(text.size() * 4 + 16, '\0');
  int32_t size = ucol_getSortKey(impl_->collator, chars, length,
                                 reinterpret_cast<uint8_t*>(key.data()),
                                 static_cast<int32_t>(key.size()));
  if (size > static_cast<int32_t>(key.size())) {
    key.assign(static_cast<std::size_t>(size), '\0');
    size = ucol_getSortKey(impl_->collator, chars, length, reinterpret_cast<uint8_t*>(key.data()),
                           size);
  }
  if (size <= 0) throw CollationError("Sort key failed");
  key.resize(static_cast<std::size_t>(size) - 1);  // without the terminating zero byte
  return key;
}

std::string CaseIgnoringCollator::LocaleName() const { return impl_->locale; }

const CaseIgnoringCollator& UserCollator() {
  static const CaseIgnoringCollator collator;
  return collator;
}

}  // namespace tolvarine
