// Whether the machine looks connected before a run starts. The first look-up
// is the host name's address; on many Linux machines the name resolves to
// 127.0.0.1 or 127.0.1.1 although the machine is online, so such an answer
// is checked against the network interfaces.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brivano {

// The dotted IPv4 address of the local host (the last one its name resolves
// to), or empty text when the name does not resolve.
std::string GetLocalAddress();

struct NetworkInterface {
  bool up = false;
  bool loopback = false;
  bool hasInternetAddress = false;  // an IPv4 or IPv6 address
};

// One entry per address of every interface (getifaddrs).
std::vector<NetworkInterface> ListNetworkInterfaces();

// 127.0.0.0/8.
bool IsLoopbackAddress(std::string_view dotted);

struct NetworkLookups {
  std::function<std::string()> localAddress;                  // GetLocalAddress when empty
  std::function<std::vector<NetworkInterface>()> interfaces;  // ListNetworkInterfaces when empty
};

// A host name that resolves to a loopback address counts as connected when an
// interface other than loopback is up with an address; any other answer (an
// empty one too) counts as connected, as the name's address then says nothing
// against it.
bool LooksConnected(const NetworkLookups& lookups);

}  // namespace brivano
