#include "search/result_blocks.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/percent_encoding.h"
#include "base/text.h"
#include "base/text_encoding.h"
#include "search/css_selector.h"
#include "search/declared_charset.h"
#include "search/html_text.h"
#include "search/html_tree.h"
#include "search/verification.h"

namespace brivano {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && LowerAscii(text.substr(0, prefix.size())) == prefix;
}

bool IsWebAddress(std::string_view address) {
  return StartsWithNoCase(address, "http://") || StartsWithNoCase(address, "https://");
}

// The engines' own links that lead to a result through the engine: the
// address they hide is not in them.
bool IsEngineRedirect(std::string_view link) {
  const std::string lower = LowerAscii(link);
  constexpr std::string_view kParts[] = {"/link?url=", "baidu.com/link?", "so.com/link?",
                                         "sogou.com/link?", "bing.com/ck/a?"};
  return lower.starts_with("/link?") ||
         std::any_of(std::begin(kParts), std::end(kParts),
                     [&](std::string_view part) { return lower.find(part) != std::string::npos; });
}

bool IsPlainAddress(std::string_view address) {
  return IsWebAddress(address) && IsValidUtf8(address) &&
         std::none_of(address.begin(), address.end(),
                      [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
}

// What follows `start` ("url=") in the first query parameter of a link that
// begins with it.
std::optional<std::string_view> QueryParameter(std::string_view link, std::string_view start) {
  const std::size_t query = link.find('?');
  if (query == std::string_view::npos) return std::nullopt;
  std::string_view rest = link.substr(query + 1);
  while (!rest.empty()) {
    const std::size_t amp = rest.find('&');
    const std::string_view parameter = rest.substr(0, amp);
    rest = amp == std::string_view::npos ? std::string_view() : rest.substr(amp + 1);
    if (parameter.starts_with(start)) return parameter.substr(start.size());
  }
  return std::nullopt;
}

// Some redirects carry the address itself, escaped, as their "url" parameter
// (360's "so.com/link?url=http%3A%2F%2F..."); Baidu's and Sogou's carry a
// token instead.
std::string RedirectParameterTarget(std::string_view link) {
  const std::optional<std::string_view> escaped = QueryParameter(link, "url=");
  if (!escaped) return {};
  std::string address = PercentDecoded(*escaped);
  return IsPlainAddress(address) ? address : std::string();
}

// base64url (or plain base64), padding optional; nullopt for anything else.
std::optional<std::string> DecodeBase64(std::string_view text) {
  constexpr std::string_view kDigits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::string out;
  out.reserve(text.size() * 3 / 4);
  std::uint32_t bits = 0;
  int count = 0;
  for (const char c : text) {
    if (c == '=') break;
    const std::size_t value = kDigits.find(c == '+' ? '-' : c == '/' ? '_' : c);
    if (value == std::string_view::npos) return std::nullopt;
    bits = (bits << 6) | static_cast<std::uint32_t>(value);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out.push_back(static_cast<char>((bits >> count) & 0xFF));
    }
  }
  return out;
}

// Bing's title links go through "https://www.bing.com/ck/a?...&u=a1<base64url
// of the address>&ntb=1".
std::string BingClickTarget(std::string_view link) {
  const std::string host = LowerAscii(AddressHost(link));
  if (host != "bing.com" && !host.ends_with(".bing.com")) return {};
  if (link.find("/ck/a") > link.find('?')) return {};
  const std::optional<std::string_view> encoded = QueryParameter(link, "u=a1");
  if (!encoded) return {};
  const std::optional<std::string> decoded = DecodeBase64(*encoded);
  return decoded && IsPlainAddress(*decoded) ? *decoded : std::string();
}

// A link relative to the results page ("//host/path", "/path") made whole:
// the page came from the row's scheme and host.
std::string AgainstEngine(std::string_view link, const EngineRow& row) {
  const std::string_view base = row.schemeAndHost;
  if (link.starts_with("//")) {
    return std::string(base.substr(0, base.find("//"))) + std::string(link);
  }
  if (link.starts_with("/")) return std::string(base) + std::string(link);
  return std::string(link);
}

// A value of one of the row's target attributes on the element, if it is an
// address.
std::optional<std::string_view> TargetAttribute(const HtmlDocument& document, int index,
                                                const std::string& name) {
  const std::optional<std::string_view> value = document.Attribute(index, name);
  if (!value) return std::nullopt;
  const std::string_view address = TrimHtmlBlanks(*value);
  if (!IsWebAddress(address)) return std::nullopt;
  return address;
}

std::string FindTarget(const HtmlDocument& document, int block, int titleLink,
                       std::string_view link, const EngineRow& row) {
  for (const int holder : {block, titleLink}) {
    if (holder < 0) continue;
    for (const std::string& name : row.targetAttributes) {
      if (auto found = TargetAttribute(document, holder, name)) return std::string(*found);
    }
  }
  // A link inside the block to another page than the title's (360's site
  // card, a cached copy) tells of that page, not of the result.
  const int end = document.node(block).end;
  const auto elsewhere = [&](int i) {
    const std::optional<std::string_view> href = document.Attribute(i, "href");
    return href && TrimHtmlBlanks(*href) != link;
  };
  for (const std::string& name : row.targetAttributes) {
    for (int i = block + 1; i < end; ++i) {
      if (!document.node(i).IsElement() || document.node(i).attributeCount == 0) continue;
      if (auto found = TargetAttribute(document, i, name); found && !elsewhere(i)) {
        return std::string(*found);
      }
    }
  }
  if (std::string bing = BingClickTarget(link); !bing.empty()) return bing;
  if (IsEngineRedirect(link)) return RedirectParameterTarget(link);
  std::string address = AgainstEngine(link, row);
  return IsWebAddress(address) ? address : std::string();
}

bool IsHostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '-' || c == '_';
}

// The host that `text` starts with ("www.example.com" of
// "www.example.com/a/b..."), or empty when it starts with none.
std::string_view LeadingHost(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && IsHostCharacter(text[end])) ++end;
  std::string_view host = text.substr(0, end);
  // "www.example.com..." cut short; "www.example.com- 2022-3-1", a date
  // written right behind it (no label ends with a dash).
  while (host.ends_with('.') || host.ends_with('-')) host.remove_suffix(1);
  const std::size_t dot = host.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || host.starts_with('.')) return {};
  // The last label has a letter, or all four are numbers (an IPv4 address).
  const std::string_view last = host.substr(dot + 1);
  const bool letter = std::any_of(last.begin(), last.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
  if (!letter && std::count(host.begin(), host.end(), '.') != 3) return {};
  // "name.surname@example.com" starts with no host.
  if (end < text.size() && text[end] == '@') return {};
  return host;
}

// The site a block shows, from its displayed address: "https://www.example.com
// › a › b" and "www.example.com/a/b... 2020-01-05" give "www.example.com",
// "百度百科 - baike.baidu.com" gives "baike.baidu.com"; a name that is no
// address ("百度百科") stays as it is.
std::string DisplayedSite(std::string_view text) {
  text = TrimHtmlBlanks(text);
  constexpr std::string_view kBreadcrumb = "\xE2\x80\xBA";  // ›
  if (const std::size_t at = text.find(kBreadcrumb); at != std::string_view::npos) {
    text = TrimHtmlBlanks(text.substr(0, at));
  }
  std::string_view first;
  while (!text.empty()) {
    const std::size_t dash = text.find(" - ");
    std::string_view part = TrimHtmlBlanks(text.substr(0, dash));
    text = dash == std::string_view::npos ? std::string_view() : text.substr(dash + 3);
    for (const std::string_view scheme : {"http://", "https://"}) {
      if (StartsWithNoCase(part, scheme)) part.remove_prefix(scheme.size());
    }
    if (first.empty()) first = part;
    if (const std::string_view host = LeadingHost(part); !host.empty()) return std::string(host);
  }
  return std::string(first);
}

// The title's link: the title element itself, or the link around it inside
// the block, as newer cards wrap their heading in it ("a h3"); -1 for none.
int LinkAround(const HtmlDocument& document, int block, int title) {
  for (int i = title; i > block; i = document.node(i).parent) {
    if (document.Attribute(i, "href")) return i;
  }
  return -1;
}

}  // namespace

std::vector<ResultBlock> ReadResultBlocks(std::string_view html, const EngineRow& row) {
  std::vector<ResultBlock> blocks;
  const CssSelector blockSelector(row.resultSelector);
  if (!blockSelector.valid()) return blocks;
  const CssSelector titleSelector(row.titleSelector);
  const CssSelector siteSelector(row.siteSelector);
  const HtmlDocument document(html);
  const int count = static_cast<int>(document.nodes().size());
  for (int i = 0; i < count;) {
    if (!blockSelector.Matches(document, i)) {
      ++i;
      continue;
    }
    ResultBlock block;
    block.text = RenderedText(document, i);
    const int title = titleSelector.FirstWithin(document, i);
    const int titleLink = title >= 0 ? LinkAround(document, i, title) : -1;
    if (title >= 0) block.title = OneLineText(document, title);
    if (titleLink >= 0) {
      block.link = std::string(TrimHtmlBlanks(document.Attribute(titleLink, "href").value_or("")));
    }
    block.target = FindTarget(document, i, titleLink, block.link, row);
    if (const int site = siteSelector.FirstWithin(document, i); site >= 0) {
      block.site = DisplayedSite(OneLineText(document, site));
    }
    if (block.site.empty()) block.site = std::string(AddressHost(block.target));
    blocks.push_back(std::move(block));
    i = document.node(i).end;  // a block inside a block is part of it
  }
  return blocks;
}

// The page as UTF-8: by its byte-order mark, else by the charset its head
// names, else UTF-8 unless its bytes read as GBK rather than UTF-8.
std::string SavedPageAsUtf8(std::string page) {
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (page.starts_with(kUtf8Mark)) return page.substr(kUtf8Mark.size());
  if (page.starts_with("\xFF\xFE") || page.starts_with("\xFE\xFF")) {
    return GbkToUtf8(DecodeText(page, TextEncoding::Auto).gbk);
  }
  const std::string charset = DeclaredCharset(page);
  constexpr std::string_view kGbkNames[] = {"gbk", "gb2312", "gb18030", "x-gbk", "cp936"};
  const bool gbk =
      std::find(std::begin(kGbkNames), std::end(kGbkNames), charset) != std::end(kGbkNames) ||
      (charset.empty() && !IsValidUtf8(page) && !WeighsAsUtf8(page));
  return gbk ? GbkToUtf8(page) : page;
}

}  // namespace brivano
