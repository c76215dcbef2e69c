// A lock that a run holds for its process's whole life, in a small file
// beside the store. Another program opening the same store can then tell a
// live run (of the desktop program or of brivano-run) from one that a crash
// cut short: the operating system releases the lock when the process ends,
// however it ends.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace brivano {

class RunLock {
 public:
  // Creates and locks a new lock file beside `storePath`. When that cannot
  // be done the lock is empty, and the run counts as a crashed one for
  // others once it is left unfinished, as runs did before there were locks.
  static RunLock Take(const std::filesystem::path& storePath);

  RunLock() = default;
  ~RunLock();
  RunLock(RunLock&& other) noexcept;
  RunLock& operator=(RunLock&& other) noexcept;
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

  // The file's name, for the run's row; empty when there is no lock.
  const std::string& name() const { return name_; }

 private:
  void Release();
  int fd_ = -1;
  std::filesystem::path path_;
  std::string name_;
};

// Whether a live process holds the lock named `name` beside `storePath`. A
// lock file that nobody holds is removed.
bool RunLockHeld(const std::filesystem::path& storePath, std::string_view name);

}  // namespace brivano
