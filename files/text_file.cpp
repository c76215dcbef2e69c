#include "files/text_file.h"

#include <utility>

#include "base/text_lines.h"
#include "files/whole_file.h"

namespace brivano {

TextFile ReadTextFile(const std::filesystem::path& path, TextEncoding encoding) {
  // To the end, not to the first NUL byte: every ASCII character of UTF-16
  // holds one.
  const WholeFile whole = ReadWholeFile(path, ReadUntil::FileEnd);
  TextFile file;
  if (!whole.ok()) {
    file.error = whole.error;
    return file;
  }
  DecodedText text = DecodeText(whole.bytes, encoding);
  file.gbk = std::move(text.gbk);
  file.encoding = text.encoding;
  // The NUL stands right behind the text that was read.
  if (text.cutAtNul) file.nulLine = LineOfByte(file.gbk, file.gbk.size());
  return file;
}

std::string NulInTextFileText(const std::filesystem::path& path, std::size_t line,
                              std::string_view what) {
  return std::string(what) + "“" + path.string() + "”第" + std::to_string(line) +
         "行含有空字符（NUL），其后的内容读不出来";
}

}  // namespace brivano
