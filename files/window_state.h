// The main window's own small file beside the settings, "brivano-window.ini":
// where the window stood and how large it was, and the folder each file
// dialog last used. It is kept apart from the settings file, whose bytes
// stay exactly as the user's program left them.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "files/atomic_file.h"

namespace brivano {

inline constexpr std::string_view kWindowStateFileName = "brivano-window.ini";

// The file dialogs that remember their folder, each on its own.
enum class DialogFolder { Save, Merge, Generator };  // 保存, 合并, the generator's 保存
inline constexpr std::size_t kDialogFolderCount = 3;

struct WindowState {
  // The window's saved geometry as base64 text; empty when none is known.
  std::string geometry;
  // UTF-8 paths by DialogFolder; empty for a dialog not used yet.
  std::array<std::string, kDialogFolderCount> folders;

  std::string& Folder(DialogFolder dialog) { return folders[static_cast<std::size_t>(dialog)]; }
  const std::string& Folder(DialogFolder dialog) const {
    return folders[static_cast<std::size_t>(dialog)];
  }
};

// Section [window] key geometry, section [folders] keys save, merge and
// generator. A missing or unreadable file gives an empty state; values are
// taken whole, however long.
WindowState ParseWindowState(std::string_view content);
// `state` written into `content`, whose other lines are kept. A folder is
// written in quotes, so that blanks at its ends survive; a value holding a
// line break or a NUL byte is left out, since it would be cut.
std::string WindowStateContent(std::string_view content, const WindowState& state);

WindowState ReadWindowState(const std::filesystem::path& folder);
FileResult WriteWindowState(const std::filesystem::path& folder, const WindowState& state);

}  // namespace brivano
