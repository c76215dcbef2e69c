#include "files/window_state.h"

#include "base/text.h"
#include "files/ini_file.h"
#include "files/whole_file.h"

namespace brivano {
namespace {

constexpr std::string_view kWindowSection = "window";
constexpr std::string_view kGeometryKey = "geometry";
constexpr std::string_view kFoldersSection = "folders";
constexpr std::array<std::string_view, kDialogFolderCount> kFolderKeys = {"save", "merge",
                                                                          "generator"};

bool SameName(std::string_view a, std::string_view b) {
  return LowerAscii(a) == LowerAscii(b);
}

bool Writable(std::string_view value) {
  return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace

WindowState ParseWindowState(std::string_view content) {
  WindowState state;
  // Walks the lines rather than reading keys, whose values the settings
  // file's reader cuts at 2047 bytes: a folder's path may be longer.
  std::string section;
  std::array<bool, kDialogFolderCount> seen{};
  bool geometrySeen = false;
  for (const IniFile::Line& line : IniFile(content).Lines()) {
    if (line.kind == IniFile::Line::Kind::Section) section = line.name;
    if (line.kind != IniFile::Line::Kind::Key) continue;
    // The first of a repeated key counts, as everywhere in the program's files.
    if (SameName(section, kWindowSection) && SameName(line.name, kGeometryKey) && !geometrySeen) {
      state.geometry = line.value;
      geometrySeen = true;
    }
    if (!SameName(section, kFoldersSection)) continue;
    for (std::size_t i = 0; i < kDialogFolderCount; ++i) {
      if (SameName(line.name, kFolderKeys[i]) && !seen[i]) {
        state.folders[i] = line.value;
        seen[i] = true;
      }
    }
  }
  return state;
}

std::string WindowStateContent(std::string_view content, const WindowState& state) {
  IniFile file(content);
  if (!state.geometry.empty() && Writable(state.geometry)) {
    file.WriteString(kWindowSection, kGeometryKey, state.geometry);
  }
  for (std::size_t i = 0; i < kDialogFolderCount; ++i) {
    const std::string& folder = state.folders[i];
    if (folder.empty() || !Writable(folder)) continue;
    file.WriteString(kFoldersSection, kFolderKeys[i], "\"" + folder + "\"");
  }
  return file.Content();
}

WindowState ReadWindowState(const std::filesystem::path& folder) {
  const WholeFile file = ReadWholeFile(folder / kWindowStateFileName, ReadUntil::FirstNul);
  return file.ok() ? ParseWindowState(file.bytes) : WindowState{};
}

FileResult WriteWindowState(const std::filesystem::path& folder, const WindowState& state) {
  const std::filesystem::path path = folder / kWindowStateFileName;
  const WholeFile former = ReadWholeFile(path);
  return WriteFileAtomically(path, WindowStateContent(former.ok() ? former.bytes : "", state));
}

}  // namespace brivano
