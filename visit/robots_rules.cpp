#include "visit/robots_rules.h"

#include <string.h>

#include <algorithm>

#include "base/percent_encoding.h"
#include "base/text_search.h"

namespace brivano {
namespace {

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

// Rules and paths are compared in one form so that "/%E8%81%94" in the file
// matches a raw UTF-8 path, "%e8" matches "%E8" and "%7E" matches "~":
// escapes get upper-case hex, escaped unreserved characters are decoded and
// bytes outside ASCII are escaped. Many Chinese sites write raw UTF-8 (or GBK)
// paths into robots.txt, and the same rule applied to both sides keeps them
// comparable whatever the encoding.
std::string Normalise(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (const int escaped = PercentEscapeAt(s, i); escaped >= 0) {
      const auto decoded = static_cast<unsigned char>(escaped);
      if (IsUnreserved(decoded)) {
        out += static_cast<char>(decoded);
      } else {
        AppendPercentEscape(out, decoded);
      }
      i += 2;
    } else if (c >= 0x80) {
      AppendPercentEscape(out, c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// Whether pattern matches a prefix of path; '*' stands for any run of bytes
// and a final '$' pins the end. The literal pieces between the stars are
// taken leftmost first, each found with glibc's memmem (two-way, linear), so a
// match costs the path's length plus the pattern's: leftmost placement leaves
// the most room to every later piece, so it never misses a match.
bool Matches(std::string_view pattern, std::string_view path) {
  const bool anchored = !pattern.empty() && pattern.back() == '$';
  if (anchored) pattern.remove_suffix(1);
  const std::size_t firstStar = pattern.find('*');
  const std::string_view head = pattern.substr(0, firstStar);
  if (!path.starts_with(head)) return false;
  if (firstStar == std::string_view::npos) return !anchored || path.size() == head.size();
  std::size_t at = head.size();
  std::string_view rest = pattern.substr(firstStar + 1);
  for (;;) {
    const std::size_t star = rest.find('*');
    const std::string_view piece = rest.substr(0, star);
    if (star == std::string_view::npos) {
      // The last piece: anywhere behind `at`, or, pinned, at the very end.
      if (anchored) return path.size() - at >= piece.size() && path.ends_with(piece);
      if (piece.empty()) return true;
      return memmem(path.data() + at, path.size() - at, piece.data(), piece.size()) != nullptr;
    }
    if (!piece.empty()) {
      const void* found = memmem(path.data() + at, path.size() - at, piece.data(), piece.size());
      if (found == nullptr) return false;
      at = static_cast<std::size_t>(static_cast<const char*>(found) - path.data()) + piece.size();
    }
    rest.remove_prefix(star + 1);
  }
}

// A run of '*' matches what one does: "/a***b" is "/a*b". Collapsed when a rule
// is read, so a file of stars costs its length once and never again.
std::string CollapseStars(std::string pattern) {
  pattern.erase(std::unique(pattern.begin(), pattern.end(),
                            [](char a, char b) { return a == '*' && b == '*'; }),
                pattern.end());
  return pattern;
}

// Bytes of a rule that a path must hold: all but its stars and a final '$'.
std::size_t LiteralBytes(std::string_view pattern) {
  if (pattern.ends_with('$')) pattern.remove_suffix(1);
  return pattern.size() - static_cast<std::size_t>(std::count(pattern.begin(), pattern.end(), '*'));
}

// The product token a user-agent line names: its leading run of letters, '_'
// and '-', so "Brivano/2.1" and "brivano (+https://...)" both name "brivano".
std::string_view ProductToken(std::string_view value) {
  std::size_t n = 0;
  while (n < value.size()) {
    const char c = value[n];
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '-')) break;
    ++n;
  }
  return value.substr(0, n);
}

}  // namespace

RobotsRules RobotsRules::DisallowAll() {
  RobotsRules rules;
  rules.rules_.push_back({.allow = false, .pattern = "/", .length = 1});
  return rules;
}

bool RobotsRules::Allows(std::string_view pathAndQuery) const {
  if (pathAndQuery.size() > kRobotsMaxPathBytes) return false;
  const std::string path = Normalise(pathAndQuery.empty() ? std::string_view("/") : pathAndQuery);
  if (path == "/robots.txt") return true;
  std::size_t bestLength = 0;
  bool allowed = true;
  bool matched = false;
  for (const Rule& rule : rules_) {
    if (!Matches(rule.pattern, path)) continue;
    const std::size_t length = rule.length;
    if (!matched || length > bestLength || (length == bestLength && rule.allow && !allowed)) {
      bestLength = length;
      allowed = rule.allow;
      matched = true;
    }
  }
  return allowed;
}

RobotsRules ParseRobotsTxt(std::string_view content, std::string_view productToken) {
  if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);
  if (content.size() > kRobotsTxtReadLimit) {
    // A line cut at the limit could turn "Disallow: /private" into
    // "Disallow: /", so the partial last line is dropped with the rest.
    content = content.substr(0, kRobotsTxtReadLimit);
    const std::size_t end = content.find_last_of("\r\n");
    content = end == std::string_view::npos ? std::string_view() : content.substr(0, end);
  }

  std::vector<RobotsRules::Rule> ours, star;
  bool groupIsOurs = false, groupIsStar = false;
  bool inAgentLines = false;  // the last meaningful line was a user-agent line
  bool sawOurs = false, sawStar = false;

  while (!content.empty()) {
    const std::size_t end = content.find_first_of("\r\n");
    std::string_view line = content.substr(0, end);
    content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
    line = line.substr(0, line.find('#'));
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, colon));
    const std::string_view value = Trim(line.substr(colon + 1));

    if (EqualsIgnoringAsciiCase(key, "user-agent")) {
      // User-agent lines after rules start a new group; in a row they share one.
      if (!inAgentLines) groupIsOurs = groupIsStar = false;
      inAgentLines = true;
      if (value == "*") {
        groupIsStar = sawStar = true;
      } else if (!productToken.empty() &&
                 EqualsIgnoringAsciiCase(ProductToken(value), productToken)) {
        groupIsOurs = sawOurs = true;
      }
      continue;
    }
    const bool allow = EqualsIgnoringAsciiCase(key, "allow");
    if (!allow && !EqualsIgnoringAsciiCase(key, "disallow")) continue;  // sitemap, crawl-delay, ...
    inAgentLines = false;
    // An empty rule matches nothing: "Disallow:" alone allows everything.
    if (value.empty()) continue;
    std::string pattern = Normalise(value);
    const std::size_t length = pattern.size();
    RobotsRules::Rule rule{
        .allow = allow, .pattern = CollapseStars(std::move(pattern)), .length = length};
    // No path short enough to be asked about can match a rule this long.
    if (LiteralBytes(rule.pattern) > kRobotsMaxPathBytes * 3) continue;
    if (groupIsOurs) ours.push_back(rule);
    if (groupIsStar) star.push_back(std::move(rule));
  }

  RobotsRules result;
  // Several groups naming the same agent count as one (RFC 9309 2.2.1).
  if (sawOurs) {
    result.rules_ = std::move(ours);
  } else if (sawStar) {
    result.rules_ = std::move(star);
  }
  // Real sites write tens or hundreds of rules. A group of many thousands
  // would make every question cost that many matches: such a site is left
  // alone rather than half obeyed.
  if (result.rules_.size() > kRobotsMaxRules) return RobotsRules::DisallowAll();
  return result;
}

}  // namespace brivano
