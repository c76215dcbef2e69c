// The result blocks of an engine's results page, read from its markup: each
// block's text, title, target address and displayed site, in document order.
// The run reads them from the document the browser shows (its serialized
// markup); `brivano-cli blocks` from a saved page, with the same code, so a
// new layout can be checked against the engine rows' selectors.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "search/engine_table.h"

namespace brivano {

struct ResultBlock {
  // The block's text as a rendered page's text reads: scripts and styles
  // dropped, block elements as line breaks, blanks collapsed (UTF-8).
  std::string text;
  std::string title;  // the title link's text, blanks collapsed (UTF-8)
  // The result's own address where the page tells it (an attribute such as
  // Baidu's "mu", a Bing "ck/a" link decoded, or a title link that is no
  // redirect); empty when only a redirect is known.
  std::string target;
  std::string link;  // the title link's address as it stands (may be a redirect)
  // The displayed site ("www.example.com"), or the target's host when the
  // page shows none.
  std::string site;
};

// The blocks of `html` (UTF-8 markup) by the row's result-block selectors;
// a block inside another block is part of it, not a block of its own.
std::vector<ResultBlock> ReadResultBlocks(std::string_view html, const EngineRow& row);

// A saved page's bytes as UTF-8 markup: by its byte-order mark, else by the
// charset its head names (GBK, GB2312, GB18030), else UTF-8 unless its bytes
// read as GBK rather than UTF-8.
std::string SavedPageAsUtf8(std::string page);

}  // namespace brivano
