// Line splitting against a model of its rules; the copying and the viewing forms agree.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/line_split.h"
#include "fuzz/fuzz_support.h"

namespace {

using tolvarine::fuzz::AsText;

// A line runs to the next CR, LF or NUL; then one CR and one LF are skipped; splitting
// stops where a line would begin at a NUL or at the end.
std::vector<std::string> ModelLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < text.size() && text[i] != '\0') {
    std::string line;
    while (i < text.size() && text[i] != '\r' && text[i] != '\n' && text[i] != '\0')
      line.push_back(text[i++]);
    lines.push_back(line);
    if (i < text.size() && text[i] == '\r') ++i;
    if (i < text.size() && text[i] == '\n') ++i;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = AsText(data, size);
  const std::vector<std::string> want = ModelLines(text);
  const std::vector<std::string> copies = tolvarine::SplitLines(text);
  const std::vector<std::string_view> views = tolvarine::SplitLineViews(text);

  FUZZ_CHECK(copies == want);
  FUZZ_CHECK(views.size() == want.size());
  for (std::size_t k = 0; k < views.size(); ++k) {
    FUZZ_CHECK(views[k] == want[k]);
    // Views point into the text, in order, without overlapping.
    FUZZ_CHECK(views[k].data() >= text.data());
    FUZZ_CHECK(views[k].data() + views[k].size() <= text.data() + text.size());
    if (k > 0) FUZZ_CHECK(views[k].data() > views[k - 1].data() + views[k - 1].size());
  }
  return 0;
}
