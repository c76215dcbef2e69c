#include "files/file_errors.h"

#include <cerrno>

#include "base/error_text.h"

namespace brivano {

std::string IoErrorText(int error, FileOperation operation) {
  switch (error) {
    case ENOENT:
      return operation == FileOperation::Read ? "找不到文件" : "文件名无效";
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
      return "文件名无效";
    case EMFILE:
    case ENFILE:
      return "打开的文件过多";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return "无法访问文件";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return "磁盘已满";
    default:
      return "文件读写错误：" + ErrnoText(error);
  }
}

namespace {

// Built by appending: GCC 12 warns falsely about "literal" + std::string.
std::string FileMessage(std::string_view before, const std::filesystem::path& path,
                        std::string_view after) {
  std::string message(before);
  message.append(path.string());
  message.append(after);
  return message;
}

}  // namespace

std::string CannotOpenFileText(const std::filesystem::path& path, int error) {
  return FileMessage("无法打开文件“", path, "”：") + ErrnoText(error);
}

std::string CannotReadFileText(const std::filesystem::path& path, int error) {
  return FileMessage("无法读取文件“", path, "”：") + ErrnoText(error);
}

std::string CannotCreateFileText(const std::filesystem::path& path, int error) {
  return FileMessage("无法创建文件“", path, "”：") + ErrnoText(error);
}

std::string UnableToWriteText(const std::filesystem::path& path) {
  return FileMessage("无法写入文件“", path, "”");
}

}  // namespace brivano
