// The keyword-list generator's logic (the window KeywordGeneratorWindow's 创建 and 保存).
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_interfaces.h"

namespace brivano {

inline constexpr std::string_view kBuiltInCities =
    "广州\r\n深圳\r\n东莞\r\n上海\r\n北京\r\n南京";  // UTF-8
inline constexpr std::string_view kBuiltInTrades =
    "旅行社\r\n酒店\r\n机械\r\n化工\r\n纺织\r\n电器";                               // UTF-8
inline constexpr std::string_view kKeywordListFileName = "搜索关键词列表文件.txt";  // UTF-8

// 创建: for every line of the city box and, within it,
// every line of the trade box, the city, one blank and the trade, each line
// ended by CR LF. The boxes' texts are GBK and split into lines as a text box
// does (an empty last line does not count, at most 4096 bytes of a line);
// nothing is trimmed or skipped.
std::string GenerateKeywordList(std::string_view cityText, std::string_view tradeText);

// The lines of a box as 创建 reads them.
std::vector<std::string_view> KeywordBoxLines(std::string_view text);
// 创建 as a stream, for lists whose product is too large to hold: the same
// lines, each ended by `lineEnd`, handed to `emit` in order, in blocks of
// about a megabyte.
void GenerateKeywordLines(const std::vector<std::string_view>& cities,
                          const std::vector<std::string_view>& trades, std::string_view lineEnd,
                          const std::function<void(std::string_view)>& emit);

// 保存, after its dialog: writes the result box's text
// unchanged. A failure shows "Cannot create file "%s". %s" and returns false.
bool SaveKeywordList(const std::filesystem::path& path, std::string_view text,
                     UserFeedback& feedback);

}  // namespace brivano
