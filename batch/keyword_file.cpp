#include "batch/keyword_file.h"

#include <cstring>

#include "base/text.h"
#include "files/whole_file.h"

namespace brivano {

KeywordFile ReadKeywordFile(const std::filesystem::path& path) {
  KeywordFile file;
  const WholeFile whole = ReadWholeFile(path, ReadUntil::FirstNul);
  if (!whole.ok()) {
    file.error = "无法读取关键词文件“" + path.string() + "”：" + std::strerror(whole.error);
    return file;
  }
  std::string_view content = whole.bytes;
  if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);
  file.lines = SplitTextLines(ReadsAsUtf8(content) ? Utf8ToGbk(content) : std::string(content));
  return file;
}

}  // namespace brivano
