// Merge and dedup against the plain algorithm it replaces: each line looked up by binary
// search in the sorted result and inserted where it belongs when no equal line is there.
// Lines are equal when their collation keys are, unless one is not valid GBK (then only
// the same bytes are equal). Also: the result ascends under the collator's own comparison,
// and the merged file holds exactly the result.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "base/collation.h"
#include "base/gbk.h"
#include "base/line_split.h"
#include "fuzz/fuzz_support.h"
#include "tools/merge_dedup.h"

namespace {

using tolvarine::fuzz::AsText;

const tolvarine::CaseIgnoringCollator& Collator() {
  static const tolvarine::CaseIgnoringCollator collator("zh_CN");
  return collator;
}

struct Line {
  std::string_view text;
  std::string key;
  bool valid;
};

int ModelCompare(const Line& a, const Line& b) {
  if (const int c = a.key.compare(b.key); c != 0) return c;
  if (a.valid != b.valid) return a.valid ? -1 : 1;
  if (a.valid) return 0;
  return a.text.compare(b.text);
}

std::vector<Line> ModelMerge(const std::vector<std::string>& texts) {
  std::vector<Line> result;
  for (const std::string& text : texts) {
    for (std::string_view s : tolvarine::SplitLineViews(text)) {
      Line line{s, Collator().SortKey(s), tolvarine::IsValidGbk(s)};
      const auto at = std::lower_bound(result.begin(), result.end(), line,
                                       [](const Line& a, const Line& b) { return ModelCompare(a, b) < 0; });
      if (at == result.end() || ModelCompare(*at, line) != 0) result.insert(at, std::move(line));
    }
  }
  return result;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

// Each text repeated until there are over a thousand lines (enough for the merge to share
// the work between two threads), every line of repetition r ending in r % 1500, so lines
// repeat within and across texts.
std::vector<std::string> Enlarged(const std::vector<std::string>& texts) {
  std::size_t count = 0;
  for (const std::string& text : texts) count += tolvarine::SplitLineViews(text).size();
  if (count == 0) return texts;
  const std::size_t repeats = 2400 / count + 1;
  std::vector<std::string> out;
  for (const std::string& text : texts) {
    std::string big;
    for (std::size_t r = 0; r < repeats; ++r)
      for (std::string_view line : tolvarine::SplitLineViews(text))
        big.append(line).append(std::to_string(r % 1500)).append("\n");
    out.push_back(std::move(big));
  }
  return out;
}

// Input: a flags byte, then up to four file texts separated by 0x1E 0x1E. Flag bit 0 also
// merges them as files; bit 1 merges them enlarged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t flags = data[0];
  std::vector<std::string> texts;
  for (std::string_view part : tolvarine::fuzz::SplitParts(AsText(data + 1, size - 1), 4))
    texts.emplace_back(part);
  if (flags & 2) texts = Enlarged(texts);

  const std::vector<std::string_view> got = tolvarine::DistinctSortedLines(texts, Collator());
  const std::vector<Line> want = ModelMerge(texts);
  FUZZ_CHECK(got.size() == want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    // The same bytes at the same place: the form met first.
    FUZZ_CHECK(got[i].data() == want[i].text.data() && got[i].size() == want[i].text.size());
    if (i > 0 && want[i - 1].valid && want[i].valid)
      FUZZ_CHECK(Collator().Compare(got[i - 1], got[i]) < 0);
  }

  if (flags & 1) {
    std::vector<std::string> inputs;
    for (std::size_t i = 0; i < texts.size(); ++i)
      inputs.push_back(tolvarine::fuzz::WriteScratchFile("in" + std::to_string(i), texts[i]));
    const std::string output = tolvarine::fuzz::ScratchFolder() + "merged";
    const tolvarine::MergeStats stats = tolvarine::MergeAndDedupFiles(inputs, output, Collator());
    std::string expected;
    for (const Line& line : want) expected.append(line.text).append("\r\n");
    FUZZ_CHECK(ReadFile(output) == expected);
    FUZZ_CHECK(stats.linesWritten == want.size());
  }
  return 0;
}
