// A keyword file for brivano-run: GBK, UTF-8 or UTF-16, one keyword line a
// line, as the desktop program's keyword box holds them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/text_encoding.h"

namespace brivano {

struct KeywordFile {
  std::vector<std::string> lines;  // GBK; an empty last line does not count
  std::string encoding;  // what it was read as ("GBK", "UTF-8", "UTF-16LE", …; see DecodedText)
  std::string error;     // the user's message (UTF-8) when it could not be read
};

// Read as DecodeText reads: a byte-order mark, else GBK or UTF-8 by weighing
// the text, unless `encoding` names one.
KeywordFile ReadKeywordFile(const std::filesystem::path& path,
                            TextEncoding encoding = TextEncoding::Auto);

}  // namespace brivano
