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

}  // namespace brivano
