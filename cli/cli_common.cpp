#include "cli/cli_common.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace brivano::cli {

Arguments::Arguments(std::span<char* const> args)
    : args_(args.begin(), args.end()), used_(args_.size(), false) {}

std::optional<std::string> Arguments::Option(std::string_view name) {
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (used_[i] || args_[i] != name) continue;
    if (i + 1 >= args_.size()) throw UsageError{std::string(name) + " needs a value"};
    used_[i] = used_[i + 1] = true;
    return args_[i + 1];
  }
  return std::nullopt;
}

bool Arguments::Flag(std::string_view name) {
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (!used_[i] && args_[i] == name) {
      used_[i] = true;
      return true;
    }
  }
  return false;
}

std::vector<std::string> Arguments::Positionals() const {
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (used_[i]) continue;
    if (args_[i].size() > 1 && args_[i][0] == '-' && args_[i] != "--") {
      throw UsageError{"unknown option " + args_[i]};
    }
    rest.push_back(args_[i]);
  }
  return rest;
}

namespace {

[[noreturn]] void ThrowCannotOpen(const std::string& path, int error) {
  throw std::runtime_error("Cannot open file \"" + path + "\". " + std::strerror(error));
}

std::string ReadAll(int fd, const std::string& path) {
  std::string content;
  char buffer[1 << 16];
  while (true) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowCannotOpen(path, errno);
    }
    content.append(buffer, static_cast<std::size_t>(got));
  }
  return content;
}

}  // namespace

InputFile::InputFile(const std::string& path) {
  if (path.empty() || path == "-") {
    copy_ = ReadAll(STDIN_FILENO, "-");
    return;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowCannotOpen(path, errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    ThrowCannotOpen(path, error);
  }
  if (S_ISDIR(info.st_mode)) {
    ::close(fd);
    ThrowCannotOpen(path, EISDIR);
  }
  if (S_ISREG(info.st_mode) && info.st_size > 0) {
    void* map =
        ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      ::madvise(map, static_cast<std::size_t>(info.st_size), MADV_SEQUENTIAL);
      mapped_ = static_cast<const char*>(map);
      size_ = static_cast<std::size_t>(info.st_size);
      ::close(fd);
      return;
    }
  }
  try {
    copy_ = ReadAll(fd, path);
  } catch (...) {
    ::close(fd);
    throw;
  }
  ::close(fd);
}

InputFile::~InputFile() {
  if (mapped_) ::munmap(const_cast<char*>(mapped_), size_);
}

}  // namespace brivano::cli
