#include "search/engine_table.h"

namespace brivano {

const EngineTable& DefaultEngineTable() {
  static const EngineTable table{{
      {Engine::Baidu,
       "baidu",
       "baidu",
       "百度",
       "https://www.baidu.com",
       "/s?wd=",
       QueryEncoding::FormGbk,
       "&pn=",
       0,
       10,
       0,
       "百度",
       "baidu.com",
       NextPageRule::LineContains,
       {"下一页>", "下一页 >"},
       PageLimitRule::CounterAtLeastLimit,
       {"wappass.baidu.com/static/captcha"},
       {"百度安全验证"},
       "#page a.n",
       "[src*='wappass.baidu.com'], [href*='wappass.baidu.com'], [action*='wappass.baidu.com']",
       {"百度安全验证"},
       "#content_left .result, #content_left .result-op, #content_left .c-container",
       "h3 a, a h3",
       {"mu", "data-url"},
       ".c-showurl, .c-color-gray, span.g"},
      {Engine::Sogou,
       "sogou",
       "sougou",
       "搜狗",
       "http://www.sogou.com",
       "/tx?query=",
       QueryEncoding::FormGbk,
       "&page=",
       1,
       1,
       0,
       "搜狗",
       "sogou.com",
       NextPageRule::LineStartsWith,
       {"下一页"},
       PageLimitRule::CounterAboveLimit,
       {"/antispider"},
       {"用户您好，我们的系统检测到您网络中存在异常访问请求", "用户您好，您的访问过于频繁"},
       "#sogou_next",
       "#seccodeForm, #seccodeImage, [src*='antispider'], [action*='antispider']",
       {"搜狗搜索"},
       ".results .vrwrap, .results .rb",
       "h3 a",
       {"data-url"},
       // Today's results show their address in .citeurl, older ones in a cite.
       "cite, .fb, .citeurl"},
      {Engine::So360,
       "360",
       "360",
       "360",
       "https://www.so.com",
       "/s?q=",
       QueryEncoding::EscapedUtf8,
       "&pn=",
       1,
       1,
       0,
       "360",
       "so.com",
       NextPageRule::LineContains,
       {"下一页"},
       PageLimitRule::CounterAboveLimit,
       {"qcaptcha"},
       {"访问异常", "请输入验证码"},
       "#snext",
       "[src*='qcaptcha'], [action*='qcaptcha'], [href*='qcaptcha']",
       {},
       "li.res-list",
       "h3 a",
       {"data-mdurl", "data-url"},
       "cite"},
      {Engine::Bing,
       "bing",
       "biying",
       "必应",
       "http://cn.bing.com",
       "/search?q=",
       QueryEncoding::EscapedUtf8,
       "&first=",
       0,
       10,
       1,
       "必应",
       "bing.com",
       NextPageRule::LineStartsWith,
       {"下一页"},
       PageLimitRule::CounterAtLeastLimit,
       {"/turing/captcha/"},
       {"One last step", "Please solve the challenge below to continue"},
       "a.sb_pagN",
       "div.captcha, #turnstile-widget, [src*='/turing/captcha'], [action*='/turing/captcha']",
       {},
       "li.b_algo",
       "h2 a",
       {},
       "cite"},
  }};
  return table;
}

EngineTable EngineTableAt(std::string_view schemeAndHost) {
  EngineTable table = DefaultEngineTable();
  for (EngineRow& row : table) row.schemeAndHost = std::string(schemeAndHost);
  return table;
}

std::optional<Engine> EngineFromCliName(std::string_view name) {
  for (const EngineRow& row : DefaultEngineTable()) {
    if (row.cliName == name) return row.engine;
  }
  return std::nullopt;
}

std::optional<Engine> EngineFromName(std::string_view name) {
  for (const EngineRow& row : DefaultEngineTable()) {
    if (row.cliName == name || row.settingsWord == name) return row.engine;
  }
  return std::nullopt;
}

std::string EngineStatusText(const EngineRow& row) {
  return "正在" + row.statusName + "(" + row.domainLabel + ")引擎搜索买家...";
}

}  // namespace brivano
