#include "files/text_file.h"

#include <utility>

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
  return file;
}

}  // namespace brivano
