#include "files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <random>

namespace brivano {
namespace {

thread_local ScopedWriteFault* activeFault = nullptr;

constexpr std::size_t kBufferBytes = 1 << 16;

// A replaced file keeps its permissions; a new one gets the usual 0666 less
// the umask, which open() applies.
void KeepPermissionsOf(const std::filesystem::path& target, int fd) {
  struct stat info {};
  if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    ::fchmod(fd, info.st_mode & 07777);
  }
}

// Writing through a symbolic link replaces the file it points to, not the
// link.
std::filesystem::path ResolveLink(const std::filesystem::path& target) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(target, ec)) return target;
  std::filesystem::path resolved = std::filesystem::canonical(target, ec);
  return ec ? target : resolved;
}

// The target's name (cut short, so that the temporary name stays a valid
// one) tells whose leftover a temporary file is after a crash:
// ".<name>.<16 hex digits>.tmp".
constexpr std::size_t kTempNameBytes = 200;
constexpr std::size_t kTempHexDigits = 16;
constexpr std::string_view kTempEnd = ".tmp";

std::string TemporaryName(std::string_view targetName, std::string_view hex) {
  std::string name = ".";
  name.append(targetName.substr(0, kTempNameBytes));
  name.push_back('.');
  name.append(hex);
  name.append(kTempEnd);
  return name;
}

bool IsTemporaryOf(std::string_view name, std::string_view targetName) {
  const std::string prefix = TemporaryName(targetName, "");
  const std::string_view start =
      std::string_view(prefix).substr(0, prefix.size() - kTempEnd.size());
  if (name.size() != start.size() + kTempHexDigits + kTempEnd.size() || !name.starts_with(start) ||
      !name.ends_with(kTempEnd)) {
    return false;
  }
  const std::string_view hex = name.substr(start.size(), kTempHexDigits);
  return hex.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// The open descriptor that a name such as /dev/stdout or /dev/fd/3 stands
// for, or -1. Such a name means the descriptor the program was given, even
// when that is a regular file that a rename would take away from it.
int NamedDescriptor(const std::filesystem::path& target) {
  const std::string name = target.lexically_normal().string();
  if (name == "/dev/stdout") return STDOUT_FILENO;
  if (name == "/dev/stderr") return STDERR_FILENO;
  for (const std::string_view folder : {"/dev/fd/", "/proc/self/fd/"}) {
    if (name.size() <= folder.size() || name.compare(0, folder.size(), folder) != 0) continue;
    int number = 0;
    for (std::size_t i = folder.size(); i < name.size(); ++i) {
      if (name[i] < '0' || name[i] > '9' || number > 100000) return -1;
      number = number * 10 + (name[i] - '0');
    }
    return number;
  }
  return -1;
}

}  // namespace

void SyncFolder(const std::filesystem::path& folder) {
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return;
  ::fsync(dirFd);  // best effort: the rename itself has succeeded
  ::close(dirFd);
}

ScopedWriteFault::ScopedWriteFault(std::uint64_t afterBytes, int error)
    : afterBytes_(afterBytes), error_(error), previous_(activeFault) {
  activeFault = this;
}

ScopedWriteFault::~ScopedWriteFault() {
  activeFault = previous_;
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target) : target_(ResolveLink(target)) {
  if (const int descriptor = NamedDescriptor(target); descriptor >= 0) {
    // Shares the descriptor's file offset, so that what the program prints
    // there afterwards follows the content instead of overwriting it.
    direct_ = true;
    fd_ = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (fd_ < 0) error_ = errno;
    return;
  }
  struct stat info {};
  if (::stat(target_.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    OpenSpecialFile(info);
    return;
  }
  std::filesystem::path folder = target_.parent_path();
  if (folder.empty()) folder = ".";
  std::random_device random;
  std::mt19937_64 names(random());
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(names()));
    temp_ = folder / TemporaryName(target_.filename().string(), suffix);
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0 || errno != EEXIST) break;
  }
  if (fd_ < 0) {
    error_ = errno;
    temp_.clear();
    return;
  }
  KeepPermissionsOf(target_, fd_);
  buffer_.reserve(kBufferBytes);
}

// A device, a FIFO or a socket cannot be replaced without destroying it (and
// /dev/null or /dev/stdout are meant to be written into), so the content goes
// straight into it; a folder is refused before anything is written.
void AtomicFileWriter::OpenSpecialFile(const struct stat& info) {
  if (S_ISDIR(info.st_mode)) {
    error_ = EISDIR;
    return;
  }
  direct_ = true;
  fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd_ < 0) error_ = errno;
  buffer_.reserve(kBufferBytes);
}

AtomicFileWriter::~AtomicFileWriter() {
  if (!committed_) Discard();
}

void AtomicFileWriter::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

void AtomicFileWriter::Write(std::string_view bytes) {
  if (error_ != 0) return;
  if (buffer_.size() + bytes.size() > kBufferBytes) {
    Flush();
    if (bytes.size() >= kBufferBytes) {
      WriteOut(bytes.data(), bytes.size());
      return;
    }
  }
  buffer_.append(bytes);
}

void AtomicFileWriter::Flush() {
  if (error_ == 0 && !buffer_.empty()) WriteOut(buffer_.data(), buffer_.size());
  buffer_.clear();
}

void AtomicFileWriter::WriteOut(const char* data, std::size_t size) {
  if (error_ != 0) return;
  int faultError = 0;
  if (const ScopedWriteFault* fault = activeFault;
      fault != nullptr && written_ + size > fault->afterBytes()) {
    size = written_ < fault->afterBytes() ? static_cast<std::size_t>(fault->afterBytes() - written_)
                                          : 0;
    faultError = fault->error();
  }
  while (size > 0) {
    const ssize_t done = ::write(fd_, data, size);
    if (done < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return;
    }
    data += done;
    size -= static_cast<std::size_t>(done);
    written_ += static_cast<std::uint64_t>(done);
  }
  if (faultError == ScopedWriteFault::kKillProcess) ::raise(SIGKILL);
  error_ = faultError;
}

FileResult AtomicFileWriter::Commit() {
  Flush();
  if (error_ == 0 && activeFault != nullptr) {  // the fault lies past the content's end
    if (activeFault->error() == ScopedWriteFault::kKillProcess) ::raise(SIGKILL);
    error_ = activeFault->error();
  }
  // Terminals, pipes and most devices cannot be synced; only real failures
  // count there.
  if (error_ == 0 && ::fsync(fd_) != 0 && !(direct_ && (errno == EINVAL || errno == EROFS))) {
    error_ = errno;
  }
  if (error_ == 0) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) error_ = errno;
  }
  if (error_ == 0 && direct_) {
    committed_ = true;
    return {};
  }
  if (error_ == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) error_ = errno;
  if (error_ != 0) {
    Discard();
    return {error_};
  }
  committed_ = true;
  temp_.clear();
  SyncFolder(target_.parent_path().empty() ? "." : target_.parent_path());
  return {};
}

FileResult WriteFileAtomically(const std::filesystem::path& target, std::string_view content) {
  AtomicFileWriter writer(target);
  writer.Write(content);
  return writer.Commit();
}

void RemoveStaleTemporaries(const std::filesystem::path& folder,
                            std::initializer_list<std::string_view> fileNames,
                            std::chrono::seconds minimumAge) {
  std::error_code ec;
  std::filesystem::directory_iterator entries(folder, ec);
  if (ec) return;
  const auto now = std::filesystem::file_time_type::clock::now();
  for (const std::filesystem::directory_entry& entry : entries) {
    const std::string name = entry.path().filename().string();
    bool ours = false;
    for (std::string_view fileName : fileNames) ours = ours || IsTemporaryOf(name, fileName);
    // Only regular files: a symbolic link of that name is not ours to follow.
    if (!ours || !entry.is_regular_file(ec) || entry.is_symlink(ec)) continue;
    const auto changed = entry.last_write_time(ec);
    if (!ec && now - changed >= minimumAge) std::filesystem::remove(entry.path(), ec);
  }
}

}  // namespace brivano
