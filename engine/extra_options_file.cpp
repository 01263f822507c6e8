#include "engine/extra_options_file.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "base/atomic_file.h"
#include "base/line_split.h"
#include "base/number_text.h"

namespace tolvarine {
namespace {

struct Known {
  std::string_view name;
  bool ExtraOptions::*flag;
};
constexpr Known kKnown[] = {{"https", &ExtraOptions::https},
                            {"formatted", &ExtraOptions::formatted},
                            {"report", &ExtraOptions::report},
                            {"follow", &ExtraOptions::follow},
                            {"ignore-robots", &ExtraOptions::ignoreRobots},
                            {"places", &ExtraOptions::places},
                            {"valid-only", &ExtraOptions::validOnly}};
constexpr std::string_view kDepth = "depth";

}  // namespace

ExtraOptions ReadExtraOptions(const std::string& folder) {
  ExtraOptions options;
  const std::string path = folder + kExtraOptionsFileName;
  if (!FileExists(path)) return options;
  const std::string text = ReadWholeFile(path);
  for (std::string_view line : SplitLineViews(text)) {
    if (line.empty()) continue;
    const std::size_t eq = line.find('=');
    bool known = false;
    if (eq != std::string_view::npos && line.substr(0, eq) == kDepth) {
      const std::optional<std::int32_t> depth = TryStrToInt(line.substr(eq + 1));
      if (depth && *depth >= 1) options.depth = std::min(*depth, kMaxFollowDepth);
      known = true;
    }
    for (const Known& k : kKnown) {
      if (eq != std::string_view::npos && line.substr(0, eq) == k.name) {
        options.*k.flag = line.substr(eq + 1) == "1";
        known = true;
      }
    }
    if (!known) options.unknownLines.emplace_back(line);
  }
  return options;
}

void WriteExtraOptions(const std::string& folder, const ExtraOptions& options) {
  std::string text;
  for (const Known& k : kKnown) {
    text += k.name;
    text += options.*k.flag ? "=1\r\n" : "=0\r\n";
  }
  text += std::string(kDepth) + "=" + IntToStr(options.depth) + "\r\n";
  for (const std::string& line : options.unknownLines) text += line + "\r\n";
  ReplaceFileAtomically(folder + kExtraOptionsFileName, text);
}

}  // namespace tolvarine
