// Which of a site's pages to visit for its contacts: from the links of its
// landing page, the few whose text or address name a contact or about page.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brivano {

struct PageLink {
  std::string address{};  // absolute
  std::string text{};     // UTF-8, as the page shows it
};

// The addresses (without fragment) of at most `most` links of the same site,
// the strongest hint first and in the page's order among equals. Links to
// files that are no pages, other schemes than http(s) and links that hint at
// nothing are left out. `sameSite` tells whether an address belongs to the
// landing page's site.
std::vector<std::string> ChooseContactPages(
    const std::vector<PageLink>& links,
    const std::function<bool(std::string_view address)>& sameSite, std::size_t most = 4);

}  // namespace brivano
