// Whether a live process holds a lock file: the operating system drops an
// flock() lock when its process ends, however it ends, so a lock file that
// nobody holds is left over from a crash.
#pragma once

#include <filesystem>

namespace brivano {

bool FileLockHeld(const std::filesystem::path& lockFile);

}  // namespace brivano
