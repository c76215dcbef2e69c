// The user's texts for failed file operations, worked out from the system's
// error number, in Chinese. All texts are UTF-8; callers that show them in
// the window convert them to GBK, and the command-line programs put their
// name in front (ErrorLine).
#pragma once

#include <filesystem>
#include <string>

namespace brivano {

// What was being done when a file operation failed: opening an existing file
// reads "not found" differently from creating a new one, whose missing folder
// makes the name itself invalid.
enum class FileOperation { Read, Create };

// The short text of a message box after a failed save or open, from the
// errno value: "找不到文件" (a missing file, when reading), "文件名无效" (also a
// missing folder when creating), "打开的文件过多", "无法访问文件" (also a
// read-only file system or a name that is a folder), "磁盘已满", and
// "文件读写错误：" with the system's words for the rest.
std::string IoErrorText(int error, FileOperation operation = FileOperation::Create);

// "无法打开文件“%s”：%s" with the system's words for the error (ErrnoText).
std::string CannotOpenFileText(const std::filesystem::path& path, int error);
// "无法读取文件“%s”：%s", for a file that opened but could not be read.
std::string CannotReadFileText(const std::filesystem::path& path, int error);
// "无法创建文件“%s”：%s".
std::string CannotCreateFileText(const std::filesystem::path& path, int error);
// "无法写入文件“%s”".
std::string UnableToWriteText(const std::filesystem::path& path);

}  // namespace brivano
