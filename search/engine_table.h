// How each search engine forms its result-page addresses, shows itself in the
// status bar, marks a further page, counts its pages and shows that it wants
// a person to prove they are one. The table is a value the run receives, so
// tests can point every engine at a local server and "engines.ini" can
// follow an engine's changes without a new build.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brivano {

enum class Engine { Baidu = 0, Sogou = 1, So360 = 2, Bing = 3 };

enum class QueryEncoding { FormGbk, EscapedUtf8 };
enum class NextPageRule { LineContains, LineStartsWith };
// When the page counter reaches the page limit, does the keyword end?
enum class PageLimitRule { CounterAtLeastLimit, CounterAboveLimit };

struct EngineRow {
  Engine engine;
  std::string cliName;          // brivano-cli's name
  std::string settingsWord;     // the settings file's word
  std::string caption;          // UTF-8, the radio button's caption
  std::string schemeAndHost;    // "https://www.baidu.com"
  std::string pathAndQueryKey;  // "/s?wd="
  QueryEncoding encoding;
  std::string pageKey;  // "&pn="
  int counterStart;     // page counter of a keyword's first page
  int pageFactor;       // page value = factor * counter + offset
  int pageOffset;
  std::string statusName;  // UTF-8, inside the status text
  std::string domainLabel;
  NextPageRule nextPageRule;
  std::vector<std::string> nextPageTexts;  // UTF-8
  PageLimitRule pageLimitRule;
  // A verification page instead of results: a part of its address, or a
  // line of its text that begins with one of these (UTF-8).
  std::vector<std::string> verifyAddressParts;
  std::vector<std::string> verifyTexts;
  // What the browser looks for in the page's markup (CSS selectors): the
  // next-page link, what only a verification page has, and the result
  // blocks. Its whole title, trimmed, also marks a verification page.
  std::string nextPageSelector;
  std::string verifySelector;
  std::vector<std::string> verifyTitles;
  std::string resultSelector;
  // Inside a result block (result_blocks.h): its title link, the attributes
  // that hold the result's own address where the title link is a redirect
  // (the first found on the block, then on its title link, then on anything
  // inside it), and its displayed address.
  std::string titleSelector;
  std::vector<std::string> targetAttributes;
  std::string siteSelector;
};

using EngineTable = std::array<EngineRow, 4>;

// The real engines.
const EngineTable& DefaultEngineTable();

// The same table with every engine's scheme and host replaced, for example by
// "http://127.0.0.1:8080".
EngineTable EngineTableAt(std::string_view schemeAndHost);

std::optional<Engine> EngineFromCliName(std::string_view name);
// The settings file's word or brivano-cli's name ("sougou" or "sogou").
std::optional<Engine> EngineFromName(std::string_view name);

// "正在百度(baidu.com)引擎搜索买家..." as UTF-8.
std::string EngineStatusText(const EngineRow& row);

}  // namespace brivano
