// The merge command 合并: the distinct lines of several text files, sorted,
// in one new file. Lines are equal when they differ in letter case only (see
// LineCollation); of equal lines the first one read is kept, in its own
// spelling. All inputs are read before the output is written, so the output
// may be one of them.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "files/file_interfaces.h"

namespace brivano {

inline constexpr std::string_view kMergeWorkingText = "数据正处理中...";            // UTF-8
inline constexpr std::string_view kMergeFinishedText = "文件合并去重完毕！共计：";  // UTF-8
inline constexpr std::string_view kMergeFailedText = "文件合并失败！";              // UTF-8
inline constexpr std::string_view kOutOfMemoryText = "内存不足，无法完成合并。";    // UTF-8

struct MergeOutcome {
  // Distinct lines gathered: all of them after success, those of the inputs
  // read before a failure otherwise.
  std::size_t distinctLines = 0;
  std::string error;  // UTF-8 message; empty when the output was written
  bool ok() const { return error.empty(); }
};

// Reads every input, then writes the output atomically. An input that
// cannot be read ends the merge with "Cannot open file "%s". %s" before any
// output is written; an output that cannot be written gives "Cannot create
// file "%s". %s" and leaves a former file of that name as it was.
MergeOutcome MergeFiles(const std::vector<std::filesystem::path>& inputs,
                        const std::filesystem::path& output);

// 合并 after its two dialogs: busy
// cursor, status texts, the merge and its error box. A failed merge leaves
// "文件合并失败！" on the status panel, never the completion text.
MergeOutcome MergeWithFeedback(const std::vector<std::filesystem::path>& inputs,
                               const std::filesystem::path& output, UserFeedback& feedback);

// "文件合并去重完毕！共计：" followed by the count, in UTF-8.
std::string MergeFinishedText(std::size_t distinctLines);

}  // namespace brivano
