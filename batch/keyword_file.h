// A keyword file for brivano-run: GBK or UTF-8, one keyword line a line, as
// the desktop program's keyword box holds them.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace brivano {

struct KeywordFile {
  std::vector<std::string> lines;  // GBK; an empty last line does not count
  std::string error;               // the user's message (UTF-8) when it could not be read
};

// The content ends at its first NUL byte. It is read as UTF-8 when it reads
// as UTF-8 (a leading byte-order mark is dropped), otherwise as GBK.
KeywordFile ReadKeywordFile(const std::filesystem::path& path);

}  // namespace brivano
