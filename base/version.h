// The program's version, as the build gives it ("1.0.0"), for --version.
#pragma once

#include <cstdio>
#include <string_view>

namespace brivano {

inline constexpr std::string_view kVersion = BRIVANO_VERSION;

// "brivano-cli 1.0.0" on standard output, as each program's --version says
// it; false when standard output could not take it.
inline bool PrintVersion(std::string_view program) {
  std::printf("%.*s %.*s\n", static_cast<int>(program.size()), program.data(),
              static_cast<int>(kVersion.size()), kVersion.data());
  return std::fflush(stdout) == 0;
}

}  // namespace brivano
