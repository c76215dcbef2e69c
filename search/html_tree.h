// A page's markup read into a tree the way a browser reads real engine pages,
// tolerant of what they get wrong: unquoted and repeated attributes, end tags
// left out (p, li, td, option...), end tags without a start, script text
// holding markup. The nodes lie in one array in document order, each with
// the index past its last descendant, so "inside an element" is a range and
// no node needs a list of children.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brivano {

// Whitespace as HTML counts it: space, tab, line feed, carriage return, form
// feed.
constexpr bool IsHtmlBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
// Without the HTML blanks at either end.
constexpr std::string_view TrimHtmlBlanks(std::string_view text) {
  while (!text.empty() && IsHtmlBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsHtmlBlank(text.back())) text.remove_suffix(1);
  return text;
}

// What the reader and the text renderer need to know of a tag.
enum HtmlTagFlag : std::uint16_t {
  kHtmlVoid = 1 << 0,        // never has content: <br>, <img>, <meta>...
  kHtmlRawText = 1 << 1,     // content is text up to its end tag: <script>, <style>...
  kHtmlBlock = 1 << 2,       // a line of its own in the rendered text
  kHtmlUnseen = 1 << 3,      // never rendered: <script>, <style>, <head>...
  kHtmlClosesP = 1 << 4,     // its start tag ends an open <p>
  kHtmlSpecial = 1 << 5,     // an end tag of another element does not reach past it
  kHtmlScope = 1 << 6,       // an end tag does not reach past it at all (<table>, <td>...)
  kHtmlForeign = 1 << 7,     // <svg>, <math>: "/>" ends an element inside
  kHtmlCell = 1 << 8,        // <td>, <th>: a blank between cells in the text
  kHtmlReferences = 1 << 9,  // raw text in which character references count (<textarea>, <title>)
  kHtmlLineBreak = 1 << 10,  // <br>
};

struct HtmlAttribute {
  std::string_view name;   // lower case
  std::string_view value;  // character references decoded
};

struct HtmlNode {
  // An element's lower-case tag name; empty for a text node.
  std::string_view name;
  // A text node's text as it stands in the markup (references not decoded).
  std::string_view text;
  std::int32_t parent = -1;
  std::int32_t end = 0;  // one past the node's last descendant
  std::uint32_t firstAttribute = 0;
  std::uint16_t attributeCount = 0;
  std::uint16_t flags = 0;  // HtmlTagFlag
  // Indexes into the attributes of "class" and "id", or -1: every selector
  // asks for them.
  std::int32_t classAttribute = -1;
  std::int32_t idAttribute = -1;

  bool IsElement() const { return !name.empty(); }
};

class HtmlDocument {
 public:
  explicit HtmlDocument(std::string_view html);
  HtmlDocument(const HtmlDocument&) = delete;
  HtmlDocument& operator=(const HtmlDocument&) = delete;

  const std::vector<HtmlNode>& nodes() const { return nodes_; }
  const HtmlNode& node(int index) const { return nodes_[static_cast<std::size_t>(index)]; }
  std::span<const HtmlAttribute> Attributes(int index) const;
  // The value of the attribute `name` (lower case), if the element has it.
  std::optional<std::string_view> Attribute(int index, std::string_view name) const;
  std::string_view ClassValue(int index) const;
  std::string_view IdValue(int index) const;

 private:
  friend class HtmlTreeBuilder;
  std::vector<HtmlNode> nodes_;
  std::vector<HtmlAttribute> attributes_;
  // Names that were not lower case and values whose references were
  // decoded; a deque keeps the views into them valid as it grows.
  std::deque<std::string> owned_;
};

// Appends `text` to `out` with its character references (&amp; &nbsp;
// &#20013; &#x4E2D;) decoded to UTF-8. In an attribute value a reference
// without ";" followed by a letter, digit or "=" stays as it is, so that
// "?a=1&copy=2" keeps its parameter.
void AppendDecodedText(std::string_view text, bool inAttribute, std::string& out);
// The character reference at `text[at]` (an '&') appended to `out` as UTF-8;
// its length in `text`, or 0 when the '&' starts none and stands for itself.
std::size_t AppendCharacterReference(std::string_view text, std::size_t at, bool inAttribute,
                                     std::string& out);

}  // namespace brivano
