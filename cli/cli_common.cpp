#include "cli/cli_common.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "base/error_text.h"
#include "files/file_errors.h"
#include "files/output_clash.h"
#include "files/program_files.h"
#include "store/harvest_store.h"

namespace brivano::cli {

namespace {

[[noreturn]] void ThrowOutputError(int error) {
  throw std::runtime_error("无法写入标准输出：" + ErrnoText(error));
}

}  // namespace

TerminalEncoding Terminal() {
  static const TerminalEncoding encoding = TerminalEncodingOfLocale();
  return encoding;
}

void PrintPrepared(std::string_view text) {
  if (text.empty()) return;
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
    ThrowOutputError(errno != 0 ? errno : EIO);
  }
}

void Print(std::string_view utf8) {
  std::string text;
  AppendUtf8ForTerminal(Terminal(), text, utf8);
  PrintPrepared(text);
}

void PrintGbk(std::string_view gbk) {
  std::string text;
  AppendGbkForTerminal(Terminal(), text, gbk);
  PrintPrepared(text);
}

void FinishOutput() {
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) ThrowOutputError(errno != 0 ? errno : EIO);
}

void PrintError(std::string_view utf8Message) {
  std::string line;
  AppendUtf8ForTerminal(Terminal(), line, ErrorLine(kProgramName, utf8Message));
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

InputFile::InputFile(const std::string& path) : path_(path) {
  if (path == "-") {
    fd_ = STDIN_FILENO;
    return;
  }
  const int fd = ::open(FileName(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error(CannotOpenFileText(path, errno));
  struct stat info {};
  const int error = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
  if (error != 0) {
    ::close(fd);
    throw std::runtime_error(CannotOpenFileText(path, error));
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
      throw std::runtime_error(CannotReadFileText(path_, errno));
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

void RefuseOutputClash(const std::string& output, const std::vector<std::filesystem::path>& inputs,
                       const std::filesystem::path& store) {
  if (auto clash = OutputClash(output, inputs, store)) throw std::runtime_error(*clash);
}

std::filesystem::path StorePath(const std::optional<std::string>& dbOption) {
  return dbOption ? std::filesystem::path(*dbOption) : LocateProgramFiles().StorePath();
}

std::unique_ptr<HarvestStore> OpenExistingStore(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    throw std::runtime_error("数据库“" + path.string() + "”不存在。");
  }
  // Read-only: a look never upgrades, checkpoints or otherwise writes the
  // store, and a store that can be read but not written still serves.
  StoreOptions options;
  options.readOnly = true;
  StoreOpenResult opened = HarvestStore::Open(path, options);
  if (!opened.store) throw std::runtime_error(opened.error);
  return std::move(opened.store);
}

void RequireRun(HarvestStore& store, std::int64_t runId) {
  sql::Statement query = store.connection().Prepare("SELECT 1 FROM runs WHERE id = ?");
  query.Bind(1, runId);
  if (!query.Step()) {
    throw std::runtime_error("数据库“" + store.path().string() + "”中没有第 " +
                             std::to_string(runId) + " 次运行。");
  }
}

}  // namespace brivano::cli
