// The text of a part of a page as a rendered page reads it: scripts, styles
// and hidden parts dropped, block elements on lines of their own, runs of
// blanks as one, lines trimmed and empty lines dropped.
#pragma once

#include <string>

#include "search/html_tree.h"

namespace brivano {

// The rendered text of the node at `index` and everything inside it, its
// lines joined by "\n" (UTF-8).
std::string RenderedText(const HtmlDocument& document, int index);

// The same text on one line: its line breaks read as blanks. A title or a
// displayed address.
std::string OneLineText(const HtmlDocument& document, int index);

// The rendered text of the whole document, whatever stands outside its
// <html> element (a site page's markup need not have one).
std::string DocumentText(const HtmlDocument& document);

}  // namespace brivano
