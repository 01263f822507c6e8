#include "base/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/gbk.h"
#include "env_var.h"

namespace tolvarine {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

using testing::EnvVar;

int Sign(const std::string& a, const std::string& b) { return Sign(a.compare(b)); }

TEST(Collation, CaseIgnoredUnderTheCLocale) {
  EnvVar all("LC_ALL", "C");
  CaseIgnoringCollator collator;
  EXPECT_EQ(collator.LocaleName(), "root");
  EXPECT_EQ(collator.Compare("HTTP://WWW.A.COM/", "http://www.a.com/"), 0);
  EXPECT_EQ(collator.Compare("abc", "ABD"), -1);
  EXPECT_EQ(collator.Compare("b", "A"), 1);
  EXPECT_EQ(collator.Compare("", ""), 0);
  EXPECT_EQ(collator.Compare("", "a"), -1);
  EXPECT_EQ(collator.Compare("a", "ab"), -1);
  EXPECT_NE(collator.Compare("a1", "a2"), 0);
  // Accents still count (only case is ignored).
  EXPECT_NE(collator.Compare(Utf8ToGbk("é"), "e"), 0);
  // Chinese text compares equal only to itself.
  std::string wangzhi = Utf8ToGbk("网址"), shouji = Utf8ToGbk("手机");
  EXPECT_EQ(collator.Compare(wangzhi + "A", wangzhi + "a"), 0);
  EXPECT_NE(collator.Compare(wangzhi, shouji), 0);
}

TEST(Collation, LocaleComesFromTheEnvironment) {
  {
    EnvVar all("LC_ALL", nullptr);
    EnvVar collate("LC_COLLATE", "POSIX");
    EnvVar lang("LANG", "de_DE.UTF-8");
    EXPECT_EQ(CaseIgnoringCollator().LocaleName(), "root");
  }
  {
    EnvVar all("LC_ALL", nullptr);
    EnvVar collate("LC_COLLATE", nullptr);
    EnvVar lang("LANG", "zh_CN.UTF-8");
    EXPECT_EQ(CaseIgnoringCollator().LocaleName().substr(0, 2), "zh");
  }
  EXPECT_EQ(CaseIgnoringCollator("C").LocaleName(), "root");
}

TEST(Collation, ChineseLocaleIgnoresCaseAndOrdersByPinyin) {
  CaseIgnoringCollator collator("zh_CN");
  EXPECT_EQ(collator.Compare("Mobile", "MOBILE"), 0);
  // Pinyin order: "啊" (a) before "博" (bo) before "中" (zhong), unlike their code points.
  std::string a = Utf8ToGbk("啊"), bo = Utf8ToGbk("博"), zhong = Utf8ToGbk("中");
  EXPECT_EQ(collator.Compare(a, bo), -1);
  EXPECT_EQ(collator.Compare(zhong, bo), 1);
}

TEST(Collation, SortKeysAgreeWithCompare) {
  for (const char* locale : {"", "C", "zh_CN", "en_US"}) {
    SCOPED_TRACE(locale);
    CaseIgnoringCollator collator(locale);
    std::vector<std::string> texts = {
        "",  "a", "A", "ab", "AB", "b", "B1", "b1", "http://x.cn/1", "HTTP://X.CN/1",
        "13800138000", "138", "-", "a-b", "a b", Utf8ToGbk("网址"), Utf8ToGbk("网址A"),
        Utf8ToGbk("网址a"), Utf8ToGbk("手机"), Utf8ToGbk("中"), "\xB0\x41", "\x81"};
    for (const auto& x : texts) {
      for (const auto& y : texts) {
        SCOPED_TRACE(::testing::PrintToString(x) + " vs " + ::testing::PrintToString(y));
        int compared = collator.Compare(x, y);
        EXPECT_EQ(Sign(collator.SortKey(x), collator.SortKey(y)), compared);
        EXPECT_EQ(collator.Compare(y, x), -compared);
      }
    }
    // A long text needs a key longer than the first guess.
    std::string longText(5000, 'Q');
    EXPECT_EQ(collator.SortKey(longText), collator.SortKey(std::string(5000, 'q')));
  }
}

TEST(Collation, UserCollatorIsShared) {
  EXPECT_EQ(&UserCollator(), &UserCollator());
  EXPECT_EQ(UserCollator().Compare("Www", "wWW"), 0);
}

}  // namespace
}  // namespace tolvarine
