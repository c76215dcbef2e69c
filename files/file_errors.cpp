#include "files/file_errors.h"

#include <cerrno>
#include <cstring>

namespace brivano {

std::string IoErrorText(int error, FileOperation operation) {
  switch (error) {
    case ENOENT:
      return operation == FileOperation::Read ? "File not found" : "Invalid filename";
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
      return "Invalid filename";
    case EMFILE:
    case ENFILE:
      return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return "Disk full";
    default: {
      std::string text = "I/O error ";
      text.append(std::to_string(error));
      return text;
    }
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
  return FileMessage("Cannot open file \"", path, "\". ") + std::strerror(error);
}

std::string CannotCreateFileText(const std::filesystem::path& path, int error) {
  return FileMessage("Cannot create file \"", path, "\". ") + std::strerror(error);
}

std::string UnableToWriteText(const std::filesystem::path& path) {
  return FileMessage("Unable to write to ", path, "");
}

}  // namespace brivano
