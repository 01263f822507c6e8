#pragma once
// What one host's robots.txt lets the crawler load (RFC 9309): parsing the file for one
// product token, matching paths against its rules, and a text form for storage.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tolvarine {

// Whether a rule pattern matches a path, both already in one octet form: "*" matches any
// run of characters, a final "$" anchors the end, otherwise the pattern matches a prefix.
// Iterative, O(pattern x path) at worst however many "*" the pattern holds.
bool MatchesRobotsPattern(std::string_view pattern, std::string_view path);

class RobotsRules {
 public:
  static RobotsRules AllowAll();
  static RobotsRules DisallowAll();

  // Parses a robots.txt body (its first 500 KiB) for the crawler's product token (e.g.
  // "Tolvarine"): the groups whose user-agent line matches the token (case-insensitive;
  // several matching groups are combined), else the "*" groups, else no rule (allow all).
  static RobotsRules Parse(std::string_view body, std::string_view productToken);

  // From the HTTP answer to /robots.txt after redirects: 2xx parses the body; 4xx (and 3xx
  // left unresolved) allows all; 5xx, 429 (the server asks for fewer requests) or 0
  // (unreachable / no answer) disallows all.
  static RobotsRules FromAnswer(int httpStatus, std::string_view body,
                                std::string_view productToken);

  // Whether a path (path plus "?query", as in the address, starting with "/") may be loaded:
  // the longest matching rule wins, Allow wins a tie, no matching rule allows.
  // "/robots.txt" is always allowed. Pattern and path are compared with percent-encoding
  // normalised (unreserved characters decoded, other escapes in upper-case hex).
  bool Allowed(std::string_view pathAndQuery) const;

  // For storage: the rules in robots.txt form ("user-agent: *" and the rule lines), which
  // Parse reads back to the same rules for any product token.
  std::string Serialized() const;

  // The Crawl-delay of the group that applies, in ms (0: none; at most a day).
  int CrawlDelayMs() const { return crawlDelayMs_; }

  // The addresses of the file's Sitemap lines, as written (at most kMostSitemaps).
  const std::vector<std::string>& Sitemaps() const { return sitemaps_; }
  static constexpr std::size_t kMostSitemaps = 50;

  bool operator==(const RobotsRules&) const = default;

 private:
  struct Rule {
    std::string pattern;  // normalised, starting with "/" or "*"
    bool allow = false;
    bool operator==(const Rule&) const = default;
  };
  std::vector<Rule> rules_;
  int crawlDelayMs_ = 0;
  std::vector<std::string> sitemaps_;
};

}  // namespace tolvarine
