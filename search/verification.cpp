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

DocumentQuery DocumentQueryFor(const EngineRow& row) {
  return {row.nextPageTexts,
          {"上一页", "上页", "Previous", "Prev"},
          row.nextPageSelector,
          row.verifySelector,
          row.resultSelector};
}

bool ShowsNextPage(const EngineRow& row, const PageDocument& document,
                   const std::vector<std::string_view>& gbkLines) {
  if (document.nextPageLink) return true;
  // The text rule still serves engines whose pager the selector misses.
  for (const std::string& text : row.nextPageTexts) {
    const std::string link = Gbk(text);
    for (std::string_view line : gbkLines) {
      const bool found = row.nextPageRule == NextPageRule::LineStartsWith
                             ? line.starts_with(link)
                             : ContainsText(line, link);
      if (found) return true;
    }
  }
  return false;
}

bool IsVerificationPage(const EngineRow& row, const PageDocument& document,
                        const std::vector<std::string_view>& gbkLines, bool showsNextPage) {
  // Result pages may quote a wall's words; walls never show results.
  if (document.resultBlocks > 0) return false;
  const std::string lowerAddress = LowerAscii(document.address);
  const auto inAddress = [&](const std::string& part) {
    return !part.empty() && lowerAddress.find(LowerAscii(part)) != std::string::npos;
  };
  if (std::any_of(row.verifyAddressParts.begin(), row.verifyAddressParts.end(), inAddress)) {
    return true;
  }
  const std::string_view title = TrimBlanks(document.title);
  if (!title.empty() && std::find(row.verifyTitles.begin(), row.verifyTitles.end(), title) !=
                            row.verifyTitles.end()) {
    return true;
  }
  if (document.verifyMarkup) return true;
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
