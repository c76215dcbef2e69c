// The runtime's texts for failed file operations, worked out from the
// system's error number. All texts are UTF-8; callers that show them in the
// window convert them to GBK.
#pragma once

#include <filesystem>
#include <string>

namespace brivano {

// What was being done when a file operation failed: opening an existing file
// reads "not found" differently from creating a new one, whose missing folder
// makes the name itself invalid.
enum class FileOperation { Read, Create };

// The runtime's text for a failed line-by-line text write or open, from the
// errno value: "File not found" (a missing file, when reading), "Invalid
// filename" (also a missing folder when creating), "Too many open files",
// "File access denied" (also a read-only file system or a name that is a
// folder), "Disk full", and "I/O error %d" with the errno value for the rest.
std::string IoErrorText(int error, FileOperation operation = FileOperation::Create);

// "Cannot open file "%s". %s" with the system's description of the error.
std::string CannotOpenFileText(const std::filesystem::path& path, int error);
// "Cannot create file "%s". %s".
std::string CannotCreateFileText(const std::filesystem::path& path, int error);
// "Unable to write to %s".
std::string UnableToWriteText(const std::filesystem::path& path);

}  // namespace brivano
