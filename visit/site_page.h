// What a visit reads of a fetched site page (already decoded to UTF-8): its
// title, its text as a rendered page reads it, for the contact extractors,
// and its links, to choose the site's contact pages from. Read with the same
// tolerant reader as the engines' result pages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "visit/contact_links.h"

namespace brivano {

struct SitePage {
  std::string title{};  // UTF-8, blanks collapsed
  // UTF-8, line by line as a rendered page reads: scripts, styles, <noscript>
  // (a browser running scripts never shows it), comments and hidden parts
  // dropped; block elements and <br> break the line, table cells of a row
  // stay on its line apart by a blank.
  std::string text{};
  // In the page's order: every <a href> and <area href>, and every <frame
  // src> and <iframe src>, as absolute http(s) addresses resolved against
  // the page's <base href> or else its own address. An <a>'s text is its
  // visible text, else the alt of an image inside it, else its title; an
  // <area>'s its alt, else its title; a frame's and a meta refresh's none.
  std::vector<PageLink> links{};
  // The target of a <meta http-equiv="refresh" content="0;url=...">
  // (absolute; empty if none): a landing page that only forwards, as old
  // company sites have, is to be followed as the landing page.
  std::string refreshTarget{};
};

// `pageAddress` is the page's address after redirects.
SitePage ReadSitePage(std::string_view utf8Html, std::string_view pageAddress);

}  // namespace brivano
