#include "files/keyword_generator.h"

#include <vector>

#include "base/text.h"
#include "files/atomic_file.h"
#include "files/file_errors.h"

namespace brivano {
namespace {

constexpr std::size_t kBoxLineBytes = 4096;

std::vector<std::string_view> BoxLines(std::string_view text) {
  std::vector<std::string_view> lines;
  ForEachTextLine(text, kBoxLineBytes, [&](std::string_view line) { lines.push_back(line); });
  return lines;
}

}  // namespace

std::string GenerateKeywordList(std::string_view cityText, std::string_view tradeText) {
  const std::vector<std::string_view> cities = BoxLines(cityText);
  const std::vector<std::string_view> trades = BoxLines(tradeText);
  std::size_t tradeBytes = 0;
  for (std::string_view trade : trades) tradeBytes += trade.size() + 3;  // blank, CR LF
  std::size_t total = 0;
  for (std::string_view city : cities) total += city.size() * trades.size() + tradeBytes;
  std::string list;
  list.reserve(total);
  for (std::string_view city : cities) {
    for (std::string_view trade : trades) {
      list.append(city);
      list.push_back(' ');
      list.append(trade);
      list.append("\r\n");
    }
  }
  return list;
}

bool SaveKeywordList(const std::filesystem::path& path, std::string_view text,
                     UserFeedback& feedback) {
  const FileResult result = WriteFileAtomically(path, text);
  if (!result.ok()) feedback.ShowError(Gbk(CannotCreateFileText(path, result.error)));
  return result.ok();
}

}  // namespace brivano
