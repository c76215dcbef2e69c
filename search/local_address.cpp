#include "search/local_address.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

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

std::vector<NetworkInterface> ListNetworkInterfaces() {
  std::vector<NetworkInterface> found;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return found;
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    const int family = entry->ifa_addr != nullptr ? entry->ifa_addr->sa_family : AF_UNSPEC;
    found.push_back({(entry->ifa_flags & IFF_UP) != 0, (entry->ifa_flags & IFF_LOOPBACK) != 0,
                     family == AF_INET || family == AF_INET6});
  }
  freeifaddrs(list);
  return found;
}

bool IsLoopbackAddress(std::string_view dotted) {
  in_addr address{};
  const std::string text(dotted);
  return inet_pton(AF_INET, text.c_str(), &address) == 1 && (ntohl(address.s_addr) >> 24) == 127;
}

bool LooksConnected(const NetworkLookups& lookups) {
  const std::string address = lookups.localAddress ? lookups.localAddress() : GetLocalAddress();
  if (!IsLoopbackAddress(address)) return true;
  const std::vector<NetworkInterface> interfaces =
      lookups.interfaces ? lookups.interfaces() : ListNetworkInterfaces();
  return std::any_of(interfaces.begin(), interfaces.end(), [](const NetworkInterface& i) {
    return i.up && !i.loopback && i.hasInternetAddress;
  });
}

}  // namespace brivano
