// The one way the program writes a file: the new content goes to a temporary
// file in the target's folder, is written whole, flushed and synced, and only
// then renamed over the target. Until that rename the former file stays as it
// was, so a failed write, a full disk or a killed process never leaves a
// damaged file where a good one stood. Only a regular file or a missing
// path is replaced so; a device, FIFO or socket is written into directly.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

struct stat;

namespace brivano {

// The outcome of a file operation.
struct FileResult {
  int error = 0;  // errno of the failure; 0 when it succeeded
  bool ok() const { return error == 0; }
};

class AtomicFileWriter {
 public:
  // Creates the temporary file next to `target`. A failure is kept and
  // reported by Commit; Write does nothing after it.
  explicit AtomicFileWriter(std::filesystem::path target);
  // Removes the temporary file unless Commit succeeded.
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  void Write(std::string_view bytes);
  // Flushes, syncs and renames the temporary file over the target.
  FileResult Commit();
  int error() const { return error_; }
  const std::filesystem::path& target() const { return target_; }

 private:
  void Flush();
  void WriteOut(const char* data, std::size_t size);
  void Discard();
  void OpenSpecialFile(const struct stat& info);

  std::filesystem::path target_;
  std::filesystem::path temp_;
  int fd_ = -1;
  int error_ = 0;
  bool committed_ = false;
  bool direct_ = false;        // writing into a special file, no temporary
  std::uint64_t written_ = 0;  // bytes handed to the system so far
  std::string buffer_;
};

FileResult WriteFileAtomically(const std::filesystem::path& target, std::string_view content);

// Makes a rename or removal in `folder` last through a power cut (best
// effort).
void SyncFolder(const std::filesystem::path& folder);

// Removes the temporary files that writes of the named files left in
// `folder` when the process was killed. A temporary changed within
// `minimumAge` may belong to a second instance still writing, and stays.
void RemoveStaleTemporaries(const std::filesystem::path& folder,
                            std::initializer_list<std::string_view> fileNames,
                            std::chrono::seconds minimumAge = std::chrono::seconds(60));

// Test seam. While an instance lives, atomic writes on this thread fail as a
// full disk would once `afterBytes` bytes of new content have been written
// (the first `afterBytes` reach the temporary file, then the write fails with
// `error`); an `afterBytes` at or past the end of the content makes the final
// sync fail. With kKillProcess instead of an errno the process kills itself
// with SIGKILL at that point, as a crash or power cut would stop it.
class ScopedWriteFault {
 public:
  static constexpr int kKillProcess = -1;
  ScopedWriteFault(std::uint64_t afterBytes, int error);
  ~ScopedWriteFault();
  ScopedWriteFault(const ScopedWriteFault&) = delete;
  ScopedWriteFault& operator=(const ScopedWriteFault&) = delete;

  std::uint64_t afterBytes() const { return afterBytes_; }
  int error() const { return error_; }

 private:
  std::uint64_t afterBytes_;
  int error_;
  ScopedWriteFault* previous_;
};

}  // namespace brivano
