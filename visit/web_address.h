// Web addresses of the visited sites: taking an http(s) address apart and
// resolving a page's links against the page, the way a browser reads them.
// Only what a visit needs: http and https, no fragments, no credentials.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brivano {

struct WebAddress {
  std::string scheme{};  // "http" or "https"
  // Lower case; an IPv6 literal without its brackets. A non-ASCII name is
  // lower-cased and kept in UTF-8 (no punycode: the fetcher converts it).
  std::string host{};
  int port = 0;  // 80 or 443 when the address names none
  // From the first "/" on, fragment dropped; never empty ("/" at least).
  // Dot segments removed; blanks, quotes, angle brackets and non-ASCII bytes
  // percent-encoded as UTF-8.
  std::string pathAndQuery{};
};

// An absolute http(s) address, as typed or linked: blanks around it ignored,
// backslashes read as slashes, user name and password dropped (the host after
// them is the one a browser goes to, and they are never sent). Nothing for
// other schemes, a missing or malformed host, or a port out of range.
std::optional<WebAddress> ParseWebAddress(std::string_view absolute);

// "https://a.com/x?y", the port only when it is not the scheme's default.
std::string FormatWebAddress(const WebAddress& address);

// A link's reference resolved against the address of its page (RFC 3986,
// section 5, with the leniency of browsers), as an absolute address without
// fragment; empty when the result is no http(s) address (mailto:, tel:,
// javascript:, data:...) or the base is none.
std::string JoinAddress(std::string_view base, std::string_view reference);
// The same against a base already taken apart: a page's links share one.
std::string JoinAddress(const WebAddress& base, std::string_view reference);

// "https://a.com", or "http://a.com:8080" when the port is not the default.
std::string SiteOrigin(const WebAddress& address);
// The site's robots.txt: the origin and "/robots.txt".
std::string RobotsAddress(const WebAddress& address);

}  // namespace brivano
