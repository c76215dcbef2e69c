#include "files/program_files.h"

#include <pwd.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unistd.h>

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

std::filesystem::path UserConfigFolder() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  std::filesystem::path home = "/tmp";
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir && *found->pw_dir) {
    home = found->pw_dir;
  }
  return home / ".config" / "brivano";
}

bool IsInstalledExecutable(const std::filesystem::path& executablePath) {
  return executablePath.parent_path().filename() == "bin";
}

ProgramFiles LocateProgramFiles(const std::filesystem::path& executablePath,
                                const std::filesystem::path& userConfigFolder) {
  ProgramFiles files;
  files.settingsFileName = SettingsFileNameFor(executablePath.filename().string());
  const std::filesystem::path folder = executablePath.parent_path();
  if (!folder.empty() && !IsInstalledExecutable(executablePath) &&
      ::access(folder.c_str(), W_OK | X_OK) == 0) {
    files.folder = folder;
  } else {
    // A failure to create it shows later, when a write reports it.
    std::error_code ignored;
    std::filesystem::create_directories(userConfigFolder, ignored);
    files.folder = userConfigFolder;
  }
  return files;
}

ProgramFiles LocateProgramFiles() {
  return LocateProgramFiles(ExecutablePath(), UserConfigFolder());
}

}  // namespace brivano
