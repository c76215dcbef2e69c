// Where the program's own files lie: the settings file, the keyword store
// "brivanobody.ini" and the auto-save file "autosave.txt". They lie together,
// in the executable's folder when the program may write there, otherwise in
// the user's configuration folder (XDG: $XDG_CONFIG_HOME/brivano, else
// ~/.config/brivano), which is also where an installed program keeps them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace brivano {

inline constexpr std::string_view kKeywordStoreFileName = "brivanobody.ini";
inline constexpr std::string_view kAutoSaveFileName = "autosave.txt";

struct ProgramFiles {
  std::filesystem::path folder;
  std::string settingsFileName;

  std::filesystem::path SettingsPath() const { return folder / settingsFileName; }
  std::filesystem::path KeywordStorePath() const { return folder / kKeywordStoreFileName; }
  std::filesystem::path AutoSavePath() const { return folder / kAutoSaveFileName; }
};

// The executable's file name in lower case with its extension replaced by
// "ini" ("Harvest.EXE" gives "harvest.ini"); a name without an extension gets
// ".ini" appended ("brivano" gives "brivano.ini").
std::string SettingsFileNameFor(std::string_view executableFileName);

// The running executable's full path (/proc/self/exe).
std::filesystem::path ExecutablePath();
// The user's configuration folder for the program, as the XDG base
// directories give it: `xdgConfigHome`/brivano, else `home`/.config/brivano,
// else `passwdHome`/.config/brivano. Each must be an absolute path (the
// standard says to ignore others); null or empty means unset. Empty when
// none is usable: a shared folder such as /tmp is never a fallback, since
// anyone could create the folder there first.
std::filesystem::path UserConfigFolder(const char* xdgConfigHome, const char* home,
                                       const char* passwdHome);
// The same from the environment and the password database.
std::filesystem::path UserConfigFolder();

// Whether the executable lies where an installation puts programs: in the
// "bin" folder of an install prefix (/usr/bin, /usr/local/bin, ~/.local/bin,
// /opt/brivano/bin). Such a folder is shared by many programs and users, and
// root may write it, so an installed program keeps its files per user.
bool IsInstalledExecutable(const std::filesystem::path& executablePath);

// Works out the files' place for an executable at `executablePath`: its
// folder if writable and the program is not installed, else
// `userConfigFolder`, which is then created. Without a configuration folder
// (empty, or it cannot be created while the executable's folder can be
// written) the executable's folder is used, and the problem is told once on
// standard error; writes that then fail report themselves.
ProgramFiles LocateProgramFiles(const std::filesystem::path& executablePath,
                                const std::filesystem::path& userConfigFolder);
// The same for the running program.
ProgramFiles LocateProgramFiles();

}  // namespace brivano
