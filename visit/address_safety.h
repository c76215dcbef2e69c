// Which addresses a site visit may reach. A result site's name could resolve
// to the user's own machine or network (a router page, a local service), and
// following search results there is never what the user asked for; only
// public addresses are visited. The user's own --resolve mappings are trusted
// and checked here for form only.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brivano {

enum class AddressUse {
  Public,
  Loopback,
  Private,
  LinkLocal,
  Multicast,
  Unspecified,
  Reserved,
  Invalid
};

// numericAddress: an IPv4 dotted quad or an IPv6 text form (brackets
// allowed). IPv4-mapped, IPv4-compatible, NAT64 (64:ff9b::/96) and 6to4
// (2002::/16) addresses count as the IPv4 address inside them.
AddressUse ClassifyAddress(std::string_view numericAddress);

// Only public addresses are visited.
bool MayVisit(std::string_view numericAddress);

// One "HOST:PORT:ADDRESS" mapping, as curl's --resolve takes it.
struct ResolveRule {
  std::string host{};     // lower case
  int port = 0;           // 1..65535
  std::string address{};  // numeric, IPv6 without brackets
};

// Refuses anything but a host name, a port in range and one numeric address
// (IPv4, "[IPv6]" or bare IPv6).
std::optional<ResolveRule> ParseResolveRule(std::string_view text);

}  // namespace brivano
