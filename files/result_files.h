// Result files: the buyer list written one item per line, each line ended
// by CR LF, the last one too; nothing else. The save command 保存 writes one
// to a file the user chooses, the state save to the auto-save file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "base/buyer_list.h"
#include "files/atomic_file.h"
#include "files/file_interfaces.h"

namespace brivano {

// The save dialog's proposed name: the buyer counter followed by ".txt".
std::string ProposedResultFileName(std::int32_t buyerCounter);

// Writes the list to `path`, replacing a former file only once the new one
// is complete.
FileResult WriteResultFile(const std::filesystem::path& path, const BuyerList& buyers);

// 保存 after its dialog: writes the list and,
// when that fails, shows the runtime's message ("Disk full", ...). Returns
// whether the file was written.
bool SaveResultFile(const std::filesystem::path& path, const BuyerList& buyers,
                    UserFeedback& feedback);

}  // namespace brivano
