#include "cli/cli_common.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace brivano::cli {

Arguments::Arguments(std::span<char* const> args)
    : args_(args.begin(), args.end()), used_(args_.size(), false), optionsEnd_(args_.size()) {
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (args_[i] == "--") {
      optionsEnd_ = i;
      used_[i] = true;
      break;
    }
  }
}

std::optional<std::size_t> Arguments::Find(std::string_view name) const {
  std::optional<std::size_t> found;
  for (std::size_t i = 0; i < optionsEnd_; ++i) {
    if (used_[i] || args_[i] != name) continue;
    if (found) throw UsageError{std::string(name) + " given twice"};
    found = i;
  }
  return found;
}

std::optional<std::string> Arguments::Option(std::string_view name) {
  const std::optional<std::size_t> i = Find(name);
  if (!i) return std::nullopt;
  if (*i + 1 >= optionsEnd_) throw UsageError{std::string(name) + " needs a value"};
  used_[*i] = used_[*i + 1] = true;
  return args_[*i + 1];
}

bool Arguments::Flag(std::string_view name) {
  const std::optional<std::size_t> i = Find(name);
  if (i) used_[*i] = true;
  return i.has_value();
}

std::vector<std::string> Arguments::Positionals() const {
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (used_[i]) continue;
    if (i < optionsEnd_ && args_[i].size() > 1 && args_[i][0] == '-') {
      throw UsageError{"unknown option " + args_[i]};
    }
    rest.push_back(args_[i]);
  }
  return rest;
}

bool Arguments::WantsHelp() const {
  for (std::size_t i = 0; i < optionsEnd_; ++i) {
    if (!used_[i] && (args_[i] == "--help" || args_[i] == "-h")) return true;
  }
  return false;
}

const std::string& FileName(const std::string& name) {
  if (name.empty()) throw UsageError{"empty file name"};
  return name;
}

std::int32_t DecimalArgument(std::string_view option, const std::string& text,
                             std::int32_t minimum) {
  std::int64_t value = 0;
  bool valid = !text.empty() && text.size() <= 10;
  for (const char c : text) {
    if (c < '0' || c > '9') valid = false;
    value = value * 10 + (c - '0');
  }
  if (!valid || value < minimum || value > INT32_MAX) {
    throw UsageError{std::string(option) + " needs a decimal number of " + std::to_string(minimum) +
                     " or more"};
  }
  return static_cast<std::int32_t>(value);
}

namespace {

[[noreturn]] void ThrowOutputError(int error) {
  throw std::runtime_error(std::string("brivano-cli: cannot write to standard output: ") +
                           std::strerror(error));
}

}  // namespace

void Print(std::string_view text) {
  if (text.empty()) return;
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
    ThrowOutputError(errno != 0 ? errno : EIO);
  }
}

void FinishOutput() {
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) ThrowOutputError(errno != 0 ? errno : EIO);
}

namespace {

[[noreturn]] void ThrowCannotOpen(const std::string& path, int error) {
  throw std::runtime_error("Cannot open file \"" + path + "\". " + std::strerror(error));
}

}  // namespace

InputFile::InputFile(const std::string& path) : path_(path) {
  if (path == "-") {
    fd_ = STDIN_FILENO;
    return;
  }
  const int fd = ::open(FileName(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowCannotOpen(path, errno);
  struct stat info {};
  const int error = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
  if (error != 0) {
    ::close(fd);
    ThrowCannotOpen(path, error);
  }
  fd_ = fd;
  if (S_ISREG(info.st_mode) && info.st_size > 0) {
    void* map =
        ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      ::madvise(map, static_cast<std::size_t>(info.st_size), MADV_SEQUENTIAL);
      mapped_ = static_cast<const char*>(map);
      size_ = static_cast<std::size_t>(info.st_size);
    }
  }
}

InputFile::~InputFile() {
  if (mapped_) ::munmap(const_cast<char*>(mapped_), size_);
  if (fd_ > STDIN_FILENO) ::close(fd_);
}

std::size_t InputFile::Read(char* buffer, std::size_t size) {
  while (!ended_) {
    const ssize_t got = ::read(fd_, buffer, size);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowCannotOpen(path_, errno);
    }
    if (got == 0) break;
    // The content ends at a NUL: an endless source such as /dev/zero ends
    // there at once.
    const std::size_t length = static_cast<std::size_t>(got);
    if (const void* nul = std::memchr(buffer, '\0', length)) {
      ended_ = true;
      return static_cast<std::size_t>(static_cast<const char*>(nul) - buffer);
    }
    return length;
  }
  ended_ = true;
  return 0;
}

}  // namespace brivano::cli
