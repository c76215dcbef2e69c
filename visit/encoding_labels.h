// The labels a page may name its charset by, as browsers read them: the
// WHATWG Encoding Standard's list. A label outside it ("utf-32", "utf-7",
// "ebcdic-cp-us", "scsu") names nothing, so the page is read as if it had
// named no charset, as a browser reads it; the encodings a browser refuses to
// decode ("hz-gb-2312", "iso-2022-kr", ...) are "replacement".
#pragma once

#include <string_view>

namespace brivano {

// The encoding's name in the standard, lower case ("gbk", "big5", "utf-8",
// "windows-1252", "replacement", ...), or empty for a label it does not list.
// Blanks around the label and ASCII case do not matter.
std::string_view WhatwgEncodingOfLabel(std::string_view label);

}  // namespace brivano
