#include "files/program_files.h"

#include <fcntl.h>
#include <pwd.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/error_text.h"
#include "files/atomic_file.h"
#include "files/file_lock.h"

namespace brivano {
namespace {

namespace fs = std::filesystem;

// The data an earlier version kept in the configuration folder, in groups
// that move together: the store with its write-ahead log and shared memory
// file, log first, so that a move cut short never leaves the store in the
// new folder without its latest pages.
const std::vector<std::vector<std::string_view>> kDataGroups = {
    {kKeywordStoreFileName},
    {"brivanobody.ini.bak"},
    {kAutoSaveFileName},
    {"brivano-run.ini"},
    {"brivano.db-wal", "brivano.db-shm", kHarvestStoreFileName},
};

void Tell(const std::string& message) {
  std::fprintf(stderr, "%s\n", ErrorLine(program_invocation_short_name, message).c_str());
}

// Moves one file, copying when the folders lie on different file systems.
// The copy is renamed into place whole, so the target is never half there.
bool MoveFile(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (!ec) return true;
  if (ec != std::errc::cross_device_link) return false;
  const fs::path part = to.string() + ".moving";
  if (!fs::copy_file(from, part, fs::copy_options::overwrite_existing, ec)) return false;
  if (const int fd = ::open(part.c_str(), O_RDONLY | O_CLOEXEC); fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
  fs::rename(part, to, ec);
  if (ec) {
    fs::remove(part, ec);
    return false;
  }
  // The copy stands in its folder before the original leaves its own.
  SyncFolder(to.parent_path());
  fs::remove(from, ec);
  SyncFolder(from.parent_path());
  return true;
}

// A run of a live process (an earlier version's, still open) holds a lock
// beside the store; its files stay where that process writes them.
bool StoreInUse(const fs::path& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.starts_with(std::string(kHarvestStoreFileName) + ".") && name.ends_with(".lock") &&
        FileLockHeld(it->path())) {
      return true;
    }
  }
  return false;
}

// Moves the data files from `from` to `to` once. Nothing is written over: a
// file that exists in both stays in both, and the user is told.
void MoveDataOver(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (from.empty() || fs::equivalent(from, to, ec) || StoreInUse(from)) return;
  for (const auto& group : kDataGroups) {
    std::vector<std::string_view> present;
    bool clash = false;
    for (std::string_view name : group) {
      if (!fs::exists(from / name, ec)) continue;
      present.push_back(name);
      clash = clash || fs::exists(to / name, ec);
    }
    if (present.empty()) continue;
    if (clash) {
      Tell("“" + (from / present.back()).string() + "”未移到“" + to.string() +
           "”，因为那里已有同名文件；两份都保留着");
      continue;
    }
    for (std::string_view name : present) {
      if (!MoveFile(from / name, to / name)) {
        Tell("无法把“" + (from / name).string() + "”移到“" + to.string() + "”");
        break;
      }
    }
  }
}

fs::path UserFolder(const char* xdgVariable, const char* home, const char* passwdHome,
                    const fs::path& underHome) {
  auto usable = [](const char* folder) { return folder != nullptr && folder[0] == '/'; };
  if (usable(xdgVariable)) return fs::path(xdgVariable) / "brivano";
  for (const char* base : {home, passwdHome}) {
    if (usable(base)) return fs::path(base) / underHome / "brivano";
  }
  return {};
}

}  // namespace

std::string SettingsFileNameFor(std::string_view executableFileName) {
  // The name is UTF-8 on this system; every letter is lowered, as the
  // desktop's lower-case conversion does, not only ASCII ones.
  std::string lower;
  icu::UnicodeString::fromUTF8(
      icu::StringPiece(executableFileName.data(), static_cast<int32_t>(executableFileName.size())))
      .toLower(icu::Locale::getRoot())
      .toUTF8String(lower);
  const std::string stem = fs::path(lower).stem().string();
  return (stem.empty() ? std::string("brivano") : stem) + ".ini";
}

fs::path ExecutablePath() {
  std::error_code ec;
  fs::path path = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : path;
}

UserFolders UserFoldersFrom(const char* xdgConfigHome, const char* xdgDataHome, const char* home,
                            const char* passwdHome) {
  return {UserFolder(xdgConfigHome, home, passwdHome, ".config"),
          UserFolder(xdgDataHome, home, passwdHome, fs::path(".local") / "share")};
}

UserFolders CurrentUserFolders() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  const char* passwdHome = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
    passwdHome = found->pw_dir;
  }
  return UserFoldersFrom(std::getenv("XDG_CONFIG_HOME"), std::getenv("XDG_DATA_HOME"),
                         std::getenv("HOME"), passwdHome);
}

bool IsInstalledExecutable(const fs::path& executablePath) {
  return executablePath.parent_path().filename() == "bin";
}

fs::path DesktopProgramPath(const fs::path& self) {
  const fs::path folder = self.parent_path();
  std::error_code ec;
  if (!fs::exists(folder / "brivano", ec) && folder.filename() == "cli" &&
      fs::exists(folder.parent_path() / "app" / "brivano", ec)) {
    return folder.parent_path() / "app" / "brivano";
  }
  return folder / "brivano";
}

ProgramFiles LocateProgramFiles(const fs::path& brivanoPath, const UserFolders& user) {
  ProgramFiles files;
  files.settingsFileName = SettingsFileNameFor(brivanoPath.filename().string());
  const fs::path folder = brivanoPath.parent_path();
  const bool folderWritable = !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
  if (folderWritable && !IsInstalledExecutable(brivanoPath)) {
    files.folder = folder;
    return files;
  }
  std::error_code ec;
  if (!user.config.empty()) {
    fs::create_directories(user.config, ec);
    if (!ec || folder.empty() || !folderWritable) {
      // A failure to create it shows later, when a write reports it.
      files.folder = user.config;
      std::error_code dataError;
      if (!user.data.empty()) fs::create_directories(user.data, dataError);
      if (!user.data.empty() && !dataError) {
        files.dataFolder = user.data;
        MoveDataOver(user.config, user.data);
      }
      return files;
    }
  }
  // Writable or not: a write that fails there reports itself.
  files.folder = folder;
  Tell("没有可用的配置文件夹（" +
       (user.config.empty() ? std::string("没有主文件夹") : user.config.string()) +
       "），文件保存在“" + folder.string() + "”");
  return files;
}

ProgramFiles LocateProgramFiles() {
  return LocateProgramFiles(DesktopProgramPath(ExecutablePath()), CurrentUserFolders());
}

}  // namespace brivano
