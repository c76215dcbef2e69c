// Who a result belongs to: a company's name as a result's title or text
// gives it ("深圳市某某科技有限公司"), and the title without the suffixes an
// engine or a site adds to it ("_百度百科", " - 360百科", "_官网"). UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace brivano {

// The first company name in `title`, else in `text`; empty when neither
// holds one.
std::string CompanyName(std::string_view title, std::string_view text);

// The title with the engines' and sites' own suffixes taken off, trimmed.
std::string CleanTitle(std::string_view title);

// The company a site's own page names: in its copyright or ICP record line
// ("版权所有", "©", "Copyright", "ICP备"), which names the site's owner, else in
// its title; empty when neither does. `text` is the page's text, line by
// line.
std::string SiteOwnerName(std::string_view title, std::string_view text);

}  // namespace brivano
