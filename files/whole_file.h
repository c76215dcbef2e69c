// Reading a file whole, as every file of the program is read.
#pragma once

#include <filesystem>
#include <string>

namespace brivano {

struct WholeFile {
  std::string bytes;
  int error = 0;  // errno of the failure; 0 when the file was read
  // Reading stopped at a NUL byte: the file holds more than `bytes`.
  bool cutAtNul = false;
  bool ok() const { return error == 0; }
};

// Where reading stops. A text's content ends at its first NUL byte; reading
// on would only fill memory (/dev/zero never ends), so readers that want the
// content stop there. Readers that must keep the bytes after it read to the
// end.
enum class ReadUntil { FileEnd, FirstNul };

// A folder given as a file reads as EISDIR.
WholeFile ReadWholeFile(const std::filesystem::path& path, ReadUntil until = ReadUntil::FileEnd);

}  // namespace brivano
