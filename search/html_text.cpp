#include "search/html_text.h"

#include <utility>
#include <vector>

namespace brivano {
namespace {

// A no-break space is a blank here: the text is read for its words, and a
// title padded with &nbsp; should not keep the padding.
constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

// Writes text with blanks and line breaks held back until something visible
// follows, so that no line starts or ends with a blank and none is empty.
class TextWriter {
 public:
  explicit TextWriter(bool oneLine) : oneLine_(oneLine) {}

  void Break() { pendingBreak_ = true; }
  void Blank() { pendingBlank_ = true; }

  void Text(std::string_view raw, bool references) {
    std::size_t i = 0;
    while (i < raw.size()) {
      std::size_t j = i;
      while (j < raw.size() && !IsHtmlBlank(raw[j]) && raw[j] != '&' && raw[j] != '\xC2') ++j;
      if (j > i) {
        Visible(raw.substr(i, j - i));
        i = j;
        continue;
      }
      if (IsHtmlBlank(raw[i])) {
        pendingBlank_ = true;
        ++i;
      } else if (raw.substr(i, 2) == kNoBreakSpace) {
        pendingBlank_ = true;
        i += 2;
      } else if (raw[i] == '&' && references) {
        scratch_.clear();
        const std::size_t length = AppendCharacterReference(raw, i, false, scratch_);
        if (length == 0) {
          Visible("&");
          ++i;
          continue;
        }
        if (scratch_ == kNoBreakSpace || (scratch_.size() == 1 && IsHtmlBlank(scratch_[0]))) {
          pendingBlank_ = true;
        } else {
          Visible(scratch_);
        }
        i += length;
      } else {
        Visible(raw.substr(i, 1));
        ++i;
      }
    }
  }

  std::string Take() { return std::move(out_); }

 private:
  void Visible(std::string_view text) {
    if (!out_.empty()) {
      if (pendingBreak_ && !oneLine_) {
        out_.push_back('\n');
      } else if (pendingBreak_ || pendingBlank_) {
        out_.push_back(' ');
      }
    }
    pendingBreak_ = pendingBlank_ = false;
    out_.append(text);
  }

  bool oneLine_;
  bool pendingBreak_ = false;
  bool pendingBlank_ = false;
  std::string out_;
  std::string scratch_;
};

// Hidden by the markup itself; a page's style sheets are not read.
bool IsHidden(const HtmlDocument& document, int index) {
  for (const HtmlAttribute& attribute : document.Attributes(index)) {
    if (attribute.name == "hidden") return true;
    if (attribute.name != "style") continue;
    const std::string_view style = attribute.value;
    for (std::size_t at = style.find("display"); at != std::string_view::npos;
         at = style.find("display", at + 1)) {
      std::size_t i = at + 7;
      while (i < style.size() && IsHtmlBlank(style[i])) ++i;
      if (i >= style.size() || style[i] != ':') continue;
      ++i;
      while (i < style.size() && IsHtmlBlank(style[i])) ++i;
      if (style.substr(i, 4) == "none") return true;
    }
  }
  return false;
}

// Renders the nodes from `begin` to `end`; the node at `shown` (if any) is
// rendered even when it is an element never shown, as a <title> asked for
// its text.
std::string Render(const HtmlDocument& document, std::int32_t begin, std::int32_t end,
                   std::int32_t shown, bool oneLine) {
  const std::vector<HtmlNode>& nodes = document.nodes();
  TextWriter writer(oneLine);
  // The ends of the open block elements and cells, to break the line (or
  // set a blank) where each one ends.
  std::vector<std::pair<std::int32_t, bool>> ends;
  for (std::int32_t i = begin; i < end;) {
    while (!ends.empty() && ends.back().first <= i) {
      if (ends.back().second) {
        writer.Break();
      } else {
        writer.Blank();
      }
      ends.pop_back();
    }
    const HtmlNode& node = nodes[static_cast<std::size_t>(i)];
    if (!node.IsElement()) {
      const std::uint16_t parentFlags =
          node.parent < 0 ? 0 : nodes[static_cast<std::size_t>(node.parent)].flags;
      writer.Text(node.text, !(parentFlags & kHtmlRawText) || (parentFlags & kHtmlReferences) != 0);
      ++i;
      continue;
    }
    if (i != shown &&
        ((node.flags & kHtmlUnseen) || (node.attributeCount > 0 && IsHidden(document, i)))) {
      i = node.end;
      continue;
    }
    if (node.flags & kHtmlBlock) {
      writer.Break();
      ends.emplace_back(node.end, true);
    } else if (node.flags & kHtmlCell) {
      writer.Blank();
      ends.emplace_back(node.end, false);
    } else if (node.flags & kHtmlLineBreak) {
      writer.Break();
    }
    ++i;
  }
  return writer.Take();
}

}  // namespace

std::string RenderedText(const HtmlDocument& document, int index) {
  return Render(document, index, document.node(index).end, index, false);
}

std::string OneLineText(const HtmlDocument& document, int index) {
  return Render(document, index, document.node(index).end, index, true);
}

std::string DocumentText(const HtmlDocument& document) {
  return Render(document, 0, static_cast<std::int32_t>(document.nodes().size()), -1, false);
}

}  // namespace brivano
