// The charset an HTML page names for itself in a <meta> tag of its head, for
// pages whose bytes arrive without a transport that says it (saved result
// pages) or with one that may be wrong (fetched sites).
#pragma once

#include <string>
#include <string_view>

namespace brivano {

// The charset a <meta> tag before "<body" names ("<meta charset=gbk>",
// "<meta http-equiv=Content-Type content='text/html; charset=gb2312'>"), in
// lower case; empty when none does. Tags are matched without regard to case.
std::string DeclaredCharset(std::string_view page);

}  // namespace brivano
