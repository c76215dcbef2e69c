#include "files/program_files.h"

#include <pwd.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace brivano {

std::string SettingsFileNameFor(std::string_view executableFileName) {
  // The name is UTF-8 on this system; every letter is lowered, as the
  // desktop's lower-case conversion does, not only ASCII ones.
  std::string lower;
  icu::UnicodeString::fromUTF8(
      icu::StringPiece(executableFileName.data(), static_cast<int32_t>(executableFileName.size())))
      .toLower(icu::Locale::getRoot())
      .toUTF8String(lower);
  const std::string stem = std::filesystem::path(lower).stem().string();
  return (stem.empty() ? std::string("brivano") : stem) + ".ini";
}

std::filesystem::path ExecutablePath() {
  std::error_code ec;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : path;
}

std::filesystem::path UserConfigFolder(const char* xdgConfigHome, const char* home,
                                       const char* passwdHome) {
  auto usable = [](const char* folder) { return folder != nullptr && folder[0] == '/'; };
  if (usable(xdgConfigHome)) return std::filesystem::path(xdgConfigHome) / "brivano";
  for (const char* base : {home, passwdHome}) {
    if (usable(base)) return std::filesystem::path(base) / ".config" / "brivano";
  }
  return {};
}

std::filesystem::path UserConfigFolder() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  const char* passwdHome = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
    passwdHome = found->pw_dir;
  }
  return UserConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), passwdHome);
}

bool IsInstalledExecutable(const std::filesystem::path& executablePath) {
  return executablePath.parent_path().filename() == "bin";
}

ProgramFiles LocateProgramFiles(const std::filesystem::path& executablePath,
                                const std::filesystem::path& userConfigFolder) {
  ProgramFiles files;
  files.settingsFileName = SettingsFileNameFor(executablePath.filename().string());
  const std::filesystem::path folder = executablePath.parent_path();
  const bool folderWritable = !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
  if (folderWritable && !IsInstalledExecutable(executablePath)) {
    files.folder = folder;
    return files;
  }
  std::error_code ec;
  if (!userConfigFolder.empty()) {
    std::filesystem::create_directories(userConfigFolder, ec);
    if (!ec || folder.empty() || !folderWritable) {
      // A failure to create it shows later, when a write reports it.
      files.folder = userConfigFolder;
      return files;
    }
  }
  // Writable or not: a write that fails there reports itself.
  files.folder = folder;
  std::fprintf(stderr, "brivano: no usable configuration folder (%s); files are kept in %s\n",
               userConfigFolder.empty() ? "no home folder" : userConfigFolder.c_str(),
               folder.c_str());
  return files;
}

ProgramFiles LocateProgramFiles() {
  return LocateProgramFiles(ExecutablePath(), UserConfigFolder());
}

}  // namespace brivano
