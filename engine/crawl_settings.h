#pragma once
// What a walk is set to do: the six options, the two extra ones, the speed, the three rule
// lists and the URL list file. The controller owns one value; the window pushes each edit into it as it
// happens, the command line fills it from its flags, and the progress file and the three
// list files are read into it and written from it. The defaults live here and nowhere else.
#include <array>
#include <string>

#include "engine/extra_options_file.h"

namespace tolvarine {

enum class CrawlOption { Dedup, Autosave, SearchLinks, SearchPhones, LinkFilter, OnlySite };

// The editable rule lists (one rule per line).
enum class RuleList { Prefixes, MustContain, MustNotContain };

struct CrawlSettings {
  // All options start unticked.
  std::array<bool, 6> options{};
  // Seconds per page, 1..60.
  int speed = 8;
  // Each list's whole text, lines separated by CR LF, as its field and its file hold it.
  std::array<std::string, 3> rules{"13\r\n15\r\n18", "http://\r\n.", "$\r\n#"};
  // The URL list file's GBK name as shown in the "网址文件：" field (lowered A..Z).
  std::string listFile;
  // "https" links and numbers as people write them; kept in their own file, all off by
  // default, together with the lines of that file this copy does not know.
  ExtraOptions extra;

  bool Option(CrawlOption option) const { return options[static_cast<std::size_t>(option)]; }
  void SetOption(CrawlOption option, bool ticked) {
    options[static_cast<std::size_t>(option)] = ticked;
  }
  const std::string& Rules(RuleList list) const { return rules[static_cast<std::size_t>(list)]; }
  void SetRules(RuleList list, std::string text) {
    rules[static_cast<std::size_t>(list)] = std::move(text);
  }

  bool operator==(const CrawlSettings&) const = default;
};

// The speed as counted from a field's text: text that is not a number counts as 1; values
// outside 1..60 go to the nearer bound.
int ReadSpeed(const std::string& text);

}  // namespace tolvarine
