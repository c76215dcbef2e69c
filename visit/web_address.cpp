#include "visit/web_address.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <vector>

#include "base/percent_encoding.h"
#include "base/text_search.h"

namespace brivano {
namespace {

constexpr bool IsAsciiAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}
constexpr char LowerAscii(char c) {
  return static_cast<char>(LowerAsciiByte(static_cast<unsigned char>(c)));
}
constexpr bool IsSlash(char c) {
  return c == '/' || c == '\\';
}

// Browsers drop C0 controls and spaces around an address, and every tab and
// line break inside it: links in real pages are wrapped across lines. The
// text is copied into `storage` only when something inside must go.
std::string_view CleanAddress(std::string_view text, std::string& storage) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  if (std::none_of(text.begin(), text.end(),
                   [](char c) { return c == '\t' || c == '\n' || c == '\r'; })) {
    return text;
  }
  storage.clear();
  for (const char c : text) {
    if (c != '\t' && c != '\n' && c != '\r') storage.push_back(c);
  }
  return storage;
}

// The length of the scheme before the ':' that ends it, or 0 when the text
// does not start with one.
std::size_t SchemeLength(std::string_view text) {
  if (text.empty() || !IsAsciiAlpha(text[0])) return 0;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ':') return i;
    if (!IsAsciiAlpha(c) && !IsAsciiDigit(c) && c != '+' && c != '-' && c != '.') return 0;
  }
  return 0;
}

int DefaultPort(std::string_view scheme) {
  return scheme == "https" ? 443 : 80;
}

// Characters no host name holds (the URL Standard's forbidden domain code
// points); "%" included, since percent-encoded hosts are not decoded here.
bool IsForbiddenInHost(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u <= 0x20 || u == 0x7F) return true;
  constexpr std::string_view kForbidden = "#%/:<>?@[\\]^|\"";
  return kForbidden.find(c) != std::string_view::npos;
}

// ASCII letters in lower case, and the ideographic and full-width full stops
// that IDNA reads as dots (a Chinese input method types them in a name).
// Non-ASCII letters go through ICU: no punycode, the fetcher converts.
std::optional<std::string> NormalizeHostName(std::string_view name) {
  std::string host;
  host.reserve(name.size());
  bool nonAscii = false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const std::string_view rest = name.substr(i);
    if (rest.starts_with("\xE3\x80\x82") || rest.starts_with("\xEF\xBC\x8E") ||
        rest.starts_with("\xEF\xBD\xA1")) {
      host.push_back('.');
      i += 2;
      continue;
    }
    if (IsForbiddenInHost(name[i])) return std::nullopt;
    nonAscii = nonAscii || static_cast<unsigned char>(name[i]) >= 0x80;
    host.push_back(LowerAscii(name[i]));
  }
  if (host.empty()) return std::nullopt;
  if (nonAscii) {
    std::string lower;
    icu::UnicodeString::fromUTF8(host).toLower(icu::Locale::getRoot()).toUTF8String(lower);
    return lower;
  }
  return host;
}

std::optional<std::string> NormalizeIpv6(std::string_view literal) {
  if (literal.empty()) return std::nullopt;
  std::string host;
  for (const char c : literal) {
    const char lower = LowerAscii(c);
    if (!IsAsciiDigit(lower) && !(lower >= 'a' && lower <= 'f') && lower != ':' && lower != '.')
      return std::nullopt;
    host.push_back(lower);
  }
  return host;
}

// "" is the default; otherwise 1..65535 in digits only.
std::optional<int> ParsePort(std::string_view text, std::string_view scheme) {
  if (text.empty()) return DefaultPort(scheme);
  int port = 0;
  for (const char c : text) {
    if (!IsAsciiDigit(c)) return std::nullopt;
    port = port * 10 + (c - '0');
    if (port > 65535) return std::nullopt;
  }
  if (port == 0) return std::nullopt;
  return port;
}

bool IsSingleDot(std::string_view segment) {
  return segment == "." || EqualsIgnoringAsciiCase(segment, "%2e");
}
bool IsDoubleDot(std::string_view segment) {
  return segment == ".." || EqualsIgnoringAsciiCase(segment, ".%2e") ||
         EqualsIgnoringAsciiCase(segment, "%2e.") || EqualsIgnoringAsciiCase(segment, "%2e%2e");
}

// RFC 3986's remove_dot_segments on a path that starts with "/"; "." and
// ".." in their percent-encoded forms count too, as in browsers.
std::string RemoveDotSegments(std::string_view path) {
  if (path.find("/.") == std::string_view::npos && path.find('%') == std::string_view::npos) {
    return std::string(path);
  }
  std::vector<std::string_view> kept;
  std::size_t start = 1;
  while (true) {
    const std::size_t slash = path.find('/', start);
    const bool last = slash == std::string_view::npos;
    const std::string_view segment =
        path.substr(start, last ? std::string_view::npos : slash - start);
    if (IsSingleDot(segment)) {
      if (last) kept.emplace_back();
    } else if (IsDoubleDot(segment)) {
      if (!kept.empty()) kept.pop_back();
      if (last) kept.emplace_back();
    } else {
      kept.push_back(segment);
    }
    if (last) break;
    start = slash + 1;
  }
  std::string out;
  out.reserve(path.size());
  for (const std::string_view segment : kept) {
    out.push_back('/');
    out.append(segment);
  }
  if (out.empty()) out = "/";
  return out;
}

// Percent-encodes what a browser encodes in a path or a query of an http(s)
// address: controls, blanks, quotes, angle brackets and every non-ASCII byte
// (the page is UTF-8 by now, so its UTF-8 bytes). A "%" stays as it is.
void AppendEncoded(std::string_view part, bool query, std::string& out) {
  for (const char c : part) {
    const auto u = static_cast<unsigned char>(c);
    const bool encode = u <= 0x20 || u >= 0x7F || c == '"' || c == '<' || c == '>' ||
                        (query ? c == '\'' : (c == '`' || c == '{' || c == '}'));
    if (encode) {
      AppendPercentEscape(out, u);
    } else {
      out.push_back(c);
    }
  }
}

// Whether a path holds what only a rewrite settles: backslashes, or a
// segment starting with "." or "%2" that may be a dot segment.
bool NeedsNormalizing(std::string_view path) {
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '\\') return true;
    if ((i == 0 || path[i - 1] == '/') &&
        (c == '.' || (c == '%' && i + 1 < path.size() && path[i + 1] == '2'))) {
      return true;
    }
  }
  return false;
}

// Appends "/path?query": `directory` (a normalized path, may be empty) and
// `tail` (the path and query after it, the fragment gone) joined, dot
// segments removed, backslashes read as slashes, and percent-encoded.
void AppendPathAndQuery(std::string_view directory, std::string_view tail, std::string& out) {
  const std::size_t question = tail.find('?');
  const std::string_view tailPath = tail.substr(0, question);
  const bool slash = !directory.empty() || (!tailPath.empty() && IsSlash(tailPath.front()));
  if (!NeedsNormalizing(tailPath)) {
    if (!slash) out.push_back('/');
    AppendEncoded(directory, false, out);
    AppendEncoded(tailPath, false, out);
  } else {
    std::string path;
    path.reserve(directory.size() + tailPath.size() + 1);
    if (!slash) path.push_back('/');
    path.append(directory);
    for (const char c : tailPath) path.push_back(c == '\\' ? '/' : c);
    AppendEncoded(RemoveDotSegments(path), false, out);
  }
  if (question != std::string_view::npos) {
    out.push_back('?');
    AppendEncoded(tail.substr(question + 1), true, out);
  }
}

std::optional<WebAddress> ParseClean(std::string_view text) {
  const std::size_t schemeLength = SchemeLength(text);
  if (schemeLength == 0) return std::nullopt;
  WebAddress address;
  for (const char c : text.substr(0, schemeLength)) address.scheme.push_back(LowerAscii(c));
  if (address.scheme != "http" && address.scheme != "https") return std::nullopt;

  // Browsers take any number of slashes, either way round, before the host.
  std::string_view rest = text.substr(schemeLength + 1);
  while (!rest.empty() && IsSlash(rest.front())) rest.remove_prefix(1);
  std::size_t authorityEnd = 0;
  while (authorityEnd < rest.size() && !IsSlash(rest[authorityEnd]) && rest[authorityEnd] != '?' &&
         rest[authorityEnd] != '#') {
    ++authorityEnd;
  }
  std::string_view authority = rest.substr(0, authorityEnd);
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }

  std::string_view portText;
  if (authority.starts_with('[')) {
    const std::size_t close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    std::optional<std::string> host = NormalizeIpv6(authority.substr(1, close - 1));
    if (!host) return std::nullopt;
    address.host = std::move(*host);
    const std::string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') return std::nullopt;
      portText = after.substr(1);
    }
  } else {
    const std::size_t colon = authority.find(':');
    std::optional<std::string> host = NormalizeHostName(authority.substr(0, colon));
    if (!host) return std::nullopt;
    address.host = std::move(*host);
    if (colon != std::string_view::npos) portText = authority.substr(colon + 1);
  }
  const std::optional<int> port = ParsePort(portText, address.scheme);
  if (!port) return std::nullopt;
  address.port = *port;

  const std::string_view tail = rest.substr(authorityEnd);
  AppendPathAndQuery({}, tail.substr(0, tail.find('#')), address.pathAndQuery);
  return address;
}

std::string FormatOrEmpty(const std::optional<WebAddress>& address) {
  return address ? FormatWebAddress(*address) : std::string();
}

void AppendOrigin(const WebAddress& address, std::string& out) {
  out += address.scheme;
  out += "://";
  if (address.host.find(':') != std::string::npos) {
    out += '[';
    out += address.host;
    out += ']';
  } else {
    out += address.host;
  }
  if (address.port != DefaultPort(address.scheme)) {
    out += ':';
    out += std::to_string(address.port);
  }
}

}  // namespace

std::optional<WebAddress> ParseWebAddress(std::string_view absolute) {
  std::string storage;
  return ParseClean(CleanAddress(absolute, storage));
}

std::string FormatWebAddress(const WebAddress& address) {
  std::string text;
  text.reserve(address.scheme.size() + address.host.size() + address.pathAndQuery.size() + 10);
  AppendOrigin(address, text);
  text += address.pathAndQuery;
  return text;
}

std::string JoinAddress(std::string_view base, std::string_view reference) {
  return JoinAddress(ParseWebAddress(base).value_or(WebAddress{}), reference);
}

// A page has thousands of links, nearly all relative: those are joined to
// the base's parts without taking the base apart again.
std::string JoinAddress(const WebAddress& base, std::string_view reference) {
  std::string storage;
  std::string_view ref = CleanAddress(reference, storage);
  ref = ref.substr(0, ref.find('#'));
  if (const std::size_t schemeLength = SchemeLength(ref); schemeLength > 0) {
    const std::string_view scheme = ref.substr(0, schemeLength);
    const bool https = EqualsIgnoringAsciiCase(scheme, "https");
    if (!https && !EqualsIgnoringAsciiCase(scheme, "http")) return {};
    const std::string_view rest = ref.substr(schemeLength + 1);
    // "http:g" on an http page is relative, as browsers read it; with
    // another scheme or slashes it is absolute.
    if (base.scheme != (https ? "https" : "http") || (!rest.empty() && IsSlash(rest.front()))) {
      return FormatOrEmpty(ParseClean(ref));
    }
    ref = rest;
  }
  if (base.scheme.empty()) return {};
  if (ref.size() >= 2 && IsSlash(ref[0]) && IsSlash(ref[1])) {
    return FormatOrEmpty(ParseClean(base.scheme + ":" + std::string(ref)));
  }
  if (ref.empty()) return FormatWebAddress(base);
  std::string joined;
  joined.reserve(base.host.size() + base.pathAndQuery.size() + ref.size() + 16);
  AppendOrigin(base, joined);
  const std::string_view basePath =
      std::string_view(base.pathAndQuery).substr(0, base.pathAndQuery.find('?'));
  if (IsSlash(ref.front())) {
    AppendPathAndQuery({}, ref, joined);
  } else if (ref.front() == '?') {
    AppendPathAndQuery(basePath, ref, joined);
  } else {
    AppendPathAndQuery(basePath.substr(0, basePath.rfind('/') + 1), ref, joined);
  }
  return joined;
}

std::string SiteOrigin(const WebAddress& address) {
  std::string origin;
  AppendOrigin(address, origin);
  return origin;
}

std::string RobotsAddress(const WebAddress& address) {
  return SiteOrigin(address) + "/robots.txt";
}

}  // namespace brivano
