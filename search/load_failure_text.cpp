#include "search/load_failure_text.h"

#include <charconv>

namespace brivano {
namespace {

struct NetError {
  std::string_view code;  // a prefix of Chromium's name: "ERR_SSL_" stands for all of them
  std::string_view words;
};

constexpr NetError kNetErrors[] = {
    {"ERR_NAME_NOT_RESOLVED", "无法找到服务器"},
    {"ERR_NAME_RESOLUTION_FAILED", "无法找到服务器"},
    {"ERR_CONNECTION_REFUSED", "连接被拒绝"},
    {"ERR_CONNECTION_TIMED_OUT", "连接超时"},
    {"ERR_TIMED_OUT", "连接超时"},
    {"ERR_CONNECTION_RESET", "连接被重置"},
    {"ERR_CONNECTION_CLOSED", "服务器断开了连接"},
    {"ERR_EMPTY_RESPONSE", "服务器没有回应"},
    {"ERR_INTERNET_DISCONNECTED", "网络已断开"},
    {"ERR_NETWORK_CHANGED", "网络连接发生了变化"},
    {"ERR_ADDRESS_UNREACHABLE", "网络不通"},
    {"ERR_NETWORK_ACCESS_DENIED", "网络访问被拒绝"},
    {"ERR_PROXY_CONNECTION_FAILED", "代理服务器连接失败"},
    {"ERR_TUNNEL_CONNECTION_FAILED", "代理服务器连接失败"},
    {"ERR_SSL_", "安全连接失败"},
    {"ERR_CERT_", "网站证书有误"},
    {"ERR_TOO_MANY_REDIRECTS", "重定向次数过多"},
    {"ERR_BLOCKED_BY_CLIENT", "页面被拦截"},
    {"ERR_ABORTED", "载入被中止"},
};

constexpr std::string_view kHttp = "HTTP ";

}  // namespace

std::string LoadFailureText(std::string_view failure) {
  if (failure.starts_with(kHttp)) {
    int status = 0;
    const std::string_view number = failure.substr(kHttp.size());
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), status);
    if (error == std::errc() && end == number.data() + number.size()) {
      return std::string(status >= 500 ? "服务器错误 " : "页面错误 ") + std::string(number);
    }
  }
  for (const NetError& known : kNetErrors) {
    if (const std::size_t at = failure.find(known.code); at != std::string_view::npos) {
      return std::string(known.words) + "（" + std::string(failure) + "）";
    }
  }
  return std::string(failure);
}

}  // namespace brivano
