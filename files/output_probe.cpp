#include "files/output_probe.h"

#include <sys/stat.h>

#include <cerrno>

#include "files/atomic_file.h"
#include "files/file_errors.h"

namespace brivano {

std::optional<std::string> OutputFileProblem(const std::filesystem::path& output) {
  struct stat info {};
  if (::stat(output.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return CannotCreateFileText(output, EISDIR);
    if (!S_ISREG(info.st_mode)) return std::nullopt;
  }
  const AtomicFileWriter probe(output);  // its temporary goes with it
  if (probe.error() != 0) return CannotCreateFileText(output, probe.error());
  return std::nullopt;
}

}  // namespace brivano
