// A site's robots.txt as RFC 9309 reads it: the group that names our product
// token (or else the "*" group), its allow and disallow rules, and the answer
// to "may this path be fetched". Pure text work; fetching the file is the
// caller's, and AllowAll / DisallowAll say what a failed fetch means.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brivano {

// A robots.txt longer than this is read only this far (RFC 9309 asks crawlers
// to parse at least 500 KiB; more is not worth a contact page).
inline constexpr std::size_t kRobotsTxtReadLimit = 500 * 1024;

// A path longer than this is never fetched (no site links its contact page
// by an address of kilobytes), and so the matching of a rule never reads more.
inline constexpr std::size_t kRobotsMaxPathBytes = 2048;
// More rules than this in the group that applies, and the site is not visited.
inline constexpr std::size_t kRobotsMaxRules = 1000;

class RobotsRules {
 public:
  struct Rule {
    bool allow = false;
    // Percent-encoding normalised (see the .cpp); may hold '*' and a final '$'.
    std::string pattern{};
    // The pattern's length as the file writes it, runs of '*' and all: the
    // longest rule decides.
    std::size_t length = 0;
  };

  // No rules: everything may be fetched (a 404 or another 4xx answer).
  static RobotsRules AllowAll() { return RobotsRules(); }
  // Nothing may be fetched (a 5xx answer or an unreachable site).
  static RobotsRules DisallowAll();

  // pathAndQuery starts with "/", e.g. "/lianxi/index.html?id=3". The
  // longest matching rule decides, allow winning a tie; no match allows. A
  // path longer than kRobotsMaxPathBytes is refused. The cost is linear in
  // the path and in the rules.
  bool Allows(std::string_view pathAndQuery) const;

  const std::vector<Rule>& rules() const { return rules_; }

 private:
  friend RobotsRules ParseRobotsTxt(std::string_view content, std::string_view productToken);
  std::vector<Rule> rules_{};
};

// The rules for productToken (e.g. "brivano"); the "*" group's when no group
// names it; none when neither exists.
RobotsRules ParseRobotsTxt(std::string_view content, std::string_view productToken);

}  // namespace brivano
