#include "visit/address_safety.h"

#include <arpa/inet.h>

#include <array>
#include <cstdint>

#include "base/text_search.h"

namespace brivano {
namespace {

using V4 = std::array<std::uint8_t, 4>;
using V6 = std::array<std::uint8_t, 16>;

// inet_pton wants a terminated string; addresses are short, longer text is
// not an address at all.
template <typename Bytes>
bool Parse(int family, std::string_view text, Bytes& bytes) {
  if (text.empty() || text.size() >= INET6_ADDRSTRLEN) return false;
  char buffer[INET6_ADDRSTRLEN] = {};
  text.copy(buffer, text.size());
  return inet_pton(family, buffer, bytes.data()) == 1;
}

AddressUse ClassifyV4(const V4& a) {
  if (a[0] == 0) return AddressUse::Unspecified;
  if (a[0] == 127) return AddressUse::Loopback;
  if (a[0] == 10 || (a[0] == 172 && (a[1] & 0xF0) == 16) || (a[0] == 192 && a[1] == 168) ||
      (a[0] == 100 && (a[1] & 0xC0) == 64)) {
    return AddressUse::Private;
  }
  if (a[0] == 169 && a[1] == 254) return AddressUse::LinkLocal;
  if ((a[0] & 0xF0) == 224) return AddressUse::Multicast;
  if ((a[0] & 0xF0) == 240) return AddressUse::Reserved;  // 255.255.255.255 included
  return AddressUse::Public;
}

bool AllZero(const V6& a, int from, int to) {
  for (int i = from; i < to; ++i) {
    if (a[i] != 0) return false;
  }
  return true;
}

V4 Embedded(const V6& a, int at) {
  return {a[at], a[at + 1], a[at + 2], a[at + 3]};
}

AddressUse ClassifyV6(const V6& a) {
  if (AllZero(a, 0, 10)) {
    if (AllZero(a, 10, 16)) return AddressUse::Unspecified;
    if (AllZero(a, 10, 15) && a[15] == 1) return AddressUse::Loopback;
    if (a[10] == 0xFF && a[11] == 0xFF) return ClassifyV4(Embedded(a, 12));  // ::ffff:a.b.c.d
    if (a[10] == 0 && a[11] == 0) return ClassifyV4(Embedded(a, 12));        // ::a.b.c.d
  }
  // NAT64 and 6to4 reach the IPv4 address they carry.
  if (a[0] == 0x00 && a[1] == 0x64 && a[2] == 0xFF && a[3] == 0x9B && AllZero(a, 4, 12)) {
    return ClassifyV4(Embedded(a, 12));
  }
  if (a[0] == 0x20 && a[1] == 0x02) return ClassifyV4(Embedded(a, 2));
  if ((a[0] & 0xFE) == 0xFC) return AddressUse::Private;
  if (a[0] == 0xFE && (a[1] & 0xC0) == 0x80) return AddressUse::LinkLocal;
  if (a[0] == 0xFF) return AddressUse::Multicast;
  // Every public IPv6 address is in 2000::/3; the rest is unassigned or
  // retired (site-local fec0::/10 among them).
  if ((a[0] & 0xE0) != 0x20) return AddressUse::Reserved;
  return AddressUse::Public;
}

bool IsHostName(std::string_view host) {
  if (host.empty() || host.size() > 253) return false;
  std::size_t label = 0;
  for (char c : host) {
    if (c == '.') {
      if (label == 0) return false;
      label = 0;
      continue;
    }
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_';
    if (!ok || ++label > 63) return false;
  }
  return label != 0;
}

std::optional<int> ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + (c - '0');
  }
  if (port < 1 || port > 65535) return std::nullopt;
  return port;
}

}  // namespace

AddressUse ClassifyAddress(std::string_view numericAddress) {
  V4 v4{};
  if (Parse(AF_INET, numericAddress, v4)) return ClassifyV4(v4);
  if (numericAddress.size() >= 2 && numericAddress.front() == '[' && numericAddress.back() == ']') {
    numericAddress = numericAddress.substr(1, numericAddress.size() - 2);
  }
  V6 v6{};
  if (Parse(AF_INET6, numericAddress, v6)) return ClassifyV6(v6);
  return AddressUse::Invalid;
}

bool MayVisit(std::string_view numericAddress) {
  return ClassifyAddress(numericAddress) == AddressUse::Public;
}

std::optional<ResolveRule> ParseResolveRule(std::string_view text) {
  const std::size_t first = text.find(':');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t second = text.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const std::string_view host = text.substr(0, first);
  const std::string_view portText = text.substr(first + 1, second - first - 1);
  std::string_view address = text.substr(second + 1);

  if (!IsHostName(host)) return std::nullopt;
  const std::optional<int> port = ParsePort(portText);
  if (!port) return std::nullopt;

  V4 v4{};
  V6 v6{};
  if (address.size() >= 2 && address.front() == '[' && address.back() == ']') {
    address = address.substr(1, address.size() - 2);
    if (!Parse(AF_INET6, address, v6)) return std::nullopt;
  } else if (!Parse(AF_INET, address, v4) && !Parse(AF_INET6, address, v6)) {
    return std::nullopt;
  }

  return ResolveRule{.host = LowerAsciiBytes(host), .port = *port, .address = std::string(address)};
}

}  // namespace brivano
