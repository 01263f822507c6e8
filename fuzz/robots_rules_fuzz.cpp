// robots.txt rules: the pattern matcher against a table model of its rules (so a pattern
// full of "*" must neither blow up nor answer wrongly), and the stored text form read back
// to the same rules and answers.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/robots_rules.h"
#include "fuzz/fuzz_support.h"

namespace {

using tolvarine::fuzz::AsText;

// matches[j] tells whether the pattern read so far matches path[0, j).
bool ModelMatches(std::string_view pattern, std::string_view path) {
  const bool anchored = pattern.ends_with('$');
  if (anchored) pattern.remove_suffix(1);
  std::vector<bool> matches(path.size() + 1, false);
  matches[0] = true;
  for (const char c : pattern) {
    std::vector<bool> next(path.size() + 1, false);
    for (std::size_t j = 0; j <= path.size(); ++j) {
      if (c == '*')
        next[j] = matches[j] || (j > 0 && next[j - 1]);
      else
        next[j] = j > 0 && matches[j - 1] && path[j - 1] == c;
    }
    matches.swap(next);
  }
  if (anchored) return matches[path.size()];
  for (const bool m : matches)
    if (m) return true;
  return false;
}

}  // namespace

// Input: parts separated by 0x1E 0x1E: the robots.txt body, a path, then a pattern matched
// straight against the path.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> parts = tolvarine::fuzz::SplitParts(AsText(data, size), 3);
  const std::string_view body = parts[0];
  const std::string path = "/" + std::string(parts.size() > 1 ? parts[1] : "");

  if (parts.size() > 2 && parts[2].size() * path.size() <= 4'000'000)
    FUZZ_CHECK(tolvarine::MatchesRobotsPattern(parts[2], path) == ModelMatches(parts[2], path));

  const tolvarine::RobotsRules rules = tolvarine::RobotsRules::Parse(body, "Tolvarine");
  const bool allowed = rules.Allowed(path);
  FUZZ_CHECK(rules.Allowed("/robots.txt"));

  const std::string stored = rules.Serialized();
  const tolvarine::RobotsRules again = tolvarine::RobotsRules::Parse(stored, "Other-Bot");
  FUZZ_CHECK(again == rules);
  FUZZ_CHECK(again.Allowed(path) == allowed);
  FUZZ_CHECK(again.Serialized() == stored);
  return 0;
}
