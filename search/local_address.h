// The dotted IPv4 address of the local host (the last one its name resolves
// to), or empty text when the name does not resolve.
#pragma once

#include <string>

namespace brivano {

std::string GetLocalAddress();

}  // namespace brivano
