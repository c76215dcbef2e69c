#include "batch/keyword_file.h"

#include "base/error_text.h"
#include "base/text.h"
#include "files/text_file.h"

namespace brivano {

KeywordFile ReadKeywordFile(const std::filesystem::path& path, TextEncoding encoding) {
  KeywordFile file;
  const TextFile text = ReadTextFile(path, encoding);
  if (!text.ok()) {
    file.error = "无法读取关键词文件“" + path.string() + "”：" + ErrnoText(text.error);
    return file;
  }
  // A list that ended at a NUL would run only its first keywords and call
  // the list done.
  if (text.nulLine != 0) {
    file.error = NulInTextFileText(path, text.nulLine, "关键词文件");
    return file;
  }
  file.lines = SplitTextLines(text.gbk);
  file.encoding = text.encoding;
  return file;
}

}  // namespace brivano
