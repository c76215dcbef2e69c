// Why a page did not load, in the user's words: the browser names a failure
// by its network error ("net::ERR_NAME_NOT_RESOLVED") or an HTTP status,
// which mean nothing to a sales person. The words come first, the code after
// them for whoever must look further.
#pragma once

#include <string>
#include <string_view>

namespace brivano {

// "无法找到服务器（net::ERR_NAME_NOT_RESOLVED）", "服务器错误 503"; a failure
// this table does not know stays as it is (UTF-8).
std::string LoadFailureText(std::string_view failure);

}  // namespace brivano
