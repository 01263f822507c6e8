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
                            {"valid-only", &ExtraOptions::validOnly},
                           {"sitemaps", &ExtraOptions::sitemaps},
                           {"block-images", &ExtraOptions::blockImages},
                           {"block-fonts", &ExtraOptions::blockFonts},
                           {"block-media", &ExtraOptions::blockMedia}};
constexpr std::string_view kDepth = "depth";
constexpr std::string_view kScope = "scope";
constexpr std::string_view kMaxPages = "max-pages";
constexpr std::string_view kRetries = "retries";
constexpr std::string_view kScroll = "scroll";
constexpr std::string_view kClickMore = "click-more";
constexpr std::string_view kClickText = "click-text";
constexpr std::string_view kStructured = "structured";

// The texts of a "click-text" value: its non-empty pieces between commas.
std::vector<std::string> ClickTexts(std::string_view value) {
  std::vector<std::string> texts;
  while (!value.empty()) {
    const std::size_t comma = std::min(value.find(','), value.size());
    if (comma > 0) texts.emplace_back(value.substr(0, comma));
    value.remove_prefix(std::min(comma + 1, value.size()));
  }
  return texts;
}

// Reads a reveal or structured-data line into the options; false: none of theirs.
bool ReadRevealLine(std::string_view name, std::string_view value, ExtraOptions& options) {
  if (name == kScroll) {
    const std::optional<std::int32_t> scroll = TryStrToInt(value);
    if (scroll && *scroll >= 0) options.scroll = std::min(*scroll, kMaxScrolls);
  } else if (name == kClickMore) {
    options.clickMore = value == "1";
  } else if (name == kClickText) {
    options.clickTexts = ClickTexts(value);
  } else if (name == kStructured) {
    options.structured = value == "1";
  } else {
    return false;
  }
  return true;
}

// The reveal and structured-data lines, only for options that are on, so a file of a walk
// without them stays as it was.
std::string RevealLines(const ExtraOptions& options) {
  std::string text;
  if (options.scroll > 0) text += std::string(kScroll) + "=" + IntToStr(options.scroll) + "\r\n";
  if (options.clickMore) text += std::string(kClickMore) + "=1\r\n";
  if (!options.clickTexts.empty()) {
    text += std::string(kClickText) + "=";
    for (std::size_t i = 0; i < options.clickTexts.size(); ++i)
      text += (i > 0 ? "," : "") + options.clickTexts[i];
    text += "\r\n";
  }
  if (options.structured) text += std::string(kStructured) + "=1\r\n";
  return text;
}

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
    const std::string_view name = eq == std::string_view::npos ? "" : line.substr(0, eq);
    const std::string_view value = eq == std::string_view::npos ? "" : line.substr(eq + 1);
    if (name == kDepth) {
      const std::optional<std::int32_t> depth = TryStrToInt(value);
      if (depth && *depth >= 1) options.depth = std::min(*depth, kMaxFollowDepth);
      known = true;
    } else if (name == kScope) {
      options.scope = ScopeKindFromName(value).value_or(ScopeKind::Site);
      known = true;
    } else if (name == kMaxPages) {
      const std::optional<std::int32_t> pages = TryStrToInt(value);
      if (pages && *pages >= 1) options.maxPagesPerLine = *pages;
      known = true;
    } else if (name == kRetries) {
      const std::optional<std::int32_t> retries = TryStrToInt(value);
      if (retries && *retries >= 0) options.retries = std::min(*retries, kMaxRetries);
      known = true;
    } else if (eq != std::string_view::npos) {
      known = ReadRevealLine(name, value, options);
    }
    for (const Known& k : kKnown) {
      if (eq != std::string_view::npos && name == k.name) {
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
  text += std::string(kScope) + (options.scope == ScopeKind::Host ? "=host\r\n" : "=site\r\n");
  text += std::string(kMaxPages) + "=" + IntToStr(options.maxPagesPerLine) + "\r\n";
  text += std::string(kRetries) + "=" + IntToStr(options.retries) + "\r\n";
  text += RevealLines(options);
  for (const std::string& line : options.unknownLines) text += line + "\r\n";
  ReplaceFileAtomically(folder + kExtraOptionsFileName, text);
}

}  // namespace tolvarine
