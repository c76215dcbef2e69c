#include "search/verification.h"

#include <algorithm>

#include "base/text.h"

namespace brivano {

std::string_view AddressHost(std::string_view address) {
  if (const std::size_t scheme = address.find("://"); scheme != std::string_view::npos) {
    address.remove_prefix(scheme + 3);
  }
  address = address.substr(0, address.find_first_of("/?#"));
  if (const std::size_t at = address.rfind('@'); at != std::string_view::npos) {
    address.remove_prefix(at + 1);
  }
  if (!address.empty() && address.front() == '[') {  // an IPv6 literal keeps its colons
    return address.substr(0, address.find(']') + 1);
  }
  return address.substr(0, address.find(':'));
}

bool IsEngineAddress(const EngineRow& row, std::string_view address) {
  const std::string_view host = AddressHost(address);
  return !host.empty() && LowerAscii(host) == LowerAscii(AddressHost(row.schemeAndHost));
}

bool IsVerificationPage(const EngineRow& row, std::string_view address,
                        const std::vector<std::string_view>& gbkLines, bool showsNextPage) {
  const std::string lowerAddress = LowerAscii(address);
  const bool addressMatches = std::any_of(
      row.verifyAddressParts.begin(), row.verifyAddressParts.end(), [&](const std::string& part) {
        return !part.empty() && lowerAddress.find(LowerAscii(part)) != std::string::npos;
      });
  if (addressMatches) return true;
  if (showsNextPage) return false;
  for (const std::string& marker : row.verifyTexts) {
    const std::string gbkMarker = Gbk(marker);
    if (gbkMarker.empty()) continue;
    for (std::string_view line : gbkLines) {
      if (TrimBlanks(line).starts_with(gbkMarker)) return true;
    }
  }
  return false;
}

}  // namespace brivano
