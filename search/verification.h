// Pages that an engine shows instead of results when it suspects a robot
// ("百度安全验证", Sogou's antispider page, 360's "访问异常", Bing's
// challenge). Harvesting one would find nothing and no next-page link, so the
// run would burn its keyword list against the wall; it pauses instead, and
// goes on when the engine shows one of its ordinary pages again.
#pragma once

#include <string_view>
#include <vector>

#include "search/engine_table.h"
#include "search/run_interfaces.h"

namespace brivano {

// The host of an address, without scheme, user, port or path:
// "https://www.baidu.com:443/s?wd=" gives "www.baidu.com".
std::string_view AddressHost(std::string_view address);

// What the browser is asked about a page of the engine.
DocumentQuery DocumentQueryFor(const EngineRow& row);

// Whether a page shows a further page: its markup holds the next-page link,
// or one of its lines does by the row's text rule. `gbkLines` are the
// page's lines.
bool ShowsNextPage(const EngineRow& row, const PageDocument& document,
                   const std::vector<std::string_view>& gbkLines);

// Whether a document is the engine's verification page. A page with result
// blocks never is; otherwise its address holds one of the row's parts, its
// title is one of the row's titles, its markup holds what only a wall has,
// or, on a page without a next-page link, a line begins with one of the
// row's text markers.
bool IsVerificationPage(const EngineRow& row, const PageDocument& document,
                        const std::vector<std::string_view>& gbkLines, bool showsNextPage);

// Whether an address lies on the engine's own host, whatever the scheme.
bool IsEngineAddress(const EngineRow& row, std::string_view address);

}  // namespace brivano
