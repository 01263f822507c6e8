#include "engine/robots_rules.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "base/ascii.h"
#include "base/number_text.h"

namespace tolvarine {
namespace {

// Crawlers must read at least this much of a robots.txt; the rest is left unread.
constexpr std::size_t kMaxBodyBytes = 500 * 1024;

bool IsUnreserved(char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

bool IsReserved(char c) {
  return std::string_view(":/?#[]@!$&'()*+,;=").find(c) != std::string_view::npos;
}

void AppendEscaped(std::string& out, unsigned char octet) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[octet >> 4];
  out += kHex[octet & 0xF];
}

// One octet form for patterns and paths alike: unreserved characters plain (escapes of them
// decoded), reserved characters as written (a "/" and a "%2F" stay distinct), every other
// octet escaped in upper-case hex. A "%" that starts no escape is itself escaped. Applying
// it twice changes nothing.
std::string Normalised(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
        HexDigit(text[i + 2]) >= 0) {
      const auto octet =
          static_cast<unsigned char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      if (IsUnreserved(static_cast<char>(octet)))
        out += static_cast<char>(octet);
      else
        AppendEscaped(out, octet);
      i += 2;
    } else if (IsUnreserved(c) || IsReserved(c)) {
      out += c;
    } else {
      AppendEscaped(out, static_cast<unsigned char>(c));
    }
  }
  return out;
}

std::string_view Trimmed(std::string_view s) {
  const std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The leading product-token characters (letters, "_" and "-"): "Tolvarine/1.0" -> "Tolvarine".
std::string_view ProductToken(std::string_view s) {
  std::size_t n = 0;
  while (n < s.size() && (IsAsciiLetter(s[n]) || s[n] == '_' || s[n] == '-')) ++n;
  return s.substr(0, n);
}

// The body as far as it is read: without a UTF-8 byte order mark, and when longer than the
// limit, cut after the last line end within it, so no rule is read half.
std::string_view ReadablePart(std::string_view body) {
  if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
  if (body.size() <= kMaxBodyBytes) return body;
  body = body.substr(0, kMaxBodyBytes);
  const std::size_t lastBreak = body.find_last_of("\r\n");
  return lastBreak == std::string_view::npos ? std::string_view() : body.substr(0, lastBreak + 1);
}

// A Crawl-delay value in ms: seconds, with an optional fraction ("2", "0.5"); none (-1) for
// anything else. At most a day, so no value overflows.
int DelayMs(std::string_view value) {
  constexpr std::int64_t kDayMs = 86400000;
  std::int64_t ms = 0;
  std::size_t i = 0;
  for (; i < value.size() && IsAsciiDigit(value[i]); ++i)
    ms = std::min<std::int64_t>(ms * 10 + (value[i] - '0') * 1000, kDayMs);
  if (i == 0) return -1;
  if (i < value.size() && value[i] == '.') {
    int scale = 100;
    for (++i; i < value.size() && IsAsciiDigit(value[i]); ++i, scale /= 10)
      ms += (value[i] - '0') * scale;
  }
  if (i != value.size()) return -1;
  return static_cast<int>(std::min(ms, kDayMs));
}

}  // namespace

bool MatchesRobotsPattern(std::string_view pattern, std::string_view path) {
  const bool anchored = pattern.ends_with('$');
  if (anchored) pattern.remove_suffix(1);
  // The classic glob walk: on a mismatch, only the last "*" seen takes one more character.
  // Earlier stars never need to, since the last one can absorb whatever they would.
  std::size_t p = 0;
  std::size_t s = 0;
  std::size_t starP = std::string_view::npos;
  std::size_t starS = 0;
  while (true) {
    if (p == pattern.size() && (!anchored || s == path.size())) return true;
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starS = s;
    } else if (p < pattern.size() && s < path.size() && pattern[p] == path[s]) {
      ++p;
      ++s;
    } else if (starP != std::string_view::npos && starS < path.size()) {
      p = starP + 1;
      s = ++starS;
    } else {
      return false;
    }
  }
}

RobotsRules RobotsRules::AllowAll() { return {}; }

RobotsRules RobotsRules::DisallowAll() {
  RobotsRules rules;
  rules.rules_.push_back({"/", false});
  return rules;
}

RobotsRules RobotsRules::Parse(std::string_view body, std::string_view productToken) {
  const std::string_view token = ProductToken(productToken);
  std::vector<Rule> tokenRules;
  std::vector<Rule> anyRules;
  int tokenDelay = 0;
  int anyDelay = 0;
  bool tokenGroupSeen = false;
  bool anyGroupSeen = false;
  // The group being read: whether it names the token and/or "*", and whether the last
  // user-agent or rule line was a user-agent line (so the next one joins the same group).
  bool groupForToken = false;
  bool groupForAny = false;
  bool readingAgents = false;
  std::vector<std::string> sitemaps;

  std::string_view rest = ReadablePart(body);
  while (!rest.empty()) {
    const std::size_t end = rest.find_first_of("\r\n");
    std::string_view line = rest.substr(0, end);
    if (end == std::string_view::npos) {
      rest = {};
    } else {
      rest.remove_prefix(rest.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1);
    }
    line = line.substr(0, line.find('#'));
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view key = Trimmed(line.substr(0, colon));
    const std::string_view value = Trimmed(line.substr(colon + 1));

    if (EqualsIgnoringAsciiCase(key, "user-agent")) {
      if (!readingAgents) groupForToken = groupForAny = false;
      readingAgents = true;
      const std::string_view agent = ProductToken(value);
      if (!agent.empty() && EqualsIgnoringAsciiCase(agent, token)) {
        groupForToken = tokenGroupSeen = true;
      } else if (value.starts_with('*')) {
        groupForAny = anyGroupSeen = true;
      }
    } else if (EqualsIgnoringAsciiCase(key, "allow") || EqualsIgnoringAsciiCase(key, "disallow")) {
      readingAgents = false;
      // An empty value is no rule. A value that does not start with "/" or "*" is read as
      // a path from the root, as its writer most likely meant.
      if (value.empty()) continue;
      Rule rule{Normalised(value), key.size() == 5};
      if (rule.pattern[0] != '/' && rule.pattern[0] != '*') rule.pattern.insert(0, "/");
      if (groupForToken) tokenRules.push_back(rule);
      if (groupForAny) anyRules.push_back(rule);
    } else if (EqualsIgnoringAsciiCase(key, "crawl-delay")) {
      readingAgents = false;
      const int delay = DelayMs(value);
      if (delay < 0) continue;
      if (groupForToken) tokenDelay = delay;
      if (groupForAny) anyDelay = delay;
    } else if (EqualsIgnoringAsciiCase(key, "sitemap")) {
      // Sitemap lines belong to no group; a file naming a great many keeps the first ones.
      if (!value.empty() && sitemaps.size() < kMostSitemaps) sitemaps.emplace_back(value);
    }
  }

  RobotsRules rules;
  if (tokenGroupSeen) {
    rules.rules_ = std::move(tokenRules);
    rules.crawlDelayMs_ = tokenDelay;
  } else if (anyGroupSeen) {
    rules.rules_ = std::move(anyRules);
    rules.crawlDelayMs_ = anyDelay;
  }
  rules.sitemaps_ = std::move(sitemaps);
  return rules;
}

RobotsRules RobotsRules::FromAnswer(int httpStatus, std::string_view body,
                                    std::string_view productToken) {
  if (httpStatus >= 200 && httpStatus < 300) return Parse(body, productToken);
  // 429 is the server asking for fewer requests: loading the whole site would ignore it.
  if (httpStatus == 429) return DisallowAll();
  if (httpStatus >= 300 && httpStatus < 500) return AllowAll();
  return DisallowAll();
}

bool RobotsRules::Allowed(std::string_view pathAndQuery) const {
  std::string path = Normalised(pathAndQuery);
  if (!path.starts_with('/')) path.insert(0, "/");
  if (std::string_view(path).substr(0, path.find('?')) == "/robots.txt") return true;
  bool allowed = true;
  std::size_t bestLength = 0;
  bool matched = false;
  for (const Rule& rule : rules_) {
    const std::size_t length = rule.pattern.size();
    const bool better =
        !matched || length > bestLength || (length == bestLength && rule.allow && !allowed);
    if (!better || !MatchesRobotsPattern(rule.pattern, path)) continue;
    matched = true;
    bestLength = length;
    allowed = rule.allow;
  }
  return allowed;
}

std::string RobotsRules::Serialized() const {
  std::string text = "user-agent: *\n";
  for (const Rule& rule : rules_) {
    text += rule.allow ? "allow: " : "disallow: ";
    text += rule.pattern;
    text += '\n';
  }
  if (crawlDelayMs_ > 0) {
    const std::string fraction = IntToStr(1000 + crawlDelayMs_ % 1000).substr(1);
    text += "crawl-delay: " + IntToStr(crawlDelayMs_ / 1000) + "." + fraction + "\n";
  }
  for (const std::string& sitemap : sitemaps_) text += "sitemap: " + sitemap + "\n";
  return text;
}

}  // namespace tolvarine
