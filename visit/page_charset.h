// The text of a fetched site page as UTF-8. Company sites come in GBK,
// GB18030, Big5, UTF-8, now and then UTF-16 or a Western code page, and their
// declarations are not always true; this settles on one charset per page and
// decodes with it.
#pragma once

#include <string>
#include <string_view>

namespace brivano {

struct DecodedPage {
  std::string utf8{};
  // The charset the bytes were decoded with, in lower case: "utf-8",
  // "utf-16le", "utf-16be", "gb18030" (for every GBK name too: it is their
  // superset), "big5", "windows-1252" (for the Latin-1 names too), or another
  // name ICU knows, as the page declared it.
  std::string charset{};
};

// The charset comes from the first of: a byte-order mark; the charset
// parameter of the HTTP Content-Type header (`contentType`, may be empty); a
// <meta> tag in the page's first 4 KiB; ICU's charset detector, trusted only
// for GB18030, Big5 and UTF-8; else UTF-8 when the bytes are valid UTF-8, else
// GB18030. A declaration of UTF-8 on bytes that are not UTF-8 but read as GBK,
// or of a GBK name on bytes that read as UTF-8 Chinese, gives way to the
// bytes. A declared name ICU does not know counts as no declaration. Bytes
// that are no character of the charset become U+FFFD; never throws.
DecodedPage DecodePage(std::string_view bytes, std::string_view contentType);

}  // namespace brivano
