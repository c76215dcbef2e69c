// The run's own texts, in UTF-8; the run hands them to the window as GBK.
#pragma once

#include <string_view>

namespace brivano::run_messages {

inline constexpr std::string_view kNotConnected = "您还没有连接到网上！";
inline constexpr std::string_view kNoKeywords = "请先输入搜索关键词列表";
inline constexpr std::string_view kStartLineCaption = "搜索参数设置";
inline constexpr std::string_view kStartLinePrompt = "请输入关键词搜索起始行数";
inline constexpr std::string_view kStartLineTooLarge = "搜索起始行数超过关键词列表总行数！";
inline constexpr std::string_view kStarting = "稍等，正在启动搜索...";
inline constexpr std::string_view kStopping = "终止搜索...";
// The engine is done with; the result sites still queued are being visited.
inline constexpr std::string_view kVisitingSites = "搜索完毕，正在访问其余网站...";
inline constexpr std::string_view kFinished = "搜索已经结束！";
inline constexpr std::string_view kVerificationPause =
    "检测到验证页面，请在下方浏览器中完成验证，完成后自动继续";
inline constexpr std::string_view kNetworkDownPause =
    "网络不通：连续几个关键词的页面都没有载入，搜索已暂停，网络恢复后自动继续";

}  // namespace brivano::run_messages
