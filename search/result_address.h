// From a keyword line to the address of one of its result pages.
#pragma once

#include <string>
#include <string_view>

#include "search/engine_table.h"
#include "search/query_encoding.h"

namespace brivano {

// trim(keyword line + " " + trim(mark)); GBK in, GBK out.
std::string BuildQuery(std::string_view keywordLine, std::string_view mark);

// Scheme, host, path, query key, encoded query and page key. The query is
// taken from the encoder's input.
std::string BaseAddress(const EngineRow& row, FormEncoder& encoder);

// The page value of a page counter: 10 × counter for Baidu, counter for
// Sogou and 360, 10 × counter + 1 for Bing.
long long PageValue(const EngineRow& row, int pageCounter);

// The address of the n-th (1-based) result page of a query, as a run would
// request it.
std::string ResultPageAddress(const EngineRow& row, std::string_view gbkQuery, int pageNumber);

}  // namespace brivano
