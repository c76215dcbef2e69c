#include "search/html_tree.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/code_page.h"
#include "base/percent_encoding.h"
#include "base/text_search.h"

namespace brivano {
namespace {

// Tags the tree builder treats in a way of their own.
enum class Tag : std::uint8_t {
  Other,
  A,
  Body,
  Br,
  Button,
  Dd,
  Dl,
  Dt,
  Heading,
  Head,
  Html,
  Li,
  Ol,
  Optgroup,
  Option,
  P,
  Table,
  TableSection,  // tbody, thead, tfoot
  Td,            // td, th
  Tr,
  Ul,
};

struct TagInfo {
  std::string_view name;
  Tag tag;
  std::uint16_t flags;
};

constexpr std::uint16_t kBlockP = kHtmlBlock | kHtmlClosesP | kHtmlSpecial;
constexpr std::uint16_t kRawUnseen = kHtmlRawText | kHtmlUnseen | kHtmlSpecial;

constexpr TagInfo kTags[] = {
    {"a", Tag::A, 0},
    {"address", Tag::Other, kBlockP},
    {"applet", Tag::Other, kHtmlSpecial | kHtmlScope},
    {"area", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"article", Tag::Other, kBlockP},
    {"aside", Tag::Other, kBlockP},
    {"base", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"basefont", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"bgsound", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"blockquote", Tag::Other, kBlockP},
    {"body", Tag::Body, kHtmlBlock | kHtmlSpecial},
    {"br", Tag::Br, kHtmlVoid | kHtmlSpecial | kHtmlLineBreak},
    {"button", Tag::Button, kHtmlSpecial},
    {"caption", Tag::Other, kHtmlBlock | kHtmlSpecial | kHtmlScope},
    {"center", Tag::Other, kBlockP},
    {"col", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"colgroup", Tag::Other, kHtmlSpecial},
    {"dd", Tag::Dd, kBlockP},
    {"details", Tag::Other, kBlockP},
    {"dialog", Tag::Other, kBlockP},
    {"dir", Tag::Other, kBlockP},
    {"div", Tag::Other, kBlockP},
    {"dl", Tag::Dl, kBlockP},
    {"dt", Tag::Dt, kBlockP},
    {"embed", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"fieldset", Tag::Other, kBlockP},
    {"figcaption", Tag::Other, kBlockP},
    {"figure", Tag::Other, kBlockP},
    {"footer", Tag::Other, kBlockP},
    {"form", Tag::Other, kBlockP},
    {"frame", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"frameset", Tag::Other, kHtmlSpecial},
    {"h1", Tag::Heading, kBlockP},
    {"h2", Tag::Heading, kBlockP},
    {"h3", Tag::Heading, kBlockP},
    {"h4", Tag::Heading, kBlockP},
    {"h5", Tag::Heading, kBlockP},
    {"h6", Tag::Heading, kBlockP},
    {"head", Tag::Head, kHtmlUnseen | kHtmlSpecial},
    {"header", Tag::Other, kBlockP},
    {"hgroup", Tag::Other, kBlockP},
    {"hr", Tag::Other, kHtmlVoid | kBlockP},
    {"html", Tag::Html, kHtmlBlock | kHtmlSpecial | kHtmlScope},
    {"iframe", Tag::Other, kRawUnseen},
    {"img", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"input", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"keygen", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"legend", Tag::Other, kHtmlBlock},
    {"li", Tag::Li, kBlockP},
    {"link", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"listing", Tag::Other, kBlockP},
    {"main", Tag::Other, kBlockP},
    {"marquee", Tag::Other, kHtmlSpecial | kHtmlScope},
    {"math", Tag::Other, kHtmlForeign},
    {"menu", Tag::Other, kBlockP},
    {"meta", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"nav", Tag::Other, kBlockP},
    {"noembed", Tag::Other, kRawUnseen},
    {"noframes", Tag::Other, kRawUnseen},
    // Read as raw text, as a browser running scripts reads it, and never shown.
    {"noscript", Tag::Other, kRawUnseen},
    {"object", Tag::Other, kHtmlSpecial | kHtmlScope},
    {"ol", Tag::Ol, kBlockP},
    {"optgroup", Tag::Optgroup, kHtmlBlock},
    {"option", Tag::Option, kHtmlBlock},
    {"p", Tag::P, kBlockP},
    {"param", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"plaintext", Tag::Other, kBlockP},
    {"pre", Tag::Other, kBlockP},
    {"script", Tag::Other, kRawUnseen},
    {"section", Tag::Other, kBlockP},
    {"select", Tag::Other, kHtmlSpecial},
    {"source", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"style", Tag::Other, kRawUnseen},
    {"summary", Tag::Other, kBlockP},
    {"svg", Tag::Other, kHtmlForeign},
    {"table", Tag::Table, kBlockP | kHtmlScope},
    {"tbody", Tag::TableSection, kHtmlSpecial},
    {"td", Tag::Td, kHtmlCell | kHtmlSpecial | kHtmlScope},
    {"template", Tag::Other, kHtmlUnseen | kHtmlSpecial | kHtmlScope},
    {"textarea", Tag::Other, kHtmlRawText | kHtmlReferences | kHtmlSpecial},
    {"tfoot", Tag::TableSection, kHtmlSpecial},
    {"th", Tag::Td, kHtmlCell | kHtmlSpecial | kHtmlScope},
    {"thead", Tag::TableSection, kHtmlSpecial},
    {"title", Tag::Other, kHtmlRawText | kHtmlReferences | kHtmlUnseen | kHtmlSpecial},
    {"tr", Tag::Tr, kHtmlBlock | kHtmlSpecial},
    {"track", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"ul", Tag::Ul, kBlockP},
    {"wbr", Tag::Other, kHtmlVoid | kHtmlSpecial},
    {"xmp", Tag::Other, kHtmlRawText | kBlockP},
};

constexpr TagInfo kUnknownTag{"", Tag::Other, 0};

constexpr std::size_t kTagSlots = 256;

constexpr std::size_t TagHash(std::string_view name) {
  std::size_t hash = name.size();
  for (const char c : name) hash = hash * 31 + static_cast<unsigned char>(c);
  return hash % kTagSlots;
}

// Every start and end tag is looked up: an open-addressed table of the known
// names (a slot holds an index into kTags plus one) costs a hash and mostly
// one comparison.
const TagInfo& LookUpTag(std::string_view name) {
  static const std::array<std::uint8_t, kTagSlots> slots = [] {
    std::array<std::uint8_t, kTagSlots> table{};
    for (std::size_t i = 0; i < std::size(kTags); ++i) {
      std::size_t slot = TagHash(kTags[i].name);
      while (table[slot] != 0) slot = (slot + 1) % kTagSlots;
      table[slot] = static_cast<std::uint8_t>(i + 1);
    }
    return table;
  }();
  if (name.size() > 10) return kUnknownTag;
  for (std::size_t slot = TagHash(name); slots[slot] != 0; slot = (slot + 1) % kTagSlots) {
    const TagInfo& info = kTags[slots[slot] - 1];
    if (info.name == name) return info;
  }
  return kUnknownTag;
}

constexpr bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}
constexpr bool IsAsciiAlnum(char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c);
}
constexpr char ToLowerAscii(char c) {
  return static_cast<char>(LowerAsciiByte(static_cast<unsigned char>(c)));
}

struct NamedReference {
  std::string_view name;
  char32_t code;
  bool legacy;  // also recognized without ";"
};

// The references engine pages use; sorted by name.
constexpr NamedReference kNamedReferences[] = {
    {"AMP", U'&', true},          {"GT", U'>', true},           {"LT", U'<', true},
    {"QUOT", U'"', true},         {"amp", U'&', true},          {"apos", U'\'', false},
    {"bull", U'\u2022', false},   {"cent", U'\u00A2', true},    {"copy", U'\u00A9', true},
    {"darr", U'\u2193', false},   {"deg", U'\u00B0', true},     {"divide", U'\u00F7', true},
    {"emsp", U'\u2003', false},   {"ensp", U'\u2002', false},   {"euro", U'\u20AC', false},
    {"gt", U'>', true},           {"hellip", U'\u2026', false}, {"laquo", U'\u00AB', true},
    {"larr", U'\u2190', false},   {"ldquo", U'\u201C', false},  {"lsaquo", U'\u2039', false},
    {"lsquo", U'\u2018', false},  {"lt", U'<', true},           {"mdash", U'\u2014', false},
    {"middot", U'\u00B7', true},  {"nbsp", U'\u00A0', true},    {"ndash", U'\u2013', false},
    {"para", U'\u00B6', true},    {"plusmn", U'\u00B1', true},  {"pound", U'\u00A3', true},
    {"quot", U'"', true},         {"raquo", U'\u00BB', true},   {"rarr", U'\u2192', false},
    {"rdquo", U'\u201D', false},  {"reg", U'\u00AE', true},     {"rsaquo", U'\u203A', false},
    {"rsquo", U'\u2019', false},  {"sect", U'\u00A7', true},    {"shy", U'\u00AD', true},
    {"thinsp", U'\u2009', false}, {"times", U'\u00D7', true},   {"trade", U'\u2122', false},
    {"uarr", U'\u2191', false},   {"yen", U'\u00A5', true},     {"zwj", U'\u200D', false},
    {"zwnj", U'\u200C', false},
};

// What browsers make of &#128; to &#159;: the characters of Windows-1252.
constexpr std::array<char16_t, 32> kWindows1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::size_t AppendCharacterReference(std::string_view text, std::size_t at, bool inAttribute,
                                     std::string& out) {
  std::size_t i = at + 1;
  if (i < text.size() && text[i] == '#') {
    ++i;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    const std::size_t digitsStart = i;
    char32_t code = 0;
    for (; i < text.size(); ++i) {
      const int digit = hex ? HexDigitValue(text[i]) : IsAsciiDigit(text[i]) ? text[i] - '0' : -1;
      if (digit < 0) break;
      code = std::min<char32_t>(code * (hex ? 16 : 10) + static_cast<char32_t>(digit), 0x110000);
    }
    if (i == digitsStart) return 0;
    if (i < text.size() && text[i] == ';') ++i;
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      code = 0xFFFD;
    } else if (code >= 0x80 && code <= 0x9F) {
      code = kWindows1252[code - 0x80];
    }
    AppendUtf8(out, code);
    return i - at;
  }
  std::size_t nameEnd = i;
  while (nameEnd < text.size() && nameEnd - i < 8 && IsAsciiAlnum(text[nameEnd])) ++nameEnd;
  // The longest legacy name that is a prefix, or the whole name before ';'.
  for (std::size_t length = nameEnd - i; length > 0; --length) {
    const std::string_view name = text.substr(i, length);
    const auto* found =
        std::lower_bound(std::begin(kNamedReferences), std::end(kNamedReferences), name,
                         [](const NamedReference& r, std::string_view n) { return r.name < n; });
    if (found == std::end(kNamedReferences) || found->name != name) continue;
    const std::size_t after = i + length;
    const bool semicolon = after < text.size() && text[after] == ';';
    if (!semicolon) {
      if (!found->legacy) return 0;
      if (inAttribute && after < text.size() && (IsAsciiAlnum(text[after]) || text[after] == '='))
        return 0;
    }
    AppendUtf8(out, found->code);
    return after + (semicolon ? 1 : 0) - at;
  }
  return 0;
}

namespace {

bool HasUpperAscii(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// Deeper elements are put beside the deepest, as browsers do, so that no
// walk up the tree is long.
constexpr std::size_t kMostDepth = 512;

}  // namespace

void AppendDecodedText(std::string_view text, bool inAttribute, std::string& out) {
  std::size_t start = 0;
  for (std::size_t amp = text.find('&'); amp != std::string_view::npos;
       amp = text.find('&', amp + 1)) {
    out.append(text.substr(start, amp - start));
    const std::size_t length = AppendCharacterReference(text, amp, inAttribute, out);
    if (length == 0) {
      out.push_back('&');
      start = amp + 1;
    } else {
      start = amp + length;
      amp = start - 1;
    }
  }
  out.append(text.substr(start));
}

class HtmlTreeBuilder {
 public:
  HtmlTreeBuilder(HtmlDocument& document, std::string_view html) : doc_(document), html_(html) {
    // Engine pages run to about one node per 40 bytes of markup.
    doc_.nodes_.reserve(html.size() / 40 + 16);
    doc_.attributes_.reserve(html.size() / 40 + 16);
    open_.reserve(64);
  }

  void Build() {
    std::size_t textStart = 0;
    std::size_t pos = 0;
    const std::size_t size = html_.size();
    while (pos < size) {
      const void* found = std::memchr(html_.data() + pos, '<', size - pos);
      if (found == nullptr) break;
      const std::size_t lt =
          static_cast<std::size_t>(static_cast<const char*>(found) - html_.data());
      const char next = lt + 1 < size ? html_[lt + 1] : '\0';
      std::size_t after;
      if (IsAsciiLetter(next)) {
        AddText(textStart, lt);
        after = StartTag(lt + 1);
      } else if (next == '/' && lt + 2 < size && IsAsciiLetter(html_[lt + 2])) {
        AddText(textStart, lt);
        after = EndTag(lt + 2);
      } else if (next == '!' && html_.substr(lt + 2, 2) == "--") {
        AddText(textStart, lt);
        after = CommentEnd(lt + 4);
      } else if (next == '!' || next == '?' || next == '/') {
        // A doctype, CDATA, a processing instruction or "</3": a bogus comment.
        AddText(textStart, lt);
        after = ClosingBracketEnd(lt + 2);
      } else {
        pos = lt + 1;  // a '<' that is text
        continue;
      }
      textStart = pos = after;
    }
    AddText(textStart, size);
    while (!open_.empty()) Pop();
  }

 private:
  HtmlNode& Node(std::int32_t index) { return doc_.nodes_[static_cast<std::size_t>(index)]; }
  std::int32_t Top() const { return open_.empty() ? -1 : open_.back(); }
  Tag TagOf(std::int32_t index) const { return tags_[static_cast<std::size_t>(index)]; }

  void AddText(std::size_t from, std::size_t to) {
    if (to <= from) return;
    HtmlNode node;
    node.text = html_.substr(from, to - from);
    node.parent = Top();
    node.end = static_cast<std::int32_t>(doc_.nodes_.size()) + 1;
    doc_.nodes_.push_back(node);
    tags_.push_back(Tag::Other);
  }

  void Pop() {
    const std::int32_t index = open_.back();
    open_.pop_back();
    Node(index).end = static_cast<std::int32_t>(doc_.nodes_.size());
    if (Node(index).flags & kHtmlForeign) --foreignDepth_;
    if (TagOf(index) == Tag::P) --openParagraphs_;
  }
  // Pops the open elements down to and with the one at `depth`.
  void PopTo(std::size_t depth) {
    while (open_.size() > depth) Pop();
  }

  // The depth of the nearest open element that `wanted` accepts, walking up
  // until `stop` says the walk ends there; npos when none.
  template <typename Wanted, typename Stop>
  std::size_t FindOpen(Wanted wanted, Stop stop) const {
    for (std::size_t depth = open_.size(); depth-- > 0;) {
      const std::int32_t index = open_[depth];
      if (wanted(index)) return depth;
      if (stop(index)) break;
    }
    return std::string_view::npos;
  }

  std::uint16_t FlagsOf(std::int32_t index) const {
    return doc_.nodes_[static_cast<std::size_t>(index)].flags;
  }

  // Ends an open <p> within the scope a start tag of a block reaches.
  void CloseParagraph() {
    if (openParagraphs_ == 0) return;  // most block starts: no walk up the tree
    const std::size_t depth = FindOpen(
        [&](std::int32_t i) { return TagOf(i) == Tag::P; },
        [&](std::int32_t i) { return (FlagsOf(i) & kHtmlScope) != 0 || TagOf(i) == Tag::Button; });
    if (depth != std::string_view::npos) PopTo(depth);
  }

  // The end tags a start tag implies.
  void ImplyEndTags(const TagInfo& info) {
    // A page that never ends its head ends it with the first tag that
    // cannot stand in one.
    if (Top() >= 0 && TagOf(Top()) == Tag::Head && !(info.flags & (kHtmlVoid | kHtmlRawText))) {
      Pop();
    }
    if (info.flags & kHtmlClosesP) CloseParagraph();
    const auto listStop = [&](std::int32_t i) {
      const Tag t = TagOf(i);
      return (FlagsOf(i) & kHtmlSpecial) && t != Tag::P && Node(i).name != "div" &&
             Node(i).name != "address";
    };
    std::size_t depth = std::string_view::npos;
    switch (info.tag) {
      case Tag::Li:
        depth = FindOpen([&](std::int32_t i) { return TagOf(i) == Tag::Li; }, listStop);
        break;
      case Tag::Dd:
      case Tag::Dt:
        depth = FindOpen([&](std::int32_t i) { return TagOf(i) == Tag::Dd || TagOf(i) == Tag::Dt; },
                         listStop);
        break;
      case Tag::Heading:
        if (Top() >= 0 && TagOf(Top()) == Tag::Heading) depth = open_.size() - 1;
        break;
      case Tag::Option:
        if (Top() >= 0 && TagOf(Top()) == Tag::Option) depth = open_.size() - 1;
        break;
      case Tag::Optgroup:
        if (Top() >= 0 && TagOf(Top()) == Tag::Option) Pop();
        if (Top() >= 0 && TagOf(Top()) == Tag::Optgroup) depth = open_.size() - 1;
        break;
      case Tag::Tr:
        depth = FindOpen([&](std::int32_t i) { return TagOf(i) == Tag::Tr; },
                         [&](std::int32_t i) {
                           const Tag t = TagOf(i);
                           return t == Tag::Table || t == Tag::TableSection || t == Tag::Html;
                         });
        break;
      case Tag::Td:
        depth = FindOpen([&](std::int32_t i) { return TagOf(i) == Tag::Td; },
                         [&](std::int32_t i) {
                           const Tag t = TagOf(i);
                           return t == Tag::Tr || t == Tag::Table || t == Tag::TableSection ||
                                  t == Tag::Html;
                         });
        break;
      case Tag::TableSection:
        depth = FindOpen(
            [&](std::int32_t i) { return TagOf(i) == Tag::TableSection; },
            [&](std::int32_t i) { return TagOf(i) == Tag::Table || TagOf(i) == Tag::Html; });
        break;
      case Tag::A:
        depth = FindOpen([&](std::int32_t i) { return TagOf(i) == Tag::A; },
                         [&](std::int32_t i) { return (FlagsOf(i) & kHtmlSpecial) != 0; });
        break;
      default:
        break;
    }
    if (depth != std::string_view::npos) PopTo(depth);
  }

  std::string_view OwnedLower(std::string_view text) {
    std::string& owned = doc_.owned_.emplace_back(text);
    for (char& c : owned) c = ToLowerAscii(c);
    return owned;
  }

  std::size_t SkipBlanks(std::size_t i) const {
    while (i < html_.size() && IsHtmlBlank(html_[i])) ++i;
    return i;
  }

  // Reads a tag's attributes from `i` up to its '>'; the index past it, or
  // npos when the markup ends inside the tag. Keeps them only when `keep`.
  std::size_t ReadAttributes(std::size_t i, bool keep, bool& selfClosing) {
    const std::size_t size = html_.size();
    selfClosing = false;
    const std::size_t first = doc_.attributes_.size();
    while (true) {
      while (i < size && (IsHtmlBlank(html_[i]) || html_[i] == '/')) {
        if (html_[i] == '/' && i + 1 < size && html_[i + 1] == '>') {
          selfClosing = true;
          return i + 2;
        }
        ++i;
      }
      if (i >= size) return std::string_view::npos;
      if (html_[i] == '>') return i + 1;
      const std::size_t nameStart = i;
      ++i;  // the first character may be '='
      while (i < size && !IsHtmlBlank(html_[i]) && html_[i] != '/' && html_[i] != '>' &&
             html_[i] != '=')
        ++i;
      const std::string_view name = html_.substr(nameStart, i - nameStart);
      std::string_view value;
      const std::size_t afterName = SkipBlanks(i);
      if (afterName < size && html_[afterName] == '=') {
        i = SkipBlanks(afterName + 1);
        if (i >= size) return std::string_view::npos;
        if (html_[i] == '"' || html_[i] == '\'') {
          const std::size_t close = html_.find(html_[i], i + 1);
          if (close == std::string_view::npos) return std::string_view::npos;
          value = html_.substr(i + 1, close - i - 1);
          i = close + 1;
        } else {
          const std::size_t valueStart = i;
          while (i < size && !IsHtmlBlank(html_[i]) && html_[i] != '>') ++i;
          value = html_.substr(valueStart, i - valueStart);
        }
      }
      if (!keep) continue;
      const std::string_view lowerName = HasUpperAscii(name) ? OwnedLower(name) : name;
      const auto begin = doc_.attributes_.begin() + static_cast<std::ptrdiff_t>(first);
      if (std::any_of(begin, doc_.attributes_.end(),
                      [&](const HtmlAttribute& a) { return a.name == lowerName; }))
        continue;  // the first of a repeated attribute counts
      if (value.find('&') != std::string_view::npos) {
        std::string decoded;
        AppendDecodedText(value, true, decoded);
        value = doc_.owned_.emplace_back(std::move(decoded));
      }
      doc_.attributes_.push_back({lowerName, value});
    }
  }

  std::size_t TagNameEnd(std::size_t i) const {
    while (i < html_.size() && !IsHtmlBlank(html_[i]) && html_[i] != '/' && html_[i] != '>') ++i;
    return i;
  }

  std::size_t StartTag(std::size_t nameStart) {
    const std::size_t nameEnd = TagNameEnd(nameStart);
    std::string_view name = html_.substr(nameStart, nameEnd - nameStart);
    if (HasUpperAscii(name)) name = OwnedLower(name);
    const TagInfo& info = LookUpTag(name);

    const std::size_t firstAttribute = doc_.attributes_.size();
    bool selfClosing = false;
    const std::size_t after = ReadAttributes(nameEnd, true, selfClosing);
    if (after == std::string_view::npos) {  // cut off inside the tag: dropped
      doc_.attributes_.resize(firstAttribute);
      return html_.size();
    }
    // A second <html>, <head> or <body> adds nothing of its own.
    if ((info.tag == Tag::Html || info.tag == Tag::Body || info.tag == Tag::Head) &&
        FindOpen([&](std::int32_t i) { return TagOf(i) == info.tag; },
                 [](std::int32_t) { return false; }) != std::string_view::npos) {
      doc_.attributes_.resize(firstAttribute);
      return after;
    }
    ImplyEndTags(info);
    if (open_.size() >= kMostDepth) Pop();

    HtmlNode node;
    node.name = name;
    node.parent = Top();
    node.firstAttribute = static_cast<std::uint32_t>(firstAttribute);
    node.attributeCount = static_cast<std::uint16_t>(
        std::min<std::size_t>(doc_.attributes_.size() - firstAttribute, UINT16_MAX));
    node.flags = info.flags;
    for (std::uint32_t a = 0; a < node.attributeCount; ++a) {
      const std::string_view attributeName = doc_.attributes_[firstAttribute + a].name;
      if (attributeName == "class" && node.classAttribute < 0) {
        node.classAttribute = static_cast<std::int32_t>(firstAttribute + a);
      } else if (attributeName == "id" && node.idAttribute < 0) {
        node.idAttribute = static_cast<std::int32_t>(firstAttribute + a);
      }
    }
    const auto index = static_cast<std::int32_t>(doc_.nodes_.size());
    node.end = index + 1;
    doc_.nodes_.push_back(node);
    tags_.push_back(info.tag);

    if ((info.flags & kHtmlVoid) || (selfClosing && foreignDepth_ > 0)) return after;
    open_.push_back(index);
    if (info.flags & kHtmlForeign) ++foreignDepth_;
    if (info.tag == Tag::P) ++openParagraphs_;
    if (!(info.flags & kHtmlRawText)) return after;

    // Raw text runs to the element's own end tag, whatever it holds.
    std::size_t close = after;
    while (true) {
      close = html_.find("</", close);
      if (close == std::string_view::npos) {
        AddText(after, html_.size());
        Pop();
        return html_.size();
      }
      const std::string_view candidate = html_.substr(close + 2, name.size());
      const std::size_t behind = close + 2 + name.size();
      if (candidate.size() == name.size() &&
          std::equal(candidate.begin(), candidate.end(), name.begin(),
                     [](char a, char b) { return ToLowerAscii(a) == b; }) &&
          (behind >= html_.size() || IsHtmlBlank(html_[behind]) || html_[behind] == '/' ||
           html_[behind] == '>')) {
        break;
      }
      close += 2;
    }
    AddText(after, close);
    Pop();
    const std::size_t end = ClosingBracketEnd(close + 2);
    return end;
  }

  std::size_t EndTag(std::size_t nameStart) {
    const std::size_t nameEnd = TagNameEnd(nameStart);
    std::string_view name = html_.substr(nameStart, nameEnd - nameStart);
    if (HasUpperAscii(name)) name = OwnedLower(name);
    bool selfClosing = false;
    std::size_t after = ReadAttributes(nameEnd, false, selfClosing);
    if (after == std::string_view::npos) return html_.size();
    const TagInfo& info = LookUpTag(name);
    if (info.tag == Tag::Br) {  // "</br>" is read as "<br>"
      HtmlNode node;
      node.name = "br";
      node.parent = Top();
      node.flags = info.flags;
      node.end = static_cast<std::int32_t>(doc_.nodes_.size()) + 1;
      doc_.nodes_.push_back(node);
      tags_.push_back(Tag::Br);
      return after;
    }
    // Everything after them still belongs to the body.
    if (info.tag == Tag::Body || info.tag == Tag::Html) return after;
    // How far up an end tag reaches: an inline one not past a block, a
    // block's not out of a cell or table, a table part's not out of its
    // table (the cells and rows left open inside it end with it).
    const bool special = (info.flags & kHtmlSpecial) != 0;
    const bool tablePart = info.tag == Tag::Table || info.tag == Tag::TableSection ||
                           info.tag == Tag::Tr || info.tag == Tag::Td;
    const auto stop = [&](std::int32_t i) {
      const Tag open = TagOf(i);
      if (tablePart) return open == Tag::Table || open == Tag::Html;
      if (!special) return (FlagsOf(i) & kHtmlSpecial) != 0;
      if (FlagsOf(i) & kHtmlScope) return true;
      if (info.tag == Tag::Li) return open == Tag::Ul || open == Tag::Ol;
      return info.tag == Tag::P && open == Tag::Button;
    };
    const std::size_t depth = FindOpen([&](std::int32_t i) { return Node(i).name == name; }, stop);
    if (depth != std::string_view::npos) PopTo(depth);
    return after;
  }

  // The index past the "-->" that ends a comment whose text starts at `i`.
  std::size_t CommentEnd(std::size_t i) const {
    if (html_.substr(i, 1) == ">") return i + 1;   // "<!-->"
    if (html_.substr(i, 2) == "->") return i + 2;  // "<!--->"
    for (std::size_t at = html_.find("--", i); at != std::string_view::npos;
         at = html_.find("--", at + 1)) {
      if (html_.substr(at + 2, 1) == ">") return at + 3;
      if (html_.substr(at + 2, 2) == "!>") return at + 4;
    }
    return html_.size();
  }

  std::size_t ClosingBracketEnd(std::size_t i) const {
    const std::size_t close = html_.find('>', i);
    return close == std::string_view::npos ? html_.size() : close + 1;
  }

  HtmlDocument& doc_;
  std::string_view html_;
  std::vector<std::int32_t> open_;
  std::vector<Tag> tags_;  // each node's Tag, beside the nodes
  int foreignDepth_ = 0;
  int openParagraphs_ = 0;
};

HtmlDocument::HtmlDocument(std::string_view html) {
  HtmlTreeBuilder(*this, html).Build();
}

std::span<const HtmlAttribute> HtmlDocument::Attributes(int index) const {
  const HtmlNode& n = node(index);
  return std::span<const HtmlAttribute>(attributes_).subspan(n.firstAttribute, n.attributeCount);
}

std::optional<std::string_view> HtmlDocument::Attribute(int index, std::string_view name) const {
  for (const HtmlAttribute& attribute : Attributes(index)) {
    if (attribute.name == name) return attribute.value;
  }
  return std::nullopt;
}

std::string_view HtmlDocument::ClassValue(int index) const {
  const std::int32_t at = node(index).classAttribute;
  return at < 0 ? std::string_view() : attributes_[static_cast<std::size_t>(at)].value;
}

std::string_view HtmlDocument::IdValue(int index) const {
  const std::int32_t at = node(index).idAttribute;
  return at < 0 ? std::string_view() : attributes_[static_cast<std::size_t>(at)].value;
}

}  // namespace brivano
