// QQ numbers (5 to 10 digits, no leading 0) where a line gives them as
// someone's QQ: behind a QQ label ("QQ：", "客服QQ2：", "企鹅", "扣扣",
// "QQ/微信同号"), as a numeric mailbox at qq.com, and in a QQ link
// (tencent://message/?uin=N, wpa.qq.com/msgrd?...&uin=N, N.qzone.qq.com,
// user.qzone.qq.com/N).
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "base/buyer_list.h"

namespace brivano {

// The first byte of a screen word in `text`: "qq" or "q q" in any letter
// case, "q:" or "q：", the full-width "ＱＱ" in any case, "企鹅", "扣扣" or
// "uin=". Bytes, so a hit may begin inside a Chinese character; every label,
// mailbox and link the extractor reads holds one, so a line without a hit
// yields nothing and a caller may pass over such text unseen.
std::size_t FindQQMarkerByte(std::string_view text);
// The same, or the first NUL byte if that comes first: the screen of a whole
// text, which ends at its first NUL.
std::size_t FindQQMarkerOrNul(std::string_view text);

void ExtractQQNumbersFromLine(std::string_view line, BuyerSink& sink);
void ExtractQQNumbers(std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
