// Whether an output file can be written, asked before the work that fills
// it: a run of hours must not find out at its end that its folder is gone.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace brivano {

// The user's message (UTF-8, CannotCreateFileText) when `output` cannot be
// written: its folder is missing, not a folder, or refuses new files, or
// the name is a folder. The atomic writer's temporary file is made in the
// folder and removed again; the output itself is left as it was. A device,
// FIFO or socket is written into, not replaced, and is not tried: opening a
// FIFO would wait for its reader.
std::optional<std::string> OutputFileProblem(const std::filesystem::path& output);

}  // namespace brivano
