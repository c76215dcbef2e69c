#include "store/run_lock.h"

#include "files/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <utility>

namespace brivano {
namespace {

std::string NewLockName(const std::filesystem::path& storePath) {
  static std::mt19937_64 generator{std::random_device{}()};
  return storePath.filename().string() + "." + std::to_string(::getpid()) + "-" +
         std::to_string(generator() % 1000000000) + ".lock";
}

}  // namespace

RunLock RunLock::Take(const std::filesystem::path& storePath) {
  RunLock lock;
  lock.name_ = NewLockName(storePath);
  lock.path_ = storePath.parent_path() / lock.name_;
  lock.fd_ = ::open(lock.path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (lock.fd_ < 0 || ::flock(lock.fd_, LOCK_EX | LOCK_NB) != 0) {
    lock.Release();
    lock.name_.clear();
  }
  return lock;
}

RunLock::~RunLock() {
  Release();
}

RunLock::RunLock(RunLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      name_(std::move(other.name_)) {}

RunLock& RunLock::operator=(RunLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    name_ = std::move(other.name_);
  }
  return *this;
}

void RunLock::Release() {
  if (fd_ < 0) return;
  // Removed while still held, so that nobody finds the file unlocked first.
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
  ::close(fd_);
  fd_ = -1;
}

bool RunLockHeld(const std::filesystem::path& storePath, std::string_view name) {
  if (name.empty() || name.find('/') != std::string_view::npos) return false;
  const std::filesystem::path path = storePath.parent_path() / std::string(name);
  const bool held = FileLockHeld(path);
  if (!held) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
  return held;
}

}  // namespace brivano
