#include "files/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace brivano {

WholeFile ReadWholeFile(const std::filesystem::path& path, ReadUntil until) {
  WholeFile file;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    file.error = errno;
    return file;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    file.error = errno;
  } else if (S_ISDIR(info.st_mode)) {
    file.error = EISDIR;
  } else if (!S_ISREG(info.st_mode)) {
    // A device or a pipe may never end (/dev/zero): only its content is read.
    until = ReadUntil::FirstNul;
  }
  // The size is a hint only: a file that grows or shrinks while it is read
  // is read to its actual end.
  std::size_t capacity = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : 4096;
  std::size_t size = 0;
  while (file.error == 0) {
    if (size == capacity) capacity *= 2;
    file.bytes.resize(capacity);
    const ssize_t got = ::read(fd, file.bytes.data() + size, capacity - size);
    if (got == 0) break;
    if (got < 0) {
      if (errno != EINTR) file.error = errno;
      continue;
    }
    if (until == ReadUntil::FirstNul) {
      if (const void* nul =
              std::memchr(file.bytes.data() + size, '\0', static_cast<std::size_t>(got))) {
        size = static_cast<std::size_t>(static_cast<const char*>(nul) - file.bytes.data());
        file.cutAtNul = true;
        break;
      }
    }
    size += static_cast<std::size_t>(got);
  }
  file.bytes.resize(file.error == 0 ? size : 0);
  ::close(fd);
  return file;
}

}  // namespace brivano
