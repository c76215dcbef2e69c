// Reading a file whole, as every file of the program is read.
#pragma once

#include <filesystem>
#include <string>

namespace brivano {

struct WholeFile {
  std::string bytes;
  int error = 0;  // errno of the failure; 0 when the file was read
  bool ok() const { return error == 0; }
};

// A folder given as a file reads as EISDIR.
WholeFile ReadWholeFile(const std::filesystem::path& path);

}  // namespace brivano
