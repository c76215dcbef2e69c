// Whether a command's output file is one of the files it reads: writing it
// would replace an input before (or while) it is read, or pull a store from
// under its own connection. Every command that writes a file named by the
// user asks this first.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brivano {

// The user's message (UTF-8) naming the clash when `output` is the same file
// as one of `inputs` or as `store`, its "-wal" or its "-shm" file; nothing
// otherwise. An empty `store` stands for none. Files that exist are compared
// as files (hard links, symbolic links and "./x" for "x" all count); a path
// that does not exist yet is compared by its absolute, resolved name. An
// output that exists and is no regular file (a terminal, a pipe, /dev/null)
// is written into, never replaced, and so clashes with nothing.
std::optional<std::string> OutputClash(const std::filesystem::path& output,
                                       const std::vector<std::filesystem::path>& inputs,
                                       const std::filesystem::path& store = {});

}  // namespace brivano
