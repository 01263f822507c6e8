#pragma once
// What a walk is set to do: the six options, the extra options, the speed, the three rule
// lists and the URL list file. The controller owns one value; the window pushes each edit
// into it as it happens, the command line fills it from its flags, and the progress file,
// the three list files and the extra options file are read into it and written from it.
// The defaults live here (the extra options' in extra_options_file.h) and nowhere else.
#include <array>
#include <string>
#include <vector>

#include "engine/extra_options_file.h"

namespace tolvarine {

// The speed is seconds per page, kFastestSpeed..kSlowestSpeed.
inline constexpr int kFastestSpeed = 1;
inline constexpr int kSlowestSpeed = 60;
inline constexpr int kDefaultSpeed = 8;

// The prefix field's text in a new window, and the prefixes of the command line when no
// list is saved: one prefix a line.
inline constexpr char kDefaultPrefixText[] = "13\r\n15\r\n18";

enum class CrawlOption { Dedup, Autosave, SearchLinks, SearchPhones, LinkFilter, OnlySite };

// The editable rule lists (one rule per line).
enum class RuleList { Prefixes, MustContain, MustNotContain };

struct CrawlSettings {
  // All options start unticked.
  std::array<bool, 6> options{};
  // Seconds per page.
  int speed = kDefaultSpeed;
  // Each list's whole text, lines separated by CR LF, as its field and its file hold it.
  std::array<std::string, 3> rules{kDefaultPrefixText, "http://\r\n.", "$\r\n#"};
  // The URL list file's GBK name as shown in the "网址文件：" field (lowered A..Z).
  std::string listFile;
  // The options beyond the classic six (https links, formatted numbers, the report,
  // following links, places, valid numbers only), kept in their own file together with
  // the lines of that file this copy does not know.
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

// The speed within its bounds: a value outside them goes to the nearer one.
int ClampSpeed(int speed);

// The speed as counted from a field's text: text that is not a number counts as the
// fastest; values outside the bounds go to the nearer one.
int ReadSpeed(const std::string& text);

// The default prefixes, as a list.
std::vector<std::string> DefaultPrefixes();

// A comma-separated list as the command line gives it (UTF-8) as a rule field holds it:
// one GBK line per item, CR LF between them. Items are kept as given, empty ones too.
std::string RuleTextFromCommaList(const std::string& utf8Items);

}  // namespace tolvarine
