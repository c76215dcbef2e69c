// The program's version, as the build gives it ("1.0.0"), for --version.
#pragma once

#include <string_view>

namespace brivano {

inline constexpr std::string_view kVersion = BRIVANO_VERSION;

}  // namespace brivano
