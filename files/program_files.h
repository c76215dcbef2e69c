// Where the program's own files lie. The settings ("brivano.ini", and the
// optional "engines.ini") and the data (the keyword list "brivanobody.ini",
// the auto-save file "autosave.txt", the harvest store "brivano.db" and
// brivano-run's resume lines) lie together in the desktop program's folder
// when that folder is writable and the program is not installed. Otherwise
// they are the user's: the settings in the configuration folder
// ($XDG_CONFIG_HOME/brivano, else ~/.config/brivano), the data in the data
// folder ($XDG_DATA_HOME/brivano, else ~/.local/share/brivano). All three
// programs find them through the desktop program `brivano`, so they share
// one store wherever they are started from.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace brivano {

inline constexpr std::string_view kKeywordStoreFileName = "brivanobody.ini";
inline constexpr std::string_view kAutoSaveFileName = "autosave.txt";
inline constexpr std::string_view kHarvestStoreFileName = "brivano.db";

struct ProgramFiles {
  std::filesystem::path folder;  // the settings
  std::string settingsFileName;
  std::filesystem::path dataFolder = {};  // empty: the same as `folder`

  const std::filesystem::path& DataFolder() const {
    return dataFolder.empty() ? folder : dataFolder;
  }
  std::filesystem::path SettingsPath() const { return folder / settingsFileName; }
  std::filesystem::path KeywordStorePath() const { return DataFolder() / kKeywordStoreFileName; }
  std::filesystem::path AutoSavePath() const { return DataFolder() / kAutoSaveFileName; }
  std::filesystem::path StorePath() const { return DataFolder() / kHarvestStoreFileName; }
};

// The executable's file name in lower case with its extension replaced by
// "ini" ("Harvest.EXE" gives "harvest.ini"); a name without an extension gets
// ".ini" appended ("brivano" gives "brivano.ini").
std::string SettingsFileNameFor(std::string_view executableFileName);

// The running executable's full path (/proc/self/exe).
std::filesystem::path ExecutablePath();

// The user's folders for the program, as the XDG base directories give them.
// Each variable counts only when it holds an absolute path (the standard
// says to ignore others); null or empty means unset. A folder is empty when
// there is no usable home either: a shared folder such as /tmp is never a
// fallback, since anyone could create the folder there first.
struct UserFolders {
  std::filesystem::path config;
  std::filesystem::path data;
};
UserFolders UserFoldersFrom(const char* xdgConfigHome, const char* xdgDataHome, const char* home,
                            const char* passwdHome);
// The same from the environment and the password database.
UserFolders CurrentUserFolders();

// Whether the executable lies where an installation puts programs: in the
// "bin" folder of an install prefix (/usr/bin, /usr/local/bin, ~/.local/bin,
// /opt/brivano/bin). Such a folder is shared by many programs and users, and
// root may write it, so an installed program keeps its files per user.
bool IsInstalledExecutable(const std::filesystem::path& executablePath);

// The desktop program whose files a program at `self` uses: `brivano` beside
// it (installed, or a folder of its own), else, in the build tree where each
// program has its folder, `brivano` in the "app" folder beside "cli".
std::filesystem::path DesktopProgramPath(const std::filesystem::path& self);

// Works out the files' places for the desktop program at `brivanoPath`: its
// folder if writable and the program is not installed, else the user's
// folders, which are then created, the data moved over once from where an
// earlier version kept it (the configuration folder). Without a
// configuration folder (none, or it cannot be created while the program's
// folder can be written) the program's folder is used, and the problem is
// told once on standard error; writes that then fail report themselves.
ProgramFiles LocateProgramFiles(const std::filesystem::path& brivanoPath, const UserFolders& user);
// The same for the running program.
ProgramFiles LocateProgramFiles();

}  // namespace brivano
