#pragma once
// Locale-aware comparison that ignores letter case, for the user's locale (from the
// environment). Under the C or POSIX locale ICU's root collation is used, so that texts
// differing only in letter case still compare equal.
#include <memory>
#include <string>
#include <string_view>

namespace tolvarine {

class CaseIgnoringCollator {
 public:
  // locale: an ICU locale name; empty takes the user's locale from the environment.
  explicit CaseIgnoringCollator(const std::string& locale = {});
  ~CaseIgnoringCollator();
  CaseIgnoringCollator(const CaseIgnoringCollator&) = delete;
  CaseIgnoringCollator& operator=(const CaseIgnoringCollator&) = delete;

  // Compares two GBK texts: negative, 0 or positive.
  int Compare(std::string_view a, std::string_view b) const;
  // A byte key of a GBK text: keys compare (as bytes) as the texts compare, and texts that
  // compare equal have equal keys.
  std::string SortKey(std::string_view gbk) const;
  // The ICU locale actually used.
  std::string LocaleName() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A shared collator for the user's locale, created on first use.
const CaseIgnoringCollator& UserCollator();

}  // namespace tolvarine
