#include "search/local_address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace brivano {

std::string GetLocalAddress() {
  char hostName[64] = {};
  if (gethostname(hostName, sizeof hostName - 1) != 0) return {};
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(hostName, nullptr, &hints, &found) != 0 || found == nullptr) return {};
  std::string last;
  for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
    const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
    char dotted[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &address->sin_addr, dotted, sizeof dotted) != nullptr) last = dotted;
  }
  freeaddrinfo(found);
  return last;
}

}  // namespace brivano
