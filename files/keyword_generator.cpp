#include "files/keyword_generator.h"

#include "base/text.h"
#include "files/atomic_file.h"
#include "files/file_errors.h"

namespace brivano {
constexpr std::size_t kBoxLineBytes = 4096;

std::vector<std::string_view> KeywordBoxLines(std::string_view text) {
  std::vector<std::string_view> lines;
  ForEachTextLine(text, kBoxLineBytes, [&](std::string_view line) { lines.push_back(line); });
  return lines;
}

void GenerateKeywordLines(const std::vector<std::string_view>& cities,
                          const std::vector<std::string_view>& trades, std::string_view lineEnd,
                          const std::function<void(std::string_view)>& emit) {
  constexpr std::size_t kBlockBytes = 1 << 20;
  std::string block;
  block.reserve(kBlockBytes + 2 * kBoxLineBytes + 8);
  for (std::string_view city : cities) {
    for (std::string_view trade : trades) {
      block.append(city);
      block.push_back(' ');
      block.append(trade);
      block.append(lineEnd);
      if (block.size() >= kBlockBytes) {
        emit(block);
        block.clear();
      }
    }
  }
  if (!block.empty()) emit(block);
}

std::string GenerateKeywordList(std::string_view cityText, std::string_view tradeText) {
  std::string list;
  GenerateKeywordLines(KeywordBoxLines(cityText), KeywordBoxLines(tradeText), "\r\n",
                       [&](std::string_view block) { list.append(block); });
  return list;
}

bool SaveKeywordList(const std::filesystem::path& path, std::string_view text,
                     UserFeedback& feedback) {
  const FileResult result = WriteFileAtomically(path, text);
  if (!result.ok()) feedback.ShowError(Gbk(CannotCreateFileText(path, result.error)));
  return result.ok();
}

}  // namespace brivano
