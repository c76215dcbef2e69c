// A text file whose encoding the user chose or left to us (GBK, UTF-8,
// UTF-16), read whole into the program's GBK.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/text_encoding.h"

namespace brivano {

struct TextFile {
  std::string gbk;
  std::string_view encoding;  // as DecodedText names it; empty when not read
  int error = 0;              // errno of the failure; 0 when the file was read
  // The line on which a NUL byte (or NUL code unit) ended the text although
  // more followed it; 0 when none did. Lists that must not lose their tail
  // refuse such a file with NulInTextFileText.
  std::size_t nulLine = 0;
  bool ok() const { return error == 0; }
};

// "关键词文件“PATH”第3行含有空字符（NUL），其后的内容读不出来": `what` names the file.
std::string NulInTextFileText(const std::filesystem::path& path, std::size_t line,
                              std::string_view what);

// The content ends as DecodeText says: at the first NUL byte, or the first
// NUL code unit of UTF-16. A pipe or a device is read to its first NUL byte
// only (it may never end), so UTF-16 comes whole from regular files alone.
TextFile ReadTextFile(const std::filesystem::path& path, TextEncoding encoding);

}  // namespace brivano
