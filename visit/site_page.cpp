#include "visit/site_page.h"

#include <optional>

#include "base/text_search.h"
#include "search/html_text.h"
#include "search/html_tree.h"
#include "visit/web_address.h"

namespace brivano {
namespace {

// An attribute's text as a link text: trimmed, runs of blanks as one.
std::string CollapsedBlanks(std::string_view text) {
  std::string out;
  bool blank = false;
  for (const char c : TrimHtmlBlanks(text)) {
    if (IsHtmlBlank(c)) {
      blank = true;
      continue;
    }
    if (blank) out.push_back(' ');
    blank = false;
    out.push_back(c);
  }
  return out;
}

// The address in a refresh's content ("0; url=/cn/index.asp"), read as
// browsers read it; nothing when it only reloads the page itself.
std::optional<std::string_view> RefreshReference(std::string_view content) {
  std::size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < content.size() && IsHtmlBlank(content[i])) ++i;
  };
  skipBlanks();
  const std::size_t timeStart = i;
  while (i < content.size() && ((content[i] >= '0' && content[i] <= '9') || content[i] == '.')) ++i;
  if (i == timeStart) return std::nullopt;
  if (i < content.size() && content[i] != ';' && content[i] != ',' && !IsHtmlBlank(content[i]))
    return std::nullopt;
  skipBlanks();
  if (i < content.size() && (content[i] == ';' || content[i] == ',')) ++i;
  skipBlanks();
  std::string_view rest = content.substr(i);
  if (rest.size() >= 3 && EqualsIgnoringAsciiCase(rest.substr(0, 3), "url")) {
    std::string_view afterUrl = TrimHtmlBlanks(rest.substr(3));
    if (!afterUrl.empty() && afterUrl.front() == '=') rest = TrimHtmlBlanks(afterUrl.substr(1));
  }
  if (!rest.empty() && (rest.front() == '"' || rest.front() == '\'')) {
    const char quote = rest.front();
    rest.remove_prefix(1);
    rest = rest.substr(0, rest.find(quote));
  }
  rest = TrimHtmlBlanks(rest);
  if (rest.empty()) return std::nullopt;
  return rest;
}

enum class LinkKind { Anchor, Area, Frame, Refresh };

struct FoundLink {
  int node = 0;
  LinkKind kind = LinkKind::Anchor;
  std::string_view reference{};
};

// An <a>'s text when it shows none: the alt of the first image inside it
// that has one, else its title.
std::string FallbackText(const HtmlDocument& document, int anchor) {
  const int end = document.node(anchor).end;
  for (int i = anchor + 1; i < end; ++i) {
    if (document.node(i).name != "img") continue;
    if (const auto alt = document.Attribute(i, "alt")) {
      std::string text = CollapsedBlanks(*alt);
      if (!text.empty()) return text;
    }
  }
  return CollapsedBlanks(document.Attribute(anchor, "title").value_or(std::string_view()));
}

}  // namespace

SitePage ReadSitePage(std::string_view utf8Html, std::string_view pageAddress) {
  const HtmlDocument document(utf8Html);
  const std::vector<HtmlNode>& nodes = document.nodes();
  SitePage page;
  page.text = DocumentText(document);

  // Links are resolved against the first <base href>, wherever it stands,
  // so they are gathered first and resolved once the page is read.
  std::vector<FoundLink> found;
  std::optional<std::string_view> baseReference;
  bool titleSeen = false;
  for (int i = 0; i < static_cast<int>(nodes.size()); ++i) {
    const std::string_view name = nodes[static_cast<std::size_t>(i)].name;
    if (name.empty() || name.size() > 6) continue;
    if (name == "a" || name == "area") {
      if (const auto href = document.Attribute(i, "href")) {
        found.push_back({i, name == "a" ? LinkKind::Anchor : LinkKind::Area, *href});
      }
    } else if (name == "frame" || name == "iframe") {
      if (const auto src = document.Attribute(i, "src")) {
        found.push_back({i, LinkKind::Frame, *src});
      }
    } else if (name == "meta") {
      const auto equiv = document.Attribute(i, "http-equiv");
      if (!equiv || !EqualsIgnoringAsciiCase(TrimHtmlBlanks(*equiv), "refresh")) continue;
      const auto target = RefreshReference(document.Attribute(i, "content").value_or(""));
      if (target) found.push_back({i, LinkKind::Refresh, *target});
    } else if (name == "base") {
      if (!baseReference) baseReference = document.Attribute(i, "href");
    } else if (name == "title" && !titleSeen) {
      titleSeen = true;
      page.title = OneLineText(document, i);
    }
  }

  WebAddress base = ParseWebAddress(pageAddress).value_or(WebAddress{});
  if (baseReference) {
    if (auto declared = ParseWebAddress(JoinAddress(base, *baseReference))) {
      base = std::move(*declared);
    }
  }
  page.links.reserve(found.size());
  for (const FoundLink& link : found) {
    std::string address = JoinAddress(base, link.reference);
    if (address.empty()) continue;
    std::string text;
    switch (link.kind) {
      case LinkKind::Anchor:
        text = OneLineText(document, link.node);
        if (text.empty()) text = FallbackText(document, link.node);
        break;
      case LinkKind::Area:
        text = CollapsedBlanks(document.Attribute(link.node, "alt").value_or(""));
        if (text.empty()) {
          text = CollapsedBlanks(document.Attribute(link.node, "title").value_or(""));
        }
        break;
      case LinkKind::Refresh:
        if (page.refreshTarget.empty()) page.refreshTarget = address;
        break;
      case LinkKind::Frame:
        break;
    }
    page.links.push_back({std::move(address), std::move(text)});
  }
  return page;
}

}  // namespace brivano
