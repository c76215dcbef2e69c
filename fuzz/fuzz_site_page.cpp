// A visited site's page as the web may send it, any bytes under any declared
// charset: decoded, read for its text and links, its robots.txt read, its
// contact pages chosen. Nothing may crash or hang; every link and the chosen
// pages are http(s) addresses the fetcher can take.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "visit/contact_links.h"
#include "visit/page_charset.h"
#include "visit/robots_rules.h"
#include "visit/site_page.h"
#include "visit/web_address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The first line stands for the Content-Type header, the rest for the body.
  const std::size_t cut = bytes.find('\n');
  const std::string_view header = cut == std::string_view::npos ? "" : bytes.substr(0, cut);
  const std::string_view body = cut == std::string_view::npos ? bytes : bytes.substr(cut + 1);
  const brivano::DecodedPage decoded = brivano::DecodePage(body, header);
  const brivano::SitePage page = brivano::ReadSitePage(decoded.utf8, "http://a.test/x/y.html");
  for (const brivano::PageLink& link : page.links) {
    if (!brivano::ParseWebAddress(link.address)) std::abort();
  }
  const auto sameSite = [](std::string_view address) {
    const auto parsed = brivano::ParseWebAddress(address);
    return parsed && parsed->host == "a.test";
  };
  for (const std::string& chosen : brivano::ChooseContactPages(page.links, sameSite)) {
    if (!sameSite(chosen)) std::abort();
  }
  const brivano::RobotsRules rules = brivano::ParseRobotsTxt(body, "brivano");
  (void)rules.Allows("/lianxi/index.html?id=3");
  (void)brivano::JoinAddress("http://a.test/x/y.html", header);
  return 0;
}
